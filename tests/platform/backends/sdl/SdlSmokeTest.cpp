#include "platform/process/Clock.h"
#include "platform/windows/Messages.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowSystem.h"
#include "tests/platform/backends/sdl/SdlDesktopTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace Platform;
using PlatformTest::DesktopLibraryLeaksAllowed;
using SdlWindowSmoke = PlatformTest::SdlDesktopTest;

namespace {

std::vector<uint32_t> gSeen;

LRESULT Record(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    gSeen.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A display that does not answer is no display, even though SDL would fall
// back to a driver that shows nothing.
TEST(SdlSmoke, AnInvisibleFallbackIsNoDisplay)
{
    const auto saved = [](const char* name) { return std::string(std::getenv(name) ? std::getenv(name) : ""); };
    const std::string display = saved("DISPLAY");
    const std::string wayland = saved("WAYLAND_DISPLAY");
    const std::string driver = saved("SDL_VIDEODRIVER");
    setenv("DISPLAY", ":4711", 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    // A console's own graphics device could still open a real display.
    if (!std::filesystem::exists("/dev/dri")) {
        DesktopLibraryLeaksAllowed allowed;
        EXPECT_EQ(SdlBackend::Create(), nullptr);
    }
    setenv("DISPLAY", display.c_str(), 1);
    setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
    setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
        if (!*std::getenv(name))
            unsetenv(name);
    }
}

// Opens a real 800 x 600 window where there is a display to show it on.
TEST_F(SdlWindowSmoke, OpensShowsAndClosesAWindow)
{
    struct Installed {
        std::unique_ptr<WindowSystem> previous;
        ~Installed() { WindowSystem::Replace(std::move(previous)); }
    } installed{WindowSystem::Replace(std::make_unique<WindowSystem>(std::move(mSdl)))};
    EXPECT_STREQ(GetPlatformName(), "sdl");

    WNDCLASSA windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = Record;
    windowClass.lpszClassName = "MainWindow";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    RECT outer{0, 0, 800, 600};
    AdjustWindowRect(&outer, 0x82CA0000);
    HWND window = CreateWindowExA(0, "MainWindow", "Zentrova smoke test", 0x82CA0000, 64, 64,
                                  outer.right - outer.left, outer.bottom - outer.top);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    std::vector<uint32_t> frame(800 * 600);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = 0xFF000000u | uint32_t(i % 800 * 255 / 800) << 16 | uint32_t(i / 800 * 255 / 600);
    EXPECT_TRUE(ShowWindowFrame(window, frame.data(), 800, 600, 800 * 4));

    MSG msg;
    uint32_t start = GetTickCount();
    while (GetTickCount() - start < 2000) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_NE(std::find(gSeen.begin(), gSeen.end(), WM_PAINT), gSeen.end());

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(gSeen.back(), WM_DESTROY);
}

} // namespace
