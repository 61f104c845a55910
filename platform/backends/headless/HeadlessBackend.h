#pragma once

#include "platform/backends/Backend.h"
#include "platform/backends/headless/HeadlessDialog.h"

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// The desktop of tests and of runs without a display: a screen in memory,
// input that tests inject, an in-memory clipboard, message boxes and dialog
// windows answered from a script (and logged), and browser starts that are only recorded.
// Showing a window with activation gives it the focus, as a window manager would.
class HeadlessBackend final : public Backend {
public:
    struct ShownMessageBox {
        std::string text; // UTF-8
        std::string caption;
        uint32_t type;
        int answer;
    };

    HeadlessBackend();

    const char* Name() const override { return "headless"; }
    RECT ScreenRect() override;
    RECT WorkArea() override;
    RECT FrameInsets(uint32_t style) override;
    void SyncWindow(HWND window, const NativeWindowState& state, bool activate) override;
    std::string FullScreenRefusal(HWND window) override;
    void DestroyWindow(HWND window) override;
    void PresentFrame(HWND window, const ShownFrame& frame) override;
    void PollEvents(std::vector<NativeEvent>& events) override;
    bool CursorPosition(POINT*) override { return false; }
    void CaptureMouse(bool on) override;
    void ShowCursorShape(HCURSOR handle, const CursorRecord* cursor) override;
    int MessageBox(HWND owner, const std::string& text, const std::string& caption, uint32_t type,
                   const std::vector<MessageBoxButton>& buttons, size_t defaultButton, size_t cancelButton) override;
    std::unique_ptr<DialogWindow> OpenDialog(const DialogLayout& layout) override;
    bool SetClipboardText(const std::string& text) override;
    bool GetClipboardText(std::string* text) override;
    bool OpenUrl(const std::string& url) override;
    int ScreenSaverSetting(uint32_t action) override;
    bool InputIdle(uint32_t*) override { return false; }

    void SetScreen(RECT screen, RECT workArea);
    // Full-screen windows keep their size from now on, for this reason;
    // empty: they cover the screen again.
    void RefuseFullScreen(const std::string& why) { mFullScreenRefusal = why; }

    // Input, delivered at the next PeekMessageA. Keys and text (UTF-8) go to
    // the focus window; mouse positions are client coordinates of the window.
    void InjectKey(uint8_t key, bool down, bool rightSide = false, bool repeat = false);
    void InjectText(const std::string& text);
    void InjectMouseMove(HWND window, int32_t x, int32_t y);
    void InjectButton(HWND window, MouseButton button, bool down, int32_t x, int32_t y);
    void InjectWheel(HWND window, int32_t notches, int32_t x, int32_t y);
    // What a window manager reports: activation, minimising, a move (x, y: the
    // new client origin), exposure, the close button.
    void InjectWindowEvent(HWND window, NativeEvent::Kind kind, int32_t x = 0, int32_t y = 0);

    // Answers for the next message boxes, in order (0: the box could not be
    // shown); after them a box takes its default button.
    void ScriptMessageBoxAnswer(int answer);
    const std::vector<ShownMessageBox>& MessageBoxes() const { return mBoxes; }

    // What the user does in the dialog windows, in order per window (any
    // thread may run them).
    void ScriptDialogAction(DialogAction action);
    // Every dialog window opened so far, as it is now.
    std::vector<ShownDialog> Dialogs();

    void SetUrlOpenWorks(bool works) { mUrlOpenWorks = works; }
    // Off (every setting 0) until a test sets one.
    void SetScreenSaverSetting(uint32_t action, int value) { mScreenSaver[action] = value; }
    const std::vector<std::string>& OpenedUrls() const { return mUrls; }

    std::optional<NativeWindowState> WindowState(HWND window) const;
    // The last frame shown in the window, rows without padding; empty when none.
    std::vector<uint32_t> Frame(HWND window, int32_t* width, int32_t* height) const;
    // Where that frame lies in the window's client area.
    POINT FramePlace(HWND window) const;
    // How many rows of the window's last frame were new: the shown frame's
    // changed rows, or all of them when its size changed.
    int32_t RenewedRows(HWND window) const;
    // The pointer on the screen (the arrow at first); none when hidden.
    std::optional<CursorRecord> ShownCursor() const { return mCursor; }
    bool MouseCaptured() const { return mCaptured; }

private:
    struct StoredFrame {
        POINT place{0, 0};
        int32_t width = 0;
        int32_t height = 0;
        int32_t renewedRows = 0;
        std::vector<uint32_t> pixels;
    };

    void Push(NativeEvent event);

    RECT mScreen;
    RECT mWorkArea;
    std::string mFullScreenRefusal;
    std::mutex mEventsMutex;
    std::vector<NativeEvent> mEvents;
    std::map<HWND, NativeWindowState> mWindows;
    std::map<HWND, StoredFrame> mFrames;
    HWND mFocus = nullptr;
    std::deque<int> mScript;
    std::vector<ShownMessageBox> mBoxes;
    std::shared_ptr<HeadlessDialogDesk> mDialogs = std::make_shared<HeadlessDialogDesk>();
    bool mUrlOpenWorks = true;
    std::vector<std::string> mUrls;
    std::map<uint32_t, int> mScreenSaver;
    std::optional<std::string> mClipboard;
    std::optional<CursorRecord> mCursor;
    bool mCaptured = false;
};

} // namespace Platform
