#include "tests/game/screens/play/CGamePanelFixture.h"

#include "game/board/field/CCellRuns.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CBall.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "game/screens/windows/CGUIController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// Points in the sample panel: on the menu and pause buttons, on the undo
// button (372..428 x 20..44), on the panel elsewhere, and below it.
constexpr int32_t kMenuX = 30, kMenuY = 30;
constexpr int32_t kPauseX = 100, kPauseY = 30;
constexpr int32_t kUndoX = 400, kUndoY = 30;
constexpr int32_t kPanelX = 300, kPanelY = 50;
constexpr int32_t kBelowX = 400, kBelowY = 300;

class CGamePanelInputTest : public PanelTest::PanelFixture {
protected:
    CGamePanelInputTest() { MakeSamplePanel(); }

    // The body's row as drawn now, relative to the draw origin (put low enough
    // that nothing is clipped); INT32_MIN when nothing is drawn.
    int BodyY()
    {
        GameTest::RecordingGraphics g;
        mPanel->Draw(g.mGraphics, 0, 100);
        return g.Ops().empty() ? INT32_MIN : g.Ops().front().mY - 100;
    }

    int HudCalls(const std::string& call) const
    {
        return int(std::count(mHandler.mCalls.begin(), mHandler.mCalls.end(), call));
    }

    // Updates until the panel's slide state is reached; the number of updates, or -1.
    int StepUntilSlide(int32_t state)
    {
        for (int i = 1; i <= 200; ++i) {
            Step();
            if (mPanel->SlideState() == state)
                return i;
        }
        return -1;
    }

    // A processor that can start an undo when a step has been recorded.
    void MakeUndoPanel(bool stepRecorded)
    {
        mScene = std::make_unique<CSceneObjBase>(mImages, *mAnims, mHost.mTracks);
        mBall = std::make_unique<CBall>(mField, mImages, *mAnims, *mScene);
        ProcessorLinks links;
        links.mApp = &App();
        links.mField = &mField;
        links.mBall = mBall.get();
        links.mTracks = &mHost.mTracks;
        links.mImages = &mImages;
        links.mAnims = mAnims.get();
        mUndo = std::make_unique<CGameProcessor>(links);
        mRuns.Init();
        if (stepRecorded)
            mRuns.PushRun(0);
        mProcessor = mUndo.get();
        MakeSamplePanel();
        mPanel->ShowUndoButton(true);
    }

    CGameField mField;
    std::unique_ptr<CSceneObjBase> mScene;
    std::unique_ptr<CBall> mBall;
    std::unique_ptr<CGameProcessor> mUndo;
    CCellRuns mRuns;
};

TEST_F(CGamePanelInputTest, SlidingBackMidwayStartsFromTheMirroredTimeSoThePanelNeverJumps)
{
    EXPECT_EQ(BodyY(), 0);
    mPanel->SlideOnOff(false);
    EXPECT_EQ(mPanel->SlideState(), CGamePanel::kSlidingOut);
    Step(10);
    const int out = BodyY();
    EXPECT_LT(out, -20);
    EXPECT_GT(out, -60);

    mPanel->SlideOnOff(true);
    EXPECT_EQ(mPanel->SlideState(), CGamePanel::kSlidingIn);
    EXPECT_NEAR(BodyY(), out, 1);
    // The rest of the way in takes as long as the way out so far.
    const int back = StepUntilSlide(CGamePanel::kShown);
    EXPECT_GE(back, 9);
    EXPECT_LE(back, 11);
    EXPECT_EQ(BodyY(), 0);
    EXPECT_EQ(HudCalls("hud 2"), 1);
    EXPECT_EQ(mGui->TrackEntry(mPanel->SlideTrack()), nullptr);

    // All the way out it is hidden and draws nothing; sliding in again starts from the top.
    mPanel->SlideOnOff(false);
    EXPECT_GT(StepUntilSlide(CGamePanel::kHidden), 20);
    EXPECT_EQ(BodyY(), INT32_MIN);
    mPanel->SlideOnOff(true);
    EXPECT_EQ(BodyY(), -80);

    mPanel->HideNow();
    EXPECT_EQ(mPanel->SlideState(), CGamePanel::kHidden);
    EXPECT_EQ(mGui->TrackEntry(mPanel->SlideTrack()), nullptr);
    mPanel->SlideOnOff(false);
    EXPECT_EQ(mPanel->SlideState(), CGamePanel::kHidden);
}

TEST_F(CGamePanelInputTest, PointerInputIsIgnoredWhileThePanelSlides)
{
    mPanel->SlideOnOff(false);
    Step(2);
    mPanel->SlideOnOff(true);
    mPanel->OnPointerMove(kMenuX, kMenuY);
    mPanel->OnPointerButton(kPauseX, kPauseY, true);
    mPanel->OnPointerButton(kPauseX, kPauseY, false);
    mPanel->OnPointerButton(kMenuX, kMenuY, false);
    EXPECT_EQ(mFlow.mToggles, 0);
    EXPECT_FALSE(mFlow.mPaused);
    EXPECT_EQ(mPanel->Highlight(CGamePanel::kMenuButton), 0.0f);
    EXPECT_EQ(mPanel->SlideState(), CGamePanel::kSlidingIn);

    ASSERT_GT(StepUntilSlide(CGamePanel::kShown), 0);
    mPanel->OnPointerButton(kPauseX, kPauseY, true);
    EXPECT_EQ(mFlow.mToggles, 0);
    mPanel->OnPointerButton(kPauseX, kPauseY, false);
    EXPECT_EQ(mFlow.mToggles, 1);
}

TEST_F(CGamePanelInputTest, TheMenuButtonHighlightsAndOnReleaseSlidesOffPausesAndAsksToLeave)
{
    mPanel->OnPointerMove(kMenuX, kMenuY);
    EXPECT_TRUE(mPanel->Hovered(CGamePanel::kMenuButton));
    Step(10);
    const float partway = mPanel->Highlight(CGamePanel::kMenuButton);
    EXPECT_GT(partway, 0.3f);
    EXPECT_LT(partway, 0.7f);
    // Leaving turns the fade back from where it stands.
    mPanel->OnPointerMove(kPanelX, kPanelY);
    EXPECT_NEAR(mPanel->Highlight(CGamePanel::kMenuButton), partway, 0.01f);
    Step(30);
    EXPECT_EQ(mPanel->Highlight(CGamePanel::kMenuButton), 0.0f);
    EXPECT_FALSE(mPanel->Hovered(CGamePanel::kMenuButton));
    EXPECT_EQ(HudCalls("hud 5"), 1);

    mPanel->OnPointerMove(kMenuX, kMenuY);
    Step(30);
    EXPECT_EQ(mPanel->Highlight(CGamePanel::kMenuButton), 1.0f);
    EXPECT_TRUE(mPanel->Hovered(CGamePanel::kMenuButton));

    mPanel->OnPointerButton(kMenuX, kMenuY, true);
    EXPECT_EQ(mPanel->SlideState(), CGamePanel::kShown);
    mPanel->OnPointerButton(kMenuX, kMenuY, false);
    EXPECT_EQ(mPanel->SlideState(), CGamePanel::kSlidingOut);
    EXPECT_TRUE(mFlow.mPaused);
    EXPECT_EQ(mGui->LastOpenedWindow(), CGamePanel::kMenuConfirmWindow);
    EXPECT_EQ(mPanel->Highlight(CGamePanel::kMenuButton), 0.0f);
}

struct UndoCase {
    const char* mName;
    bool mStepRecorded;
    int32_t mReleaseX;
    int32_t mReleaseY;
    bool mBusy;
    int32_t mState;
};

TEST_F(CGamePanelInputTest, PressingAndReleasingTheUndoButton)
{
    const UndoCase cases[] = {
        {"released on it", true, kUndoX, kUndoY, true, CGamePanel::kUndoPressed},
        {"released beside it", true, kPanelX, kPanelY, false, CGamePanel::kUndoIdle},
        {"released below the panel", true, kBelowX, kBelowY, false, CGamePanel::kUndoIdle},
        {"nothing to undo", false, kUndoX, kUndoY, false, CGamePanel::kUndoHovered},
    };
    for (const UndoCase& c : cases) {
        MakeUndoPanel(c.mStepRecorded);
        mPanel->OnPointerMove(kUndoX, kUndoY);
        EXPECT_EQ(mPanel->UndoState(), CGamePanel::kUndoHovered) << c.mName;
        mPanel->OnPointerButton(kUndoX, kUndoY, true);
        EXPECT_EQ(mPanel->UndoState(), CGamePanel::kUndoPressed) << c.mName;
        // A pressed button keeps its look wherever the pointer goes.
        mPanel->OnPointerMove(c.mReleaseX, c.mReleaseY);
        EXPECT_EQ(mPanel->UndoState(), CGamePanel::kUndoPressed) << c.mName;
        mPanel->OnPointerButton(c.mReleaseX, c.mReleaseY, false);
        EXPECT_EQ(mPanel->UndoBusy(), c.mBusy) << c.mName;
        EXPECT_EQ(mPanel->UndoState(), c.mState) << c.mName;
        EXPECT_EQ(mBall->Has(CBall::kHeld), c.mBusy) << c.mName;
    }
}

TEST_F(CGamePanelInputTest, AFinishedUndoFreesTheButtonAsThePointerFindsIt)
{
    MakeUndoPanel(true);
    mPanel->OnPointerMove(kUndoX, kUndoY);
    mPanel->OnPointerButton(kUndoX, kUndoY, true);
    mPanel->OnPointerButton(kUndoX, kUndoY, false);
    ASSERT_TRUE(mPanel->UndoBusy());
    // While busy, pointer moves and presses leave it alone.
    mPanel->OnPointerMove(kPanelX, kPanelY);
    mPanel->OnPointerButton(kUndoX, kUndoY, true);
    EXPECT_EQ(mPanel->UndoState(), CGamePanel::kUndoPressed);
    mPanel->HitTestUndo();
    EXPECT_FALSE(mPanel->UndoBusy());
    EXPECT_EQ(mPanel->UndoState(), CGamePanel::kUndoHovered);

    mPanel->OnPointerMove(kPanelX, kPanelY);
    EXPECT_EQ(mPanel->UndoState(), CGamePanel::kUndoIdle);
    mPanel->HitTestUndo();
    EXPECT_EQ(mPanel->UndoState(), CGamePanel::kUndoIdle);
}

} // namespace
