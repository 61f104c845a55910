#include "framework/widgets/ScrollbarWidget.h"

#include "framework/widgets/ScrollListener.h"
#include "framework/widgets/ScrollbuttonWidget.h"
#include "tests/widgets/WidgetTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace WidgetTests {
namespace {

using ::testing::ElementsAre;

class PositionLog : public Lumo::ScrollListener {
public:
    void ScrollPosition(int, double position) override { mPositions.push_back(position); }
    std::vector<double> mPositions;
};

class ScrollbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mManager.SetScreenRect(Lumo::Rect{0, 0, 800, 600}, Lumo::Rect{0, 0, 800, 600});
        mBar = new Lumo::ScrollbarWidget(4, &mListener);
        mBar->mUpButton = new Lumo::ScrollbuttonWidget(0, mBar);
        mBar->mDownButton = new Lumo::ScrollbuttonWidget(1, mBar);
        mBar->AddChild(mBar->mUpButton);
        mBar->AddChild(mBar->mDownButton);
        mBar->LayoutArrows(0, 0, 16, 200);
        mManager.AddChild(mBar);
    }
    void TearDown() override
    {
        mManager.RemoveChild(mBar);
        delete mBar;
    }

    FakeAppHost mApp;
    Lumo::WidgetManager mManager{&mApp};
    PositionLog mListener;
    Lumo::ScrollbarWidget* mBar = nullptr;
};

TEST_F(ScrollbarTest, PositionIsClampedAndAlwaysReported)
{
    mBar->SetMaximum(100);
    mBar->SetPageLength(10);
    EXPECT_FALSE(mBar->mDisabled);
    mListener.mPositions.clear();
    mBar->SetPosition(95);
    mBar->SetPosition(-3);
    EXPECT_THAT(mListener.mPositions, ElementsAre(90, 90, 0, 0));
    EXPECT_FALSE(mBar->IsAtEnd());
    mBar->SetPosition(89);
    EXPECT_TRUE(mBar->IsAtEnd());
    mBar->SetPosition(88);
    EXPECT_FALSE(mBar->IsAtEnd());
}

TEST_F(ScrollbarTest, NothingToScrollDisablesOrHides)
{
    mBar->SetMaximum(10);
    mBar->SetPageLength(20);
    EXPECT_TRUE(mBar->mDisabled && mBar->mUpButton->mDisabled && mBar->mDownButton->mDisabled);
    EXPECT_EQ(mBar->ThumbLength(), 0);
    EXPECT_EQ(mBar->mPosition, 0.0);
    mBar->SetHideWhenIdle(true);
    mBar->SetMaximum(10);
    EXPECT_FALSE(mBar->mVisible || mBar->mUpButton->mVisible || mBar->mDownButton->mVisible);
    mBar->SetMaximum(50);
    EXPECT_TRUE(mBar->mVisible && mBar->mUpButton->mVisible && !mBar->mDisabled);
}

TEST_F(ScrollbarTest, ABarWithoutRangeDrawsNoThumb)
{
    // maximum and page length both 0: nothing to divide by.
    EXPECT_EQ(mBar->ThumbLength(), 0);
    EXPECT_EQ(mBar->ThumbOffset(), 16);
    FillRecorder screen(100, 300);
    Lumo::Graphics graphics(&screen);
    mBar->Draw(graphics);
    ASSERT_EQ(screen.mFills.size(), 2u);
    mBar->SetThumbOffset(40);
    EXPECT_EQ(mBar->mPosition, 0.0);
}

TEST_F(ScrollbarTest, ThumbGeometry)
{
    EXPECT_EQ(mBar->TrackLength(), 168);
    mBar->SetMaximum(100);
    mBar->SetPageLength(10);
    EXPECT_EQ(mBar->ThumbLength(), 17);
    mBar->SetPosition(90);
    EXPECT_EQ(mBar->ThumbOffset(), 16 + 151);
    mBar->SetPageLength(1);
    EXPECT_EQ(mBar->ThumbLength(), 8);
}

TEST_F(ScrollbarTest, HeldArrowStepsAtOnceThenEveryUpdateAfterTheDelay)
{
    mBar->SetMaximum(1000);
    mBar->SetPageLength(10);
    mManager.MouseDown(8, 195, 1);
    EXPECT_EQ(mBar->mPosition, 1.0);
    std::vector<double> positions;
    for (int i = 0; i < 27; ++i) {
        mManager.UpdateFrame();
        positions.push_back(mBar->mPosition);
    }
    EXPECT_EQ(positions[23], 1.0);
    EXPECT_EQ(positions[24], 2.0);
    EXPECT_EQ(positions[25], 3.0);
    EXPECT_EQ(positions[26], 4.0);
    mManager.MouseUp(8, 195, 1);
}

TEST_F(ScrollbarTest, HeldTrackPagesAfterTheDelayThenEveryFifthUpdateUntilTheThumbArrives)
{
    mBar->SetMaximum(100);
    mBar->SetPageLength(10);
    mManager.MouseDown(8, 150, 1);
    EXPECT_EQ(mBar->mPosition, 10.0);
    std::vector<int> stepsAt;
    double last = mBar->mPosition;
    for (int update = 1; update <= 60; ++update) {
        mManager.UpdateFrame();
        if (mBar->mPosition != last)
            stepsAt.push_back(update);
        last = mBar->mPosition;
    }
    EXPECT_THAT(stepsAt, ElementsAre(25, 30, 35, 40, 45, 50, 55));
    EXPECT_EQ(mBar->mPosition, 80.0);
    EXPECT_EQ(mBar->mPageRepeat, 0);
    mManager.MouseUp(8, 150, 1);
}

} // namespace
} // namespace WidgetTests
