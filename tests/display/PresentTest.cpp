#include "tests/display/DisplayFixture.h"

#include "framework/graphics/Graphics.h"

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

constexpr uint32_t kCursorColor = 0xFF0000;

class Presenting : public DisplayTest::DisplayFixture {
protected:
    // The frame: every pixel distinct, so a misplaced copy shows.
    static uint32_t FramePixel(int x, int y) { return uint32_t(x) << 8 | uint32_t(y); }

    void OpenWithFrame()
    {
        ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
        IDirectDrawSurface* draw = mDisplay->mDrawSurface;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x)
                draw->SetPixelAt(x, y, FramePixel(x, y));
        mCursor = std::make_unique<Lumo::MemoryImage>(&mApp);
        mCursor->SetBits(std::vector<uint32_t>(16 * 8, 0xFF000000 | kCursorColor).data(), 16, 8, true);
        ASSERT_TRUE(mDisplay->SetCursorImage(mCursor.get()));
    }

    // The pixel the window shows at a client position.
    uint32_t Shown(int x, int y) { return Pixel(mDisplay->mPrimarySurface, kWindowX + x, kWindowY + y) & 0xFFFFFF; }

    // The cursor passes the smooth stretch into its area, which may take a
    // step off a channel.
    static bool IsCursor(uint32_t shown) { return (shown >> 16) >= 0xFC && (shown & 0xFFFF) == 0; }

    // The whole client area is the frame with the cursor centred at (cx, cy).
    void ExpectComposite(int cx, int cy)
    {
        int wrong = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool cursor = x >= cx - 8 && x < cx + 8 && y >= cy - 4 && y < cy + 4;
                wrong += cursor ? !IsCursor(Shown(x, y)) : Shown(x, y) != FramePixel(x, y);
            }
        EXPECT_EQ(wrong, 0) << "cursor at " << cx << ", " << cy;
    }

    std::unique_ptr<Lumo::MemoryImage> mCursor;
};

TEST_F(Presenting, WindowedPresentShowsTheFrameWithTheCursor)
{
    OpenWithFrame();
    mDisplay->mCursorX = 50;
    mDisplay->mCursorY = 40;
    ASSERT_TRUE(mDisplay->Redraw(nullptr));
    ExpectComposite(50, 40);
    EXPECT_EQ(mDisplay->mPresentMode, 2);
    // The draw surface got its pixels back.
    EXPECT_EQ(Pixel(mDisplay->mDrawSurface, 50, 40), FramePixel(50, 40));
    EXPECT_TRUE(mDisplay->mCursorAreaSaved);

    int32_t width = 0, height = 0;
    const std::vector<uint32_t> frame = mSession.Desktop().Frame(mWindow, &width, &height);
    ASSERT_EQ(width, 200);
    ASSERT_EQ(height, 150);
    EXPECT_TRUE(IsCursor(frame[size_t(40) * 200 + 50] & 0xFFFFFF));
    EXPECT_EQ(frame[size_t(10) * 200 + 20], 0xFF000000 | FramePixel(20, 10));
}

TEST_F(Presenting, CursorWalksWithoutTrailsOrHoles)
{
    OpenWithFrame();
    mDisplay->mCursorX = 20;
    mDisplay->mCursorY = 20;
    ASSERT_TRUE(mDisplay->Redraw(nullptr));
    // Small steps that overlap, a jump, and a walk across the right and bottom edges.
    const int path[][2] = {{21, 20}, {25, 23}, {25, 23}, {18, 17}, {100, 90}, {104, 88}, {196, 147}, {199, 149},
                           {190, 140}, {3, 2}, {0, 0}, {10, 5}};
    for (const auto& point : path) {
        mDisplay->SetCursorPos(point[0], point[1]);
        ExpectComposite(point[0], point[1]);
    }
    // The next present starts from the frame again.
    mDisplay->mCursorX = 60;
    mDisplay->mCursorY = 60;
    ASSERT_TRUE(mDisplay->Redraw(nullptr));
    ExpectComposite(60, 60);
}

TEST_F(Presenting, CursorPositionDuringAPresentIsOnlyStored)
{
    OpenWithFrame();
    ASSERT_TRUE(mDisplay->Redraw(nullptr));
    const std::vector<uint32_t> before = [&] {
        std::vector<uint32_t> shown;
        for (int x = 0; x < 200; ++x)
            shown.push_back(Shown(x, 75));
        return shown;
    }();
    mDisplay->mPresenting = true;
    mDisplay->SetCursorPos(100, 75);
    mDisplay->mPresenting = false;
    EXPECT_EQ(mDisplay->mCursorX.load(), 100);
    for (int x = 0; x < 200; ++x)
        EXPECT_EQ(Shown(x, 75), before[size_t(x)]);
}

TEST_F(Presenting, CursorScaleKeepsAspectInsideTheArea)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32, false), DDInterface::RESULT_OK);
    const struct {
        int width;
        int height;
        int numerator;
        int denominator;
        int scaledWidth;
        int scaledHeight;
    } cases[] = {{64, 32, 1, 1, 64, 32}, {64, 32, 4, 1, 128, 64}, {32, 256, 1, 1, 16, 128}, {20, 10, 3, 2, 30, 15}};
    for (const auto& each : cases) {
        Lumo::MemoryImage cursor(&mApp);
        cursor.SetBits(std::vector<uint32_t>(size_t(each.width * each.height), 0xFFFFFFFF).data(), each.width,
                       each.height, true);
        mDisplay->SetCursorImage(&cursor);
        mDisplay->SetCursorScale(each.numerator, each.denominator);
        EXPECT_EQ(mDisplay->mCursorWidth, each.scaledWidth);
        EXPECT_EQ(mDisplay->mCursorHeight, each.scaledHeight);
        EXPECT_EQ(mDisplay->mScaledCursorRect, (Rect{0, 0, each.scaledWidth, each.scaledHeight}));
        mDisplay->SetCursorImage(nullptr);
    }
    mDisplay->SetCursorScale(5, 7);
    EXPECT_EQ(mDisplay->mCursorScaleNumerator, 5);
    EXPECT_EQ(mDisplay->mCursorScaleDenominator, 7);
}

TEST_F(Presenting, RedrawFailuresAndModes)
{
    DisplayTest::TestApp app;
    DDInterface closed(&app);
    EXPECT_FALSE(closed.Redraw(nullptr));

    // A full-screen window covers the screen.
    MoveWindow(mWindow, 0, 0, 200, 150, false);
    ASSERT_EQ(Open(DisplayTest::kDesktop565, false), DDInterface::RESULT_OK);
    EXPECT_EQ(mDisplay->mPrimarySurface->Format().dwRGBBitCount, 16u);
    Screen()->FillRect(Rect{0, 0, 200, 150}, Color(255, 255, 255), 0);
    ASSERT_TRUE(mDisplay->Redraw(nullptr));
    EXPECT_EQ(Pixel(mDisplay->mPrimarySurface, 0, 0), 0xFFFFu);
    EXPECT_EQ(mDisplay->mPresentMode, 1);
    int32_t width = 0, height = 0;
    EXPECT_EQ(mSession.Desktop().Frame(mWindow, &width, &height)[0], 0xFFFFFFFFu);

    DisplayDesktop::FailCall("Flip", 1, DDERR_SURFACELOST);
    EXPECT_FALSE(mDisplay->Redraw(nullptr));
    EXPECT_EQ(mDisplay->mErrorText, "Redraw FullScreen Flip: DDERR_SURFACELOST");

    // In pop-up mode the frame is blitted, not flipped.
    mApp.mPopUpMode = true;
    DisplayDesktop::FailCall("Flip", 1, DDERR_SURFACELOST);
    EXPECT_TRUE(mDisplay->Redraw(nullptr));
    DisplayDesktop::FailCall("Blt", 1, DDERR_SURFACELOST);
    EXPECT_FALSE(mDisplay->Redraw(nullptr));
    EXPECT_EQ(mDisplay->mErrorText, "Redraw FullScreen Blt: DDERR_SURFACELOST");
}

TEST_F(Presenting, DeviceErrorSwitches3DOffForGood)
{
    mApp.mForce3D = true;
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    ASSERT_TRUE(mDisplay->mIs3D);
    Screen()->FillRect(Lumo::Rect{0, 0, 4, 4}, Lumo::Color::White, 0);
    EXPECT_TRUE(mDisplay->Redraw(nullptr));
    DisplayDesktop::FailCall("DrawPrimitive", 1, DDERR_SURFACELOST);
    Screen()->FillRect(Lumo::Rect{0, 0, 4, 4}, Lumo::Color::White, 0);
    EXPECT_FALSE(mDisplay->Redraw(nullptr));
    EXPECT_FALSE(mDisplay->mIs3D);
    EXPECT_TRUE(mDisplay->Redraw(nullptr));
}

} // namespace
