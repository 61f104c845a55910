#pragma once

#include "platform/backends/Backend.h"
#include "platform/backends/FrameScaler.h"
#include "platform/backends/sdl/SdlGlProbe.h"
#include "platform/backends/sdl/X11Desktop.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct SDL_Cursor;
struct SDL_Rect;
struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;
union SDL_Event;

namespace Platform {

// Real windows through SDL2. A window gets its desktop window when first
// shown. A window shows its frames pixel for pixel in its surface, of which
// only the changed rows are sent to the display; a full-screen window scales
// them through a streaming texture on the GPU where the desktop's GL is a
// hardware one, and else scales only the changed rows into its surface.
class SdlBackend final : public Backend {
public:
    // Null when SDL's video cannot start (no display). Where the X server
    // went during the start, a desktop whose session has ended already.
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
    // Known on an X server; elsewhere the screen saver reads as off.
    int ScreenSaverSetting(uint32_t action) override;
    bool InputIdle(uint32_t* milliseconds) override;

private:
    struct Native {
        SDL_Window* window = nullptr;
        SDL_Renderer* renderer = nullptr;
        SDL_Texture* texture = nullptr;
        int32_t textureWidth = 0;
        int32_t textureHeight = 0;
        NativeWindowState state;
        POINT mouse; // last pointer position in client coordinates
        // Where the last frame went in the window's surface.
        RECT placed{0, 0, 0, 0};
        // Where a frame scaled into the surface went, empty while frames go
        // otherwise; the frame as widened to 32 bits, of which it is scaled.
        RECT scaledTo{0, 0, 0, 0};
        int32_t scaledWidth = 0;
        int32_t scaledHeight = 0;
        std::vector<uint32_t> widened;
        FrameScaler scaler;
        // Scaled rows on their way to a 16-bit surface.
        std::vector<uint32_t> scaledRows;
        // What the next frame must renew beyond its changed rows: every row
        // (the picture behind it was made anew), or the window (exposed).
        bool refill = true;
        bool repaint = true;
        // Until a window manager has framed the new window, which it places
        // by its frame, not by its client area.
        bool framing = true;
        // The pointer has not moved in the window's present shape (new, to
        // or from full screen, resized): where it stands is told after the
        // next frame, so the game need not wait for it to move.
        bool pointerStale = true;
    };

    SdlBackend(std::unique_ptr<SdlGlProbe> gl, std::unique_ptr<X11Desktop> x11);
    bool Open(HWND window, Native& native);
    void Close(Native& native);
    HWND HandleOf(uint32_t windowId) const;
    void Translate(const SDL_Event& event, std::vector<NativeEvent>& events);
    SDL_Cursor* CursorFor(HCURSOR handle, const CursorRecord& cursor);
    // Puts a window that the window manager framed where its client area
    // belongs; false when the move was not the framing.
    bool Reframe(Native& native, int32_t x, int32_t y);
    bool SoftwareGl();
    // The window's surface where it holds 32-bit words (or, when asked, 565
    // pixels) and at least width x height of them, with the renderer that
    // drew on it gone; else null.
    SDL_Surface* WordSurface(Native& native, int32_t width, int32_t height, bool orRgb565 = false);
    bool PresentOnSurface(Native& native, const ShownFrame& frame);
    bool PresentScaledOnSurface(Native& native, const ShownFrame& frame);
    void PresentThroughTexture(Native& native, const ShownFrame& frame);
    void RenewPointer(Native& native);
    void DropRenderer(Native& native);

    std::map<HWND, Native> mWindows;
    std::map<HCURSOR, SDL_Cursor*> mCursors;
    std::unique_ptr<SdlGlProbe> mGl;
    std::optional<bool> mSoftwareGl;
    std::unique_ptr<X11Desktop> mX11;
    std::vector<SDL_Rect> mUpdateRects;
    bool mSessionEndTold = false;
    // Held while talking to the display (all but the message boxes, which wait
    // on the user), which the dialog windows may do from another thread.
    std::shared_ptr<std::timed_mutex> mDisplay = std::make_shared<std::timed_mutex>();
};

} // namespace Platform
