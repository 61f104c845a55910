#include "framework/widgets/WidgetContainer.h"

#include "tests/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace WidgetTests {
namespace {

using Lumo::Widget;

class ContainerTest : public ::testing::Test {
protected:
    LogWidget* Make(const std::string& name, int layer = 0, int x = 0, int y = 0, int w = 10, int h = 10)
    {
        mWidgets.push_back(std::make_unique<LogWidget>(&mLog, name, x, y, w, h));
        mWidgets.back()->mLayer = layer;
        return mWidgets.back().get();
    }
    std::vector<std::string> Order(Lumo::WidgetContainer& container)
    {
        std::vector<std::string> names;
        for (Widget* child : container.mChildren)
            names.push_back(static_cast<LogWidget*>(child)->mName);
        return names;
    }
    void SetUp() override { mManager.SetScreenRect(Lumo::Rect{0, 0, 800, 600}, Lumo::Rect{0, 0, 800, 600}); }
    void TearDown() override { mManager.RemoveAllChildren(false, true); }

    FakeAppHost mApp;
    Lumo::WidgetManager mManager{&mApp};
    std::vector<std::string> mLog;
    std::vector<std::unique_ptr<LogWidget>> mWidgets;
};

TEST_F(ContainerTest, LayersDecideInsertionAndReordering)
{
    LogWidget* a = Make("a", 0);
    LogWidget* five = Make("five", 5);
    LogWidget* b = Make("b", 0);
    mManager.AddChild(a);
    mManager.AddChild(five);
    mManager.AddChild(b);
    mManager.AddChild(a);
    EXPECT_EQ(Order(mManager), (std::vector<std::string>{"a", "b", "five"}));
    mManager.SendToBack(five);
    EXPECT_EQ(Order(mManager), (std::vector<std::string>{"a", "b", "five"}));
    mManager.BringToFront(a);
    EXPECT_EQ(Order(mManager), (std::vector<std::string>{"b", "a", "five"}));
    mManager.SendToBack(a);
    EXPECT_EQ(Order(mManager), (std::vector<std::string>{"a", "b", "five"}));
    mManager.PutInFront(a, b);
    EXPECT_EQ(Order(mManager), (std::vector<std::string>{"b", "a", "five"}));
    mManager.PutBehind(a, b);
    EXPECT_EQ(Order(mManager), (std::vector<std::string>{"a", "b", "five"}));
    // A reference that is not a child means the front, still below the higher layer.
    LogWidget* stranger = Make("stranger");
    mManager.PutBehind(a, stranger);
    EXPECT_EQ(Order(mManager), (std::vector<std::string>{"b", "a", "five"}));
}

TEST_F(ContainerTest, ChildrenMayChangeDuringTheUpdatePass)
{
    struct Case {
        const char* name;
        std::function<void(Lumo::WidgetManager&, LogWidget*, LogWidget*)> change;
    };
    const Case cases[] = {
        {"remove self", [](Lumo::WidgetManager& m, LogWidget* self, LogWidget*) { m.RemoveChild(self); }},
        {"self to front", [](Lumo::WidgetManager& m, LogWidget* self, LogWidget*) { m.BringToFront(self); }},
        {"remove next", [](Lumo::WidgetManager& m, LogWidget*, LogWidget* next) { m.RemoveChild(next); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mManager.RemoveAllChildren(false, false);
        mLog.clear();
        LogWidget* first = Make("1");
        LogWidget* second = Make("2");
        LogWidget* third = Make("3");
        mManager.AddChild(first);
        mManager.AddChild(second);
        mManager.AddChild(third);
        second->mOnUpdate = [this, &c, second, third] { c.change(mManager, second, third); };
        mManager.UpdateFrame();
        std::vector<std::string> expected{"1:update", "2:update"};
        if (std::string(c.name) != "remove next")
            expected.push_back("3:update");
        EXPECT_EQ(mLog, expected);
    }
}

TEST_F(ContainerTest, DirtyMarkingSpreadsAmongTopLevelWidgets)
{
    LogWidget* back = Make("back", 0, 0, 0, 100, 100);
    LogWidget* middle = Make("middle", 0, 10, 10, 20, 20);
    LogWidget* front = Make("front", 0, 15, 15, 10, 10);
    LogWidget* apart = Make("apart", 0, 200, 200, 10, 10);
    LogWidget* child = Make("child", 0, 2, 2, 5, 5);
    LogWidget* grandchild = Make("grandchild", 0, 1, 1, 2, 2);
    child->AddChild(grandchild);
    middle->AddChild(child);
    for (LogWidget* w : {back, middle, front, apart})
        mManager.AddChild(w);
    for (auto& w : mWidgets)
        w->mDirty = false;

    grandchild->MarkDirty();
    EXPECT_TRUE(grandchild->mDirty && child->mDirty && middle->mDirty && front->mDirty);
    EXPECT_FALSE(back->mDirty || apart->mDirty);

    // Full marking behind an opaque cover stops at the cover.
    for (auto& w : mWidgets)
        w->mDirty = false;
    middle->MarkDirtyFull();
    EXPECT_TRUE(back->mDirty);
    LogWidget* hidden = Make("hidden", 0, 0, 0, 100, 100);
    mManager.AddChild(hidden);
    mManager.SendToBack(hidden);
    for (auto& w : mWidgets)
        w->mDirty = false;
    middle->MarkDirtyFull();
    EXPECT_TRUE(back->mDirty);
    EXPECT_FALSE(hidden->mDirty);

    // An already dirty child ignores the request: nothing spreads.
    for (auto& w : mWidgets)
        w->mDirty = false;
    middle->mDirty = true;
    mManager.MarkChildDirty(middle);
    EXPECT_FALSE(front->mDirty);
}

TEST_F(ContainerTest, IsBelowWalksBackToFrontParentsFirst)
{
    LogWidget* a = Make("a");
    LogWidget* b = Make("b");
    LogWidget* inner = Make("inner");
    a->AddChild(inner);
    mManager.AddChild(a);
    mManager.AddChild(b);
    EXPECT_TRUE(mManager.IsBelow(a, a));
    EXPECT_TRUE(mManager.IsBelow(inner, b));
    EXPECT_FALSE(mManager.IsBelow(b, inner));
    LogWidget* outside = Make("outside");
    EXPECT_FALSE(mManager.IsBelow(outside, outside));
}

TEST_F(ContainerTest, RemovingDetachesTheSubtreeFromTheManager)
{
    LogWidget* parent = Make("parent");
    LogWidget* child = Make("child");
    parent->AddChild(child);
    mManager.AddChild(parent);
    EXPECT_EQ(child->mManager, &mManager);
    mManager.RemoveChild(parent);
    EXPECT_EQ(parent->mManager, nullptr);
    EXPECT_EQ(child->mManager, nullptr);
    EXPECT_EQ(parent->mParent, nullptr);
    EXPECT_EQ(child->mParent, parent);
}

} // namespace
} // namespace WidgetTests
