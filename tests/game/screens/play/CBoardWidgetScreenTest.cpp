#include "game/board/play/CBall.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/screens/play/BoardWidgetFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using BoardTest::BoardWidgetFixture;
using GameTest::DrawOp;

namespace {

class CBoardWidgetScreenTest : public BoardWidgetFixture {
protected:
    std::vector<DrawOp> Draw()
    {
        GameTest::RecordingGraphics g;
        mBoard.Draw(g.mGraphics);
        return g.Ops();
    }

    // The full-window black fills of a frame, by alpha.
    static std::vector<int> BlackFills(const std::vector<DrawOp>& ops)
    {
        std::vector<int> alphas;
        for (const DrawOp& op : ops) {
            if (op.mOp == "FillRect" && op.mDestRect == Lumo::Rect{0, 0, 800, 600} && op.mColor.mRed == 0)
                alphas.push_back(op.mColor.mAlpha);
        }
        return alphas;
    }

    // Whether anything other than those fills was drawn: the field's blocks.
    static bool FieldDrawn(const std::vector<DrawOp>& ops)
    {
        return std::any_of(ops.begin(), ops.end(), [](const DrawOp& op) { return op.mOp != "FillRect"; });
    }
};

TEST_F(CBoardWidgetScreenTest, FadesInFromCoveredAndOutBackToCovered)
{
    StartPlay();
    // Covered: one opaque fill and nothing of the field.
    EXPECT_EQ(mBoard.FadeState(), CBoardWidget::kCovered);
    std::vector<DrawOp> ops = Draw();
    EXPECT_EQ(BlackFills(ops), std::vector<int>{255});
    EXPECT_FALSE(FieldDrawn(ops));

    mBoard.SetFadeState(CBoardWidget::kFadeIn);
    int32_t updates = 0;
    while (mBoard.FadeState() == CBoardWidget::kFadeIn && updates < 1000) {
        mBoard.Update();
        ++updates;
        if (updates == 63) {
            // Black background, then the field, then the fade layer at 1 - 0.504.
            ops = Draw();
            EXPECT_EQ(BlackFills(ops), (std::vector<int>{255, 126}));
            EXPECT_TRUE(FieldDrawn(ops));
            EXPECT_EQ(ops.back().mColor.mAlpha, 126);
        }
    }
    // 0.008 a step reaches 1 after 125 steps (126 with the float's rounding).
    EXPECT_GE(updates, 125);
    EXPECT_LE(updates, 126);
    EXPECT_EQ(mBoard.FadeState(), CBoardWidget::kFadeNone);
    EXPECT_EQ(BlackFills(Draw()), std::vector<int>{255});

    mBoard.FadeOutUnlessCovered();
    EXPECT_EQ(mBoard.FadeState(), CBoardWidget::kFadeOut);
    for (int32_t i = 0; i < 126; ++i)
        mBoard.Update();
    EXPECT_EQ(mBoard.FadeState(), CBoardWidget::kCovered);
    mBoard.FadeOutUnlessCovered();
    EXPECT_EQ(mBoard.FadeState(), CBoardWidget::kCovered);
}

TEST_F(CBoardWidgetScreenTest, TheOverlayDarkensOverTheBackgroundAndEndsWithTheWindowAction)
{
    StartPlay();
    mBoard.SetFadeState(CBoardWidget::kFadeNone);
    mBoard.SetOverlayOn(true);
    const size_t tracks = mTracks.Running().Used();
    mBoard.PlayOverlayAnim(0.25f, 0.0f, 1.0f);
    ASSERT_NE(mBoard.OverlayTrack(), nullptr);
    Steps(2);
    // Background black, the overlay at half its way from 0 to 1.
    EXPECT_EQ(BlackFills(Draw()), (std::vector<int>{255, 127}));
    Steps(2);
    EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{"action 8"});

    // Played again, the same track runs from its start at the new speed.
    CAnimTrack* track = mBoard.OverlayTrack();
    mBoard.PlayOverlayAnim(0.5f, 1.0f, 0.0f);
    EXPECT_EQ(mBoard.OverlayTrack(), track);
    EXPECT_EQ(BlackFills(Draw()), (std::vector<int>{255, 255}));
    Steps(2);
    EXPECT_EQ(mSpy.mCalls, (std::vector<std::string>{"action 8", "action 8"}));

    mBoard.StopOverlayAnim();
    EXPECT_EQ(mBoard.OverlayTrack(), nullptr);
    EXPECT_FALSE(mBoard.OverlayOn());
    EXPECT_EQ(mTracks.Running().Used(), tracks);
    EXPECT_EQ(mGui.TrackEntry(track), nullptr);
    EXPECT_EQ(BlackFills(Draw()), std::vector<int>{255});
}

// Covered, without windows of its own, the board is plain black: once that is
// drawn, updates leave it clean until something it shows changes.
TEST_F(CBoardWidgetScreenTest, ACoveredBoardIsDrawnAgainOnlyWhenWhatItShowsChanges)
{
    StartPlay();
    ASSERT_EQ(mBoard.FadeState(), CBoardWidget::kCovered);
    // Whether each of three updates, the board drawn after each, marked it.
    auto marks = [this] {
        std::vector<bool> marked;
        for (int32_t i = 0; i < 3; ++i) {
            mBoard.mDirty = false;
            mBoard.Update();
            marked.push_back(mBoard.mDirty);
            Draw();
        }
        return marked;
    };
    const std::vector<bool> once{true, false, false};
    const std::vector<bool> always{true, true, true};
    EXPECT_EQ(marks(), once);
    mGui.mOwner = &mBoard;
    EXPECT_EQ(marks(), always) << "its windows";
    mGui.mOwner = nullptr;
    EXPECT_EQ(marks(), once) << "the windows gone";
    mBoard.SetDebugOverlay(true);
    EXPECT_EQ(marks(), always) << "the debug lines";
    mBoard.SetDebugOverlay(false);
    EXPECT_EQ(marks(), once);
    mBoard.SetFadeState(CBoardWidget::kFadeIn);
    EXPECT_EQ(marks(), always) << "fading in";
}

// Paused under a still window only the backdrop moves: the board is drawn at
// a quarter of the updates; whatever else moves, every update.
TEST_F(CBoardWidgetScreenTest, AStillPauseIsDrawnEveryFourthUpdate)
{
    struct Case {
        const char* name;
        bool paused;
        bool windowOnBoard;
        CBoardWidget::Fade fade;
        bool overlay;
        int32_t marked; // of twelve updates
    };
    const Case cases[] = {
        {"paused under its window", true, true, CBoardWidget::kFadeNone, false, 3},
        {"playing", false, false, CBoardWidget::kFadeNone, false, 12},
        {"paused without a window", true, false, CBoardWidget::kFadeNone, false, 12},
        {"paused, fading in", true, true, CBoardWidget::kFadeIn, false, 12},
        {"paused, the overlay darkening", true, true, CBoardWidget::kFadeNone, true, 12},
    };
    StartPlay();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mFlow.mPaused = c.paused;
        mGui.mOwner = c.windowOnBoard ? &mBoard : nullptr;
        mBoard.SetFadeState(c.fade);
        mBoard.SetOverlayOn(c.overlay);
        int32_t marked = 0;
        for (int32_t i = 0; i < 12; ++i) {
            mBoard.mDirty = false;
            mBoard.Update();
            marked += mBoard.mDirty ? 1 : 0;
            Draw();
        }
        EXPECT_EQ(marked, c.marked);
    }
    mGui.mOwner = nullptr;
}

TEST_F(CBoardWidgetScreenTest, NothingOfPlayRunsOrDrawsWhileTheApplicationIsInactive)
{
    StartPlay();
    mBoard.SetFadeState(CBoardWidget::kFadeIn);
    Click(4, 4);
    ASSERT_TRUE(mBall.Has(CBall::kFlying));
    App().mActive = false;
    const float t = mBall.FlightTime();
    Steps(5);
    mBoard.Update();
    EXPECT_FLOAT_EQ(mBall.FlightTime(), t);
    EXPECT_FLOAT_EQ(mBoard.FadeValue(), 0.0f);
    EXPECT_TRUE(Draw().empty());
    App().mActive = true;
    Steps(1);
    EXPECT_GT(mBall.FlightTime(), t);
}

TEST_F(CBoardWidgetScreenTest, TheFrameRateIsMeasuredOnceMoreThanASecondHasPassed)
{
    mBoard.SetDebugOverlay(true);
    for (int32_t i = 0; i < 50; ++i) {
        mClock.AdvanceMillis(20);
        Draw();
    }
    // Exactly 1000 ms: not yet measured.
    EXPECT_EQ(mBoard.FramesPerSecond(), 0);
    mClock.AdvanceMillis(250);
    Draw();
    // 51 frames in 1250 ms.
    EXPECT_EQ(mBoard.FramesPerSecond(), 40);
    const auto* font = static_cast<GameTest::FixedWidthFont*>(CGameConfig::FontAt(CGameConfig::kService));
    ASSERT_FALSE(font->mDraws.empty());
    EXPECT_EQ(font->mDraws.back().mText, "Turns: 0 ( 0 total ) [ checkpoint -1 ]");
    EXPECT_EQ(font->mDraws[font->mDraws.size() - 5].mText, "FPS: 40");
    mClock.AdvanceMillis(500);
    Draw();
    EXPECT_EQ(mBoard.FramesPerSecond(), 40);
}

TEST_F(CBoardWidgetScreenTest, ThePanelTakesThePointerOnlyWhileInputIsFreeAndTheGameRuns)
{
    // The sample panel's pause button.
    constexpr int32_t kPauseX = 100;
    constexpr int32_t kPauseY = 30;
    struct Case {
        bool locked;
        bool paused;
        int32_t toggles;
    };
    for (const Case c : {Case{true, false, 0}, Case{false, true, 0}, Case{false, false, 1}}) {
        mPause.mToggles = 0;
        mBoard.SetInputLock(c.locked);
        mFlow.mPaused = c.paused;
        mBoard.MouseMove(kPauseX, kPauseY);
        mBoard.MouseDown(kPauseX, kPauseY, 0, 1);
        mBoard.MouseUp(kPauseX, kPauseY, 0, 1);
        EXPECT_EQ(mPause.mToggles, c.toggles) << c.locked << c.paused;
    }
    // The panel's buttons answer the left button only.
    mPause.mToggles = 0;
    mBoard.MouseUp(kPauseX, kPauseY, 1, 1);
    EXPECT_EQ(mPause.mToggles, 0);
}

TEST_F(CBoardWidgetScreenTest, EscapeGoesToThePauseHandlerAndOtherKeysAreIgnored)
{
    mBoard.KeyDown('A');
    EXPECT_EQ(mPause.mEscapes, 0);
    mBoard.KeyDown(CBoardWidget::kEscapeKey);
    EXPECT_EQ(mPause.mEscapes, 1);
    EXPECT_TRUE(mBoard.WantsFocus());
}

} // namespace
