#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"
#include "framework/display/DisplayAppHost.h"
#include "framework/graphics/images/ImageHost.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace Lumo {

using namespace Platform;

namespace {

// The lowest value a 32-word group of the bitmap leaves unused, from the
// last group that has one; 0 when every value is used.
template <typename Word>
uint32_t UnusedKey(const std::vector<uint32_t>& used)
{
    uint32_t key = 0;
    for (size_t group = 0; group < used.size(); ++group) {
        if (used[group] == 0xFFFFFFFFu)
            continue;
        uint32_t bit = 0;
        while (used[group] & (1u << bit))
            ++bit;
        key = uint32_t(group * 32 + bit);
        if constexpr (sizeof(Word) == 4)
            return key;
    }
    return key;
}

} // namespace

DDImage::DDImage(DDInterface* display)
    : MemoryImage(display->mApp->GetImageHost()), mDDInterface(display)
{
    mDDInterface->AddImage(this);
}

DDImage::~DDImage()
{
    if (mSurface)
        mSurface->Release();
    mDDInterface->RemoveImage(this);
}

bool DDImage::IsScreen3D()
{
    return mDDInterface->mIs3D && mSurface && mSurface == mDDInterface->mDrawSurface;
}

bool DDImage::Check3D(Image* image)
{
    auto* surfaceImage = dynamic_cast<DDImage*>(image);
    return surfaceImage && surfaceImage->IsScreen3D();
}

bool DDImage::CreateSurface()
{
    if (mSurface)
        return true;
    CheckAlpha();
    if (hasTranslucency)
        return false;
    mWantSurface = true;
    if (colorTable)
        GetPixelBits();

    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = uint32_t(mWidth);
    desc.dwHeight = uint32_t(mHeight);
    desc.ddsCaps.dwCaps = mInVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;

    std::lock_guard<CriticalSectionHolder> hold(mDDInterface->mDisplayLock);
    if (FAILED(mDDInterface->CreateSurface(&desc, &mSurface)) || !mSurface)
        return false;
    if (!LockSurface()) {
        mSurface->Release();
        mSurface = nullptr;
        return false;
    }
    const bool written = WriteSurfaceFromBits();
    UnlockSurface();
    if (!written) {
        mSurface->Release();
        mSurface = nullptr;
    }
    return written;
}

bool DDImage::WriteSurfaceFromBits()
{
    const DDPIXELFORMAT& format = mLockDesc.ddpfPixelFormat;
    const DDInterface& display = *mDDInterface;
    const uint32_t bitCount = format.dwRGBBitCount;
    if (bitCount != 16 && bitCount != 32)
        return false;
    auto convert = [&](uint32_t c) {
        return (((c >> (24 - display.mRedBits)) << display.mRedShift) & format.dwRBitMask) |
               (((c >> (16 - display.mGreenBits)) << display.mGreenShift) & format.dwGBitMask) |
               (((c >> (8 - display.mBlueBits)) << display.mBlueShift) & format.dwBBitMask);
    };
    const uint32_t* pixels = bits.get();
    const size_t count = size_t(mWidth) * size_t(mHeight);
    // An attached surface is shown as it is: it never takes a key.
    const bool keyed = pixels && hasTransparency && !mSurfaceAttached;
    auto* surface = static_cast<uint8_t*>(mLockDesc.lpSurface);
    auto row = [&](int y) { return surface + ptrdiff_t(y) * mLockDesc.lPitch; };

    // Converted pixels, and the key: the first non-opaque pixel's value,
    // moved to a value no visible pixel has when an opaque one shares it.
    std::vector<uint32_t> converted(pixels ? count : 0);
    uint32_t key = 0;
    bool keyFound = false;
    for (size_t i = 0; i < converted.size(); ++i) {
        converted[i] = convert(pixels[i]);
        if (!keyFound && (pixels[i] >> 24) < 255) {
            key = bitCount == 16 ? converted[i] : (pixels[i] & 0x00FFFFFF);
            keyFound = true;
        }
    }
    if (keyed) {
        // 32-bit surfaces compare the key with the converted values, since
        // those are what the keyed copy sees.
        bool clash = false;
        for (size_t i = 0; i < count && !clash; ++i)
            clash = (pixels[i] >> 24) == 255 && converted[i] == key;
        if (clash) {
            std::vector<uint32_t> used(bitCount == 16 ? 2048 : (1u << 24) / 32, 0);
            const uint32_t limit = bitCount == 16 ? 0xFFFF : 0xFFFFFF;
            for (size_t i = 0; i < count; ++i)
                if ((pixels[i] >> 24) > 0 && converted[i] <= limit)
                    used[converted[i] / 32] |= 1u << (converted[i] % 32);
            key = bitCount == 16 ? UnusedKey<uint16_t>(used) : UnusedKey<uint32_t>(used);
        }
    }
    for (int y = 0; y < mHeight && pixels; ++y) {
        const uint32_t* source = pixels + size_t(y) * size_t(mWidth);
        const uint32_t* values = converted.data() + size_t(y) * size_t(mWidth);
        for (int x = 0; x < mWidth; ++x) {
            const uint32_t value = keyed && (source[x] >> 24) < 255 ? key : values[x];
            if (bitCount == 16)
                reinterpret_cast<uint16_t*>(row(y))[x] = uint16_t(value);
            else
                reinterpret_cast<uint32_t*>(row(y))[x] = value;
        }
    }
    if (keyed) {
        DDCOLORKEY colorKey{key, key};
        mSurface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
    }
    return true;
}

IDirectDrawSurface* DDImage::GetSurface()
{
    if (!mSurface)
        CreateSurface();
    return mSurface;
}

void DDImage::DeleteSurface()
{
    if (!mSurface)
        return;
    if (!colorTable && !bits && !textureData)
        GetPixelBits();
    mSurface->Release();
    mSurface = nullptr;
}

void DDImage::DiscardMemoryCopies()
{
    bits.reset();
    nativeAlphaData.reset();
    runLengthAdditiveData.reset();
    runLengthAlphaData.reset();
    colorTable.reset();
    colorIndices.reset();
}

uint32_t* DDImage::GetPixelBits()
{
    if (bits)
        return bits.get();
    if (!mSurface)
        return MemoryImage::GetPixelBits();
    if (mNoSoftwareDraw || !LockSurface())
        return nullptr;
    const size_t count = size_t(mWidth) * size_t(mHeight);
    bits = std::make_unique<uint32_t[]>(count + 1);
    bits[count] = kGuardWord;
    const uint32_t bitCount = mLockDesc.ddpfPixelFormat.dwRGBBitCount;
    const DDInterface& display = *mDDInterface;
    auto widen = [](uint32_t pixel, uint32_t shift, uint32_t width) {
        return ((pixel >> shift) << (8 - width)) & 255;
    };
    for (int y = 0; y < mHeight && (bitCount == 16 || bitCount == 32); ++y) {
        const uint8_t* row = static_cast<uint8_t*>(mLockDesc.lpSurface) + ptrdiff_t(y) * mLockDesc.lPitch;
        uint32_t* out = bits.get() + size_t(y) * size_t(mWidth);
        for (int x = 0; x < mWidth; ++x) {
            const uint32_t pixel = bitCount == 16 ? reinterpret_cast<const uint16_t*>(row)[x]
                                                  : reinterpret_cast<const uint32_t*>(row)[x];
            out[x] = 0xFF000000u | widen(pixel, display.mRedShift, display.mRedBits) << 16 |
                     widen(pixel, display.mGreenShift, display.mGreenBits) << 8 |
                     widen(pixel, display.mBlueShift, display.mBlueBits);
        }
    }
    UnlockSurface();
    return bits.get();
}

bool DDImage::LockSurface()
{
    if (IsScreen3D())
        return false;
    if (mLockDepth == 0) {
        mLockDesc = DDSURFACEDESC();
        IDirectDrawSurface* surface = GetSurface();
        if (!surface || FAILED(surface->Lock(nullptr, &mLockDesc, DDLOCK_WAIT, nullptr)))
            return false;
    }
    ++mLockDepth;
    return true;
}

bool DDImage::UnlockSurface()
{
    if (IsScreen3D() || mLockDepth == 0)
        return false;
    if (--mLockDepth == 0)
        mSurface->Unlock(nullptr);
    return true;
}

HRESULT DDImage::AttachSurface(IDirectDrawSurface* surface)
{
    mSurfaceAttached = true;
    mSurface = surface;
    mSurface->AddRef();
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    const HRESULT result = mSurface->GetSurfaceDesc(&desc);
    mWidth = int32_t(desc.dwWidth);
    mHeight = int32_t(desc.dwHeight);
    mNoSoftwareDraw = false;
    return result;
}

void DDImage::PurgeBits()
{
    if (mSurfaceAttached)
        return;
    purgeWanted = true;
    CheckAlpha();
    if (app->Is3DAccelerated()) {
        if (mSurface) {
            GetPixelBits();
            DeleteSurface();
        }
        MemoryImage::PurgeBits();
        return;
    }
    if (mWantSurface && CreateSurface()) {
        bits.reset();
        colorIndices.reset();
        colorTable.reset();
        return;
    }
    MemoryImage::PurgeBits();
}

void DDImage::DeleteAllDerivedData()
{
    if (mSurfaceAttached)
        return;
    MemoryImage::DeleteAllDerivedData();
    DeleteSurface();
}

void DDImage::ReapplyStorageMode()
{
    MemoryImage::ReapplyStorageMode();
    if (mWantSurface)
        CreateSurface();
}

void DDImage::MarkBitsChanged()
{
    MemoryImage::MarkBitsChanged();
    if (mSurfaceAttached) {
        // The window shows this surface: the changed pixels go into it, and
        // the image keeps drawing there rather than on a private one.
        if (bits && LockSurface()) {
            WriteSurfaceFromBits();
            UnlockSurface();
        }
        return;
    }
    if (mSurface)
        mSurface->Release();
    mSurface = nullptr;
}

void DDImage::CheckAlpha()
{
    if (mSurface)
        return;
    MemoryImage::CheckAlpha();
}

void DDImage::DeleteNativeData()
{
    if (mSurfaceAttached)
        return;
    MemoryImage::DeleteNativeData();
    DeleteSurface();
}

void DDImage::SetSize(int width, int height)
{
    bits.reset();
    // A palette of the old size would expand past its index buffer.
    DropPalette();
    mWidth = width;
    mHeight = height;
    MarkBitsChanged();
}

bool DDImage::Palettize()
{
    const bool palettized = MemoryImage::Palettize();
    if (palettized)
        DeleteSurface();
    return palettized;
}

void DDImage::SetVideoMemory(bool inVideoMemory)
{
    if (inVideoMemory == mInVideoMemory)
        return;
    mInVideoMemory = inVideoMemory;
    GetPixelBits();
    DeleteSurface();
}

void DDImage::ApplyColorKey()
{
    CreateSurface();
}

} // namespace Lumo
