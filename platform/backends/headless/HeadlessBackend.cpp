#include "platform/backends/headless/HeadlessBackend.h"

#include "platform/backends/FrameConverter.h"
#include "platform/windows/Cursor.h"
#include "platform/windows/Dialogs.h"
#include "platform/process/Log.h"
#include "platform/windows/TextCodec.h"
#include "platform/windows/WindowConstants.h"

#include <algorithm>

namespace Platform {

HeadlessBackend::HeadlessBackend() : mScreen{0, 0, 1920, 1080}, mWorkArea{0, 0, 1920, 1040}
{
    CursorRecord arrow;
    arrow.systemId = IDC_ARROW;
    mCursor = arrow;
}

RECT HeadlessBackend::ScreenRect() { return mScreen; }

RECT HeadlessBackend::WorkArea() { return mWorkArea; }

RECT HeadlessBackend::FrameInsets(uint32_t) { return RECT{3, 26, 3, 3}; }

void HeadlessBackend::SetScreen(RECT screen, RECT workArea)
{
    mScreen = screen;
    mWorkArea = workArea;
}

void HeadlessBackend::Push(NativeEvent event)
{
    std::lock_guard<std::mutex> lock(mEventsMutex);
    mEvents.push_back(std::move(event));
}

void HeadlessBackend::SyncWindow(HWND window, const NativeWindowState& state, bool activate)
{
    mWindows[window] = state;
    bool shows = state.visible && !state.minimized;
    if (activate && shows && mFocus != window) {
        if (mFocus)
            InjectWindowEvent(mFocus, NativeEvent::Kind::Deactivated);
        InjectWindowEvent(window, NativeEvent::Kind::Activated);
    } else if (!shows && mFocus == window) {
        InjectWindowEvent(window, NativeEvent::Kind::Deactivated);
    }
}

std::string HeadlessBackend::FullScreenRefusal(HWND window)
{
    auto found = mWindows.find(window);
    return found != mWindows.end() && found->second.fullScreen ? mFullScreenRefusal : std::string();
}

void HeadlessBackend::DestroyWindow(HWND window)
{
    mWindows.erase(window);
    mFrames.erase(window);
    if (mFocus == window)
        mFocus = nullptr;
}

void HeadlessBackend::PresentFrame(HWND window, const ShownFrame& frame)
{
    StoredFrame& stored = mFrames[window];
    stored.place = POINT{frame.left, frame.top};
    const bool resized = stored.width != frame.width || stored.height != frame.height;
    if (resized) {
        stored.width = frame.width;
        stored.height = frame.height;
        stored.pixels.resize(size_t(frame.width) * size_t(frame.height));
    }
    stored.renewedRows = FrameConverter::For(frame.format)
                             .ConvertChanged(frame, reinterpret_cast<uint8_t*>(stored.pixels.data()),
                                             frame.width * 4, 0, resized);
}

void HeadlessBackend::PollEvents(std::vector<NativeEvent>& events)
{
    std::lock_guard<std::mutex> lock(mEventsMutex);
    events.insert(events.end(), mEvents.begin(), mEvents.end());
    mEvents.clear();
}

void HeadlessBackend::CaptureMouse(bool on) { mCaptured = on; }

void HeadlessBackend::ShowCursorShape(HCURSOR, const CursorRecord* cursor)
{
    mCursor = cursor ? std::optional<CursorRecord>(*cursor) : std::nullopt;
}

int HeadlessBackend::MessageBox(HWND, const std::string& text, const std::string& caption, uint32_t type,
                                const std::vector<MessageBoxButton>& buttons, size_t defaultButton, size_t)
{
    int answer;
    if (!mScript.empty()) {
        answer = mScript.front();
        mScript.pop_front();
    } else {
        answer = buttons[defaultButton].id;
    }
    mBoxes.push_back(ShownMessageBox{text, caption, type, answer});
    LogLine("Message box \"" + Cp1252FromUtf8(caption) + "\": " + Cp1252FromUtf8(text) + " -> " +
            std::to_string(answer));
    return answer;
}

std::unique_ptr<DialogWindow> HeadlessBackend::OpenDialog(const DialogLayout& layout)
{
    return std::make_unique<HeadlessDialog>(mDialogs, layout);
}

void HeadlessBackend::ScriptDialogAction(DialogAction action)
{
    std::lock_guard<std::mutex> lock(mDialogs->lock);
    mDialogs->script.push_back(std::move(action));
}

std::vector<ShownDialog> HeadlessBackend::Dialogs()
{
    std::lock_guard<std::mutex> lock(mDialogs->lock);
    return mDialogs->shown;
}

bool HeadlessBackend::SetClipboardText(const std::string& text)
{
    mClipboard = text;
    return true;
}

bool HeadlessBackend::GetClipboardText(std::string* text)
{
    if (!mClipboard)
        return false;
    *text = *mClipboard;
    return true;
}

bool HeadlessBackend::OpenUrl(const std::string& url)
{
    mUrls.push_back(url);
    LogLine("Open \"" + Cp1252FromUtf8(url) + "\"" + (mUrlOpenWorks ? "" : " failed"));
    return mUrlOpenWorks;
}

int HeadlessBackend::ScreenSaverSetting(uint32_t action)
{
    const auto found = mScreenSaver.find(action);
    return found == mScreenSaver.end() ? 0 : found->second;
}

void HeadlessBackend::InjectKey(uint8_t key, bool down, bool rightSide, bool repeat)
{
    NativeEvent event;
    event.kind = down ? NativeEvent::Kind::KeyDown : NativeEvent::Kind::KeyUp;
    event.key = key;
    event.rightSide = rightSide;
    event.repeat = repeat;
    Push(std::move(event));
}

void HeadlessBackend::InjectText(const std::string& text)
{
    NativeEvent event;
    event.kind = NativeEvent::Kind::Text;
    event.text = text;
    Push(std::move(event));
}

void HeadlessBackend::InjectMouseMove(HWND window, int32_t x, int32_t y)
{
    NativeEvent event;
    event.kind = NativeEvent::Kind::MouseMove;
    event.window = window;
    event.x = x;
    event.y = y;
    Push(std::move(event));
}

void HeadlessBackend::InjectButton(HWND window, MouseButton button, bool down, int32_t x, int32_t y)
{
    NativeEvent event;
    event.kind = down ? NativeEvent::Kind::ButtonDown : NativeEvent::Kind::ButtonUp;
    event.window = window;
    event.button = button;
    event.x = x;
    event.y = y;
    Push(std::move(event));
}

void HeadlessBackend::InjectWheel(HWND window, int32_t notches, int32_t x, int32_t y)
{
    NativeEvent event;
    event.kind = NativeEvent::Kind::Wheel;
    event.window = window;
    event.wheelNotches = notches;
    event.x = x;
    event.y = y;
    Push(std::move(event));
}

void HeadlessBackend::InjectWindowEvent(HWND window, NativeEvent::Kind kind, int32_t x, int32_t y)
{
    if (kind == NativeEvent::Kind::Activated)
        mFocus = window;
    else if (kind == NativeEvent::Kind::Deactivated && mFocus == window)
        mFocus = nullptr;
    NativeEvent event;
    event.kind = kind;
    event.window = window;
    event.x = x;
    event.y = y;
    Push(std::move(event));
}

void HeadlessBackend::ScriptMessageBoxAnswer(int answer) { mScript.push_back(answer); }

std::optional<NativeWindowState> HeadlessBackend::WindowState(HWND window) const
{
    auto found = mWindows.find(window);
    if (found == mWindows.end())
        return std::nullopt;
    return found->second;
}

int32_t HeadlessBackend::RenewedRows(HWND window) const
{
    auto found = mFrames.find(window);
    return found == mFrames.end() ? 0 : found->second.renewedRows;
}

std::vector<uint32_t> HeadlessBackend::Frame(HWND window, int32_t* width, int32_t* height) const
{
    auto found = mFrames.find(window);
    if (found == mFrames.end()) {
        *width = *height = 0;
        return {};
    }
    *width = found->second.width;
    *height = found->second.height;
    return found->second.pixels;
}

POINT HeadlessBackend::FramePlace(HWND window) const
{
    auto found = mFrames.find(window);
    return found == mFrames.end() ? POINT{0, 0} : found->second.place;
}

} // namespace Platform
