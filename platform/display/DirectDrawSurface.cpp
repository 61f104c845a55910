#include "platform/display/DirectDrawSurface.h"

#include "platform/display/DirectDrawClipper.h"
#include "platform/display/DirectDrawPalette.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/windows/Window.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace Platform {

namespace {

struct PrimaryRegistry {
    std::mutex lock;
    std::set<DirectDrawSurface*> primaries;
};

PrimaryRegistry& Primaries()
{
    static PrimaryRegistry registry;
    return registry;
}

RECT Intersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

bool IsEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

uint32_t ReadPixel(const uint8_t* at, int32_t bytes)
{
    uint32_t value = 0;
    std::memcpy(&value, at, size_t(bytes));
    return value;
}

} // namespace

DirectDrawSurface::DirectDrawSurface(const Shape& shape)
    : mShape(shape), mMakerThread(std::this_thread::get_id())
{
    mPitch = mShape.width * BytesPerPixel() + mShape.pitchPadding;
    mPixels.assign(size_t(mPitch) * size_t(mShape.height), 0);
    mChangedRows.Reset(mShape.height);
    if (IsPrimary()) {
        std::lock_guard<std::mutex> hold(Primaries().lock);
        Primaries().primaries.insert(this);
    }
}

DirectDrawSurface::~DirectDrawSurface()
{
    if (IsPrimary()) {
        std::lock_guard<std::mutex> hold(Primaries().lock);
        Primaries().primaries.erase(this);
    }
    if (mClipper)
        mClipper->Release();
    if (mPalette)
        mPalette->Release();
    if (mBackBuffer)
        mBackBuffer->Release();
}

HRESULT DirectDrawSurface::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("QueryInterface"))
        return fault;
    if (iid != IID_IDirectDrawSurface && iid != IID_IDirectDrawSurface7)
        return E_NOINTERFACE;
    AddRef();
    *out = this;
    return DD_OK;
}

void DirectDrawSurface::FillDescription(uint32_t* flags, uint32_t* width, uint32_t* height, int32_t* pitch,
                                        DDPIXELFORMAT* format, void** pixels, uint32_t* caps)
{
    *flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    *width = uint32_t(mShape.width);
    *height = uint32_t(mShape.height);
    *pitch = mPitch;
    *format = mShape.format;
    *pixels = mPixels.data();
    *caps = mShape.caps;
}

void DirectDrawSurface::Describe(DDSURFACEDESC* desc, DDSCAPS* caps)
{
    FillDescription(&desc->dwFlags, &desc->dwWidth, &desc->dwHeight, &desc->lPitch, &desc->ddpfPixelFormat,
                    &desc->lpSurface, &caps->dwCaps);
}

void DirectDrawSurface::Describe(DDSURFACEDESC2* desc, DDSCAPS2* caps)
{
    FillDescription(&desc->dwFlags, &desc->dwWidth, &desc->dwHeight, &desc->lPitch, &desc->ddpfPixelFormat,
                    &desc->lpSurface, &caps->dwCaps);
}

HRESULT DirectDrawSurface::BeginLock(uint32_t)
{
    if (HRESULT fault = DisplayDesktop::Fault("Lock"))
        return fault;
    ++mLockCount;
    return DD_OK;
}

HRESULT DirectDrawSurface::Unlock(const RECT*)
{
    if (HRESULT fault = DisplayDesktop::Fault("Unlock"))
        return fault;
    int32_t count = mLockCount.load();
    while (count > 0 && !mLockCount.compare_exchange_weak(count, count - 1)) {
    }
    if (count <= 0)
        return DDERR_NOTLOCKED;
    if (IsPrimary()) {
        {
            std::lock_guard<std::mutex> hold(mPixelsLock);
            mChangedRows.Mark(0, mShape.height);
        }
        Changed();
    }
    return DD_OK;
}

HRESULT DirectDrawSurface::Blt(const RECT* destRect, DirectDrawSurface* source, const RECT* sourceRect,
                               uint32_t flags, const DDBLTFX*)
{
    if (HRESULT fault = DisplayDesktop::Fault("Blt"))
        return fault;
    if (!source)
        return DDERR_INVALIDPARAMS;
    const RECT bounds{0, 0, mShape.width, mShape.height};
    const RECT sourceBounds{0, 0, source->mShape.width, source->mShape.height};
    const RECT dest = destRect ? *destRect : bounds;
    const RECT from = sourceRect ? *sourceRect : sourceBounds;
    if (IsEmpty(dest) || IsEmpty(from) || !Contains(sourceBounds, from))
        return DDERR_INVALIDRECT;
    if (source->mShape.format.dwRGBBitCount != mShape.format.dwRGBBitCount)
        return DDERR_INVALIDPIXELFORMAT;
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    if (keyed && !source->mSourceKey)
        return DDERR_NOCOLORKEY;

    RECT clip = bounds;
    HWND window = mClipper ? mClipper->Window() : nullptr;
    RECT client;
    POINT origin;
    if (window && GetClientRect(window, &client) && ClientToScreen(window, &origin)) {
        RECT shown{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
        clip = Intersect(bounds, shown);
    } else if (!Contains(bounds, dest)) {
        return DDERR_INVALIDRECT;
    }
    const RECT visible = Intersect(dest, clip);
    if (IsEmpty(visible))
        return DD_OK;

    const int32_t bytes = BytesPerPixel();
    const int64_t destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
    const int64_t fromWidth = from.right - from.left, fromHeight = from.bottom - from.top;
    const uint32_t key = keyed ? source->mSourceKey->dwColorSpaceLowValue : 0;
    {
        std::unique_lock<std::mutex> holdDest(mPixelsLock, std::defer_lock);
        std::unique_lock<std::mutex> holdSource(source->mPixelsLock, std::defer_lock);
        if (source == this)
            holdDest.lock();
        else
            std::lock(holdDest, holdSource);
        // A blit within one surface reads what was there before it began.
        std::vector<uint8_t> copy;
        if (source == this)
            copy = mPixels;
        const uint8_t* sourcePixels = source == this ? copy.data() : source->mPixels.data();
        const int32_t sourcePitch = source->mPitch;
        const bool plain = !keyed && destWidth == fromWidth && destHeight == fromHeight;
        // A primary's rows that the copy leaves as they were need not be shown again.
        const bool compare = plain && IsPrimary();
        if (!compare)
            mChangedRows.Mark(visible.top, visible.bottom);
        for (int32_t y = visible.top; y < visible.bottom; ++y) {
            const int64_t sy = from.top + (y - dest.top) * fromHeight / destHeight;
            const uint8_t* sourceRow = sourcePixels + sy * sourcePitch;
            uint8_t* row = Row(y);
            if (plain) {
                uint8_t* to = row + visible.left * bytes;
                const uint8_t* copied = sourceRow + (from.left + visible.left - dest.left) * bytes;
                const size_t length = size_t(visible.right - visible.left) * size_t(bytes);
                if (compare && std::memcmp(to, copied, length) == 0)
                    continue;
                std::memcpy(to, copied, length);
                if (compare)
                    mChangedRows.Mark(y, y + 1);
                continue;
            }
            for (int32_t x = visible.left; x < visible.right; ++x) {
                const int64_t sx = from.left + (x - dest.left) * fromWidth / destWidth;
                const uint8_t* pixel = sourceRow + sx * bytes;
                if (keyed && ReadPixel(pixel, bytes) == key)
                    continue;
                std::memcpy(row + x * bytes, pixel, size_t(bytes));
            }
        }
    }
    Changed();
    return DD_OK;
}

HRESULT DirectDrawSurface::Flip(DirectDrawSurface*, uint32_t)
{
    if (HRESULT fault = DisplayDesktop::Fault("Flip"))
        return fault;
    if (!mBackBuffer)
        return DDERR_NOTFLIPPABLE;
    {
        std::scoped_lock hold(mPixelsLock, mBackBuffer->mPixelsLock);
        mPixels.swap(mBackBuffer->mPixels);
        mChangedRows.Mark(0, mShape.height);
    }
    Changed();
    return DD_OK;
}

HRESULT DirectDrawSurface::GetAttachedSurface(const DDSCAPS* caps, DirectDrawSurface** surface)
{
    if (!caps || !surface)
        return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("GetAttachedSurface"))
        return fault;
    if (!mBackBuffer || !(caps->dwCaps & DDSCAPS_BACKBUFFER))
        return DDERR_NOTFOUND;
    mBackBuffer->AddRef();
    *surface = mBackBuffer;
    return DD_OK;
}

void DirectDrawSurface::AttachBackBuffer(DirectDrawSurface* backBuffer)
{
    if (mBackBuffer)
        mBackBuffer->Release();
    mBackBuffer = backBuffer;
}

HRESULT DirectDrawSurface::SetClipper(DirectDrawClipper* clipper)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetClipper"))
        return fault;
    if (clipper)
        clipper->AddRef();
    if (mClipper)
        mClipper->Release();
    mClipper = clipper;
    return DD_OK;
}

HRESULT DirectDrawSurface::SetColorKey(uint32_t flags, const DDCOLORKEY* key)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetColorKey"))
        return fault;
    if (!(flags & DDCKEY_SRCBLT))
        return DDERR_UNSUPPORTED;
    if (key)
        mSourceKey = *key;
    else
        mSourceKey.reset();
    return DD_OK;
}

HRESULT DirectDrawSurface::GetColorKey(uint32_t flags, DDCOLORKEY* key)
{
    if (!key || !(flags & DDCKEY_SRCBLT))
        return DDERR_INVALIDPARAMS;
    if (!mSourceKey)
        return DDERR_NOCOLORKEY;
    *key = *mSourceKey;
    return DD_OK;
}

HRESULT DirectDrawSurface::SetPalette(DirectDrawPalette* palette)
{
    if (palette)
        palette->AddRef();
    if (mPalette)
        mPalette->Release();
    mPalette = palette;
    return DD_OK;
}

uint32_t DirectDrawSurface::PixelAt(int32_t x, int32_t y) const
{
    std::lock_guard<std::mutex> hold(mPixelsLock);
    return ReadPixel(Row(y) + x * BytesPerPixel(), BytesPerPixel());
}

void DirectDrawSurface::SetPixelAt(int32_t x, int32_t y, uint32_t value)
{
    std::lock_guard<std::mutex> hold(mPixelsLock);
    std::memcpy(Row(y) + x * BytesPerPixel(), &value, size_t(BytesPerPixel()));
    mChangedRows.Mark(y, y + 1);
}

bool DirectDrawSurface::ShownArea(HWND* window, RECT* area, POINT* inClient) const
{
    const RECT bounds{0, 0, mShape.width, mShape.height};
    if (mShape.fullScreenWindow) {
        *window = mShape.fullScreenWindow;
        *area = bounds;
        *inClient = POINT{0, 0};
        return IsWindow(*window);
    }
    *window = mClipper ? mClipper->Window() : nullptr;
    RECT client;
    POINT origin{0, 0};
    if (!*window || !GetClientRect(*window, &client) || !ClientToScreen(*window, &origin))
        return false;
    // A window reaching past the screen's edge shows only what lies on it.
    *area = Intersect(bounds, RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
    *inClient = POINT{area->left - origin.x, area->top - origin.y};
    return !IsEmpty(*area);
}

void DirectDrawSurface::Changed()
{
    if (!IsPrimary())
        return;
    if (std::this_thread::get_id() == mMakerThread)
        Show();
    else
        mShowPending = true;
}

void DirectDrawSurface::Show()
{
    mShowPending = false;
    HWND window;
    RECT area;
    POINT inClient;
    if (!ShownArea(&window, &area, &inClient))
        return;
    std::lock_guard<std::mutex> hold(mPixelsLock);
    const bool moved = area.left != mShownArea.left || area.top != mShownArea.top ||
                       area.right != mShownArea.right || area.bottom != mShownArea.bottom ||
                       inClient.x != mShownInClient.x || inClient.y != mShownInClient.y;
    if (moved) {
        mChangedRows.Mark(area.top, area.bottom);
        mShownArea = area;
        mShownInClient = inClient;
    }
    ShownFrame frame;
    frame.left = inClient.x;
    frame.top = inClient.y;
    frame.width = area.right - area.left;
    frame.height = area.bottom - area.top;
    frame.pitch = mPitch;
    frame.pixels = Row(area.top) + area.left * BytesPerPixel();
    frame.format = FrameFormat{mShape.format.dwRGBBitCount, mShape.format.dwRBitMask, mShape.format.dwGBitMask,
                               mShape.format.dwBBitMask, 0};
    mShownRows.CopyFrom(mChangedRows, area.top, frame.height);
    frame.rows = &mShownRows;
    mChangedRows.Clear();
    ShowWindowFrame(window, frame);
}

void DirectDrawSurface::PresentMarkedPrimaries()
{
    std::lock_guard<std::mutex> hold(Primaries().lock);
    for (DirectDrawSurface* primary : Primaries().primaries)
        if (primary->mShowPending && std::this_thread::get_id() == primary->mMakerThread)
            primary->Show();
}

} // namespace Platform
