#pragma once

#include "platform/backends/sdl/SdlDialogFace.h"
#include "platform/windows/DialogWindow.h"

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <SDL.h>

namespace Platform {

// A dialog window on the desktop, drawn by hand into its window surface.
// Its events are taken out of SDL's queue as they arrive (whichever thread
// pumps), so the program's loop never sees them; pumping and drawing share
// the backend's lock on the display connection, and a lock that cannot be
// had in time leaves the window as it is rather than waiting on.
class SdlDialog final : public DialogWindow {
public:
    // Null when the window cannot be made.
    static std::unique_ptr<DialogWindow> Open(const DialogLayout& layout, std::shared_ptr<std::timed_mutex> display);
    ~SdlDialog() override;

    void Show(bool visible) override;
    void SetControlText(size_t control, const std::string& text) override;
    std::string ControlText(size_t control) override;
    DialogEvent Wait(uint32_t timeoutMillis) override;

private:
    struct Control {
        DialogControl spec;
        SdlDialogFace* face = nullptr;
        int32_t firstLine = 0;
    };

    SdlDialog(const DialogLayout& layout, std::shared_ptr<std::timed_mutex> display);
    // Takes the display's lock within the wait; fails once the X server is gone.
    bool Hold(std::unique_lock<std::timed_mutex>& hold, std::chrono::milliseconds wait);
    static int SDLCALL Route(void* data, SDL_Event* event);
    void Queue(const SDL_Event& event);
    DialogEvent Handle(const SDL_Event& event);
    void Type(char key);
    int HitControl(int32_t x, int32_t y) const;
    void Scroll(Control& control, int32_t lines);
    void ScrollByClick(Control& control, int32_t y);
    RECT TextArea(const Control& control) const;
    std::vector<std::string> LinesOf(Control& control);
    void Paint();
    void PaintEdit(Control& control, bool focused);
    void PaintScrollBar(Control& control);
    void PaintButton(Control& control, bool pressed);
    void Fill(const RECT& rect, uint32_t color);
    void Frame(const RECT& rect, uint32_t color);

    std::shared_ptr<std::timed_mutex> mDisplay;
    SDL_Window* mWindow = nullptr;
    uint32_t mWindowId = 0;
    int32_t mWidth;
    int32_t mHeight;
    std::vector<uint32_t> mPixels;
    std::vector<Control> mControls;
    std::map<std::string, std::unique_ptr<SdlDialogFace>> mFaces;
    int mFocus;
    int mPressed = -1;
    POINT mMouse{0, 0};
    bool mVisible = false;
    bool mDirty = true;
    std::mutex mEventsLock;
    std::deque<SDL_Event> mEvents;
};

} // namespace Platform
