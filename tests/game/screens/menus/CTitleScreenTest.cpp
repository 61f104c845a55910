#include "game/screens/menus/CTitleScreen.h"
#include "tests/game/screens/menus/ScreenHostRecorder.h"
#include "tests/game/support/GameFixture.h"
#include "tests/game/support/RecordingImage.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ScreensTest {
namespace {

class TitleScreenTest : public GameTest::GameFixture {
protected:
    TitleScreenTest()
    {
        App().AddImage("res\\splash_800x600", 800, 600);
        App().AddImage("res\\titlescreen", 800, 600);
        mTitle.Resize(0, 0, 800, 600);
        mTitle.LoadSplash();
    }

    // Updates until the splash has gone; the number of updates it took.
    int RunSplash()
    {
        int updates = 0;
        while (mTitle.SplashShown() && updates < 2000) {
            mTitle.Update();
            ++updates;
        }
        return updates;
    }

    // Title updates until the hand-over (or the limit); loading ends after
    // loadingAt of them (0: before the title appeared).
    int UpdatesToHandOver(int loadingAt, int limit = 1000)
    {
        for (int i = 1; i <= limit; ++i) {
            if (i == loadingAt)
                mTitle.StartTitle();
            mTitle.Update();
            if (mHost.mGameScreens > 0)
                return i;
        }
        return -1;
    }

    ScreenHostRecorder mHost;
    CTitleScreen mTitle{App(), mHost};
};

TEST_F(TitleScreenTest, SplashFadesInHoldsAndFadesOutBeforeTheTitleShows)
{
    EXPECT_EQ(mTitle.State(), CTitleScreen::kFadingIn);
    // 250 updates in, 200 held, 125 out (one more each where the float sum lands on 1.0).
    const int splash = RunSplash();
    EXPECT_GE(splash, 250 + 200 + 125);
    EXPECT_LE(splash, 250 + 200 + 125 + 3);
    EXPECT_EQ(mTitle.State(), CTitleScreen::kTitle);
    EXPECT_TRUE(mTitle.WheelVisible());
    EXPECT_EQ(App().mImageLoads, (std::vector<std::string>{"res\\splash_800x600", "res\\titlescreen"}));
}

TEST_F(TitleScreenTest, HandOverWaitsForLoadingAndTheWheel)
{
    struct Case {
        const char* mWhat;
        int mLoadingAt; // title update at which loading ends; 0 during the splash
        int mFirst;
        int mLast;
    };
    // Loading done during the splash: the wheel fades from the splash's fade
    // (under 0.2 here) as soon as it starts fading, 401 updates after the title
    // appeared (the update that showed it counts as the first).
    // Loading done at 300: the wheel fades from full, 160 updates past 401.
    // Loading done after the wheel has gone: at once.
    const Case cases[] = {
        {"during the splash", 0, 401, 401},
        {"at title update 300", 300, 559, 562},
        {"at title update 700", 700, 700, 700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mWhat);
        mHost.mGameScreens = 0;
        mTitle.LoadSplash();
        if (c.mLoadingAt == 0) {
            mTitle.Update();
            mTitle.StartTitle();
        }
        RunSplash();
        const int at = UpdatesToHandOver(c.mLoadingAt);
        EXPECT_GE(at, c.mFirst);
        EXPECT_LE(at, c.mLast);
        EXPECT_EQ(mTitle.State(), CTitleScreen::kFadingOut);
    }
}

TEST_F(TitleScreenTest, NoHandOverWithoutLoadingThenFadesOutAndGoes)
{
    RunSplash();
    EXPECT_EQ(UpdatesToHandOver(-1, 2000), -1);
    EXPECT_FALSE(mTitle.WheelVisible());
    mTitle.StartTitle();
    EXPECT_EQ(mHost.mGameScreens, 1);
    for (int i = 0; i < 126 && mHost.mTitlesGone == 0; ++i)
        mTitle.Update();
    EXPECT_EQ(mHost.mTitlesGone, 1);
    EXPECT_EQ(mTitle.State(), CTitleScreen::kGone);
}

TEST_F(TitleScreenTest, DrawsTheFadingSplashOverBlackAndTheTurningWheel)
{
    mHost.mWheel = std::make_unique<Lumo::MemoryImage>();
    mHost.mWheel->SetSize(74, 74);
    for (int i = 0; i < 125; ++i)
        mTitle.Update();
    {
        GameTest::RecordingGraphics g;
        mTitle.Draw(g.mGraphics);
        ASSERT_EQ(g.Ops().size(), 2u);
        EXPECT_EQ(g.Ops()[0].mOp, "FillRect");
        EXPECT_EQ(g.Ops()[0].mColor, Lumo::Color(0, 0, 0));
        EXPECT_EQ(g.Ops()[1].mOp, "Blit");
        EXPECT_EQ(g.Ops()[1].mColor.mAlpha, 127);
    }
    RunSplash();
    for (int i = 0; i < 25; ++i)
        mTitle.Update();
    GameTest::RecordingGraphics g;
    mTitle.Draw(g.mGraphics);
    ASSERT_EQ(g.Ops().size(), 2u);
    EXPECT_EQ(g.Ops()[0].mColor, Lumo::Color(255, 255, 255));
    EXPECT_EQ(g.Ops()[1].mOp, "BlitRotated");
    EXPECT_EQ(g.Ops()[1].mSource, mHost.mWheel.get());
    EXPECT_NEAR(g.Ops()[1].mAngle, 2 * 0.157, 1e-5);
    EXPECT_EQ(g.Ops()[1].mX, 363);
    EXPECT_EQ(g.Ops()[1].mY, 35);
}

} // namespace
} // namespace ScreensTest
