#pragma once

#include "platform/backends/Backend.h"
#include "platform/windows/CursorTable.h"
#include "platform/windows/InputTranslator.h"
#include "platform/windows/MessageChannel.h"
#include "platform/windows/MessageQueue.h"
#include "platform/windows/NativeEvent.h"
#include "platform/windows/WindowTable.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// Everything behind the windowing calls: the tables, the queue, the input
// translation and the backend that shows them.
class WindowSystem {
public:
    explicit WindowSystem(std::unique_ptr<Backend> backend);
    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    // The installed system; the first use makes one with the backend that
    // LUMO_PLATFORM names ("sdl" or "headless"), or "sdl" when there is a display.
    static WindowSystem& Current();
    // Installs a system (null: the next Current() makes one); returns the previous one.
    static std::unique_ptr<WindowSystem> Replace(std::unique_ptr<WindowSystem> system);

    Backend& Desktop() { return *mBackend; }
    WindowTable& Windows() { return mWindows; }
    MessageQueue& Queue() { return mQueue; }
    CursorTable& Cursors() { return mCursors; }
    InputTranslator& Input() { return mInput; }

    // Collects what the desktop, the signals and other processes sent, as messages.
    void Pump();
    // Tells the backend the window's current state.
    void Sync(HWND window, bool activate);
    // Tells the backend which cursor to show, when that changed.
    void ShowCurrentCursor();

    // Posts to every window; false when there is none.
    bool Broadcast(uint32_t message, WPARAM wParam, LPARAM lParam);
    // Ids from 0xC000, the same for names that differ only in case.
    uint32_t RegisterMessage(const std::string& name);
    // Carries a registered message to the process that registered it first;
    // false when that is this one, or none took it.
    bool ForwardRegistered(uint32_t message, WPARAM wParam, LPARAM lParam);

private:
    void ApplyWindowEvent(const NativeEvent& event);

    std::unique_ptr<Backend> mBackend;
    WindowTable mWindows;
    MessageQueue mQueue;
    CursorTable mCursors;
    InputTranslator mInput{mWindows, mQueue};
    MessageChannel mChannel;
    std::mutex mNamesMutex;
    std::vector<std::string> mMessageNames; // lower case, by id - 0xC000
};

} // namespace Platform
