#include "game/board/play/CGameProcessor.h"

#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

using BoardTest::ProcessorFixture;

namespace {

// The panel's two piece fades from the sample tracks, idle and on no player,
// as the panel's loader leaves them.
class PanelPieceTest : public ProcessorFixture {
protected:
    PanelPieceTest()
    {
        const char* names[2] = {"ctrl_hud_piece_hide", "ctrl_hud_piece_show"};
        for (int32_t i = 0; i < 2; ++i) {
            int32_t definition = -1;
            EXPECT_TRUE(mTracks.FindTrack(names[i], &definition));
            EXPECT_TRUE(mTracks.StartTrack(mHost.mPieceTracks[i], definition, false, nullptr));
        }
    }
    ~PanelPieceTest() override
    {
        for (CAnimTrack* track : mHost.mPieceTracks)
            if (track)
                mTracks.FreeInstance(track);
    }

    CAnimTrack* Hide() const { return mHost.mPieceTracks[0]; }
    CAnimTrack* Show() const { return mHost.mPieceTracks[1]; }
    int32_t Kind(const CAnimTrack* track) const { return mProcessor.Slot(track->mOwnerTag).mKind; }
    // Only the combo window's slot is left and neither fade runs.
    void ExpectNoChangeLeft()
    {
        EXPECT_EQ(mProcessor.LiveProcesses(), 1);
        for (const CAnimTrack* track : mHost.mPieceTracks) {
            EXPECT_FALSE(track->mAttached);
            EXPECT_EQ(track->mOwnerTag, CAnimTrack::kNone);
        }
    }
};

TEST_F(PanelPieceTest, AnAwardFadesTheOldPieceOutPicksANewOneAndFadesItIn)
{
    const int32_t fade = FramesFor(Hide()->mSpeed);
    // The second award comes while the first new piece is still fading in: it starts over.
    for (int32_t award = 1; award <= 2; ++award) {
        mHost.mPieceDisplays.clear();
        mProcessor.ShowPanelPiece();
        ASSERT_TRUE(Hide()->mAttached);
        EXPECT_EQ(Kind(Hide()), kProcessShowPanelPiece);
        EXPECT_FALSE(Show()->mAttached);
        EXPECT_EQ(mProcessor.LiveProcesses(), 2);

        Frames(fade - 1);
        EXPECT_EQ(mLevel.Count("pick piece"), award - 1);
        Frames(1);
        EXPECT_EQ(mLevel.Count("pick piece"), award);
        EXPECT_FALSE(Hide()->mAttached);
        ASSERT_TRUE(Show()->mAttached);
        EXPECT_EQ(Kind(Show()), kProcessHidePanelPiece);
        EXPECT_EQ(Show()->mTime, 0.0f);
        EXPECT_EQ(mProcessor.LiveProcesses(), 2);
        EXPECT_EQ(mHost.mPieceDisplays, (std::vector<int32_t>{1, 2}));
        if (award == 1)
            Frames(fade / 2);
    }
    Frames(fade);
    EXPECT_EQ(mHost.mPieceDisplays, (std::vector<int32_t>{1, 2, 0}));
    EXPECT_EQ(mLevel.Count("pick piece"), 2);
    ExpectNoChangeLeft();
}

TEST_F(PanelPieceTest, WaitingForTheFieldToSettleStopsTheChangeWithThePieceAtRest)
{
    const int32_t fade = FramesFor(Hide()->mSpeed);
    // Stopped while the old piece fades out, then while the new one fades in.
    for (const int32_t frames : {fade / 2, fade + fade / 2}) {
        mLevel.mCalls.clear();
        mHost.mPieceDisplays.clear();
        mProcessor.SetState(0);
        mProcessor.ShowPanelPiece();
        Frames(frames);
        mProcessor.SetState(1);
        Frames(1);
        EXPECT_EQ(mLevel.Count("state"), 1) << frames;
        EXPECT_EQ(mLevel.Count("pick piece"), frames > fade ? 1 : 0);
        EXPECT_EQ(mHost.mPieceDisplays.back(), 0);
        ExpectNoChangeLeft();
    }
}

TEST_F(PanelPieceTest, WithoutThePanelsFadesThePieceStillChangesAtOnce)
{
    for (CAnimTrack*& track : mHost.mPieceTracks) {
        mTracks.FreeInstance(track);
        track = nullptr;
    }
    mProcessor.ShowPanelPiece();
    EXPECT_EQ(mLevel.Count("pick piece"), 1);
    EXPECT_EQ(mHost.mPieceDisplays, std::vector<int32_t>{0});
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
}

} // namespace
