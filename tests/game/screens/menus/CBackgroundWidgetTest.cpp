#include "framework/widgets/WidgetManager.h"
#include "game/data/CGameConfig.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/menus/CBackgroundWidget.h"
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/game/screens/windows/GUITestDoubles.h"
#include "tests/game/support/GameFixture.h"
#include "tests/game/support/RecordingImage.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <tinyxml.h>

namespace ScreensTest {
namespace {

class BackgroundWidgetTest : public GameTest::GameFixture {
protected:
    BackgroundWidgetTest()
    {
        App().AddImage("res\\front.png", 800, 600);
        App().AddImage("res\\back.png", 800, 450);
        TiXmlDocument document;
        document.Parse("<root><img src=\"res\\front.png\" start=\"1\" end=\"1\"/>"
                       "<img src=\"res\\back.png\" start=\"1\" end=\"1\"/></root>");
        mImages.LoadFromXml(document.FirstChildElement("root"));
        int32_t front = 0;
        int32_t back = 0;
        mImages.FindByName("res\\front.png|1", &front);
        mImages.FindByName("res\\back.png|1", &back);
        mImages.FetchSlotImage(front);
        mImages.FetchSlotImage(back);
        mSaved = CGameConfig::live;
        CGameConfig::live.menuImg = front;
        CGameConfig::live.menubgImg = back;
    }
    ~BackgroundWidgetTest() override { CGameConfig::live = mSaved; }

    // The rows where copies of the back picture start (the front picture is drawn last).
    static std::vector<int> BackRows(CBackgroundWidget& widget)
    {
        GameTest::RecordingGraphics g;
        widget.Draw(g.mGraphics);
        std::vector<int> rows;
        for (size_t i = 0; i + 1 < g.Ops().size(); ++i)
            rows.push_back(g.Ops()[i].mY - g.Ops()[i].mSrcRect.mY);
        return rows;
    }

    CGameConfig::Values mSaved;
    CImageTable mImages{&App()};
    CBackgroundWidget mWidget;
};

TEST_F(BackgroundWidgetTest, BackPictureScrollsWrapsAndCoversTheWindowEitherWay)
{
    struct Case {
        float mSpeed;
        int mUpdates;
        int mOffset;
        std::vector<int> mRows;
    };
    const Case cases[] = {
        {-0.5f, 200, -100, {-100, 350}},
        // Past a whole picture height the offset wraps, keeping its sign.
        {-1.0f, 451, -1, {-1, 449}},
        // Scrolling down leaves a band above the first copy: a copy fills it.
        {1.0f, 100, 100, {-350, 100, 550}},
        {1.0f, 451, 1, {-449, 1, 451}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mSpeed * float(c.mUpdates));
        CGameConfig::live.menubgSpd = c.mSpeed;
        CBackgroundWidget widget;
        widget.SetupFromBackground(mImages);
        widget.FadeIn();
        for (int i = 0; i < c.mUpdates; ++i)
            widget.Update();
        EXPECT_EQ(widget.Offset(), c.mOffset);
        EXPECT_EQ(BackRows(widget), c.mRows);
    }
}

TEST_F(BackgroundWidgetTest, WithoutABackPictureNothingScrolls)
{
    CGameConfig::live.menubgImg = -1;
    CGameConfig::live.menubgSpd = -2.0f;
    mWidget.SetupFromBackground(mImages);
    mWidget.FadeIn();
    for (int i = 0; i < 10; ++i)
        mWidget.Update();
    EXPECT_EQ(mWidget.Offset(), 0);
    EXPECT_TRUE(BackRows(mWidget).empty());
}

TEST_F(BackgroundWidgetTest, FadesInOnceThenOutAndLeavesTheScreen)
{
    Lumo::Widget parent;
    parent.AddChild(&mWidget);
    mWidget.SetupFromBackground(mImages);
    mWidget.FadeIn();
    int updates = 0;
    while (mWidget.State() != CBackgroundWidget::kShown && updates < 1000) {
        mWidget.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 125);
    EXPECT_TRUE(mWidget.MenuOpened());
    {
        GameTest::RecordingGraphics g;
        mWidget.Draw(g.mGraphics);
        ASSERT_FALSE(g.Ops().empty());
        EXPECT_EQ(g.Ops().back().mColor, Lumo::Color(255, 255, 255));
    }
    mWidget.FadeOut();
    for (int i = 0; i < 125 && mWidget.State() != CBackgroundWidget::kHidden; ++i)
        mWidget.Update();
    EXPECT_EQ(mWidget.State(), CBackgroundWidget::kHidden);
    EXPECT_FALSE(parent.HasChild(&mWidget));
    GameTest::RecordingGraphics g;
    mWidget.Draw(g.mGraphics);
    EXPECT_TRUE(g.Ops().empty());
}

// Shown, the backdrop is drawn again only when its picture has moved a whole
// row; faded or not, it lets what lies behind it be drawn beneath it.
TEST_F(BackgroundWidgetTest, IsRedrawnOnlyWhenItMovesAndThenOverWhatLiesBehind)
{
    CGameConfig::live.menubgSpd = -0.25f;
    Lumo::WidgetManager& manager = *App().mWidgetManager;
    Lumo::Widget behind;
    behind.Resize(0, 0, 800, 600);
    mWidget.Resize(0, 0, 800, 600);
    manager.AddChild(&behind);
    manager.AddChild(&mWidget);
    mWidget.SetupFromBackground(mImages);
    mWidget.FadeIn();
    int fading = 0;
    int shown = 0;
    for (int i = 0; i < 225; ++i) {
        behind.mDirty = mWidget.mDirty = false;
        const bool wasShown = mWidget.State() == CBackgroundWidget::kShown;
        manager.UpdateFrame();
        EXPECT_EQ(behind.mDirty, mWidget.mDirty) << i;
        if (mWidget.mDirty)
            ++(wasShown ? shown : fading);
    }
    // Fading in, every update changes it; then a row every fourth update.
    EXPECT_EQ(fading, 125);
    EXPECT_EQ(shown, 25);
    manager.RemoveChild(&mWidget);
    manager.RemoveChild(&behind);
}

// The backdrop hosting the window system: it opens the first window and
// passes the pointer only once it has faded in.
class BackdropWindowsTest : public BackgroundWidgetTest {
protected:
    BackdropWindowsTest()
    {
        mHost.AddPicture("frame", 80, 600, 0xFF102030);
        mHost.AddPicture("header", 256, 48);
        TiXmlDocument document;
        document.Parse(GUITest::FixtureXml().c_str());
        mGui.LoadFromXml(document.RootElement());
        mGui.CreateImages();
    }

    void FadeIn(CBackgroundWidget& widget)
    {
        widget.SetupFromBackground(mImages);
        widget.FadeIn();
        for (int i = 0; i < 200 && widget.State() != CBackgroundWidget::kShown; ++i)
            widget.Update();
    }

    // The menu's first button, in screen coordinates.
    void ClickPlayers(CBackgroundWidget& widget)
    {
        const GUIButton* button = mGui.Button(16);
        const int x = 400 - mGui.Window(13)->mWidth / 2 + button->mRect.mX + 2;
        const int y = button->mRect.mY + 2;
        widget.MouseMove(x, y);
        widget.MouseDown(x, y, 1, 1);
        widget.MouseUp(x, y, 1, 1);
    }

    int Opened(int window) const
    {
        return int(std::count(mSpy.mCalls.begin(), mSpy.mCalls.end(), "showing " + std::to_string(window)));
    }

    void Run(int steps)
    {
        for (int i = 0; i < steps; ++i)
            mGui.UpdateTracks(1.0f);
    }

    GUITest::TestHost mHost;
    GUITest::SpyHandler mSpy;
    CGUIController mGui{&App(), &mHost, &mSpy};
    CUserProfiles mProfiles;
};

TEST_F(BackdropWindowsTest, TheFirstFadeInOpensTheMenuOrTheFirstPlayersWindow)
{
    for (const bool players : {false, true}) {
        SCOPED_TRACE(players);
        if (players)
            mProfiles.Add("ann");
        mGui.CloseWindow(true);
        CBackgroundWidget widget(&mGui, &mProfiles);
        FadeIn(widget);
        ASSERT_EQ(widget.State(), CBackgroundWidget::kShown);
        EXPECT_EQ(mGui.mOwner, &widget);
        EXPECT_EQ(mGui.LastOpenedWindow(), players ? 13 : 15);
    }
}

TEST_F(BackdropWindowsTest, WindowsTakeThePointerAndAreDrawnOnlyOnceFadedIn)
{
    mProfiles.Add("ann");
    CBackgroundWidget widget(&mGui, &mProfiles);
    widget.SetupFromBackground(mImages);
    widget.FadeIn();
    mGui.OpenWindow(13, true);
    // Still fading in: the windows get no pointer and are not drawn.
    widget.Update();
    ClickPlayers(widget);
    EXPECT_TRUE(std::find(mSpy.mCalls.begin(), mSpy.mCalls.end(), "command 16 1") == mSpy.mCalls.end());
    GameTest::RecordingGraphics fading;
    widget.Draw(fading.mGraphics);

    FadeIn(widget);
    Run(100);
    ASSERT_EQ(mGui.CurrentWindow(), 13);
    ASSERT_EQ(mGui.State(), CGUIController::kShown);
    GameTest::RecordingGraphics shown;
    widget.Draw(shown.mGraphics);
    EXPECT_GT(shown.Ops().size(), fading.Ops().size());
    ClickPlayers(widget);
    EXPECT_TRUE(std::find(mSpy.mCalls.begin(), mSpy.mCalls.end(), "command 16 1") != mSpy.mCalls.end());

    // Further updates open nothing more; a new fade-in opens the menu again.
    const int menus = Opened(13);
    for (int i = 0; i < 50; ++i)
        widget.Update();
    mGui.CloseWindow(true);
    Run(100);
    EXPECT_EQ(Opened(13), menus);
    EXPECT_EQ(mGui.State(), CGUIController::kNone);
    FadeIn(widget);
    Run(100);
    EXPECT_EQ(Opened(13), menus + 1);
}

} // namespace
} // namespace ScreensTest
