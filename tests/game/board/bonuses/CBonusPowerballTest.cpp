#include "game/board/levels/CBonusLevel.h"
#include "game/board/bonuses/CBonusPowerball.h"
#include "game/board/CFieldActivity.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/play/ProcessSlot.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageSlot.h"
#include "game/data/effects/CParticleSystem.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace BoardTest {
namespace {

struct Scoring : CBonusLevel {
    int32_t MatchPoints(int32_t groupSize) const override { return 10 * groupSize; }
    void AddPoints(int32_t points) override { mAdded.push_back(points); }
    std::vector<int32_t> mAdded;
};

struct Activity : CFieldActivity {
    void SetFieldActive(bool active) override { mActive.push_back(active); }
    std::vector<bool> mActive;
};

class CBonusPowerballTest : public BonusFixture {
protected:
    CBonusPowerballTest() : mPower(EffectLinks(mScoring, mActivity, &mAtlas))
    {
        mAtlas.Setup(mImages);
        CParticleSystem::Get().Attach(&mAnims, &mImages);
        mPower.Init();
        // Colours in a checkerboard: no group matches but those painted.
        for (int32_t cell = 0; cell < mField.CellCount(); ++cell)
            Paint(cell, (cell % mField.Width() + cell / mField.Width()) % 2);
        mField.Grid().Rebuild();
        TakeBaseline();
        mInstances = mAnims.Instances().Used();
    }
    ~CBonusPowerballTest() override { mPower.Shutdown(); }

    void Paint(int32_t cell, int32_t colour)
    {
        uint32_t& word = mField.Grid().Cell(cell);
        word = CCellGrid::WithColour(word, colour) | CCellGrid::kOccupied;
        mField.Record(cell).mBlock->mColour = colour;
    }
    // One frame with the particles moving.
    void Frame()
    {
        mProcessor.DispatchFinished(1.0f);
        CParticleSystem::Get().UpdateEmitters(1.0f);
    }
    // Three groups of colour 2, apart from each other, in row-major order of
    // their first cells.
    void PaintThreeGroups()
    {
        const int32_t w = mField.Width();
        for (int32_t cell : {w + 1, w + 2, w + 3, 3 * w + 5, 3 * w + 6, 4 * w + 6, 4 * w, 5 * w, 6 * w, 6 * w + 1})
            Paint(cell, 2);
        mField.Grid().Rebuild();
    }

    CImageAtlas mAtlas;
    Scoring mScoring;
    Activity mActivity;
    CBonusPowerball mPower;
    size_t mInstances = 0;
};

TEST_F(CBonusPowerballTest, ABeamIsCutIntoWholeFramesAndALastPieceOverFivePixels)
{
    struct Case {
        float length;
        int32_t whole;
        float rest;
    };
    for (const Case& c : {Case{20.0f, 0, 20.0f}, Case{5.0f, 0, 0.0f}, Case{80.0f, 2, 16.0f}, Case{64.0f, 2, 0.0f},
                          Case{69.0f, 2, 0.0f}, Case{70.0f, 2, 6.0f}, Case{0.0f, 0, 0.0f}}) {
        const CBonusPowerball::BeamPieces pieces = CBonusPowerball::CutBeam(c.length, 32.0f);
        EXPECT_EQ(pieces.mWhole, c.whole) << c.length;
        EXPECT_FLOAT_EQ(pieces.mRest, c.rest) << c.length;
    }
    EXPECT_EQ(CBonusPowerball::CutBeam(100.0f, 0.0f).mWhole, 0);
}

TEST_F(CBonusPowerballTest, WithoutAMatchedGroupOnlyThePointsAreGiven)
{
    EXPECT_FALSE(mPower.Activate());
    EXPECT_EQ(mScoring.mAdded, std::vector<int32_t>{200});
    EXPECT_EQ(mPower.GetState(), CBonusPowerball::kIdle);
    EXPECT_TRUE(mActivity.mActive.empty());
    EXPECT_FALSE(mBall.Has(CBall::kHeld));
    EXPECT_EQ(SlotsOfKind(kProcessPowerBall), 0);
    EXPECT_TRUE(RunUntilIdle());
}

// The beam: its pieces and the tip follow the distance to the group's first
// cell, its frames are turned pictures of the atlas while it flies, and the
// beam's animation shows its own frames again afterwards.
TEST_F(CBonusPowerballTest, TheFirstShotFliesOnTurnedPiecesGivenBackAfterwards)
{
    PaintThreeGroups();
    const CBonusBase::PowerBall& p = mBase.mPowerBall;
    const std::vector<int32_t> frames(mAnims.Frames().begin() + p.mBeamDefinition.mFirstFrame,
                                      mAnims.Frames().begin() + p.mBeamDefinition.mEndFrame);
    ASSERT_TRUE(mPower.Activate());
    EXPECT_FALSE(mPower.Activate());
    ASSERT_EQ(mPower.Groups().size(), 3u);
    EXPECT_TRUE(mBall.Has(CBall::kHeld));
    for (int32_t i = 0; i < 2000 && mPower.ShotPopup() == -2; ++i)
        Frame();
    ASSERT_NE(mPower.ShotPopup(), -2);
    EXPECT_TRUE(mBall.Has(CBall::kFrozen));
    const PopupRecord& beam = mField.Popup(mPower.ShotPopup());
    EXPECT_EQ(beam.mType, PopupRecord::kBeam);
    const std::array<int32_t, 4> ball = mBall.GetScreenRect();
    const int32_t target = mPower.Groups()[0].mMembers.front();
    const FieldPoint to = mField.CellCentre(target % mField.Width(), target / mField.Width());
    const CBonusPowerball::BeamPieces pieces = CBonusPowerball::CutBeam(
        std::hypot(to.mX - (float(ball[0]) + float(ball[2]) * 0.5f), to.mY - (float(ball[1]) + float(ball[3]) * 0.5f)),
        p.mFrameWidth);
    EXPECT_EQ(beam.mPieceCount, pieces.mWhole);
    EXPECT_EQ(beam.mTipSlot != -2, pieces.mRest > 0.0f);
    ASSERT_EQ(mPower.ShotImages().size(), frames.size() + (pieces.mRest > 0.0f ? 2u : 0u));
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(mAnims.Frames()[size_t(p.mBeamDefinition.mFirstFrame) + i], mPower.ShotImages()[i]);
    EXPECT_GT(mAtlas.ShelvesInUse(), 0);

    for (int32_t i = 0; i < 2000 && mPower.ShotPopup() != -2; ++i)
        Frame();
    EXPECT_TRUE(mPower.ShotImages().empty());
    EXPECT_EQ(std::vector<int32_t>(mAnims.Frames().begin() + p.mBeamDefinition.mFirstFrame,
                                   mAnims.Frames().begin() + p.mBeamDefinition.mEndFrame),
              frames);
}

// Every group is shot in the list's order and scores once, whether its light
// ends first, the next shot comes first, or the fades end before the light;
// a ball that rises for 3 or less still ends the stages. The groups leave
// together, the lines close up once and nothing is left over.
TEST_F(CBonusPowerballTest, ShotsScoreEachGroupOnceInOrderAndTheFieldClosesUp)
{
    struct Case {
        const char* name;
        float fadeSpeed;
        float gravity;
        float upward;
    };
    const float g = mBall.Gravity();
    const float up = mBall.UpwardSpeed();
    const float sampleFade = mBase.mPowerBall.mPreFadeSpeed;
    for (const Case& c : {Case{"sample", sampleFade, g, up}, Case{"fades before the light", 1.0f, g, up},
                          Case{"low ball", sampleFade, 1.0f, 2.0f}}) {
        mBase.mPowerBall.mPreFadeSpeed = c.fadeSpeed;
        mBase.mPowerBall.mPostFadeSpeed = c.fadeSpeed;
        mPower.Init();
        mBall.SetBounce(c.gravity, c.upward);
        mBall.LogTiming();
        mScoring.mAdded.clear();
        mActivity.mActive.clear();
        mLevel.mCalls.clear();
        PaintThreeGroups();
        ASSERT_TRUE(mPower.Activate()) << c.name;
        std::vector<int32_t> order;
        for (int32_t i = 0; i < 5000 && !(Idle() && mPower.GetState() == CBonusPowerball::kIdle); ++i) {
            Frame();
            for (int32_t group = 0; group < 3; ++group)
                if (mPower.Scored(group) && std::find(order.begin(), order.end(), group) == order.end())
                    order.push_back(group);
        }
        ASSERT_EQ(mPower.GetState(), CBonusPowerball::kIdle) << c.name;
        ASSERT_TRUE(Idle()) << c.name;
        EXPECT_EQ(order, (std::vector<int32_t>{0, 1, 2})) << c.name;
        EXPECT_EQ(mScoring.mAdded, (std::vector<int32_t>{200, 30, 30, 40})) << c.name;
        EXPECT_EQ(mActivity.mActive, (std::vector<bool>{false, true})) << c.name;
        EXPECT_FALSE(mBall.Has(CBall::kHeld) || mBall.Has(CBall::kFrozen)) << c.name;
        EXPECT_EQ(mLevel.Count("settled"), 1) << c.name;
        EXPECT_FLOAT_EQ(mProcessor.StepDelaySpeed(), 2.0f);
        EXPECT_EQ(PopupRecordsInUse(), 0) << c.name;
        EXPECT_EQ(TracksTaken(), 0) << c.name;
        EXPECT_EQ(mAnims.Instances().Used(), mInstances) << c.name;
        EXPECT_EQ(mAtlas.ShelvesInUse(), 0) << c.name;
        EXPECT_EQ(mField.Effects().mBonusInAction, 0) << c.name;
        ExpectFieldConsistent();
        for (int32_t cell = 0; cell < mField.CellCount(); ++cell)
            Paint(cell, (cell % mField.Width() + cell / mField.Width()) % 2);
    }
}

// Drawn, the beam's last piece shows the turned frame through its mask only:
// nothing of it outside, something inside.
TEST_F(CBonusPowerballTest, TheBeamsTipShowsTheFrameThroughItsMaskOnly)
{
    const CBonusBase::PowerBall& p = mBase.mPowerBall;
    Lumo::MemoryImage frame;
    frame.SetSize(int32_t(p.mFrameWidth), int32_t(p.mFrameHeight));
    std::fill_n(frame.GetPixelBits(), frame.GetWidth() * frame.GetHeight(), 0xFFFF0000u);
    for (int32_t f = p.mDefinition.mFirstFrame; f < p.mDefinition.mEndFrame; ++f) {
        CImageSlot* slot = mImages.Slot(mAnims.Frames()[size_t(f)]);
        *slot = CImageSlot{&frame, {0, 0, frame.GetWidth(), frame.GetHeight()}, nullptr};
    }
    PaintThreeGroups();
    mBall.PlaceOnCell(0, mField.Height() - 1);
    ASSERT_TRUE(mPower.Activate());
    for (int32_t i = 0; i < 2000 && mPower.ShotPopup() == -2; ++i)
        Frame();
    ASSERT_NE(mPower.ShotPopup(), -2);
    const PopupRecord& beam = mField.Popup(mPower.ShotPopup());
    ASSERT_NE(beam.mTipSlot, -2);
    Lumo::MemoryImage screen;
    screen.SetSize(800, 600);
    Lumo::Graphics g(&screen);
    mField.Draw(g, 400, 300);

    const CImageSlot* tip = mImages.Slot(beam.mTipSlot);
    const CImageSlot* mask = mImages.Slot(beam.mMaskSlot);
    int32_t shown = 0;
    for (int32_t y = 0; y < tip->mRect.mHeight; ++y)
        for (int32_t x = 0; x < tip->mRect.mWidth; ++x) {
            const uint32_t pixel =
                tip->mImage->GetPixelBits()[(tip->mRect.mY + y) * tip->mImage->GetWidth() + tip->mRect.mX + x];
            const uint32_t under =
                mask->mImage->GetPixelBits()[(mask->mRect.mY + y) * mask->mImage->GetWidth() + mask->mRect.mX + x];
            if (pixel >> 24 == 0)
                continue;
            ++shown;
            ASSERT_NE(under >> 24, 0u) << x << "," << y;
        }
    EXPECT_GT(shown, 0);
}

} // namespace
} // namespace BoardTest
