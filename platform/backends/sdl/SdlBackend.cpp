#include "platform/backends/sdl/SdlBackend.h"

#include "platform/backends/FrameConverter.h"
#include "platform/backends/FrameNarrower.h"
#include "platform/windows/Cursor.h"
#include "platform/windows/Dialogs.h"
#include "platform/process/EndSessionSignal.h"
#include "platform/process/Log.h"
#include "platform/process/Process.h"
#include "platform/backends/sdl/SdlCoveredArea.h"
#include "platform/backends/sdl/SdlDialog.h"
#include "platform/backends/sdl/SdlKeyMap.h"
#include "platform/backends/sdl/X11ServerLoss.h"
#include "platform/windows/TextCodec.h"

#include <SDL.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace Platform {

namespace {

RECT RectOf(const SDL_Rect& r) { return RECT{r.x, r.y, r.x + r.w, r.y + r.h}; }

int32_t Width(const RECT& r) { return std::max(1, r.right - r.left); }
int32_t Height(const RECT& r) { return std::max(1, r.bottom - r.top); }

int32_t FloorDivide(int64_t value, int64_t by) { return int32_t(value >= 0 ? value / by : -((-value + by - 1) / by)); }

// Where a picture stands in an area as large as the area holds it, centred between bars.
RECT BetweenBars(int32_t width, int32_t height, int32_t areaWidth, int32_t areaHeight)
{
    int32_t shownWidth = areaWidth, shownHeight = areaHeight;
    if (int64_t(width) * areaHeight > int64_t(height) * areaWidth)
        shownHeight = int32_t(int64_t(height) * areaWidth / width);
    else
        shownWidth = int32_t(int64_t(width) * areaHeight / height);
    const int32_t left = (areaWidth - shownWidth) / 2, top = (areaHeight - shownHeight) / 2;
    return RECT{left, top, left + shownWidth, top + shownHeight};
}

std::string WithoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

SDL_SystemCursor SystemCursorOf(uint32_t id)
{
    switch (id) {
    case IDC_IBEAM:
        return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT:
        return SDL_SYSTEM_CURSOR_WAIT;
    case IDC_CROSS:
        return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case IDC_SIZENWSE:
        return SDL_SYSTEM_CURSOR_SIZENWSE;
    case IDC_SIZENESW:
        return SDL_SYSTEM_CURSOR_SIZENESW;
    case IDC_SIZEWE:
        return SDL_SYSTEM_CURSOR_SIZEWE;
    case IDC_SIZENS:
        return SDL_SYSTEM_CURSOR_SIZENS;
    case IDC_SIZEALL:
        return SDL_SYSTEM_CURSOR_SIZEALL;
    case IDC_NO:
        return SDL_SYSTEM_CURSOR_NO;
    case IDC_HAND:
        return SDL_SYSTEM_CURSOR_HAND;
    default:
        return SDL_SYSTEM_CURSOR_ARROW;
    }
}

uint32_t BoxFlagsOf(uint32_t type)
{
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    case MB_ICONQUESTION:
    case MB_ICONINFORMATION:
        return SDL_MESSAGEBOX_INFORMATION;
    default:
        return 0;
    }
}

// SDL shows a message box from a copy of the process that the showing thread
// forks, and waits for it. The program's id while this thread shows one.
thread_local uint32_t tBoxOwner = 0;

// A box left up by a program that was killed would answer no one and keep
// what the copy inherited, the instance lock among it.
void EndBoxCopyWithProgram()
{
    if (tBoxOwner != 0)
        EndWithParent(tBoxOwner);
}

// The copies are told from other children (a browser being started) by their program.
void EndProcessCopiesOf(pid_t thread)
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    std::ifstream children("/proc/self/task/" + std::to_string(thread) + "/children");
    pid_t child = 0;
    while (children >> child) {
        if (std::filesystem::read_symlink("/proc/" + std::to_string(child) + "/exe", error) == self && !error)
            ::kill(child, SIGKILL);
    }
}

// SDL puts the pointer back at its place in a window that goes into or out
// of full screen (hides, closes or is minimized from there too), measured
// from where the window stands by then: one that the window manager frames
// anew on its way out takes the pointer along by its frame. The person left
// the pointer where it stands on the screen, and there it goes back.
class PointerKept {
public:
    PointerKept(X11Desktop* x11, bool fullScreen) : mX11(fullScreen && x11 && x11->Pointer(&mAt) ? x11 : nullptr) {}
    ~PointerKept()
    {
        if (mX11 && !X11ServerLost())
            mX11->PointerBackTo(mAt);
    }
    PointerKept(const PointerKept&) = delete;
    PointerKept& operator=(const PointerKept&) = delete;

private:
    POINT mAt{0, 0};
    X11Desktop* mX11;
};

} // namespace

std::unique_ptr<Backend> SdlBackend::Create()
{
    // Signals are ours to turn into WM_ENDSESSION; the rest keeps Windows' habits.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // A window's surface goes to the display as it is, never through a GL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    WatchX11Connections();
    [[maybe_unused]] static const int boxCopiesTied = ::pthread_atfork(nullptr, nullptr, EndBoxCopyWithProgram);
    // Opened first, so that a server that goes from now on is a lost one,
    // not a display that never was.
    std::unique_ptr<X11Desktop> x11 = X11Desktop::Open();
    auto gl = std::make_unique<SdlGlProbe>();
    const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!started)
        LogLine(std::string("SDL video: ") + SDL_GetError());
    const std::string driver = started && SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    // SDL did not take the server that answered a moment ago: it went.
    if (X11ServerLost() || (driver != "x11" && x11 && !x11->Reachable())) {
        LogLine("SDL: the X server went away during the start");
        return std::unique_ptr<Backend>(new SdlBackend(std::move(gl), nullptr));
    }
    if (!started)
        return nullptr;
    // Where no display opens, SDL falls back to drivers that show nothing: a
    // window there is no window, unless SDL_VIDEODRIVER asked for one.
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if ((driver == "offscreen" || driver == "dummy") && !(asked && std::strstr(asked, driver.c_str()))) {
        LogLine("SDL video: no display, only the invisible \"" + driver + "\" driver");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_StartTextInput();
    if (driver != "x11")
        x11.reset();
    return std::unique_ptr<Backend>(new SdlBackend(std::move(gl), std::move(x11)));
}

SdlBackend::SdlBackend(std::unique_ptr<SdlGlProbe> gl, std::unique_ptr<X11Desktop> x11)
    : mGl(std::move(gl)), mX11(std::move(x11))
{
}

SdlBackend::~SdlBackend()
{
    // A server that is gone has nothing left to take down.
    if (X11ServerLost())
        return;
    for (auto& entry : mWindows)
        Close(entry.second);
    for (auto& entry : mCursors)
        SDL_FreeCursor(entry.second);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

RECT SdlBackend::ScreenRect()
{
    SDL_Rect bounds{0, 0, 0, 0};
    SDL_GetDisplayBounds(0, &bounds);
    return RectOf(bounds);
}

RECT SdlBackend::WorkArea()
{
    SDL_Rect bounds{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &bounds) != 0)
        SDL_GetDisplayBounds(0, &bounds);
    return RectOf(bounds);
}

// A guess at the window manager's frame, the same all along, so that a window
// made anew at its stored place puts its client area where it was.
RECT SdlBackend::FrameInsets(uint32_t) { return RECT{2, 24, 2, 2}; }

bool SdlBackend::Open(HWND window, Native& native)
{
    const NativeWindowState& state = native.state;
    uint32_t flags = SDL_WINDOW_HIDDEN | (state.fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    native.window = SDL_CreateWindow(state.title.c_str(), state.client.left, state.client.top, Width(state.client),
                                     Height(state.client), flags);
    if (!native.window) {
        LogLine(std::string("SDL window: ") + SDL_GetError());
        return false;
    }
    SDL_SetWindowData(native.window, "lumo", window);
    return true;
}

void SdlBackend::Close(Native& native)
{
    DropRenderer(native);
    if (native.window) {
        const PointerKept kept(mX11.get(), native.state.fullScreen);
        SDL_DestroyWindow(native.window);
    }
    native = Native();
}

void SdlBackend::SyncWindow(HWND window, const NativeWindowState& state, bool activate)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    if (X11ServerLost())
        return;
    Native& native = mWindows[window];
    const PointerKept kept(mX11.get(), native.state.fullScreen || state.fullScreen);
    NativeWindowState before = native.state;
    native.state = state;
    if (!native.window) {
        if (!state.visible || !Open(window, native))
            return;
        before = NativeWindowState();
        before.title = state.title;
        before.client = state.client;
        before.fullScreen = state.fullScreen;
    }
    SDL_Window* sdl = native.window;
    if (state.title != before.title)
        SDL_SetWindowTitle(sdl, state.title.c_str());
    if (state.fullScreen != before.fullScreen) {
        SDL_SetWindowFullscreen(sdl, state.fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        native.refill = true;
        native.pointerStale = true;
    }
    if (!state.fullScreen) {
        if (state.client.left != before.client.left || state.client.top != before.client.top)
            SDL_SetWindowPosition(sdl, state.client.left, state.client.top);
        if (Width(state.client) != Width(before.client) || Height(state.client) != Height(before.client)) {
            SDL_SetWindowSize(sdl, Width(state.client), Height(state.client));
            native.refill = true;
        }
    }
    if (state.visible && !before.visible)
        SDL_ShowWindow(sdl);
    else if (!state.visible && before.visible)
        SDL_HideWindow(sdl);
    if (state.minimized && !before.minimized)
        SDL_MinimizeWindow(sdl);
    else if (state.maximized && !before.maximized)
        SDL_MaximizeWindow(sdl);
    else if (!state.minimized && !state.maximized && (before.minimized || before.maximized))
        SDL_RestoreWindow(sdl);
    if (activate && state.visible && !state.minimized)
        SDL_RaiseWindow(sdl);
}

std::string SdlBackend::FullScreenRefusal(HWND window)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    auto found = mWindows.find(window);
    if (X11ServerLost() || found == mWindows.end() || !found->second.window || !found->second.state.fullScreen)
        return std::string();
    SDL_Window* sdl = found->second.window;
    SDL_Rect bounds{0, 0, 0, 0};
    SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(sdl)), &bounds);
    const RECT screen = RectOf(bounds);
    RECT covered;
    // A window manager grants the screen in its own time; without one the
    // window keeps its size for good.
    for (int wait = 0; wait < 50; ++wait) {
        if (!CoveredArea(sdl, &covered))
            return std::string();
        if (covered.left <= screen.left && covered.top <= screen.top && covered.right >= screen.right &&
            covered.bottom >= screen.bottom)
            return std::string();
        SDL_Delay(20);
    }
    return "the desktop left the window at " + std::to_string(Width(covered)) + " x " +
           std::to_string(Height(covered)) + " at (" + std::to_string(covered.left) + ", " +
           std::to_string(covered.top) + ") instead of covering the " + std::to_string(Width(screen)) + " x " +
           std::to_string(Height(screen)) + " screen";
}

void SdlBackend::DestroyWindow(HWND window)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    auto found = mWindows.find(window);
    if (found == mWindows.end())
        return;
    if (!X11ServerLost())
        Close(found->second);
    mWindows.erase(found);
}

bool SdlBackend::SoftwareGl()
{
    if (!mSoftwareGl) {
        mSoftwareGl = mGl->Software();
        const std::string& name = mGl->RendererName();
        LogLine("SDL full screen: GL \"" + (name.empty() ? std::string("none") : name) + "\", " +
                (*mSoftwareGl ? "software renderer" : "GL renderer"));
    }
    return *mSoftwareGl;
}

void SdlBackend::DropRenderer(Native& native)
{
    if (native.texture)
        SDL_DestroyTexture(native.texture);
    if (native.renderer)
        SDL_DestroyRenderer(native.renderer);
    native.texture = nullptr;
    native.renderer = nullptr;
    native.textureWidth = native.textureHeight = 0;
    native.refill = true;
}

SDL_Surface* SdlBackend::WordSurface(Native& native, int32_t width, int32_t height, bool orRgb565)
{
    // SDL's software renderer draws on this same surface, so it may be asked first.
    SDL_Surface* surface = SDL_GetWindowSurface(native.window);
    if (!surface || surface->w < width || surface->h < height ||
        (surface->format->format != SDL_PIXELFORMAT_RGB888 && surface->format->format != SDL_PIXELFORMAT_ARGB8888 &&
         !(orRgb565 && surface->format->format == SDL_PIXELFORMAT_RGB565)))
        return nullptr;
    if (native.renderer) {
        DropRenderer(native);
        surface = SDL_GetWindowSurface(native.window);
    }
    return surface;
}

bool SdlBackend::PresentOnSurface(Native& native, const ShownFrame& frame)
{
    if (frame.left < 0 || frame.top < 0)
        return false;
    SDL_Surface* surface = WordSurface(native, frame.left + frame.width, frame.top + frame.height);
    if (!surface)
        return false;
    native.scaledTo = RECT{0, 0, 0, 0};
    const RECT placed{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
    if (std::memcmp(&placed, &native.placed, sizeof placed) != 0) {
        native.placed = placed;
        native.refill = true;
    }
    const bool all = native.refill || !frame.rows;
    if (all || frame.rows->Any()) {
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
            return false;
        // What the frame does not cover lies past the screen's edge.
        if (native.refill)
            std::memset(surface->pixels, 0, size_t(surface->pitch) * size_t(surface->h));
        uint8_t* origin = static_cast<uint8_t*>(surface->pixels) + int64_t(frame.top) * surface->pitch + frame.left * 4;
        FrameConverter::For(frame.format).ConvertChanged(frame, origin, surface->pitch, 0, all);
        if (SDL_MUSTLOCK(surface))
            SDL_UnlockSurface(surface);
    }
    if (all || native.repaint) {
        SDL_UpdateWindowSurface(native.window);
    } else if (frame.rows->Any()) {
        mUpdateRects.clear();
        frame.rows->ForEachSpan([&](int32_t top, int32_t bottom) {
            mUpdateRects.push_back(SDL_Rect{frame.left, frame.top + top, frame.width, bottom - top});
        });
        SDL_UpdateWindowSurfaceRects(native.window, mUpdateRects.data(), int(mUpdateRects.size()));
    }
    native.refill = native.repaint = false;
    return true;
}

bool SdlBackend::PresentScaledOnSurface(Native& native, const ShownFrame& frame)
{
    SDL_Surface* surface = WordSurface(native, 1, 1, true);
    if (!surface || frame.width <= 0 || frame.height <= 0)
        return false;
    const bool narrowed = surface->format->BytesPerPixel == 2;
    const RECT shown = BetweenBars(frame.width, frame.height, surface->w, surface->h);
    const int32_t width = Width(shown), height = Height(shown);
    if (std::memcmp(&shown, &native.scaledTo, sizeof shown) != 0 || native.scaledWidth != frame.width ||
        native.scaledHeight != frame.height) {
        native.scaledTo = shown;
        native.scaledWidth = frame.width;
        native.scaledHeight = frame.height;
        native.widened.assign(size_t(frame.width) * size_t(frame.height), 0);
        native.scaler.Resize(frame.width, frame.height, width, height);
        native.refill = true;
    }
    const bool all = native.refill || !frame.rows;
    if (!all && !frame.rows->Any() && !native.repaint)
        return true;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return false;
    const int32_t pitch = frame.width * 4;
    FrameConverter::For(frame.format)
        .ConvertChanged(frame, reinterpret_cast<uint8_t*>(native.widened.data()), pitch, 0, all);
    uint8_t* origin = static_cast<uint8_t*>(surface->pixels) + int64_t(shown.top) * surface->pitch +
                      shown.left * surface->format->BytesPerPixel;
    mUpdateRects.clear();
    auto scale = [&](int32_t top, int32_t bottom) {
        int32_t first = native.scaler.FirstRowReading(top);
        const int32_t end = native.scaler.EndRowReading(bottom);
        // Neighbouring changes read some of the same rows.
        SDL_Rect* last = mUpdateRects.empty() ? nullptr : &mUpdateRects.back();
        if (last)
            first = std::max(first, last->y + last->h - shown.top);
        if (first >= end)
            return;
        if (narrowed) {
            // Scaled in words, then narrowed to the screen's 16 bits.
            native.scaledRows.resize(size_t(width) * size_t(end - first));
            native.scaler.ScaleRows(native.widened.data(), frame.width, first, end,
                                    reinterpret_cast<uint8_t*>(native.scaledRows.data()), width * 4);
            for (int32_t y = first; y < end; ++y)
                FrameNarrower::NarrowRow(native.scaledRows.data() + int64_t(y - first) * width,
                                         reinterpret_cast<uint16_t*>(origin + int64_t(y) * surface->pitch), width, y);
        } else {
            native.scaler.ScaleRows(native.widened.data(), frame.width, first, end,
                                    origin + int64_t(first) * surface->pitch, surface->pitch);
        }
        if (last && last->y + last->h == shown.top + first)
            last->h += end - first;
        else
            mUpdateRects.push_back(SDL_Rect{shown.left, shown.top + first, width, end - first});
    };
    if (native.refill)
        std::memset(surface->pixels, 0, size_t(surface->pitch) * size_t(surface->h));
    if (all)
        scale(0, frame.height);
    else
        frame.rows->ForEachSpan(scale);
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    if (all || native.repaint)
        SDL_UpdateWindowSurface(native.window);
    else if (!mUpdateRects.empty())
        SDL_UpdateWindowSurfaceRects(native.window, mUpdateRects.data(), int(mUpdateRects.size()));
    native.refill = native.repaint = false;
    return true;
}

void SdlBackend::PresentThroughTexture(Native& native, const ShownFrame& frame)
{
    native.scaledTo = RECT{0, 0, 0, 0};
    if (!native.renderer) {
        native.renderer = SDL_CreateRenderer(native.window, -1, SoftwareGl() ? SDL_RENDERER_SOFTWARE : 0);
        if (!native.renderer) {
            LogLine(std::string("SDL renderer: ") + SDL_GetError());
            return;
        }
    }
    if (!native.texture || native.textureWidth != frame.width || native.textureHeight != frame.height) {
        if (native.texture)
            SDL_DestroyTexture(native.texture);
        native.texture = SDL_CreateTexture(native.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                           frame.width, frame.height);
        if (!native.texture) {
            LogLine(std::string("SDL texture: ") + SDL_GetError());
            return;
        }
        // Full screen scales by odd factors (1.28 on 1024 x 768), where the
        // nearest pixel widens every fourth column; blending neighbours does not.
        SDL_SetTextureScaleMode(native.texture, SDL_ScaleModeLinear);
        native.textureWidth = frame.width;
        native.textureHeight = frame.height;
        native.refill = true;
    }
    const bool all = native.refill || !frame.rows;
    if (!all && !frame.rows->Any() && !native.repaint)
        return;
    if (all || frame.rows->Any()) {
        const int32_t top = all ? 0 : frame.rows->First();
        const SDL_Rect locked{0, top, frame.width, (all ? frame.height : frame.rows->End()) - top};
        void* pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(native.texture, &locked, &pixels, &pitch) != 0) {
            LogLine(std::string("SDL texture: ") + SDL_GetError());
            return;
        }
        FrameConverter::For(frame.format).ConvertChanged(frame, static_cast<uint8_t*>(pixels), pitch, top, all);
        SDL_UnlockTexture(native.texture);
    }
    SDL_Rect placed{frame.left, frame.top, frame.width, frame.height};
    // Full screen scales the frame between bars, where the mouse is mapped back from.
    if (native.state.fullScreen) {
        int width = 0, height = 0;
        SDL_GetRendererOutputSize(native.renderer, &width, &height);
        const RECT shown = BetweenBars(frame.width, frame.height, width, height);
        placed = SDL_Rect{shown.left, shown.top, Width(shown), Height(shown)};
    }
    SDL_SetRenderDrawColor(native.renderer, 0, 0, 0, 255);
    SDL_RenderClear(native.renderer);
    SDL_RenderCopy(native.renderer, native.texture, nullptr, &placed);
    SDL_RenderPresent(native.renderer);
    native.refill = native.repaint = false;
}

void SdlBackend::PresentFrame(HWND window, const ShownFrame& frame)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    auto found = mWindows.find(window);
    if (X11ServerLost() || found == mWindows.end() || !found->second.window)
        return;
    Native& native = found->second;
    if (!(native.state.fullScreen ? SoftwareGl() && PresentScaledOnSurface(native, frame)
                                  : PresentOnSurface(native, frame)))
        PresentThroughTexture(native, frame);
    if (native.pointerStale)
        RenewPointer(native);
}

void SdlBackend::RenewPointer(Native& native)
{
    native.pointerStale = false;
    int x = 0, y = 0, left = 0, top = 0, width = 0, height = 0;
    POINT pointer;
    if (mX11 && mX11->Pointer(&pointer)) {
        x = pointer.x;
        y = pointer.y;
    } else {
        SDL_GetGlobalMouseState(&x, &y);
    }
    SDL_GetWindowPosition(native.window, &left, &top);
    SDL_GetWindowSize(native.window, &width, &height);
    x -= left;
    y -= top;
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    // Taken in and mapped to the frame as the pointer's own moves are.
    SDL_Event moved{};
    moved.motion.type = SDL_MOUSEMOTION;
    moved.motion.windowID = SDL_GetWindowID(native.window);
    moved.motion.x = x;
    moved.motion.y = y;
    SDL_PushEvent(&moved);
}

bool SdlBackend::Reframe(Native& native, int32_t x, int32_t y)
{
    native.framing = false;
    // Without a frame the window was moved by someone else.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(native.window, &top, &left, &bottom, &right) != 0 || top <= 0 ||
        (x == native.state.client.left && y == native.state.client.top))
        return false;
    // Now that SDL knows the frame, it places the window by its client area.
    SDL_SetWindowPosition(native.window, native.state.client.left, native.state.client.top);
    return true;
}

HWND SdlBackend::HandleOf(uint32_t windowId) const
{
    SDL_Window* sdl = SDL_GetWindowFromID(windowId);
    return sdl ? static_cast<HWND>(SDL_GetWindowData(sdl, "lumo")) : nullptr;
}

void SdlBackend::PollEvents(std::vector<NativeEvent>& events)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    if (X11ServerLost()) {
        if (!mSessionEndTold) {
            LogLine("SDL: " + X11LossCause() + "; the session ends");
            NativeEvent ended;
            ended.kind = NativeEvent::Kind::SessionEnded;
            events.push_back(ended);
        }
        mSessionEndTold = true;
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event))
        Translate(event, events);
}

void SdlBackend::Translate(const SDL_Event& event, std::vector<NativeEvent>& events)
{
    NativeEvent out;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        out.key = VirtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
        if (!out.key)
            return;
        out.kind = event.type == SDL_KEYDOWN ? NativeEvent::Kind::KeyDown : NativeEvent::Kind::KeyUp;
        out.window = HandleOf(event.key.windowID);
        SDL_Scancode code = event.key.keysym.scancode;
        out.rightSide = code == SDL_SCANCODE_RCTRL || code == SDL_SCANCODE_RALT || code == SDL_SCANCODE_RSHIFT;
        out.repeat = event.key.repeat != 0;
        break;
    }
    case SDL_TEXTINPUT:
        out.kind = NativeEvent::Kind::Text;
        out.window = HandleOf(event.text.windowID);
        out.text = event.text.text;
        break;
    case SDL_MOUSEMOTION:
        out.kind = NativeEvent::Kind::MouseMove;
        out.window = HandleOf(event.motion.windowID);
        out.x = event.motion.x;
        out.y = event.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT)
            out.button = MouseButton::Left;
        else if (event.button.button == SDL_BUTTON_RIGHT)
            out.button = MouseButton::Right;
        else if (event.button.button == SDL_BUTTON_MIDDLE)
            out.button = MouseButton::Middle;
        else
            return;
        out.kind = event.type == SDL_MOUSEBUTTONDOWN ? NativeEvent::Kind::ButtonDown : NativeEvent::Kind::ButtonUp;
        out.window = HandleOf(event.button.windowID);
        out.x = event.button.x;
        out.y = event.button.y;
        break;
    case SDL_MOUSEWHEEL:
        out.kind = NativeEvent::Kind::Wheel;
        out.window = HandleOf(event.wheel.windowID);
        out.wheelNotches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (out.wheelNotches == 0)
            return;
        break;
    case SDL_WINDOWEVENT:
        out.window = HandleOf(event.window.windowID);
        // A window of someone else's (a dialog that has gone) is not ours to report.
        if (!out.window)
            return;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.kind = NativeEvent::Kind::Activated;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.kind = NativeEvent::Kind::Deactivated;
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            out.kind = NativeEvent::Kind::Minimized;
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            out.kind = NativeEvent::Kind::Maximized;
            break;
        case SDL_WINDOWEVENT_RESTORED:
            out.kind = NativeEvent::Kind::Restored;
            break;
        case SDL_WINDOWEVENT_MOVED:
            out.kind = NativeEvent::Kind::Moved;
            out.x = event.window.data1;
            out.y = event.window.data2;
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            out.kind = NativeEvent::Kind::Exposed;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            // A window surface made anew for the size holds nothing yet, and
            // the pointer stands elsewhere in it.
            auto native = mWindows.find(out.window);
            if (native != mWindows.end())
                native->second.refill = native->second.pointerStale = true;
            return;
        }
        case SDL_WINDOWEVENT_CLOSE:
            out.kind = NativeEvent::Kind::CloseRequested;
            break;
        default:
            return;
        }
        break;
    default:
        return;
    }
    auto native = mWindows.find(out.window);
    if (native != mWindows.end()) {
        if (out.kind == NativeEvent::Kind::MouseMove || out.kind == NativeEvent::Kind::ButtonDown ||
            out.kind == NativeEvent::Kind::ButtonUp) {
            // Full screen shows the client area scaled between bars: the pointer
            // goes back to the client's pixel under it, also before a frame in
            // the mode now in force has been shown, and a bar lies outside the client.
            if (native->second.state.fullScreen) {
                const RECT& client = native->second.state.client;
                int width = 0, height = 0;
                SDL_GetWindowSize(native->second.window, &width, &height);
                const RECT shown = BetweenBars(Width(client), Height(client), width, height);
                out.x = FloorDivide(int64_t(out.x - shown.left) * Width(client), Width(shown));
                out.y = FloorDivide(int64_t(out.y - shown.top) * Height(client), Height(shown));
            }
            native->second.mouse = POINT{out.x, out.y};
        } else if (out.kind == NativeEvent::Kind::Wheel) {
            out.x = native->second.mouse.x;
            out.y = native->second.mouse.y;
        } else if (out.kind == NativeEvent::Kind::Exposed) {
            native->second.repaint = true;
        } else if (out.kind == NativeEvent::Kind::Moved) {
            if (native->second.state.fullScreen)
                return;
            // A window that moves under a still pointer gets no move of the mouse.
            native->second.pointerStale = true;
            if (native->second.framing && Reframe(native->second, out.x, out.y))
                return;
        }
    }
    events.push_back(std::move(out));
}

bool SdlBackend::CursorPosition(POINT* screen)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    if (X11ServerLost())
        return false;
    SDL_Window* focus = SDL_GetMouseFocus();
    return !(focus && SDL_GetWindowData(focus, "lumo")) && mX11 && mX11->Pointer(screen);
}

int SdlBackend::ScreenSaverSetting(uint32_t action)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    return mX11 && !X11ServerLost() ? mX11->ScreenSaverSetting(action) : 0;
}

bool SdlBackend::InputIdle(uint32_t* milliseconds)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    return mX11 && !X11ServerLost() && mX11->IdleMilliseconds(milliseconds);
}

void SdlBackend::CaptureMouse(bool on)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    if (!X11ServerLost())
        SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
}

SDL_Cursor* SdlBackend::CursorFor(HCURSOR handle, const CursorRecord& cursor)
{
    auto found = mCursors.find(handle);
    if (found != mCursors.end())
        return found->second;
    SDL_Cursor* made = nullptr;
    if (cursor.systemId) {
        made = SDL_CreateSystemCursor(SystemCursorOf(cursor.systemId));
    } else {
        int32_t width = (cursor.width + 7) / 8 * 8;
        std::vector<uint8_t> data(size_t(width / 8) * size_t(cursor.height));
        std::vector<uint8_t> mask(data.size());
        for (int32_t y = 0; y < cursor.height; ++y) {
            for (int32_t x = 0; x < cursor.width; ++x) {
                CursorPixel pixel = cursor.PixelAt(x, y);
                uint8_t bit = uint8_t(0x80 >> (x % 8));
                size_t index = size_t(y) * size_t(width / 8) + size_t(x / 8);
                if (pixel == CursorPixel::Black || pixel == CursorPixel::Inverted)
                    data[index] |= bit;
                if (pixel == CursorPixel::Black || pixel == CursorPixel::White)
                    mask[index] |= bit;
            }
        }
        made = SDL_CreateCursor(data.data(), mask.data(), width, cursor.height, cursor.hotX, cursor.hotY);
    }
    if (!made)
        LogLine(std::string("SDL cursor: ") + SDL_GetError());
    mCursors.emplace(handle, made);
    return made;
}

void SdlBackend::ShowCursorShape(HCURSOR handle, const CursorRecord* cursor)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    if (X11ServerLost())
        return;
    SDL_Cursor* shown = cursor ? CursorFor(handle, *cursor) : nullptr;
    if (shown)
        SDL_SetCursor(shown);
    SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

int SdlBackend::MessageBox(HWND owner, const std::string& text, const std::string& caption, uint32_t type,
                           const std::vector<MessageBoxButton>& buttons, size_t defaultButton, size_t cancelButton)
{
    // Nobody is left to answer: the desktop is gone, or the program is on its way out.
    if (X11ServerLost() || EndSessionSignalled())
        return 0;
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        uint32_t flags = i == defaultButton ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        if (i == cancelButton)
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back(SDL_MessageBoxButtonData{flags, buttons[i].id, buttons[i].label.c_str()});
    }
    std::string title = WithoutCarriageReturns(caption);
    std::string message = WithoutCarriageReturns(text);
    auto found = mWindows.find(owner);
    SDL_MessageBoxData box = {};
    box.flags = BoxFlagsOf(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = found != mWindows.end() ? found->second.window : nullptr;
    box.title = title.c_str();
    box.message = message.c_str();
    box.numbuttons = int(data.size());
    box.buttons = data.data();
    int pressed = -1;
    int shown = 0;
    {
        const pid_t thread = ::gettid();
        EndSessionWatch watch([thread] { EndProcessCopiesOf(thread); });
        tBoxOwner = GetCurrentProcessId();
        shown = SDL_ShowMessageBox(&box, &pressed);
        tBoxOwner = 0;
    }
    if (shown != 0) {
        LogLine("Message box \"" + Cp1252FromUtf8(title) + "\" could not be shown: " + SDL_GetError());
        return 0;
    }
    return pressed < 0 ? buttons[cancelButton].id : pressed;
}

std::unique_ptr<DialogWindow> SdlBackend::OpenDialog(const DialogLayout& layout)
{
    return SdlDialog::Open(layout, mDisplay);
}

bool SdlBackend::SetClipboardText(const std::string& text)
{
    // The crash report sets the clipboard from its own thread, maybe while the
    // faulted main thread holds the display.
    std::unique_lock<std::timed_mutex> hold(*mDisplay, std::defer_lock);
    return hold.try_lock_for(std::chrono::seconds(1)) && !X11ServerLost() && SDL_SetClipboardText(text.c_str()) == 0;
}

bool SdlBackend::GetClipboardText(std::string* text)
{
    std::lock_guard<std::timed_mutex> hold(*mDisplay);
    if (X11ServerLost() || !SDL_HasClipboardText())
        return false;
    char* got = SDL_GetClipboardText();
    if (!got)
        return false;
    *text = got;
    SDL_free(got);
    return true;
}

bool SdlBackend::OpenUrl(const std::string& url)
{
    char program[] = "xdg-open";
    std::string argument = url;
    char* argv[] = {program, argument.data(), nullptr};
    pid_t child = 0;
    // The program ignores broken pipes for its X connections; the opener need not.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    int error = posix_spawnp(&child, program, nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        LogLine(std::string("Cannot start xdg-open: ") + std::strerror(error));
        return false;
    }
    std::thread([child] { ::waitpid(child, nullptr, 0); }).detach();
    return true;
}

} // namespace Platform
