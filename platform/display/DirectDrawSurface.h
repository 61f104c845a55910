#pragma once

#include "platform/backends/ShownFrame.h"
#include "platform/display/DirectDrawObject.h"
#include "platform/display/DirectDrawTypes.h"
#include "platform/display/DirectXResults.h"
#include "platform/windows/WindowTypes.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace Platform {

class DirectDrawClipper;
class DirectDrawPalette;

// A surface held in memory: any pixel size and channel masks, a pitch, a lock
// count and a source colour key. A primary surface shows itself in its window
// after every blit or flip onto it: at once on the thread that made it, else
// at the next PresentMarkedPrimaries on that thread. It keeps which of its rows
// changed since they were last shown, so that only those go to the window.
class DirectDrawSurface final : public DirectDrawObject {
public:
    struct Shape {
        int32_t width = 0;
        int32_t height = 0;
        DDPIXELFORMAT format;
        uint32_t caps = 0;
        int32_t pitchPadding = 0;
        // Full screen: the window the whole primary is shown in.
        HWND fullScreenWindow = nullptr;
    };

    explicit DirectDrawSurface(const Shape& shape);

    HRESULT QueryInterface(REFIID iid, void** out);
    template <typename Desc>
    HRESULT GetSurfaceDesc(Desc* desc);
    template <typename Desc>
    HRESULT Lock(const RECT* rect, Desc* desc, uint32_t flags, void* event);
    HRESULT Unlock(const RECT* rect);
    // Nearest stretch when the sizes differ; DDBLT_KEYSRC skips source pixels
    // equal to the source key. The destination rectangle is clipped to the
    // clipper's window; without a clipper it must lie inside the surface.
    HRESULT Blt(const RECT* destRect, DirectDrawSurface* source, const RECT* sourceRect, uint32_t flags,
                const DDBLTFX* fx);
    // Swaps the pixels with the back buffer and shows them.
    HRESULT Flip(DirectDrawSurface* target, uint32_t flags);
    HRESULT GetAttachedSurface(const DDSCAPS* caps, DirectDrawSurface** surface);
    HRESULT SetClipper(DirectDrawClipper* clipper);
    HRESULT SetColorKey(uint32_t flags, const DDCOLORKEY* key);
    HRESULT GetColorKey(uint32_t flags, DDCOLORKEY* key);
    HRESULT SetPalette(DirectDrawPalette* palette);

    int32_t LockCount() const { return mLockCount.load(); }
    int32_t Width() const { return mShape.width; }
    int32_t Height() const { return mShape.height; }
    int32_t Pitch() const { return mPitch; }
    const DDPIXELFORMAT& Format() const { return mShape.format; }
    uint32_t Caps() const { return mShape.caps; }
    // The raw pixel at (x, y), for tests and the presenter.
    uint32_t PixelAt(int32_t x, int32_t y) const;
    void SetPixelAt(int32_t x, int32_t y, uint32_t value);
    // The pixel rows and the attached palette, for the layer's own 3D device,
    // which draws without locking.
    uint8_t* Memory() { return mPixels.data(); }
    DirectDrawPalette* Palette() const { return mPalette; }
    // Full-screen primaries: the back buffer the flip chain was made with.
    void AttachBackBuffer(DirectDrawSurface* backBuffer);

    // Shows every primary that a blit from another thread changed. Call it on
    // the thread that made the display, as the message pump runs.
    static void PresentMarkedPrimaries();

private:
    ~DirectDrawSurface() override;

    void Describe(DDSURFACEDESC* desc, DDSCAPS* caps);
    void Describe(DDSURFACEDESC2* desc, DDSCAPS2* caps);
    void FillDescription(uint32_t* flags, uint32_t* width, uint32_t* height, int32_t* pitch,
                         DDPIXELFORMAT* format, void** pixels, uint32_t* caps);
    HRESULT BeginLock(uint32_t flags);
    int32_t BytesPerPixel() const { return int32_t(mShape.format.dwRGBBitCount / 8); }
    uint8_t* Row(int32_t y) { return mPixels.data() + size_t(y) * size_t(mPitch); }
    const uint8_t* Row(int32_t y) const { return mPixels.data() + size_t(y) * size_t(mPitch); }
    bool IsPrimary() const { return (mShape.caps & DDSCAPS_PRIMARYSURFACE) != 0; }
    // The rectangle of the surface that the window shows, in surface pixels,
    // and where its top-left corner lies in the window's client area.
    bool ShownArea(HWND* window, RECT* area, POINT* inClient) const;
    void Changed();
    void Show();

    Shape mShape;
    int32_t mPitch = 0;
    std::vector<uint8_t> mPixels;
    mutable std::mutex mPixelsLock;
    std::atomic<int32_t> mLockCount{0};
    std::optional<DDCOLORKEY> mSourceKey;
    DirectDrawClipper* mClipper = nullptr;
    DirectDrawPalette* mPalette = nullptr;
    DirectDrawSurface* mBackBuffer = nullptr;
    std::thread::id mMakerThread;
    std::atomic<bool> mShowPending{false};
    // Of a primary, under mPixelsLock: the rows changed since last shown, the
    // part of them shown last time, and the area that was shown and where.
    FrameRows mChangedRows;
    FrameRows mShownRows;
    RECT mShownArea{0, 0, 0, 0};
    POINT mShownInClient{0, 0};
};

using IDirectDrawSurface = DirectDrawSurface;
using IDirectDrawSurface7 = DirectDrawSurface;

template <typename Desc>
HRESULT DirectDrawSurface::GetSurfaceDesc(Desc* desc)
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    Describe(desc, &desc->ddsCaps);
    return DD_OK;
}

template <typename Desc>
HRESULT DirectDrawSurface::Lock(const RECT*, Desc* desc, uint32_t flags, void*)
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    if (HRESULT result = BeginLock(flags))
        return result;
    Describe(desc, &desc->ddsCaps);
    return DD_OK;
}

} // namespace Platform
