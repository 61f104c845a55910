#include "platform/windows/WindowSystem.h"

#include "platform/backends/BackendChoice.h"
#include "platform/display/DirectDrawSurface.h"
#include "platform/process/EndSessionSignal.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/process/Log.h"
#include "platform/process/Process.h"
#include "platform/backends/sdl/SdlBackend.h"
#include "platform/windows/WindowConstants.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Platform {

namespace {

constexpr uint32_t kFirstRegisteredMessage = 0xC000;
constexpr uint32_t kLastRegisteredMessage = 0xFFFF;

std::mutex gCurrentMutex;
std::unique_ptr<WindowSystem> gCurrent;

std::unique_ptr<Backend> ChooseBackend()
{
    const BackendKind kind = ChosenBackend();
    if (kind == BackendKind::Headless)
        return std::make_unique<HeadlessBackend>();
    if (kind == BackendKind::Sdl) {
        if (std::unique_ptr<Backend> sdl = SdlBackend::Create())
            return sdl;
    }
    // An invisible run that nobody asked for would look like a hang.
    const char* line = "No display to open a window on; to run without one, set LUMO_PLATFORM=headless";
    std::fprintf(stderr, "%s\n", line);
    LogLine(line);
    ExitProcess(1);
}

bool IsInput(NativeEvent::Kind kind)
{
    switch (kind) {
    case NativeEvent::Kind::KeyDown:
    case NativeEvent::Kind::KeyUp:
    case NativeEvent::Kind::Text:
    case NativeEvent::Kind::MouseMove:
    case NativeEvent::Kind::ButtonDown:
    case NativeEvent::Kind::ButtonUp:
    case NativeEvent::Kind::Wheel:
        return true;
    default:
        return false;
    }
}

LPARAM ClientSizeParam(const WindowRecord& w)
{
    RECT client = w.Client();
    return MAKELPARAM(client.right - client.left, client.bottom - client.top);
}

} // namespace

WindowSystem::WindowSystem(std::unique_ptr<Backend> backend) : mBackend(std::move(backend))
{
    WatchEndSessionSignals();
}

WindowSystem::~WindowSystem()
{
    for (HWND window : mWindows.All())
        mBackend->DestroyWindow(window);
}

WindowSystem& WindowSystem::Current()
{
    std::lock_guard<std::mutex> lock(gCurrentMutex);
    if (!gCurrent) {
        gCurrent = std::make_unique<WindowSystem>(ChooseBackend());
        LogLine(std::string("Platform: ") + gCurrent->Desktop().Name());
    }
    return *gCurrent;
}

std::unique_ptr<WindowSystem> WindowSystem::Replace(std::unique_ptr<WindowSystem> system)
{
    std::lock_guard<std::mutex> lock(gCurrentMutex);
    std::swap(gCurrent, system);
    return system;
}

void WindowSystem::Pump()
{
    DirectDrawSurface::PresentMarkedPrimaries();
    // A signal before the first window waits for one to tell.
    if (!mWindows.All().empty() && TakeEndSessionSignal())
        Broadcast(WM_ENDSESSION, 1, 0);
    std::vector<MessageChannel::Arrival> arrivals;
    {
        std::lock_guard<std::mutex> lock(mNamesMutex);
        arrivals = mChannel.Receive();
    }
    for (const MessageChannel::Arrival& arrival : arrivals)
        Broadcast(RegisterMessage(arrival.name), arrival.wParam, arrival.lParam);

    std::vector<NativeEvent> events;
    mBackend->PollEvents(events);
    for (const NativeEvent& event : events) {
        if (event.kind == NativeEvent::Kind::SessionEnded)
            Broadcast(WM_ENDSESSION, 1, 0);
        else if (IsInput(event.kind))
            mInput.Translate(event);
        else
            ApplyWindowEvent(event);
    }
    // Newer than the events' positions, but only told outside our windows.
    POINT cursor;
    if (mBackend->CursorPosition(&cursor))
        mInput.SetCursorPosition(cursor);
}

void WindowSystem::ApplyWindowEvent(const NativeEvent& event)
{
    HWND window = event.window;
    std::optional<WindowRecord> record = mWindows.Get(window);
    if (!record)
        return;
    switch (event.kind) {
    case NativeEvent::Kind::Activated: {
        HWND previous = mWindows.Active();
        if (previous == window)
            return;
        mWindows.SetActive(window);
        mWindows.SetFocus(window);
        if (previous)
            mQueue.Post(previous, WM_ACTIVATE, WA_INACTIVE, 0);
        else
            Broadcast(WM_ACTIVATEAPP, 1, 0);
        mQueue.Post(window, WM_ACTIVATE, WA_ACTIVE, 0);
        return;
    }
    case NativeEvent::Kind::Deactivated:
        if (mWindows.Active() != window)
            return;
        mWindows.SetActive(nullptr);
        mWindows.SetFocus(nullptr);
        mInput.ReleaseModifiers();
        mQueue.Post(window, WM_ACTIVATE, WA_INACTIVE, 0);
        Broadcast(WM_ACTIVATEAPP, 0, 0);
        return;
    case NativeEvent::Kind::Minimized:
        if (!record->minimized) {
            mWindows.Update(window, [](WindowRecord& w) { w.minimized = true; });
            mQueue.Post(window, WM_SIZE, SIZE_MINIMIZED, 0);
        }
        return;
    case NativeEvent::Kind::Maximized:
        if (!record->maximized) {
            mWindows.Update(window, [](WindowRecord& w) { w.minimized = false, w.maximized = true; });
            mQueue.Post(window, WM_SIZE, SIZE_MAXIMIZED, ClientSizeParam(*record));
        }
        return;
    case NativeEvent::Kind::Restored:
        if (record->minimized || record->maximized) {
            mWindows.Update(window, [](WindowRecord& w) { w.minimized = false, w.maximized = false; });
            mQueue.Post(window, WM_SIZE, SIZE_RESTORED, ClientSizeParam(*record));
            mQueue.Invalidate(window);
        }
        return;
    case NativeEvent::Kind::Moved: {
        RECT client = record->Client();
        int32_t dx = event.x - client.left;
        int32_t dy = event.y - client.top;
        if (dx == 0 && dy == 0)
            return;
        mWindows.Update(window, [&](WindowRecord& w) {
            w.rect = RECT{w.rect.left + dx, w.rect.top + dy, w.rect.right + dx, w.rect.bottom + dy};
        });
        mQueue.Post(window, WM_MOVE, 0, MAKELPARAM(event.x, event.y));
        return;
    }
    case NativeEvent::Kind::Exposed:
        if (record->visible && !record->minimized)
            mQueue.Invalidate(window);
        return;
    case NativeEvent::Kind::CloseRequested:
        mQueue.Post(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    default:
        return;
    }
}

void WindowSystem::Sync(HWND window, bool activate)
{
    std::optional<WindowRecord> record = mWindows.Get(window);
    if (record)
        mBackend->SyncWindow(window, record->Native(), activate);
}

void WindowSystem::ShowCurrentCursor()
{
    HCURSOR handle = nullptr;
    std::optional<CursorRecord> shown;
    if (mCursors.TakeChange(&handle, &shown))
        mBackend->ShowCursorShape(handle, shown ? &*shown : nullptr);
}

bool WindowSystem::Broadcast(uint32_t message, WPARAM wParam, LPARAM lParam)
{
    const std::vector<HWND> windows = mWindows.All();
    for (HWND window : windows)
        mQueue.Post(window, message, wParam, lParam);
    return !windows.empty();
}

uint32_t WindowSystem::RegisterMessage(const std::string& name)
{
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    std::lock_guard<std::mutex> lock(mNamesMutex);
    auto found = std::find(mMessageNames.begin(), mMessageNames.end(), key);
    if (found != mMessageNames.end())
        return kFirstRegisteredMessage + uint32_t(found - mMessageNames.begin());
    if (kFirstRegisteredMessage + mMessageNames.size() > kLastRegisteredMessage)
        return 0;
    mMessageNames.push_back(key);
    mChannel.Listen(key);
    return kFirstRegisteredMessage + uint32_t(mMessageNames.size() - 1);
}

bool WindowSystem::ForwardRegistered(uint32_t message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(mNamesMutex);
    size_t index = message - kFirstRegisteredMessage;
    return message >= kFirstRegisteredMessage && index < mMessageNames.size() &&
           mChannel.Send(mMessageNames[index], wParam, lParam);
}

} // namespace Platform
