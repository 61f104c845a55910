#pragma once

#include "platform/backends/Backend.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct SDL_Cursor;
struct SDL_Rect;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Window;
union SDL_Event;

namespace Platform {

// Real windows through SDL2. A window gets its desktop window when first
// shown. Frames reach it through a streaming texture scaled to the window,
// or, where the only GL is a software one and the frame fills the window,
// straight into the window's surface, of which only the changed rows are
// sent to the display.
class SdlBackend final : public Backend {
public:
    // Null when SDL's video cannot start (no display).
    static std::unique_ptr<Backend> Create();
    ~SdlBackend() override;

    const char* Name() const override { return "sdl"; }
    RECT ScreenRect() override;
    RECT WorkArea() override;
    RECT FrameInsets(uint32_t style) override;
    void SyncWindow(HWND window, const NativeWindowState& state, bool activate) override;
    std::string FullScreenRefusal(HWND window) override;
    void DestroyWindow(HWND window) override;
    void PresentFrame(HWND window, const ShownFrame& frame) override;
    void PollEvents(std::vector<NativeEvent>& events) override;
    bool CursorPosition(POINT* screen) override;
    void CaptureMouse(bool on) override;
    void ShowCursorShape(HCURSOR handle, const CursorRecord* cursor) override;
    int MessageBox(HWND owner, const std::string& text, const std::string& caption, uint32_t type,
                   const std::vector<MessageBoxButton>& buttons, size_t defaultButton, size_t cancelButton) override;
    std::unique_ptr<DialogWindow> OpenDialog(const DialogLayout& layout) override;
    bool SetClipboardText(const std::string& text) override;
    bool GetClipboardText(std::string* text) override;
    bool OpenUrl(const std::string& url) override;
    // The desktop's screen saver is not ours to read: reported as off.
    int ScreenSaverSetting(uint32_t) override { return 0; }

private:
    struct Native {
        SDL_Window* window = nullptr;
        SDL_Renderer* renderer = nullptr;
        SDL_Texture* texture = nullptr;
        int32_t textureWidth = 0;
        int32_t textureHeight = 0;
        NativeWindowState state;
        POINT mouse; // last pointer position in client coordinates
        // What the next frame must renew beyond its changed rows: every row
        // (the picture behind it was made anew), or the window (exposed).
        bool refill = true;
        bool repaint = true;
    };

    SdlBackend() = default;
    bool Open(HWND window, Native& native);
    void Close(Native& native);
    HWND HandleOf(uint32_t windowId) const;
    void Translate(const SDL_Event& event, std::vector<NativeEvent>& events);
    SDL_Cursor* CursorFor(HCURSOR handle, const CursorRecord& cursor);
    // Whether the desktop's GL draws in software; asked once, of a hidden window.
    bool SoftwareGl();
    bool PresentOnSurface(Native& native, const ShownFrame& frame);
    void PresentThroughTexture(Native& native, const ShownFrame& frame);
    void DropRenderer(Native& native);

    std::map<HWND, Native> mWindows;
    std::map<HCURSOR, SDL_Cursor*> mCursors;
    RECT mInsets{2, 24, 2, 2}; // until a framed window was measured
    std::optional<bool> mSoftwareGl;
    std::vector<SDL_Rect> mUpdateRects;
    // Held while talking to the display (all but the message boxes, which wait
    // on the user), which the dialog windows may do from another thread.
    std::shared_ptr<std::timed_mutex> mDisplay = std::make_shared<std::timed_mutex>();
};

} // namespace Platform
