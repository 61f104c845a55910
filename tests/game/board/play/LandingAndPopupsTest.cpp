#include "game/board/field/CFieldBlock.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

using BoardTest::ProcessorFixture;

namespace {

class LandingAndPopupsTest : public ProcessorFixture {
protected:
    CFieldBlock* BlockAt(int32_t column, int32_t row) { return mField.Record(row * mField.Width() + column).mBlock; }
    GameTest::FixedWidthFont& Font(int32_t slot)
    {
        return static_cast<GameTest::FixedWidthFont&>(*CGameConfig::FontAt(slot));
    }
    int32_t LivePopups()
    {
        int32_t live = 0;
        for (int32_t i = 0; i < 16; ++i)
            live += i < int32_t(mProcessor.Slots().size()) && mProcessor.Slot(i).mKind == kProcessScorePopup;
        return live;
    }
};

TEST_F(LandingAndPopupsTest, ALandingPlaysItsSoundClosesTheComboWindowAndBumpsAnUnscoredBlock)
{
    struct Case {
        bool scored;
        bool windowOpen;
        int32_t comboLevel;
        bool withBlock;
        std::vector<int> sounds;
        bool bump;
        int32_t popups;
    };
    const Case cases[] = {
        {true, false, 0, true, {5}, false, 0},   {true, true, 0, false, {5}, false, 0},
        {false, false, 0, true, {4}, true, 0},   {false, false, 0, false, {4}, false, 0},
        {false, true, 2, true, {4}, true, 1},    {false, true, 4, false, {1}, false, 1},
        {false, true, 0, false, {4}, false, 0},
    };
    for (const Case& c : cases) {
        mProcessor.SetState(0, true);
        if (c.windowOpen)
            mProcessor.OnBallLanded(nullptr, true);
        App().mSoundsPlayed.clear();
        mLevel.mComboLevel = c.comboLevel;
        CFieldBlock* block = c.withBlock ? BlockAt(2, 3) : nullptr;
        mProcessor.OnBallLanded(block, c.scored);
        EXPECT_EQ(App().mSoundsPlayed, c.sounds) << c.scored << c.windowOpen << c.comboLevel;
        EXPECT_EQ(mProcessor.ComboWindow()->mAttached != 0, c.scored);
        EXPECT_EQ(block && block->mMotionTrack, c.bump);
        if (c.bump) {
            EXPECT_EQ(mProcessor.Slot(block->mMotionTrack->mOwnerTag).mKind, kProcessBlockBump);
        }
        EXPECT_EQ(LivePopups(), c.popups);
        mProcessor.SetState(6);
        Frames(400);
        mProcessor.Player().Detach(mProcessor.ComboWindow());
        EXPECT_EQ(BlockAt(2, 3)->mMotionTrack, nullptr);
        EXPECT_EQ(mProcessor.LiveProcesses(), 1);
    }
}

TEST_F(LandingAndPopupsTest, TheComboWindowScoresWhenItClosesOrWhenTheLevelEnds)
{
    mLevel.mComboLevel = 3;
    mProcessor.ResetComboWindow(0.1f);
    mProcessor.OnBallLanded(nullptr, true);
    mProcessor.OnBallLanded(nullptr, true);
    Frames(9);
    EXPECT_EQ(mLevel.Count("combo"), 0);
    Frames(1);
    EXPECT_EQ(mLevel.Count("combo"), 1);
    EXPECT_FALSE(mProcessor.ComboWindow()->mAttached);
    EXPECT_EQ(LivePopups(), 1);

    mProcessor.OnBallLanded(nullptr, true);
    mProcessor.SetState(2);
    EXPECT_EQ(mLevel.Count("combo"), 2);
    EXPECT_FALSE(mProcessor.ComboWindow()->mAttached);
}

TEST_F(LandingAndPopupsTest, PopupsDrawTheirLinesRiseAndExpire)
{
    GameTest::FixedWidthFont& points = Font(CGameConfig::kHudScore);
    GameTest::FixedWidthFont& titles = Font(CGameConfig::kCombo);
    mProcessor.ShowPopup(0, 30, true, 100, 50);
    ASSERT_EQ(mProcessor.PopupCellsInUse(), 1);
    EXPECT_EQ(points.mDraws.back().mText, "+30");
    EXPECT_TRUE(titles.mDraws.empty());

    mProcessor.ShowPopup(2, 200, false, 0, 0);
    EXPECT_EQ(points.mDraws.back().mText, "+200");
    EXPECT_EQ(titles.mDraws.back().mText, "combo1");
    mProcessor.ShowPopup(CGameProcessor::kSuperbonusPopup, 500, false, 0, 0);
    EXPECT_EQ(titles.mDraws.back().mText, "combo4");

    const PopupRecord& first = mField.Popup(0);
    EXPECT_EQ(first.mType, PopupRecord::kScore);
    EXPECT_EQ(first.mX, 100);
    EXPECT_EQ(first.mY, 50);
    const std::array<int32_t, 4> ball = mBall.GetScreenRect();
    EXPECT_EQ(mField.Popup(1).mY, ball[1] - ball[3] / 2);

    // Each popup ends with its fade; the others keep their records.
    Frames(FramesFor(first.mColourTrack->mSpeed));
    EXPECT_EQ(mField.Popup(0).mType, PopupRecord::kFree);
    EXPECT_EQ(mField.Popup(1).mType, PopupRecord::kScore);
    EXPECT_EQ(mProcessor.PopupCellsInUse(), 2);
    Frames(400);
    EXPECT_EQ(mProcessor.PopupCellsInUse(), 0);
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
}

TEST_F(LandingAndPopupsTest, AFullStripDropsPopupsAndTheLevelsEndClearsThemAtOnce)
{
    const int32_t cells = CGameConfig::live.maxCount;
    for (int32_t i = 0; i <= cells; ++i)
        mProcessor.ShowPopup(0, i, true, 0, 0);
    EXPECT_EQ(mProcessor.PopupCellsInUse(), cells);
    EXPECT_EQ(LivePopups(), cells);

    mProcessor.SetState(6);
    EXPECT_EQ(mProcessor.PopupCellsInUse(), 0);
    EXPECT_EQ(LivePopups(), 0);
    mProcessor.ShowPopup(0, 1, true, 0, 0);
    EXPECT_EQ(mProcessor.PopupCellsInUse(), 1);
}

} // namespace
