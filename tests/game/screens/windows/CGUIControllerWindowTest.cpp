#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/screens/windows/CGUIScrollbar.h"
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

namespace GUITest {
namespace {

class WindowTest : public GUIFixture {
protected:
    WindowTest() { Load(FixtureXml()); }

    // Steps until the state is stable at target, listing every state met on the way.
    std::vector<int32_t> StatesUntil(int32_t target)
    {
        std::vector<int32_t> states{mGui->State()};
        for (int i = 0; i < 2000 && mGui->State() != target; ++i) {
            Step();
            if (mGui->State() != states.back())
                states.push_back(mGui->State());
        }
        return states;
    }

    std::vector<GameTest::DrawOp> Draw()
    {
        RecordingGraphics g;
        mHost.mFonts[0]->mDraws.clear();
        mGui->DrawWindow(g.mGraphics);
        return g.Ops();
    }

    Lumo::Image* Frame() { return mHost.mImages[0].get(); }
};

TEST_F(WindowTest, OpeningRollsTheBorderOutAndFadesTheContentsIn)
{
    mGui->OpenWindow(GUIWindowId::kMenu, false);
    EXPECT_EQ(mGui->State(), CGUIController::kBorderIn);
    EXPECT_EQ(mGui->CurrentWindow(), CGUIController::kNoWindow);
    Step(2);
    // Half-way through the border phase: the two border pieces meet at the centre, half faded in.
    std::vector<GameTest::DrawOp> ops = Draw();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].mSource, Frame());
    EXPECT_EQ(ops[0].mX, 376);
    EXPECT_EQ(ops[0].mSrcRect, (Lumo::Rect{0, 0, 24, 600}));
    EXPECT_EQ(ops[0].mColor.mAlpha, 127);
    EXPECT_EQ(ops[1].mX, 400);
    EXPECT_EQ(ops[1].mSrcRect, (Lumo::Rect{56, 0, 24, 600}));

    EXPECT_EQ(StatesUntil(CGUIController::kRolling), (std::vector<int32_t>{1, 2}));
    // The roll to 360 pixels takes 18 steps; after 9 the panel is 180 wide.
    Step(9);
    ops = Draw();
    const int32_t left = 400 - 90;
    EXPECT_EQ(ops[0].mX, left - 24);
    EXPECT_EQ(ops[1].mX, left + 180);
    EXPECT_EQ(ops[2].mX, left);
    EXPECT_EQ(ops[2].mSrcRect, (Lumo::Rect{24, 0, 8, 600}));
    EXPECT_EQ(ops[3].mX, left + 180 - 8);
    // 164 middle pixels: two 64-pixel tile columns and 36 more, in each of the 8 rows.
    ASSERT_EQ(ops.size(), 4u + 8u * 3u);
    EXPECT_EQ(ops[4].mX, left + 8);
    EXPECT_EQ(ops[6].mX, left + 8 + 128);
    EXPECT_EQ(ops[6].mSrcRect.mWidth, 36);
    EXPECT_EQ(ops[4 + 3 * 7].mY, 7 * 75);
    EXPECT_TRUE(mSpy.mCalls.empty());

    EXPECT_EQ(StatesUntil(CGUIController::kFadingIn), (std::vector<int32_t>{2, 5}));
    EXPECT_EQ(mGui->CurrentWindow(), GUIWindowId::kMenu);
    EXPECT_EQ(mSpy.mCalls, (std::vector<std::string>{"showing 13"}));
    Step(2);
    Draw();
    ASSERT_FALSE(mHost.mFonts[0]->mDraws.empty());
    EXPECT_EQ(mHost.mFonts[0]->mDraws[0].mColor.mAlpha, 127);

    EXPECT_EQ(StatesUntil(CGUIController::kShown), (std::vector<int32_t>{5, 7}));
    EXPECT_EQ(mSpy.mCalls, (std::vector<std::string>{"showing 13", "shown 13"}));
    EXPECT_EQ(mGui->NextWindow(), CGUIController::kNoWindow);
    Draw();
    std::vector<std::string> texts;
    for (const auto& draw : mHost.mFonts[0]->mDraws)
        texts.push_back(draw.mText);
    // Menu draws no header; its seven buttons in the idle font, at "p" from the left edge.
    EXPECT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0], "menu0");
    EXPECT_EQ(mHost.mFonts[0]->mDraws[0].mX, 400 - 180 + 56);
    EXPECT_EQ(mHost.mFonts[0]->mDraws[0].mColor.mAlpha, 255);
}

TEST_F(WindowTest, OpeningAnotherWindowFadesOutRollsToItsWidthAndFadesIn)
{
    mGui->OpenWindow(GUIWindowId::kMenu, false);
    StatesUntil(CGUIController::kShown);
    mSpy.mCalls.clear();
    mGui->OpenWindow(14, false);
    EXPECT_EQ(StatesUntil(CGUIController::kShown), (std::vector<int32_t>{6, 2, 5, 7}));
    EXPECT_EQ(mSpy.mCalls, (std::vector<std::string>{"showing 14", "shown 14"}));

    // Opening the shown window again changes nothing.
    const std::vector<GameTest::DrawOp> before = Draw();
    mGui->OpenWindow(14, false);
    Step(50);
    EXPECT_EQ(mGui->State(), CGUIController::kShown);
    EXPECT_EQ(Draw().size(), before.size());
}

TEST_F(WindowTest, ClosingWhileRollingRollsBackFromTheWidthReached)
{
    mGui->OpenWindow(GUIWindowId::kMenu, false);
    StatesUntil(CGUIController::kRolling);
    Step(9);
    mGui->CloseWindow(false);
    EXPECT_EQ(mGui->State(), CGUIController::kRollingClosed);
    std::vector<GameTest::DrawOp> ops = Draw();
    EXPECT_EQ(ops[1].mX - ops[0].mX - 24, 180);
    Step(1);
    ops = Draw();
    EXPECT_LT(ops[1].mX - ops[0].mX - 24, 180);
    EXPECT_EQ(StatesUntil(CGUIController::kNone), (std::vector<int32_t>{3, 4, 0}));
    ASSERT_EQ(mSpy.mCalls.size(), 1u);
    EXPECT_EQ(mSpy.mCalls[0].rfind("closed", 0), 0u);
    EXPECT_TRUE(Draw().empty());
}

TEST_F(WindowTest, ClosingAShownWindowRunsTheClosedHookLast)
{
    mGui->OpenWindow(14, false);
    StatesUntil(CGUIController::kShown);
    mSpy.mCalls.clear();
    mGui->CloseWindow(false);
    EXPECT_EQ(StatesUntil(CGUIController::kNone), (std::vector<int32_t>{6, 3, 4, 0}));
    EXPECT_EQ(mSpy.mCalls, (std::vector<std::string>{"closed 14"}));
    EXPECT_FALSE(mGui->WindowOpened());
}

TEST_F(WindowTest, ImmediateOpeningAndClosingRunNoHooks)
{
    mGui->OpenWindow(GUIWindowId::kMenu, true);
    EXPECT_EQ(mGui->State(), CGUIController::kShown);
    EXPECT_EQ(mGui->CurrentWindow(), GUIWindowId::kMenu);
    Step(100);
    mGui->CloseWindow(true);
    EXPECT_EQ(mGui->State(), CGUIController::kNone);
    EXPECT_EQ(mGui->CurrentWindow(), CGUIController::kNoWindow);
    Step(100);
    EXPECT_TRUE(mSpy.mCalls.empty());
}

TEST_F(WindowTest, HooksMayOpenTheNextWindow)
{
    mSpy.mOnHook = [this](const std::string& call) {
        if (call == "shown 13")
            mGui->OpenWindow(14, false);
        if (call == "closed 14")
            mGui->OpenWindow(17, false);
    };
    mGui->OpenWindow(GUIWindowId::kMenu, false);
    EXPECT_EQ(StatesUntil(CGUIController::kShown), (std::vector<int32_t>{1, 2, 5, 6, 2, 5, 7}));
    EXPECT_EQ(mGui->CurrentWindow(), 14);
    mGui->CloseWindow(false);
    EXPECT_EQ(StatesUntil(CGUIController::kShown), (std::vector<int32_t>{6, 3, 4, 1, 2, 5, 7}));
    EXPECT_EQ(mGui->CurrentWindow(), 17);
    EXPECT_EQ(mSpy.mCalls, (std::vector<std::string>{"showing 13", "shown 13", "showing 14", "shown 14",
                                                     "closed 14", "showing 17", "shown 17"}));
}

TEST_F(WindowTest, EditBoxesAndListScrollBarsLiveInTheWidgetTreeOnlyWhileTheirWindowIsShown)
{
    // Also: a window opened at once leaves from its fade like any other.
    Lumo::WidgetManager& manager = *App().mWidgetManager;
    mGui->OpenWindow(15, true);
    Lumo::EditWidget* edit = mGui->EditBox(0)->mWidget.get();
    EXPECT_TRUE(manager.HasChild(edit));
    EXPECT_EQ(edit->mX, 400 - 200 + 48);
    mGui->OpenWindow(17, false);
    EXPECT_FALSE(manager.HasChild(edit));
    StatesUntil(CGUIController::kShown);
    CGUIScrollbar* bar = mGui->ListBox(0)->mScrollbar.get();
    EXPECT_TRUE(manager.HasChild(bar));
    EXPECT_EQ(bar->mX, 400 - 230 + 388);
    // Released while shown: the widget tree keeps no pointer to freed widgets.
    mGui->Release();
    EXPECT_FALSE(manager.HasChild(bar));
}

TEST_F(WindowTest, ExtrasAreDrawnForTheCurrentWindow)
{
    mGui->OpenWindow(GUIWindowId::kHiscoreShow, true);
    Draw();
    EXPECT_EQ(mHost.mHiscoreDraws, std::vector<int32_t>{255});

    mHost.mTuning.mCreditsSpeed = 0.25f;
    mHost.mTuning.mCreditsPos = 520;
    mHost.mTuning.mCreditsWidth = 360;
    mHost.mTuning.mCreditsGap = 40;
    mGui->OpenWindow(GUIWindowId::kCredits, true);
    Step(2);
    EXPECT_FLOAT_EQ(mGui->CreditsPosition(), 0.5f);
    Draw();
    ASSERT_EQ(mHost.mFonts[0]->mDraws.size(), 2u);
    const auto& body = mHost.mFonts[0]->mDraws[1];
    EXPECT_EQ(body.mText, "Zentrova");
    // The body scrolls up through the band 160..520 of the body's width.
    EXPECT_EQ(body.mY, 520 - 200);
    EXPECT_EQ(body.mClip, (Lumo::Rect{250, 160, 300, 360}));
    Step(3);
    EXPECT_FLOAT_EQ(mGui->CreditsPosition(), 0.0f);
}

TEST_F(WindowTest, TheHighlightWheelTurnsInFortyStepsAndFadesAway)
{
    mHost.mTuning.mWheelSpeed = 0.125f;
    mHost.mTuning.mWheelFadeSpeed = 0.25f;
    mGui->SetHighlight(true);
    Step(2);
    RecordingGraphics g;
    mGui->DrawWindow(g.mGraphics);
    ASSERT_EQ(g.Ops().size(), 1u);
    EXPECT_EQ(g.Ops()[0].mOp, "BlitRotated");
    EXPECT_NEAR(g.Ops()[0].mAngle, 10 * 0.1571, 1e-6);
    EXPECT_EQ(g.Ops()[0].mColor.mAlpha, 127);
    Step(20);
    EXPECT_TRUE(mGui->HighlightOn());
    mGui->SetHighlight(false);
    Step(4);
    EXPECT_FALSE(mGui->HighlightOn());
    mGui->SetHighlight(false);
    EXPECT_FALSE(mGui->HighlightOn());
}

TEST_F(WindowTest, FinishedControlTracksReachTheirOwners)
{
    CTrackBase& tracks = mHost.Tracks();
    const struct {
        int32_t kind;
        const char* call;
    } cases[] = {{3, "hud 3"}, {8, "action 8"}, {10, "labels 10"}, {11, "action 11"}, {12, "action 12"},
                 {7, "popup 4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        mSpy.mCalls.clear();
        CAnimTrack* track = tracks.NewIdleInstance();
        track->mSpeed = 0.5f;
        track->mRunning = 1;
        mGui->StartTrack(track, c.kind, 4, 0);
        Step(2);
        EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{c.call});
        mGui->StopTrack(track);
        EXPECT_EQ(track->mOwnerTag, CAnimTrack::kNone);
        EXPECT_EQ(mGui->TrackEntry(track), nullptr);
        tracks.FreeInstance(track);
    }
    // A stopped track hands its tag back, and a restarted one is not handled twice.
    CAnimTrack* track = tracks.NewIdleInstance();
    track->mSpeed = 1.0f;
    track->mRunning = 1;
    mGui->StartTrack(track, 8, 0, 0);
    mGui->Player().Update(1.0f);
    mGui->RestartTrack(track, 0.5f);
    mSpy.mCalls.clear();
    Step(0);
    mGui->UpdateTracks(0.0f);
    EXPECT_TRUE(mSpy.mCalls.empty());
    mGui->StopTrack(track);
    tracks.FreeInstance(track);
}

} // namespace
} // namespace GUITest
