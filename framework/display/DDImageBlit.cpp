#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"
#include "framework/display/Display3D.h"
#include "framework/graphics/FRect.h"

#include <algorithm>
#include <cstring>

namespace Lumo {

using namespace Platform;

namespace {

// Walks each row of the source rectangle run by run: body(source index of
// the run's first pixel, destination pixel of it, run length), the length
// cut at the row's end. Mirrored rows are written right to left.
template <bool Mirrored, typename Raster, typename Body>
void WalkRuns(const Raster& raster, const uint8_t* runs, int32_t sourceWidth, int x, int y, const Rect& srcRect,
              Body&& body)
{
    for (int32_t row = 0; row < srcRect.mHeight; ++row) {
        const size_t first = size_t(srcRect.mY + row) * size_t(sourceWidth) + size_t(srcRect.mX);
        auto* destRow = raster.Row(y + row);
        for (int32_t i = 0; i < srcRect.mWidth;) {
            const int32_t run = std::clamp(int32_t(runs[first + size_t(i)]), 1, srcRect.mWidth - i);
            body(first + size_t(i), destRow, Mirrored ? x + srcRect.mWidth - 1 - i : x + i, run);
            i += run;
        }
    }
}

template <bool Mirrored>
constexpr int32_t kColumnStep = Mirrored ? -1 : 1;

} // namespace

void DDImage::BltFromSurface(DDImage* source, int x, int y, const Rect& srcRect)
{
    IDirectDrawSurface* surface = GetSurface();
    if (!surface)
        return;
    if (mLockDepth > 0)
        surface->Unlock(nullptr);
    DDBLTFX fx;
    fx.dwSize = sizeof(DDBLTFX);
    const uint32_t flags = DDBLT_WAIT | (source->hasTransparency ? DDBLT_KEYSRC : 0);
    RECT dest{x, y, x + srcRect.mWidth, y + srcRect.mHeight};
    RECT from{srcRect.mX, srcRect.mY, srcRect.mX + srcRect.mWidth, srcRect.mY + srcRect.mHeight};
    surface->Blt(&dest, source->mSurface, &from, flags, &fx);
    if (mLockDepth > 0)
        surface->Lock(nullptr, &mLockDesc, DDLOCK_WAIT, nullptr);
    mSurfaceWritten = true;
}

void DDImage::Blit(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    source->mDrawn = true;
    CheckAlpha();
    if (IsScreen3D()) {
        auto* surfaced = dynamic_cast<DDImage*>(source);
        if (surfaced && surfaced->mSurface && drawMode == 0 && color.IsWhite() && !surfaced->hasTranslucency)
            BltFromSurface(surfaced, x, y, srcRect);
        else
            mDDInterface->mD3DInterface->Blt(source, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    const bool cursorArea = this == mDDInterface->mOldCursorAreaImage || this == mDDInterface->mNewCursorAreaImage;
    if (hasTranslucency || hasTransparency || (mDDInterface->mIs3D && !cursorArea)) {
        MemoryImage::Blit(source, x, y, srcRect, color, drawMode);
        return;
    }
    mSurfaceWritten = false;
    if (drawMode == 0)
        BlitNormal(source, x, y, srcRect, color);
    else if (drawMode == 1)
        BlitAdditive(source, x, y, srcRect, color);
    if (mSurfaceWritten)
        DiscardMemoryCopies();
}

void DDImage::BlitMirrored(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    CheckAlpha();
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->BltMirror(source, float(x), float(y), srcRect, color, drawMode);
        return;
    }
    // The memory image has no mirrored blit, and a surface would lose this
    // image's alpha: such a destination is left as it is.
    if (hasTranslucency || hasTransparency)
        return;
    mSurfaceWritten = false;
    if (drawMode == 0)
        BlitMirrorNormal(source, x, y, srcRect, color);
    else if (drawMode == 1)
        BlitMirrorAdditive(source, x, y, srcRect, color);
    if (mSurfaceWritten)
        DiscardMemoryCopies();
}

void DDImage::BlitFloat(Image* source, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                        int drawMode)
{
    source->mDrawn = true;
    if (IsScreen3D()) {
        const FRect dest{x, y, double(srcRect.mWidth), double(srcRect.mHeight)};
        const FRect shown =
            dest.Intersect(FRect{double(clip.mX), double(clip.mY), double(clip.mWidth), double(clip.mHeight)});
        if (shown.mWidth == dest.mWidth && shown.mHeight == dest.mHeight)
            mDDInterface->mD3DInterface->Blt(source, x, y, srcRect, color, drawMode, true);
        else if (shown.mWidth != 0 && shown.mHeight != 0)
            mDDInterface->mD3DInterface->BltF(source, x, y, srcRect, clip, color, drawMode);
        return;
    }
    BlitRotated(source, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

void DDImage::BlitNormal(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    source->mDrawn = true;
    auto* memory = dynamic_cast<MemoryImage*>(source);
    if (!memory)
        return;
    auto* surfaced = dynamic_cast<DDImage*>(source);
    const bool sourceSurface = surfaced && surfaced->mSurface;
    memory->CheckAlpha();
    const bool untinted = color.IsWhite();

    if (memory->blitShortcut && !sourceSurface && !mNoSoftwareDraw && untinted) {
        const uint32_t* pixels = nullptr;
        if (!memory->colorTable) {
            pixels = memory->GetPixelBits();
            if (mNoSoftwareDraw || !pixels)
                return;
        }
        if (!LockSurface())
            return;
        const uint32_t* palette = memory->colorTable.get();
        const uint8_t* indices = memory->colorIndices.get();
        const bool ordered = DDInterface::gChannelOrderFlag != 0;
        mSurfaceWritten = WithRasterFormat<true>(mLockDesc, [&](auto raster) {
            using Raster = decltype(raster);
            using Pixel = typename Raster::Pixel;
            using Format = typename Raster::Tag;
            auto blend = [&](uint32_t s, uint32_t d) -> uint32_t {
                const uint32_t a = s >> 24;
                if constexpr (Format::kSpread) {
                    if (ordered) {
                        const uint32_t spreadSource =
                            std::is_same_v<Format, Format565>
                                ? ((s & 0xFC00) << 11) + ((s >> 3) & 0x1F) + ((s >> 8) & 0xF800)
                                : ((s >> 3) & 0x1F) + ((s >> 9) & 0x7C00) + ((s & 0xF800) << 10);
                        const uint32_t spreadDest = Raster::Spread(d);
                        return Raster::Fold(((((spreadSource - spreadDest) * (s >> 27)) >> 5) + spreadDest) &
                                            Format::kSpreadMask);
                    }
                }
                if (sizeof(Pixel) == 4 && ordered) {
                    const uint32_t low =
                        (((((s & 0x00FF00FF) - (d & 0x00FF00FF)) * a) >> 8) + (d & 0x00FF00FF)) & 0x00FF00FF;
                    const uint32_t middle =
                        (((((s & 0x0000FF00) - (d & 0x0000FF00)) * a) >> 8) + (d & 0x0000FF00)) & 0x0000FF00;
                    return low | middle;
                }
                auto one = [&](uint32_t c, uint32_t mask) {
                    const uint64_t m = mask;
                    const uint64_t colorPart =
                        sizeof(Pixel) == 2 ? (uint64_t(c) * a * m) >> 8 : ((uint64_t(c) * a) >> 8) * m;
                    return uint32_t(((uint64_t(d & mask) * (256 - a) + colorPart + (m >> 1)) >> 8) & mask);
                };
                return one((s >> 16) & 255, raster.mRed) + one((s >> 8) & 255, raster.mGreen) +
                       one(s & 255, raster.mBlue);
            };
            for (int32_t row = 0; row < srcRect.mHeight; ++row) {
                const size_t first = size_t(srcRect.mY + row) * size_t(memory->mWidth) + size_t(srcRect.mX);
                Pixel* dest = raster.Row(y + row) + x;
                for (int32_t i = 0; i < srcRect.mWidth; ++i) {
                    const uint32_t s = pixels ? pixels[first + size_t(i)] : palette[indices[first + size_t(i)]];
                    dest[i] = Pixel(blend(s, dest[i]));
                }
            }
        });
        UnlockSurface();
        return;
    }

    if (!memory->hasTranslucency && untinted) {
        if (sourceSurface && (mInVideoMemory || !surfaced->mInVideoMemory)) {
            BltFromSurface(surfaced, x, y, srcRect);
            return;
        }
        if (mNoSoftwareDraw || !LockSurface())
            return;
        const NativeSource native{memory->GetNativeAlphaData(mDDInterface), memory->colorIndices.get()};
        const bool keyed = memory->hasTransparency;
        mSurfaceWritten = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
            using Pixel = typename decltype(raster)::Pixel;
            for (int32_t row = 0; row < srcRect.mHeight; ++row) {
                const size_t first = size_t(srcRect.mY + row) * size_t(memory->mWidth) + size_t(srcRect.mX);
                Pixel* dest = raster.Row(y + row) + x;
                if (sizeof(Pixel) == 4 && !keyed && !native.indices) {
                    std::memcpy(dest, native.native + first, size_t(srcRect.mWidth) * sizeof(Pixel));
                    continue;
                }
                for (int32_t i = 0; i < srcRect.mWidth; ++i) {
                    const uint32_t n = native.At(first + size_t(i));
                    if (!keyed || (n >> 24) != 0)
                        dest[i] = Pixel(n);
                }
            }
        });
        UnlockSurface();
        return;
    }
    BlitAlpha<false>(source, x, y, srcRect, color);
}

void DDImage::BlitMirrorNormal(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    source->mDrawn = true;
    auto* memory = dynamic_cast<MemoryImage*>(source);
    if (!memory)
        return;
    memory->CheckAlpha();
    BlitAlpha<true>(source, x, y, srcRect, color);
}

template <bool Mirrored>
void DDImage::BlitAlpha(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    auto* memory = static_cast<MemoryImage*>(source);
    if (mNoSoftwareDraw || !LockSurface())
        return;
    const NativeSource native{memory->GetNativeAlphaData(mDDInterface), memory->colorIndices.get()};
    const uint8_t* runs = memory->GetRunLengthAlphaData();
    const Tint tint(color);
    const bool untinted = color.IsWhite();
    constexpr int32_t step = kColumnStep<Mirrored>;
    mSurfaceWritten = WithRasterFormat<true>(mLockDesc, [&](auto raster) {
        using Raster = decltype(raster);
        using Pixel = typename Raster::Pixel;
        using Format = typename Raster::Tag;
        auto scaleDest = [&](uint32_t d, uint32_t k) -> uint32_t {
            if (Format::kSpread)
                return Raster::Fold(((Raster::Spread(d) * (k >> 3)) >> 5) & Format::kSpreadMask);
            if (sizeof(Pixel) == 4)
                return ((((d & 0x00FF00FF) * k) >> 8) & 0x00FF00FF) + ((((d & 0x0000FF00) * k) >> 8) & 0x0000FF00);
            return ((((d & raster.mRed) * k) >> 8) & raster.mRed) +
                       ((((d & raster.mGreen) * k) >> 8) & raster.mGreen) +
                       ((((d & raster.mBlue) * k) >> 8) & raster.mBlue);
        };
        if (untinted) {
            WalkRuns<Mirrored>(raster, runs, memory->mWidth, x, y, srcRect,
                               [&](size_t index, Pixel* row, int32_t column, int32_t run) {
                                   const uint32_t alpha = native.At(index) >> 24;
                                   if (alpha == 0)
                                       return;
                                   for (int32_t i = 0; i < run; ++i, column += step) {
                                       const uint32_t n = native.At(index + size_t(i));
                                       row[column] = alpha == 255
                                                         ? Pixel(n)
                                                         : Pixel(scaleDest(row[column], 256 - (n >> 24)) + n);
                                   }
                               });
            return;
        }
        const bool spreadGrey = Format::kSpread && tint.Grey();
        const bool packedGrey = sizeof(Pixel) == 4 && tint.Grey();
        auto tinted = [&](uint32_t n, uint32_t d, uint32_t k, bool opaque) -> uint32_t {
            if (spreadGrey) {
                const uint32_t colour = Raster::Spread(n & 0xFFFF) * (tint.red >> 3);
                const uint32_t dest = opaque ? 0 : Raster::Spread(d) * (k >> 3);
                return Raster::Fold(((colour + dest) >> 5) & Format::kSpreadMask);
            }
            if (packedGrey) {
                const uint32_t t = tint.red;
                const uint32_t low = (opaque ? 0 : (d & 0x00FF00FF) * k) + (n & 0x00FF00FF) * t;
                const uint32_t middle = (opaque ? 0 : (d & 0x0000FF00) * k) + (n & 0x0000FF00) * t;
                return ((low >> 8) & 0x00FF00FF) + ((middle >> 8) & 0x0000FF00);
            }
            auto one = [&](uint32_t mask, uint32_t t) {
                const uint64_t dest = opaque ? 0 : uint64_t(d & mask) * k;
                return uint32_t(((dest + uint64_t(n & mask) * t) >> 8) & mask);
            };
            return one(raster.mRed, tint.red) + one(raster.mGreen, tint.green) + one(raster.mBlue, tint.blue);
        };
        WalkRuns<Mirrored>(raster, runs, memory->mWidth, x, y, srcRect,
                           [&](size_t index, Pixel* row, int32_t column, int32_t run) {
                               const uint32_t alpha = native.At(index) >> 24;
                               if (alpha == 0)
                                   return;
                               const bool opaque = alpha == 255 && tint.alpha == 255;
                               for (int32_t i = 0; i < run; ++i, column += step) {
                                   const uint32_t n = native.At(index + size_t(i));
                                   const uint32_t k = 256 - (n >> 24) * tint.alpha / 255;
                                   row[column] = Pixel(tinted(n, row[column], k, opaque));
                               }
                           });
    });
    UnlockSurface();
}

void DDImage::BlitAdditive(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    BlitAdd<false>(source, x, y, srcRect, color);
}

void DDImage::BlitMirrorAdditive(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    BlitAdd<true>(source, x, y, srcRect, color);
}

template <bool Mirrored>
void DDImage::BlitAdd(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    source->mDrawn = true;
    if (mNoSoftwareDraw)
        return;
    auto* memory = dynamic_cast<MemoryImage*>(source);
    if (!memory || !LockSurface())
        return;
    const NativeSource native{memory->GetNativeAlphaData(mDDInterface), memory->colorIndices.get()};
    memory->CheckAlpha();
    LockSurface();
    const uint8_t* runs = memory->GetRunLengthAdditiveData(mDDInterface);
    SaturationChannel channels[3];
    SaturationChannels(channels);
    const Tint tint(color);
    const uint32_t tints[3] = {tint.red, tint.green, tint.blue};
    const bool untinted = color.IsWhite();
    constexpr int32_t step = kColumnStep<Mirrored>;
    mSurfaceWritten = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
        using Pixel = typename decltype(raster)::Pixel;
        auto add = [&](uint32_t n, uint32_t d) {
            uint32_t pixel = 0;
            for (int c = 0; c < 3; ++c) {
                const SaturationChannel& channel = channels[c];
                const uint32_t value = untinted ? channel.Value(n) : (channel.Value(n) * tints[c]) >> 8;
                pixel |= channel.Add(d, std::min(value, (1u << channel.bits) - 1));
            }
            return pixel;
        };
        WalkRuns<Mirrored>(raster, runs, memory->mWidth, x, y, srcRect,
                           [&](size_t index, Pixel* row, int32_t column, int32_t run) {
                               if ((native.At(index) & 0x00FFFFFF) == 0)
                                   return;
                               for (int32_t i = 0; i < run; ++i, column += step)
                                   row[column] = Pixel(add(native.At(index + size_t(i)), row[column]));
                           });
    });
    UnlockSurface();
    UnlockSurface();
}

} // namespace Lumo
