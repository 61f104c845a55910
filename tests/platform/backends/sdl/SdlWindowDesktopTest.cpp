#include "platform/backends/sdl/SdlCoveredArea.h"
#include "platform/windows/Messages.h"
#include "platform/windows/Input.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowConstants.h"
#include "platform/windows/WindowSystem.h"
#include "tests/platform/backends/sdl/SdlDesktopTest.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace Platform;

namespace {

// The colour that marks a client column and row in the test frames.
uint32_t Mark(int32_t x, int32_t y) { return uint32_t(x & 0xFF) << 16 | uint32_t(x >> 8) << 8 | uint32_t(y & 0xFF); }

// A bounded wait for what a window manager does in its own time, long
// enough for a busy machine.
constexpr uint32_t kAwaitMs = 10000;

class SdlWindowDesktop : public PlatformTest::SdlDesktopTest {
protected:
    explicit SdlWindowDesktop(bool windowManager = false, const std::string& screen = "1024x768x24")
        : SdlDesktopTest(windowManager, screen)
    {
    }

    void SetUp() override
    {
        SdlDesktopTest::SetUp();
        if (!IsSkipped())
            mX = XOpenDisplay(nullptr);
    }
    void TearDown() override
    {
        if (mSdl)
            mSdl->DestroyWindow(kWindow);
        if (mX)
            XCloseDisplay(mX);
    }

    // Shows the backend's 800 x 600 window with its client area at (x, y).
    void ShowAt(int32_t x, int32_t y, bool fullScreen = false)
    {
        NativeWindowState state;
        state.title = "Zentrova desktop test";
        state.client = RECT{x, y, x + 800, y + 600};
        state.visible = true;
        state.fullScreen = fullScreen;
        mSdl->SyncWindow(kWindow, state, true);
        Pump(300);
    }
    // Shows columns from `from` on of a frame of client-marked pixels, placed at
    // that column of the client area.
    void Present(int32_t from, int32_t width)
    {
        std::vector<uint32_t> pixels(size_t(width) * 600);
        for (int32_t y = 0; y < 600; ++y)
            for (int32_t x = 0; x < width; ++x)
                pixels[size_t(y) * size_t(width) + size_t(x)] = Mark(from + x, y);
        ShownFrame frame;
        frame.pixels = reinterpret_cast<const uint8_t*>(pixels.data());
        frame.width = width;
        frame.height = 600;
        frame.pitch = width * 4;
        frame.left = from;
        mSdl->PresentFrame(kWindow, frame);
        XSync(mX, False);
    }
    void Pump(uint32_t ms)
    {
        const uint32_t end = SDL_GetTicks() + ms;
        while (SDL_GetTicks() < end) {
            mSdl->PollEvents(mEvents);
            SDL_Delay(10);
        }
    }
    uint32_t ScreenPixel(int32_t x, int32_t y)
    {
        XImage* image = XGetImage(mX, DefaultRootWindow(mX), x, y, 1, 1, AllPlanes, ZPixmap);
        const uint32_t pixel = image ? uint32_t(XGetPixel(image, 0, 0)) & 0xFFFFFF : 0xDEADu;
        if (image)
            XDestroyImage(image);
        return pixel;
    }
    void Warp(int32_t x, int32_t y)
    {
        XWarpPointer(mX, None, DefaultRootWindow(mX), 0, 0, 0, 0, x, y);
        XSync(mX, False);
    }
    POINT Pointer()
    {
        Window root = 0, child = 0;
        int x = 0, y = 0, inX = 0, inY = 0;
        unsigned int buttons = 0;
        XQueryPointer(mX, DefaultRootWindow(mX), &root, &child, &x, &y, &inX, &inY, &buttons);
        return POINT{x, y};
    }
    static SDL_Window* Shown(HWND shown)
    {
        for (uint32_t id = 1; id < 64; ++id)
            if (SDL_Window* window = SDL_GetWindowFromID(id))
                if (SDL_GetWindowData(window, "lumo") == shown)
                    return window;
        return nullptr;
    }

    // Pumps the desktop's events, the backend's own or, once it holds the
    // backend, the window system's, until `done`; false when a bounded time
    // passed first.
    bool Await(const std::function<bool()>& done)
    {
        for (const uint32_t end = SDL_GetTicks() + kAwaitMs; SDL_GetTicks() < end; SDL_Delay(5)) {
            if (mSdl) {
                mSdl->PollEvents(mEvents);
            } else {
                MSG msg;
                while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageA(&msg);
            }
            if (done())
                return true;
        }
        return false;
    }
    // Until the window covers an area of the screen that `wanted` takes,
    // which `covered` is left holding.
    bool AwaitCovering(HWND window, const std::function<bool(const RECT&)>& wanted, RECT* covered)
    {
        return Await([&] {
            SDL_Window* shown = Shown(window);
            return shown && CoveredArea(shown, covered) && wanted(*covered);
        });
    }
    bool AwaitCovering(HWND window, const RECT& area)
    {
        RECT covered;
        return AwaitCovering(
            window, [&](const RECT& now) { return std::memcmp(&now, &area, sizeof area) == 0; }, &covered);
    }
    // Moves the pointer there and gives where the window was told it went.
    std::optional<POINT> MovedTo(const POINT& at)
    {
        Warp(at.x, at.y);
        mEvents.clear();
        std::optional<POINT> moved;
        Await([&] {
            for (auto event = mEvents.rbegin(); event != mEvents.rend() && !moved; ++event)
                if (event->kind == NativeEvent::Kind::MouseMove)
                    moved = POINT{event->x, event->y};
            return moved.has_value();
        });
        return moved;
    }

    HWND const kWindow = reinterpret_cast<HWND>(uintptr_t(0x46));
    Display* mX = nullptr;
    std::vector<NativeEvent> mEvents;
};

class SdlFramedWindowDesktop : public SdlWindowDesktop {
protected:
    explicit SdlFramedWindowDesktop(const std::string& screen = "1024x768x24") : SdlWindowDesktop(true, screen) {}
};

// A window reaching past an edge of the 1024-wide screen shows the frame's
// columns that lie on the screen at their own place, and the mouse lands on
// the client pixel under it.
TEST_F(SdlWindowDesktop, AWindowPastTheScreensEdgeShowsItsFramePixelForPixel)
{
    if (!mServer)
        GTEST_SKIP() << "needs a screen of known size";
    struct Case {
        const char* name;
        int32_t x;
        int32_t from;
        int32_t width;
    };
    const Case cases[] = {
        {"past the right edge", 600, 0, 424},
        {"past the left edge", -300, 300, 500},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        ShowAt(each.x, 100);
        Present(each.from, each.width);
        int wrong = 0;
        for (int32_t column = each.from; column < each.from + each.width; ++column)
            wrong += ScreenPixel(each.x + column, 110) != Mark(column, 10);
        EXPECT_EQ(wrong, 0);

        const std::optional<POINT> moved = MovedTo(POINT{each.x + each.from + 50, 150});
        ASSERT_TRUE(moved);
        EXPECT_EQ(moved->x, each.from + 50);
        EXPECT_EQ(moved->y, 50);
        mSdl->DestroyWindow(kWindow);
    }
}

// The pointer's place follows the mouse in the window and outside it, also
// where the desktop's input does not refresh SDL's global pointer state.
TEST_F(SdlWindowDesktop, ThePointerIsFollowedInsideAndOutsideTheWindow)
{
    struct Installed {
        std::unique_ptr<WindowSystem> previous;
        ~Installed() { WindowSystem::Replace(std::move(previous)); }
    } installed{WindowSystem::Replace(std::make_unique<WindowSystem>(std::move(mSdl)))};
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "PointerTest";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND window = CreateWindowExA(0, "PointerTest", "Zentrova pointer test", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300);
    ASSERT_NE(window, nullptr);
    const auto pump = [] {
        MSG msg;
        for (uint32_t end = SDL_GetTicks() + 300; SDL_GetTicks() < end; SDL_Delay(10))
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
    };
    pump();
    for (const POINT& at : {POINT{150, 160}, POINT{170, 180}, POINT{900, 700}, POINT{910, 705}}) {
        Warp(at.x, at.y);
        pump();
        POINT cursor{0, 0};
        ASSERT_TRUE(GetCursorPos(&cursor));
        EXPECT_EQ(cursor.x, at.x);
        EXPECT_EQ(cursor.y, at.y);
    }
    DestroyWindow(window);
}

// Frames reach a window through its surface, and a full-screen one too
// where the GL is a software one, and neither keeps a GL driver in the process.
TEST_F(SdlWindowDesktop, ShowingFramesLoadsNoGlDriverHere)
{
    ShowAt(100, 100);
    Present(0, 800);
    mSdl->DestroyWindow(kWindow);
    ShowAt(0, 0, true);
    Present(0, 800);
    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    for (const char* driver : {"libLLVM", "libgallium", "_dri.so"})
        EXPECT_EQ(text.str().find(driver), std::string::npos) << driver;
}

// The X server's own screen saver: its timeout, whether it is on, whether it
// runs, and how long the desktop has been idle.
TEST_F(SdlWindowDesktop, TheScreenSaverIsReadFromTheServer)
{
    if (!mServer)
        GTEST_SKIP() << "changes the screen saver of its own server only";
    XSetScreenSaver(mX, 60, 0, DefaultBlanking, DefaultExposures);
    XSync(mX, False);
    EXPECT_EQ(mSdl->ScreenSaverSetting(SPI_GETSCREENSAVETIMEOUT), 60);
    EXPECT_EQ(mSdl->ScreenSaverSetting(SPI_GETSCREENSAVEACTIVE), 1);
    EXPECT_EQ(mSdl->ScreenSaverSetting(SPI_GETSCREENSAVERRUNNING), 0);
    XForceScreenSaver(mX, ScreenSaverActive);
    XSync(mX, False);
    EXPECT_EQ(mSdl->ScreenSaverSetting(SPI_GETSCREENSAVERRUNNING), 1);
    XForceScreenSaver(mX, ScreenSaverReset);
    XSetScreenSaver(mX, 0, 0, DefaultBlanking, DefaultExposures);
    XSync(mX, False);
    EXPECT_EQ(mSdl->ScreenSaverSetting(SPI_GETSCREENSAVEACTIVE), 0);
    uint32_t idle = 0;
    EXPECT_TRUE(mSdl->InputIdle(&idle));
}

// A window manager frames a new window where it was asked to put the client
// area; the window is moved back under its frame, each time it is made anew.
TEST_F(SdlFramedWindowDesktop, AFramedWindowKeepsItsClientAreaWhereItWasPut)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ShowAt(100, 120);
        EXPECT_TRUE(AwaitCovering(kWindow, RECT{100, 120, 900, 720}));
        mSdl->DestroyWindow(kWindow);
    }
}

// Screens whose shape leaves bars beside the scaled 800 x 600 frame; at depth
// 16 full screen goes through SDL's renderer instead of the window's surface.
struct ScreenShape {
    const char* name;
    const char* xvfb;
};

void PrintTo(const ScreenShape& shape, std::ostream* out) { *out << shape.name; }

// A place on the screen and where in the client area the mouse must land
// there, within `slack` (kAny: anywhere along that axis).
constexpr int32_t kAny = INT_MIN;

struct Probe {
    const char* name;
    POINT at;
    POINT lands;
    int32_t slack = 0;

    bool Inside() const
    {
        return (lands.x == kAny || (lands.x >= 0 && lands.x < 800)) &&
               (lands.y == kAny || (lands.y >= 0 && lands.y < 600));
    }
    bool LandsOn(const POINT& client) const
    {
        return (lands.x == kAny || std::abs(client.x - lands.x) <= slack) &&
               (lands.y == kAny || std::abs(client.y - lands.y) <= slack);
    }
};

// Full screen scales the client area between bars: the mouse lands on the
// client's pixel shown under it, and a bar lies outside the client, so that
// a click there reaches no window, nor the widget at the frame's edge.
class SdlFullScreenDesktop : public SdlFramedWindowDesktop, public testing::WithParamInterface<ScreenShape> {
protected:
    SdlFullScreenDesktop() : SdlFramedWindowDesktop(GetParam().xvfb) {}

    void SetUp() override
    {
        SdlFramedWindowDesktop::SetUp();
        if (!IsSkipped() && !mServer)
            GTEST_SKIP() << "needs a screen of its own shape";
    }

    RECT ScreenArea() const
    {
        return RECT{0, 0, DisplayWidth(mX, DefaultScreen(mX)), DisplayHeight(mX, DefaultScreen(mX))};
    }

    // Where the frame shows: the middle row and column of the screen are
    // black only in the bars.
    RECT Picture()
    {
        const RECT screen = ScreenArea();
        RECT picture{screen.right, screen.bottom, 0, 0};
        for (int32_t x = 0; x < screen.right; ++x) {
            if (ScreenPixel(x, screen.bottom / 2) != 0) {
                picture.left = std::min(picture.left, x);
                picture.right = x + 1;
            }
        }
        for (int32_t y = 0; y < screen.bottom; ++y) {
            if (ScreenPixel(screen.right / 2, y) != 0) {
                picture.top = std::min(picture.top, y);
                picture.bottom = y + 1;
            }
        }
        return picture;
    }

    // The frame's edges and, where there are bars, the bars' pixels beside them.
    std::vector<Probe> ProbesOf(const RECT& picture)
    {
        const RECT screen = ScreenArea();
        const int32_t middleX = (picture.left + picture.right) / 2, middleY = (picture.top + picture.bottom) / 2;
        std::vector<Probe> probes = {
            {"left edge", {picture.left, middleY}, {0, kAny}},
            {"right edge", {picture.right - 1, middleY}, {799, kAny}},
            {"top edge", {middleX, picture.top}, {kAny, 0}},
            {"bottom edge", {middleX, picture.bottom - 1}, {kAny, 599}},
        };
        if (picture.left > 0)
            probes.push_back({"left bar", {picture.left - 1, middleY + 10}, {-1, kAny}});
        if (picture.right < screen.right)
            probes.push_back({"right bar", {picture.right, middleY + 10}, {800, kAny}});
        if (picture.top > 0)
            probes.push_back({"top bar", {middleX + 10, picture.top - 1}, {kAny, -1}});
        if (picture.bottom < screen.bottom)
            probes.push_back({"bottom bar", {middleX + 10, picture.bottom}, {kAny, 600}});
        EXPECT_GT(probes.size(), 4u) << "no bars on this screen";
        return probes;
    }

    bool SixteenBits() const { return DefaultDepth(mX, DefaultScreen(mX)) == 16; }

    // Clicks there with the left button, a step at a time as a hand would:
    // a window manager that takes a click to focus a window holds the
    // pointer's next events back until it lets the click through.
    bool ClickAt(const POINT& at)
    {
        const auto seen = [&](bool down) {
            return Await([&] {
                int x = 0, y = 0;
                const uint32_t buttons = SDL_GetMouseState(&x, &y);
                return x == at.x && y == at.y && ((buttons & SDL_BUTTON_LMASK) != 0) == down;
            });
        };
        Warp(at.x, at.y);
        if (!seen(false))
            return false;
        XTestFakeButtonEvent(mX, 1, True, CurrentTime);
        XSync(mX, False);
        if (!seen(true))
            return false;
        XTestFakeButtonEvent(mX, 1, False, CurrentTime);
        XSync(mX, False);
        return seen(false);
    }
};

// Also between a switch of mode and the next frame: the mouse is mapped as
// the mode now in force shows the frame, not as the last frame was shown.
TEST_P(SdlFullScreenDesktop, TheMouseLandsOnThePixelUnderItFromTheSwitchOn)
{
    const RECT screen = ScreenArea();
    ShowAt(100, 100);
    Present(0, 800);
    ShowAt(0, 0, true);
    ASSERT_TRUE(AwaitCovering(kWindow, screen));
    Present(0, 800);
    const RECT picture = Picture();
    std::vector<Probe> probes = ProbesOf(picture);
    if (!SixteenBits()) {
        // Away from the columns and rows where a mark's low byte wraps, which blending neighbours would garble.
        const int32_t width = picture.right - picture.left, height = picture.bottom - picture.top;
        for (const POINT& at : {POINT{130, 130}, POINT{515, 390}, POINT{700, 460}}) {
            const POINT shown{picture.left + at.x * width / 800, picture.top + at.y * height / 600};
            const uint32_t mark = ScreenPixel(shown.x, shown.y);
            const int32_t column = int32_t(mark >> 8 & 0xFF) << 8 | int32_t(mark >> 16 & 0xFF);
            // A mark keeps only the low byte of its row; blending neighbours may take it one off.
            probes.push_back({"inside", shown, {column, at.y - (at.y & 0xFF) + int32_t(mark & 0xFF)}, 1});
        }
    }
    std::vector<POINT> landed;
    for (const Probe& probe : probes) {
        SCOPED_TRACE(probe.name);
        const std::optional<POINT> moved = MovedTo(probe.at);
        ASSERT_TRUE(moved);
        landed.push_back(*moved);
        EXPECT_TRUE(probe.LandsOn(*moved)) << moved->x << ", " << moved->y;
    }

    {
        SCOPED_TRACE("back to a window, before its first frame");
        ShowAt(100, 100);
        RECT covered;
        ASSERT_TRUE(AwaitCovering(
            kWindow, [](const RECT& now) { return now.right - now.left == 800 && now.bottom - now.top == 600; },
            &covered));
        const std::optional<POINT> moved = MovedTo(POINT{covered.left + 50, covered.top + 60});
        ASSERT_TRUE(moved);
        EXPECT_EQ(moved->x, 50);
        EXPECT_EQ(moved->y, 60);
        Present(0, 800);
    }
    SCOPED_TRACE("full screen again, before its first frame");
    ShowAt(0, 0, true);
    ASSERT_TRUE(AwaitCovering(kWindow, screen));
    for (size_t i = 0; i < probes.size(); ++i) {
        SCOPED_TRACE(probes[i].name);
        const std::optional<POINT> again = MovedTo(probes[i].at);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->x, landed[i].x);
        EXPECT_EQ(again->y, landed[i].y);
    }
}

// The pointer stays where the person left it, over the window or beside it,
// through each switch of mode and the end of a full-screen window, which the
// window manager frames anew on its way out of full screen.
TEST_P(SdlFullScreenDesktop, SwitchesLeaveThePointerWhereItIs)
{
    const RECT screen = ScreenArea();
    const RECT window{100, 100, 900, 700};
    for (const POINT& at : {POINT{400, 300}, POINT{screen.right - 30, screen.bottom - 30}}) {
        SCOPED_TRACE(std::to_string(at.x) + ", " + std::to_string(at.y));
        // Parked anew before each, and looked at once the window manager has placed the window.
        const auto across = [&](const char* what, const std::function<void()>& change, const RECT& area) {
            Warp(at.x, at.y);
            Pump(100);
            change();
            ASSERT_TRUE(AwaitCovering(kWindow, area)) << what;
            Present(0, 800);
            const POINT now = Pointer();
            EXPECT_TRUE(now.x == at.x && now.y == at.y) << what << ": " << now.x << ", " << now.y;
        };
        ShowAt(window.left, window.top);
        across("to full screen", [&] { ShowAt(0, 0, true); }, screen);
        across("to a window", [&] { ShowAt(window.left, window.top); }, window);
        mSdl->DestroyWindow(kWindow);
        ShowAt(0, 0, true);
        across("full screen closed, a window made anew", [&] {
            mSdl->DestroyWindow(kWindow);
            ShowAt(window.left, window.top);
        }, window);
        mSdl->DestroyWindow(kWindow);
    }
}

// The game's window under the window system: a click in a bar reaches it
// not at all, one on the frame's edge pixel there.
TEST_P(SdlFullScreenDesktop, AClickInABarReachesNoWindow)
{
    static std::vector<POINT> downs;
    downs.clear();
    struct Installed {
        std::unique_ptr<WindowSystem> previous;
        ~Installed() { WindowSystem::Replace(std::move(previous)); }
    } installed{WindowSystem::Replace(std::make_unique<WindowSystem>(std::move(mSdl)))};
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = [](HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_LBUTTONDOWN)
            downs.push_back(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return DefWindowProcA(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = "BarTest";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "BarTest", "Zentrova bar test", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(AwaitCovering(window, ScreenArea()));
    std::vector<uint32_t> pixels(800 * 600);
    for (int32_t y = 0; y < 600; ++y)
        for (int32_t x = 0; x < 800; ++x)
            pixels[size_t(y) * 800 + size_t(x)] = Mark(x, y);
    ASSERT_TRUE(ShowWindowFrame(window, pixels.data(), 800, 600, 800 * 4));
    XSync(mX, False);

    std::vector<const Probe*> reaching;
    const std::vector<Probe> probes = ProbesOf(Picture());
    for (const Probe& probe : probes) {
        SCOPED_TRACE(probe.name);
        ASSERT_TRUE(ClickAt(probe.at));
        if (probe.Inside())
            reaching.push_back(&probe);
    }
    ASSERT_EQ(downs.size(), reaching.size());
    for (size_t i = 0; i < downs.size(); ++i)
        EXPECT_TRUE(reaching[i]->LandsOn(downs[i])) << reaching[i]->name << ": " << downs[i].x << ", " << downs[i].y;
    DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(Shapes, SdlFullScreenDesktop,
                         testing::Values(ScreenShape{"BarsAboveAndBelow", "1280x1024x24"},
                                         ScreenShape{"BarsLeftAndRight", "1920x1080x24"},
                                         ScreenShape{"SixteenBitsBarsAboveAndBelow", "1280x1024x16"}),
                         [](const testing::TestParamInfo<ScreenShape>& info) { return std::string(info.param.name); });

} // namespace
