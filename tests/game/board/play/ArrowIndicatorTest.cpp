#include "game/board/ColourTrack.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using BoardTest::ProcessorFixture;

namespace {

// The sample content: arrows at (-40, -45) in field units, 30 apart, both fade speeds 0.03.
class ArrowIndicatorTest : public ProcessorFixture {
protected:
    enum Request { kDim = 1, kHide = 2, kShow = 4, kFlash = 8 };
    void Ask(int32_t requests, bool stop = false)
    {
        mProcessor.SetArrows(stop, requests & kDim, requests & kHide, requests & kShow, requests & kFlash);
    }
    PopupRecord& Arrow(int32_t i) { return mField.Popup(mProcessor.ArrowRecord(i)); }
    // The alpha every arrow is drawn with.
    int32_t DrawnAlpha()
    {
        const int32_t alpha = ColourTrackToColour(*Arrow(0).mColourTrack).mAlpha;
        for (int32_t i = 1; i < CGameProcessor::kArrowCount; ++i)
            EXPECT_EQ(ColourTrackToColour(*Arrow(i).mColourTrack).mAlpha, alpha);
        return alpha;
    }
    float CurveAlpha(float t)
    {
        float channels[4] = {};
        SampleCurve4D(mProcessor.ArrowTrack()->mCurve, channels, t);
        return channels[3];
    }
    bool ArrowProcessRuns()
    {
        const CAnimTrack* track = mProcessor.ArrowTrack();
        return track->mAttached && mProcessor.Slot(track->mOwnerTag).mKind == kProcessArrows;
    }
};

TEST_F(ArrowIndicatorTest, TheFirstRequestBuildsFourArrowsDownTheFieldsLeftSide)
{
    int32_t image = -1;
    ASSERT_TRUE(mImages.FindByName("res\\arrow.png|1", &image));
    Ask(kDim);
    // Not offset from the field's centre: x is the configured x alone, y the middle of the rows.
    const float middle = (mField.StepY() * float(mField.Height()) - mField.Shape().mVSpacing) / 2.0f;
    for (int32_t i = 0; i < CGameProcessor::kArrowCount; ++i) {
        const FieldPoint p = mField.FieldToScreen({-40.0f, middle - 45.0f + 30.0f * float(i)});
        const PopupRecord& arrow = Arrow(i);
        EXPECT_EQ(arrow.mType, PopupRecord::kScore) << i;
        EXPECT_EQ(arrow.mSlot, image) << i;
        EXPECT_EQ(arrow.mX, TruncateToInt(p.mX + mField.Origin().mX)) << i;
        EXPECT_EQ(arrow.mY, TruncateToInt(p.mY + mField.Origin().mY)) << i;
        EXPECT_EQ(arrow.mColourTrack, mProcessor.ArrowTrack()) << i;
        EXPECT_EQ(arrow.mMoveTrack, nullptr) << i;
    }
    EXPECT_NE(Arrow(0).mY, Arrow(1).mY);
    EXPECT_TRUE(ArrowProcessRuns());
}

TEST_F(ArrowIndicatorTest, AFirstRequestStartsFromAFixedAlphaAndTheFirstOfHideDimFlashShowWins)
{
    struct Case {
        int32_t requests;
        float from;
        float to;
        int32_t mode;
        float speed;
    };
    const Case cases[] = {
        {kHide, 1.0f, 0.0f, 1, 0.03f},
        {kDim, 0.0f, 0.65f, 0, 0.65f * 0.03f},
        {kFlash, 1.0f, 0.65f, 3, 0.35f * 0.03f},
        {kShow, 0.65f, 1.0f, 2, 0.35f * 0.03f},
        {kHide | kDim | kShow | kFlash, 1.0f, 0.0f, 1, 0.03f},
        {kDim | kShow | kFlash, 0.0f, 0.65f, 0, 0.65f * 0.03f},
        {kShow | kFlash, 1.0f, 0.65f, 3, 0.35f * 0.03f},
    };
    for (const Case& c : cases) {
        Ask(kHide, true);
        Ask(c.requests);
        EXPECT_EQ(mProcessor.ArrowMode(), c.mode) << c.requests;
        EXPECT_FLOAT_EQ(CurveAlpha(0.0f), c.from) << c.requests;
        EXPECT_FLOAT_EQ(CurveAlpha(1.0f), c.to) << c.requests;
        EXPECT_FLOAT_EQ(mProcessor.ArrowTrack()->mSpeed, c.speed) << c.requests;
        EXPECT_FLOAT_EQ(CurveAlpha(0.5f), (c.from + c.to) / 2.0f) << c.requests;
    }
}

TEST_F(ArrowIndicatorTest, LaterRequestsFadeOnFromTheAlphaShown)
{
    Ask(kDim);
    EXPECT_EQ(DrawnAlpha(), 0);
    Frames(FramesFor(0.65f * 0.03f));
    EXPECT_EQ(DrawnAlpha(), 165);
    // The fade has no follow-up: the process stays, holding the alpha.
    EXPECT_TRUE(ArrowProcessRuns());

    // Already there: the curve stays put.
    Ask(kDim);
    EXPECT_NEAR(mProcessor.ArrowTrack()->mSpeed, 0.0f, 1e-6f);
    Frames(5);
    EXPECT_EQ(DrawnAlpha(), 165);

    Ask(kShow);
    EXPECT_FLOAT_EQ(mProcessor.ArrowTrack()->mTime, 0.0f);
    Frames(FramesFor(0.35f * 0.03f));
    // A finished track rests just short of its end.
    EXPECT_EQ(DrawnAlpha(), 254);

    // Broken off half way, the hide starts where the flash had got to.
    Ask(kFlash);
    Frames(int32_t(0.5f / (0.35f * 0.03f)));
    const float reached = CurveAlpha(mProcessor.ArrowTrack()->mTime);
    EXPECT_NEAR(reached, 0.825f, 0.01f);
    Ask(kHide);
    EXPECT_EQ(mProcessor.ArrowMode(), 1);
    EXPECT_FLOAT_EQ(CurveAlpha(0.0f), reached);
    EXPECT_FLOAT_EQ(mProcessor.ArrowTrack()->mSpeed, reached * 0.03f);
    Frames(FramesFor(reached * 0.03f));
    EXPECT_EQ(DrawnAlpha(), 0);
}

TEST_F(ArrowIndicatorTest, StopHaltsTheFadeAndAnotherRequestResumesIt)
{
    Ask(kDim);
    Frames(10);
    const int32_t halted = DrawnAlpha();
    Ask(0, true);
    EXPECT_FALSE(mProcessor.ArrowTrack()->mAttached);
    EXPECT_EQ(mProcessor.ArrowTrack()->mOwnerTag, CGameProcessor::kNone);
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
    Frames(20);
    EXPECT_EQ(DrawnAlpha(), halted);
    EXPECT_EQ(mProcessor.ArrowMode(), 0);

    Ask(kShow);
    EXPECT_TRUE(ArrowProcessRuns());
    EXPECT_NEAR(CurveAlpha(0.0f), float(halted) / 255.0f, 0.01f);
}

TEST_F(ArrowIndicatorTest, StopWithHideRemovesTheArrowsAndALaterRequestBuildsThemAgain)
{
    Ask(kHide, true);
    EXPECT_EQ(mProcessor.ArrowTrack(), nullptr);
    EXPECT_EQ(mField.PopupCount(), 0);

    Ask(kShow);
    Frames(FramesFor(0.35f * 0.03f));
    const int32_t first = mProcessor.ArrowRecord(0);
    const size_t tracks = mTracks.Running().Used();
    Ask(kHide, true);
    EXPECT_EQ(mProcessor.ArrowTrack(), nullptr);
    EXPECT_EQ(mProcessor.ArrowMode(), CGameProcessor::kArrowsNew);
    for (int32_t i = 0; i < CGameProcessor::kArrowCount; ++i)
        EXPECT_EQ(mProcessor.ArrowRecord(i), CGameProcessor::kNone);
    for (int32_t i = 0; i < mField.PopupCount(); ++i)
        EXPECT_EQ(mField.Popup(i).mType, PopupRecord::kFree);
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
    EXPECT_EQ(mTracks.Running().Used(), tracks - 1);

    Ask(kShow);
    EXPECT_EQ(mProcessor.ArrowRecord(0), first);
    EXPECT_EQ(mProcessor.ArrowMode(), 2);
    EXPECT_FLOAT_EQ(CurveAlpha(0.0f), 0.65f);
    EXPECT_TRUE(ArrowProcessRuns());
}

TEST_F(ArrowIndicatorTest, AnEndlessSpeedBecomesOne)
{
    CGameConfig::live.arrowShowspeed = std::numeric_limits<float>::infinity();
    Ask(kDim);
    EXPECT_FLOAT_EQ(mProcessor.ArrowTrack()->mSpeed, 1.0f);
    CGameConfig::live.arrowFlashspeed = std::numeric_limits<float>::quiet_NaN();
    Ask(kShow);
    EXPECT_FLOAT_EQ(mProcessor.ArrowTrack()->mSpeed, 1.0f);
}

} // namespace
