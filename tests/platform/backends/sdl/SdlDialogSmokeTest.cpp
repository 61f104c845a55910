#include "platform/windows/WindowConstants.h"
#include "tests/platform/backends/sdl/SdlDesktopTest.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace Platform;
using PlatformTest::DesktopLibraryLeaksAllowed;
using SdlDialogSmoke = PlatformTest::SdlDesktopTest;

namespace {

constexpr const char* kTitle = "Zentrova dialog smoke test";

uint32_t FindWindowId()
{
    for (uint32_t id = 1; id < 64; ++id) {
        SDL_Window* window = SDL_GetWindowFromID(id);
        if (window && std::strcmp(SDL_GetWindowTitle(window), kTitle) == 0)
            return id;
    }
    return 0;
}

void PushText(uint32_t window, const char* text)
{
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = window;
    std::strncpy(event.text.text, text, sizeof(event.text.text) - 1);
    SDL_PushEvent(&event);
}

void PushKey(uint32_t window, SDL_Keycode key)
{
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.windowID = window;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

void PushClick(uint32_t window, int32_t x, int32_t y)
{
    for (uint32_t type : {uint32_t(SDL_MOUSEBUTTONDOWN), uint32_t(SDL_MOUSEBUTTONUP)}) {
        SDL_Event event = {};
        event.type = type;
        event.button.windowID = window;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }
}

// A dialog window run by a thread of its own while the main thread keeps
// pumping the desktop's events: what the user does in the dialog reaches the
// dialog alone.
TEST_F(SdlDialogSmoke, TypingAndAClickReachTheDialogOnItsOwnThread)
{

    DialogLayout layout;
    layout.title = kTitle;
    layout.origin = POINT{64, 64};
    layout.clientWidth = 200;
    layout.clientHeight = 120;
    layout.controls.push_back(DialogControl{"EDIT", WS_BORDER | ES_MULTILINE, {8, 8, 192, 80}, "", "Tahoma", -11, 400});
    layout.controls.push_back(DialogControl{"BUTTON", BS_DEFPUSHBUTTON, {8, 88, 96, 112}, "OK", "Tahoma", -11, 400});
    layout.focus = 0;
    std::atomic<bool> shown{false};
    std::atomic<bool> done{false};
    DialogEvent pressed;
    std::string typed;
    std::thread user([&] {
        DesktopLibraryLeaksAllowed allowedHere;
        std::unique_ptr<DialogWindow> dialog = mSdl->OpenDialog(layout);
        if (dialog) {
            dialog->Show(true);
            shown = true;
            for (int i = 0; i < 50 && pressed.kind == DialogEvent::Kind::None; ++i)
                pressed = dialog->Wait(100);
            typed = dialog->ControlText(0);
        }
        done = true;
    });
    while (!shown && !done)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const uint32_t window = FindWindowId();
    PushText(window, "hi");
    PushKey(window, SDLK_RETURN);
    PushText(window, "there");
    PushClick(window, 50, 100);
    std::vector<NativeEvent> events;
    while (!done) {
        mSdl->PollEvents(events);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    user.join();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(pressed.kind, DialogEvent::Kind::Pressed);
    EXPECT_EQ(pressed.control, 1u);
    EXPECT_EQ(typed, "hi\r\nthere");
    EXPECT_TRUE(events.empty()) << int(events[0].kind) << " " << events[0].window;
}

} // namespace
