#include "framework/widgets/WidgetManager.h"

#include "framework/widgets/WidgetFlag.h"
#include "tests/widgets/WidgetTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace WidgetTests {
namespace {

using ::testing::ElementsAre;

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override { mManager.SetScreenRect(Lumo::Rect{0, 0, 800, 600}, Lumo::Rect{0, 0, 800, 600}); }
    void TearDown() override { mManager.RemoveAllChildren(false, true); }

    LogWidget* Add(const std::string& name, int x, int y, int w, int h)
    {
        mWidgets.push_back(std::make_unique<LogWidget>(&mLog, name, x, y, w, h));
        mManager.AddChild(mWidgets.back().get());
        return mWidgets.back().get();
    }

    FakeAppHost mApp;
    Lumo::WidgetManager mManager{&mApp};
    std::vector<std::string> mLog;
    std::vector<std::unique_ptr<LogWidget>> mWidgets;
};

TEST_F(ManagerTest, PressedWidgetKeepsTheMouseWhileDraggedOffAndBack)
{
    LogWidget* button = Add("button", 100, 100, 50, 20);
    Add("other", 300, 100, 50, 20);
    mManager.MouseMoveInput(110, 105);
    mManager.MouseDown(110, 105, 1);
    mManager.MouseMoveInput(310, 105);
    mManager.MouseMoveInput(120, 108);
    mManager.MouseMoveInput(320, 90);
    mManager.MouseUp(320, 90, 1);
    EXPECT_THAT(mLog, ElementsAre("button:enter", "button:down 10,5 b0 c1", "button:drag 210,5", "button:leave",
                                  "button:drag 20,8", "button:enter", "button:drag 220,-10", "button:leave",
                                  "button:up 220,-10 b0 c1"));
    EXPECT_FALSE(button->mPressed);
}

TEST_F(ManagerTest, SecondButtonGoesToTheWidgetHoldingTheMouse)
{
    Add("left", 0, 0, 50, 50);
    Add("right", 100, 0, 50, 50);
    mManager.MouseDown(10, 10, 1);
    mManager.MouseDown(110, 10, -1);
    mManager.MouseUp(110, 10, 1);
    EXPECT_EQ(mManager.mPressedWidget, mWidgets[0].get());
    mManager.MouseUp(110, 10, -1);
    EXPECT_EQ(mManager.mPressedWidget, nullptr);
    EXPECT_THAT(mLog, ElementsAre("left:enter", "left:down 10,10 b0 c1", "left:leave", "right:enter",
                                  "left:down 110,10 b1 c1", "left:up 110,10 b0 c1", "left:up 110,10 b1 c1"));
}

TEST_F(ManagerTest, MouseUpOfANestedWidgetIsRelativeToItself)
{
    LogWidget* panel = Add("panel", 100, 100, 200, 200);
    mWidgets.push_back(std::make_unique<LogWidget>(&mLog, "inner", 20, 30, 50, 50));
    LogWidget* inner = mWidgets.back().get();
    panel->AddChild(inner);
    mManager.MouseDown(125, 135, 1);
    mManager.MouseUp(126, 137, 1);
    EXPECT_THAT(mLog, ElementsAre("inner:enter", "inner:down 5,5 b0 c1", "inner:up 6,7 b0 c1"));
}

TEST_F(ManagerTest, DisabledWidgetInFrontHidesTheOneBehind)
{
    Add("behind", 0, 0, 50, 50);
    LogWidget* front = Add("front", 0, 0, 50, 50);
    front->SetDisabled(true);
    mManager.MouseDown(10, 10, 1);
    mManager.MouseUp(10, 10, 1);
    EXPECT_TRUE(mLog.empty());
}

TEST_F(ManagerTest, ModalWidgetTakesInputFromWidgetsBehindIt)
{
    LogWidget* field = Add("field", 0, 0, 50, 50);
    field->mTakesFocus = true;
    mManager.MouseDown(10, 10, 1);
    EXPECT_EQ(mManager.mFocusWidget, field);
    LogWidget* dialog = Add("dialog", 200, 200, 100, 100);
    mLog.clear();
    mManager.PushModal(dialog);
    EXPECT_THAT(mLog, ElementsAre("field:leave", "field:up 10,10 b0 c1", "field:unfocus"));
    EXPECT_EQ(mManager.mFocusWidget, nullptr);
    int lx = 0;
    int ly = 0;
    EXPECT_EQ(mManager.WidgetAt(10, 10, &lx, &ly), nullptr);
    EXPECT_EQ(mManager.WidgetAt(210, 210, &lx, &ly), dialog);
    mLog.clear();
    mManager.PopModal(dialog);
    EXPECT_EQ(mManager.mFocusWidget, field);
    EXPECT_THAT(mLog, ElementsAre("field:focus"));
    EXPECT_EQ(mManager.WidgetAt(10, 10, &lx, &ly), field);
}

TEST_F(ManagerTest, KeyboardGoesToTheFocusWidgetExceptCtrlTab)
{
    LogWidget* field = Add("field", 0, 0, 50, 50);
    LogWidget* switcher = Add("switcher", 100, 0, 50, 50);
    mManager.SetFocus(field);
    mManager.mCtrlTabWidget = switcher;
    mManager.KeyDown(17);
    mManager.KeyChar(9);
    mManager.KeyUp(9);
    mManager.KeyChar('a');
    mManager.KeyDown(300);
    mManager.AppLostFocus();
    EXPECT_THAT(mLog, ElementsAre("field:focus", "switcher:char 9", "field:char 97", "field:keyup 17", "field:unfocus"));
    EXPECT_FALSE(mManager.IsKeyDown(17));
}

TEST_F(ManagerTest, RemovedWidgetIsUnhoveredReleasedAndUnfocusedInThatOrder)
{
    LogWidget* widget = Add("w", 0, 0, 50, 50);
    widget->mTakesFocus = true;
    mManager.MouseDown(10, 10, 1);
    mLog.clear();
    mManager.RemoveChild(widget);
    EXPECT_THAT(mLog, ElementsAre("w:leave", "w:up 10,10 b0 c1", "w:unfocus"));
    EXPECT_EQ(mManager.mHoverWidget, nullptr);
    EXPECT_EQ(mManager.mPressedWidget, nullptr);
    EXPECT_EQ(mManager.mFocusWidget, nullptr);
}

TEST_F(ManagerTest, DrawScreenDrawsDirtyVisibleTopLevelWidgetsInZOrder)
{
    FillRecorder screen(800, 600);
    mManager.mScreenImage = &screen;
    LogWidget* a = Add("a", 0, 0, 10, 10);
    LogWidget* b = Add("b", 100, 0, 10, 10);
    LogWidget* c = Add("c", 200, 0, 10, 10);
    c->SetVisible(false);
    EXPECT_TRUE(mManager.DrawScreen());
    EXPECT_THAT(mLog, ElementsAre("a:draw", "b:draw"));
    mLog.clear();
    EXPECT_FALSE(mManager.DrawScreen());
    EXPECT_TRUE(mLog.empty());
    b->MarkDirty();
    a->mDirty = false;
    EXPECT_TRUE(mManager.DrawScreen());
    EXPECT_THAT(mLog, ElementsAre("b:draw"));
    EXPECT_EQ(mApp.mLocks, 3);
    EXPECT_EQ(mApp.mUnlocks, 3);
}

TEST_F(ManagerTest, UpdatePassRunsEachWidgetOncePerFrame)
{
    LogWidget* a = Add("a", 0, 0, 10, 10);
    a->mFlagsMod.mAdd = Lumo::WidgetFlag::DirtyEachUpdate;
    LogWidget* off = Add("off", 20, 0, 10, 10);
    off->mFlagsMod.mRemove = Lumo::WidgetFlag::Update;
    a->mOnUpdate = [this, a] { mManager.BringToFront(a); };
    mManager.DrawScreen();
    EXPECT_TRUE(mManager.UpdateFrame());
    EXPECT_TRUE(a->mDirty);
    EXPECT_THAT(mLog, ElementsAre("a:draw", "off:draw", "a:update"));
}

TEST_F(ManagerTest, MouseMapsFromTheWindowOntoTheScreen)
{
    mManager.SetScreenRect(Lumo::Rect{10, 20, 800, 600}, Lumo::Rect{0, 0, 400, 300});
    EXPECT_EQ(mManager.mWidth, 820);
    EXPECT_EQ(mManager.mHeight, 640);
    int x = 201;
    int y = 151;
    mManager.MapMouseToScreen(&x, &y);
    EXPECT_EQ(x, 412);
    EXPECT_EQ(y, 322);
}

} // namespace
} // namespace WidgetTests
