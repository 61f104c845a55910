#pragma once

#include "platform/windows/WindowRecord.h"
#include "platform/windows/WindowTypes.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// Window classes, windows, and which window is active, has the keyboard
// focus or holds the mouse. Safe to read from any thread.
class WindowTable {
public:
    // False when the name is taken or there is no procedure.
    bool AddClass(const std::string& name, WNDPROC proc, uint32_t style);
    // Null when the class is unknown; takes procedure and style from the class.
    HWND Add(const std::string& className, WindowRecord record);
    void Remove(HWND window);

    std::optional<WindowRecord> Get(HWND window) const;
    // Applies the change; false when there is no such window.
    bool Update(HWND window, const std::function<void(WindowRecord&)>& change);
    std::vector<HWND> All() const;
    // The visible window that contains the point; the active one first, then the newest.
    HWND At(POINT screen) const;

    HWND Active() const;
    void SetActive(HWND window);
    HWND Focus() const;
    HWND SetFocus(HWND window);
    HWND Capture() const;
    HWND SetCapture(HWND window);

private:
    struct WindowClass {
        WNDPROC proc;
        uint32_t style;
    };

    mutable std::mutex mMutex;
    std::map<std::string, WindowClass> mClasses; // by lower-case name
    std::map<uintptr_t, WindowRecord> mWindows;
    // Above the reserved handle values such as HWND_BROADCAST.
    uintptr_t mNextId = 0x10000;
    HWND mActive = nullptr;
    HWND mFocus = nullptr;
    HWND mCapture = nullptr;
};

} // namespace Platform
