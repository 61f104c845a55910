#include "tests/lumoapp/AppFixture.h"

#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/display/DirectXResults.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/process/Log.h"
#include "tests/display/DisplayFixture.h"

namespace LumoTest {
namespace {

using namespace Platform;

class DisplayRecoveryTest : public AppFixture {
protected:
    // The next present of the display is refused as if the surfaces were lost.
    void FailNextPresent()
    {
        const bool flips = !mApp->mIsWindowed && mApp->mPageFlip;
        DisplayDesktop::FailCall(flips ? "Flip" : "Blt", 1, DDERR_SURFACELOST);
    }
    int DisplayInits() { return mApp->mDDInterface->mInitCalls; }
    bool DrawForced()
    {
        mApp->mForcePresent = true;
        return mApp->DrawFrame();
    }
};

// While the display is lost the draw pass only retries the present; the
// first present that works ends the loss and drawing goes on.
TEST_F(DisplayRecoveryTest, WithTheFocusTheDisplayIsRebuiltAtOnceAndDrawingGoesOn)
{
    ASSERT_NE(StartApp(), nullptr);
    Lumo::gDisplayWorks = true;
    ASSERT_TRUE(DrawForced());
    const int initsBefore = DisplayInits();

    FailNextPresent();
    EXPECT_TRUE(DrawForced()); // drawn, though the present failed
    EXPECT_FALSE(Lumo::gDisplayWorks.load());
    EXPECT_EQ(DisplayInits(), initsBefore + 1);
    EXPECT_EQ(mApp->mWidgetManager->mScreenImage, static_cast<Lumo::Image*>(mApp->mDDInterface->GetScreenImage()));
    EXPECT_NE(mApp->mWidgetManager->mScreenImage, nullptr);

    EXPECT_FALSE(DrawForced()); // the retried present worked: nothing drawn yet
    EXPECT_TRUE(DrawForced());
    EXPECT_EQ(DisplayInits(), initsBefore + 1);
}

TEST_F(DisplayRecoveryTest, WithoutTheFocusOnlyAWindowIsRebuiltAndAtMostOnceASecond)
{
    struct Case {
        const char* name;
        bool windowed;
        int rebuilds;
    };
    const Case cases[] = {{"window", true, 2}, {"full screen", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mApp = std::make_unique<TestApp>();
        mApp->mWindowed = c.windowed;
        mApp->Initialize();
        ASSERT_EQ(mApp->mIsWindowed, c.windowed);
        mApp->mActive = false;
        const int initsBefore = DisplayInits();
        // Retried at 0, 400, 800, 1000 and 1500 ms.
        for (uint32_t wait : {0u, 400u, 400u, 200u, 500u}) {
            mClock.AdvanceMillis(wait);
            FailNextPresent();
            mApp->PresentFrame(nullptr);
        }
        EXPECT_EQ(DisplayInits() - initsBefore, c.rebuilds);
        mApp.reset();
    }
}

// A desktop without a window manager leaves a full-screen window at its size,
// so the picture drawn for the screen would be cut off and clicks would miss.
// The game goes back to a window and says why: at the start, and again for a
// later request (the options window's); where the desktop gives the screen
// the same request works.
TEST_F(DisplayRecoveryTest, FullScreenThatTheDesktopRefusesGoesBackToAWindow)
{
    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    const std::vector<std::string> refused{"Full screen refused: kept at 800 x 600"};
    mSession.Desktop().RefuseFullScreen("kept at 800 x 600");
    mApp = std::make_unique<TestApp>();
    mApp->mWindowed = false;
    mApp->Initialize();
    EXPECT_TRUE(mApp->mIsWindowed);
    EXPECT_TRUE(mApp->mWindowed);
    EXPECT_EQ(logged, refused);

    logged.clear();
    mApp->ChangeWindowedMode(false);
    EXPECT_TRUE(mApp->mIsWindowed);
    EXPECT_EQ(logged, refused);

    mSession.Desktop().RefuseFullScreen("");
    mApp->ChangeWindowedMode(false);
    EXPECT_FALSE(mApp->mIsWindowed);
    mApp.reset();
    SetLogHook(previous);
}

// A window that no longer fits on the desktop cannot be rebuilt: the game
// goes full screen, unless full screen has already failed.
TEST_F(DisplayRecoveryTest, AWindowTooLargeForTheDesktopTurnsFullScreenOrEndsTheRun)
{
    for (const bool fullScreenFailed : {false, true}) {
        SCOPED_TRACE(fullScreenFailed);
        ASSERT_NE(StartApp(), nullptr);
        mApp->mForceWindowed = fullScreenFailed;
        const size_t boxesBefore = mSession.Desktop().MessageBoxes().size();
        mSession.Desktop().SetScreen(RECT{0, 0, 640, 400}, RECT{0, 0, 640, 380});
        FailNextPresent();
        mApp->PresentFrame(nullptr);
        if (fullScreenFailed) {
            ASSERT_EQ(mSession.Desktop().MessageBoxes().size(), boxesBefore + 1);
            EXPECT_EQ(mSession.Desktop().MessageBoxes().back().text, "Please set your desktop color depth to 16 bit.");
            EXPECT_TRUE(mApp->mShutdown.load());
        } else {
            EXPECT_TRUE(mApp->mForceFullscreen);
            EXPECT_FALSE(mApp->mIsWindowed);
            EXPECT_FALSE(mApp->mShutdown.load());
            EXPECT_EQ(mSession.Desktop().MessageBoxes().size(), boxesBefore);
        }
        mApp.reset();
        mSession.Desktop().SetScreen(RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040});
    }
}

// The display-format copy of an image is made for one pixel format: a switch
// to a display of another format (the desktop turned to 16 bits meanwhile)
// drops it, so that the next draw converts the pixels again instead of
// misreading the old words.
TEST_F(DisplayRecoveryTest, AModeSwitchDropsTheDisplayFormatCopiesOfPlainImages)
{
    ASSERT_NE(StartApp(), nullptr);
    ASSERT_TRUE(mApp->mIsWindowed);
    Lumo::MemoryImage image(static_cast<Lumo::ImageHost*>(mApp.get()));
    const uint32_t pixel = 0xFF123456;
    image.SetBits(&pixel, 1, 1, false);
    EXPECT_EQ(image.GetNativeAlphaData(mApp->GetNativeDisplay())[0], 0xFF123456u);

    DisplayDesktop::SetFormat(DisplayTest::kDesktop565);
    mApp->ChangeWindowedMode(false);
    ASSERT_FALSE(mApp->mIsWindowed);
    EXPECT_EQ(image.nativeAlphaData, nullptr);
    // Red, green and blue in 5, 6 and 5 bits.
    EXPECT_EQ(image.GetNativeAlphaData(mApp->GetNativeDisplay())[0], 0xFF0011AAu);
}

// Full screen asks for 16 bits, but the desktop keeps its depth: drawn at 16
// bits on a deeper desktop, full screen showed darker colours than the window.
TEST_F(DisplayRecoveryTest, FullScreenDrawsAtTheDesktopsDepth)
{
    const struct {
        const char* name;
        DesktopFormat desktop;
        uint32_t bits;
    } cases[] = {{"32-bit desktop", DesktopFormat{}, 32}, {"16-bit desktop", DisplayTest::kDesktop565, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DisplayDesktop::SetFormat(c.desktop);
        ASSERT_NE(StartApp(), nullptr);
        EXPECT_EQ(mApp->mDDInterface->mBitsPerPixel, c.bits);
        mApp->ChangeWindowedMode(false);
        ASSERT_FALSE(mApp->mIsWindowed);
        EXPECT_EQ(mApp->mDDInterface->mBitsPerPixel, c.bits);
        mApp->ChangeWindowedMode(true);
        ASSERT_TRUE(mApp->mIsWindowed);
        EXPECT_EQ(mApp->mDDInterface->mBitsPerPixel, c.bits);
        mApp.reset();
    }
}

} // namespace
} // namespace LumoTest
