#pragma once

#include "platform/backends/ShownFrame.h"
#include "platform/windows/CursorRecord.h"
#include "platform/windows/DialogWindow.h"
#include "platform/windows/NativeEvent.h"
#include "platform/windows/NativeWindowState.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

struct MessageBoxButton {
    int id;
    std::string label;
};

// The table of operations a desktop backend provides: "sdl" shows real
// windows, "headless" keeps everything in memory for tests. The windowing
// calls keep their own state and use a backend only to show it and to hear
// from the desktop. Texts are UTF-8, as the desktop speaks, except in the
// dialog windows. Window, input and message box operations run on the main
// thread.
class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;

    virtual RECT ScreenRect() = 0;
    virtual RECT WorkArea() = 0;
    // The frame a window of this style adds on each side of its client area.
    virtual RECT FrameInsets(uint32_t style) = 0;

    // Brings the desktop's window in line with the state; with activate, the
    // window should also take the focus.
    virtual void SyncWindow(HWND window, const NativeWindowState& state, bool activate) = 0;
    // After a window was shown full screen: empty when it covers the screen,
    // else why the desktop kept it from doing so (a desktop without a window
    // manager leaves it at its size).
    virtual std::string FullScreenRefusal(HWND window) = 0;
    virtual void DestroyWindow(HWND window) = 0;
    // Shows a frame in the client area. Only its changed rows need to reach
    // the screen, unless the window lost its picture or the frame's size changed.
    virtual void PresentFrame(HWND window, const ShownFrame& frame) = 0;

    // Appends what happened on the desktop since the last call.
    virtual void PollEvents(std::vector<NativeEvent>& events) = 0;
    // The pointer on the screen while it is over none of the backend's
    // windows and the desktop can tell it; otherwise the mouse events say
    // where it is.
    virtual bool CursorPosition(POINT* screen) = 0;
    virtual void CaptureMouse(bool on) = 0;
    // Null hides the pointer.
    virtual void ShowCursorShape(HCURSOR handle, const CursorRecord* cursor) = 0;

    // Blocks until answered; returns the pressed button's id, or 0 when no
    // box could be shown. Return presses the default button; Escape and
    // closing the box press the cancel button. The type's icon bits choose
    // the box's icon.
    virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption, uint32_t type,
                           const std::vector<MessageBoxButton>& buttons, size_t defaultButton,
                           size_t cancelButton) = 0;
    // A window of controls that lives apart from the program's windows, so
    // that any thread may open and use it (the crash report's windows); null
    // when none can be shown.
    virtual std::unique_ptr<DialogWindow> OpenDialog(const DialogLayout& layout) = 0;
    virtual bool SetClipboardText(const std::string& text) = 0;
    virtual bool GetClipboardText(std::string* text) = 0;
    virtual bool OpenUrl(const std::string& url) = 0;
    // The screen saver's timeout (seconds), whether it is enabled, and whether
    // it runs now, by the SystemParametersInfoA action that asks for each.
    virtual int ScreenSaverSetting(uint32_t action) = 0;
    // How long no input reached the desktop from any program, when it can tell.
    virtual bool InputIdle(uint32_t* milliseconds) = 0;
};

} // namespace Platform
