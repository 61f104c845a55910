#include "game/board/CFieldActivity.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/bonuses/CSuperBonus.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/pictures/CImageAtlas.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>

namespace BoardTest {
namespace {

struct Activity : CFieldActivity {
    void SetFieldActive(bool active) override { mActive.push_back(active); }
    std::vector<bool> mActive;
};

class CSuperBonusTest : public BonusFixture {
protected:
    CSuperBonusTest() : mSuper(Links())
    {
        mAtlas.Setup(mImages);
        mSuper.Init();
        // Colours in a checkerboard: every cell a group of its own, but for
        // the cells given the third colour.
        for (int32_t cell = 0; cell < mField.CellCount(); ++cell)
            Paint(cell, (cell % mField.Width() + cell / mField.Width()) % 2);
        TakeBaseline();
    }

    SuperBonusLinks Links()
    {
        SuperBonusLinks links;
        links.mProcessor = &mProcessor;
        links.mField = &mField;
        links.mBall = &mBall;
        links.mTracks = &mTracks;
        links.mImages = &mImages;
        links.mAtlas = &mAtlas;
        links.mActivity = &mActivity;
        return links;
    }
    void Paint(int32_t cell, int32_t colour)
    {
        uint32_t& word = mField.Grid().Cell(cell);
        word = CCellGrid::WithColour(word, colour) | CCellGrid::kOccupied;
        mField.Record(cell).mBlock->mColour = colour;
    }
    int32_t GroupOf(int32_t cell) { return CCellGrid::GroupOf(mField.Grid().Cell(cell)); }

    CImageAtlas mAtlas;
    Activity mActivity;
    CSuperBonus mSuper;
};

TEST_F(CSuperBonusTest, AnLShapeRisesFliesAsOnePictureAndEmptiesItsCells)
{
    const int32_t w = mField.Width();
    const std::vector<int32_t> shape = {2 * w + 2, 3 * w + 2, 4 * w + 2, 4 * w + 3};
    for (int32_t cell : shape)
        Paint(cell, 2);
    mField.Grid().Rebuild();
    ASSERT_TRUE(mSuper.Start(GroupOf(shape[0])));
    EXPECT_FALSE(mSuper.Start(GroupOf(shape[0])));
    EXPECT_EQ(mField.Record(shape[1]).mBlock->mMotionTrack != nullptr, true);

    for (int32_t i = 0; i < 2000 && mSuper.PopupHandle() == -2 && mSuper.Running(); ++i)
        mProcessor.DispatchFinished(1.0f);
    ASSERT_NE(mSuper.Picture(), -2);
    EXPECT_EQ(mField.Popup(mSuper.PopupHandle()).mSlot, mSuper.Picture());
    // The lines close up over the emptied cells at once.
    EXPECT_GT(mProcessor.PendingBlockMoves(), 0);
    EXPECT_FLOAT_EQ(mProcessor.SettleTimer(), mBall.Times().mRise);
    EXPECT_EQ(mActivity.mActive, (std::vector<bool>{false, true}));
    EXPECT_TRUE(LogText().find("start=") != std::string::npos);

    ASSERT_TRUE(RunUntilIdle());
    EXPECT_FALSE(mSuper.Running());
    EXPECT_EQ(mSuper.Picture(), -2);
    EXPECT_EQ(PopupRecordsInUse(), 0);
    EXPECT_EQ(TracksTaken(), 0);
    EXPECT_EQ(mLevel.Count("settled"), 1);
    ExpectFieldConsistent();
}

TEST_F(CSuperBonusTest, AGroupWiderThanFourCellsLeavesWithoutAPicture)
{
    const int32_t w = mField.Width();
    for (int32_t k = 0; k < 5; ++k)
        Paint(w + k, 2);
    mField.Grid().Rebuild();
    ASSERT_TRUE(mSuper.Start(GroupOf(w)));
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_FALSE(mSuper.Running());
    EXPECT_EQ(mSuper.Picture(), -2);
    EXPECT_EQ(mLevel.Count("settled"), 1);
    EXPECT_EQ(PopupRecordsInUse(), 0);
    ExpectFieldConsistent();
}

} // namespace
} // namespace BoardTest
