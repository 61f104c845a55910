#include "framework/widgets/ButtonWidget.h"

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/ScrollbuttonWidget.h"
#include "tests/widgets/WidgetTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace WidgetTests {
namespace {

using ::testing::ElementsAre;

class LogListener : public Lumo::ButtonListener {
public:
    void OnButtonPressedCount(int id, int count) override
    {
        mLog.push_back("pressed " + std::to_string(id) + " " + std::to_string(count));
    }
    void OnButtonClicked(int id) override { mLog.push_back("clicked " + std::to_string(id)); }
    void OnButtonHeldTick(int id) override { mLog.push_back("tick " + std::to_string(id)); }
    std::vector<std::string> mLog;
};

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mManager.SetScreenRect(Lumo::Rect{0, 0, 800, 600}, Lumo::Rect{0, 0, 800, 600});
        mButton.Resize(10, 10, 100, 20);
        mManager.AddChild(&mButton);
    }
    void TearDown() override { mManager.RemoveAllChildren(false, false); }

    FakeAppHost mApp;
    Lumo::WidgetManager mManager{&mApp};
    LogListener mListener;
    Lumo::ButtonWidget mButton{7, &mListener};
};

TEST_F(ButtonTest, ClickNeedsTheReleaseOverTheButton)
{
    mManager.MouseDown(20, 15, 1);
    mManager.MouseUp(20, 15, 1);
    mManager.MouseDown(20, 15, -2);
    mManager.MouseMoveInput(500, 500);
    mManager.MouseUp(500, 500, -2);
    EXPECT_THAT(mListener.mLog, ElementsAre("pressed 7 1", "clicked 7", "pressed 7 2"));
}

TEST_F(ButtonTest, HeldTickStopsWhileDraggedOff)
{
    mManager.MouseDown(20, 15, 1);
    mManager.UpdateFrame();
    mManager.MouseMoveInput(500, 500);
    mManager.UpdateFrame();
    mManager.MouseMoveInput(20, 15);
    mManager.UpdateFrame();
    EXPECT_THAT(mListener.mLog, ElementsAre("pressed 7 1", "tick 7", "tick 7"));
}

TEST_F(ButtonTest, HoverFadesInAndOutByItsSteps)
{
    mButton.mHoverFadeInStep = 0.25;
    mButton.mHoverFadeOutStep = 0.1;
    mManager.MouseMoveInput(20, 15);
    for (double expected : {0.25, 0.5, 0.75, 1.0, 1.0}) {
        mManager.UpdateFrame();
        EXPECT_DOUBLE_EQ(mButton.mHoverAlpha, expected);
    }
    mButton.mHoverAlpha = 0.0;
    mManager.MouseMoveInput(500, 500);
    EXPECT_DOUBLE_EQ(mButton.mHoverAlpha, 1.0);
    for (int i = 0; i < 12; ++i)
        mManager.UpdateFrame();
    EXPECT_DOUBLE_EQ(mButton.mHoverAlpha, 0.0);
}

TEST_F(ButtonTest, ButtonWithoutListenerIgnoresEvents)
{
    Lumo::ButtonWidget lonely(3, nullptr);
    lonely.Resize(200, 10, 50, 20);
    mManager.AddChild(&lonely);
    mManager.MouseDown(210, 15, 1);
    mManager.UpdateFrame();
    mManager.MouseUp(210, 15, 1);
    mManager.RemoveChild(&lonely);
    EXPECT_TRUE(mListener.mLog.empty());
}

TEST_F(ButtonTest, NormalCellIsDrawnFromTheNormalImage)
{
    FillRecorder sheet(200, 100);
    mButton.mNormalImage = &sheet;
    mButton.mNormalCell = Lumo::Rect{0, 0, 40, 20};
    struct BlitLog : FillRecorder {
        using FillRecorder::FillRecorder;
        void Blit(Lumo::Image*, int x, int y, const Lumo::Rect& src, const Lumo::Color&, int) override
        {
            mBlits.push_back({Lumo::Rect{x, y, src.mWidth, src.mHeight}, Lumo::Color::White});
        }
        std::vector<Fill> mBlits;
    } screen(800, 600);
    Lumo::Graphics graphics(&screen);
    mButton.Draw(graphics);
    mButton.mInvertPressed = true;
    mButton.Draw(graphics);
    ASSERT_EQ(screen.mBlits.size(), 2u);
    EXPECT_EQ(screen.mBlits[0].mRect, (Lumo::Rect{0, 0, 40, 20}));
    EXPECT_EQ(screen.mBlits[1].mRect, (Lumo::Rect{1, 1, 40, 20}));
}

TEST(ScrollbuttonTest, ArrowPointsByIdKindAndLayout)
{
    struct Case {
        int id;
        int kind;
        bool horizontal;
        Lumo::Rect firstRow;
    };
    // A 16 x 16 button: the one-pixel tip row of each arrow.
    const Case cases[] = {
        {1, 0, false, Lumo::Rect{7, 9, 1, 1}},  // down
        {1, 0, true, Lumo::Rect{9, 7, 1, 1}},   // right
        {0, 2, false, Lumo::Rect{7, 6, 1, 1}},  // up
        {1, 3, false, Lumo::Rect{6, 7, 1, 1}},  // left
    };
    for (const Case& c : cases) {
        Lumo::ScrollbuttonWidget button(c.id, nullptr);
        button.mArrowKind = c.kind;
        button.mHorizontal = c.horizontal;
        button.Resize(0, 0, 16, 16);
        FillRecorder screen(100, 100);
        Lumo::Graphics graphics(&screen);
        button.Draw(graphics);
        ASSERT_EQ(screen.mFills.size(), 11u);
        EXPECT_EQ(screen.mFills[7].mRect, c.firstRow) << c.id << "/" << c.kind;
        EXPECT_EQ(screen.mFills[7].mColor, Lumo::Color::Black);
    }
}

} // namespace
} // namespace WidgetTests
