#include "framework/display/DDImage.h"

#include "framework/core/DebugPrintf.h"
#include "framework/display/DDInterface.h"

#include <algorithm>
#include <type_traits>

namespace Lumo {

namespace {

// The run-length blends of one loop family: Untinted and Tinted blend the
// native word n, first weighted by the mask value m, over d; Replace is the
// tinted copy of an opaque pixel under a full mask.
template <typename Raster>
struct SpreadBlend {
    using Format = typename Raster::Tag;
    uint32_t t;

    static uint32_t Weighted(uint32_t n, uint32_t m)
    {
        const uint32_t spread = Raster::Spread(n & 0xFFFF);
        return m < 255 ? ((spread * (m >> 3)) >> 5) & Format::kSpreadMask : spread;
    }
    uint32_t Untinted(uint32_t d, uint32_t n, uint32_t m, uint32_t a) const
    {
        const uint32_t kept = ((Raster::Spread(d) * ((256 - a) >> 3)) >> 5) & Format::kSpreadMask;
        return uint32_t(Raster::Fold(kept)) + Raster::Fold(Weighted(n, m));
    }
    uint32_t Tinted(uint32_t d, uint32_t n, uint32_t m, uint32_t a) const
    {
        return Raster::Fold(
            ((Weighted(n, m) * (t >> 3) + Raster::Spread(d) * ((256 - a) >> 3)) >> 5) & Format::kSpreadMask);
    }
    uint32_t Replace(uint32_t, uint32_t n, uint32_t m) const
    {
        return Raster::Fold(((Weighted(n, m) * (t >> 3)) >> 5) & Format::kSpreadMask);
    }
};

// Format 32 on the halves 0x00FF00FF and 0x0000FF00, for a grey tint or none.
struct PackedBlend {
    uint32_t t;

    static uint32_t Part(uint32_t value, uint32_t mask, uint32_t factor)
    {
        return uint32_t(((uint64_t(value & mask) * factor) >> 8) & mask);
    }
    static uint32_t Weighted(uint32_t n, uint32_t m, uint32_t mask)
    {
        return m < 255 ? Part(n, mask, m) : n & mask;
    }
    uint32_t Untinted(uint32_t d, uint32_t n, uint32_t m, uint32_t a) const
    {
        return Part(d, 0x00FF00FF, 256 - a) + Part(d, 0x0000FF00, 256 - a) + Weighted(n, m, 0x00FF00FF) +
               Weighted(n, m, 0x0000FF00) + (a << 24);
    }
    uint32_t Tinted(uint32_t d, uint32_t n, uint32_t m, uint32_t a) const
    {
        auto half = [&](uint32_t mask) {
            return uint32_t(
                ((uint64_t(d & mask) * (256 - a) + uint64_t(Weighted(n, m, mask)) * t) >> 8) & mask);
        };
        return half(0x00FF00FF) + half(0x0000FF00);
    }
    // Format 32 has no tinted copy: the destination keeps a weight of 1/256.
    uint32_t Replace(uint32_t d, uint32_t n, uint32_t m) const { return Tinted(d, n, m, 255); }
};

// Each channel through the surface's own masks.
struct ChannelBlend {
    uint32_t masks[3];
    uint32_t tints[3];
    bool wide;

    static uint32_t Weighted(uint32_t n, uint32_t m, uint32_t mask)
    {
        return m < 255 ? uint32_t(((uint64_t(n & mask) * m) >> 8) & mask) : n & mask;
    }
    uint32_t Untinted(uint32_t d, uint32_t n, uint32_t m, uint32_t a) const
    {
        uint32_t pixel = wide ? a << 24 : 0;
        for (uint32_t mask : masks)
            pixel += uint32_t(((uint64_t(d & mask) * (256 - a)) >> 8) & mask) + Weighted(n, m, mask);
        return pixel;
    }
    uint32_t Tinted(uint32_t d, uint32_t n, uint32_t m, uint32_t a) const
    {
        uint32_t pixel = 0;
        for (int c = 0; c < 3; ++c)
            pixel += uint32_t(
                ((uint64_t(d & masks[c]) * (256 - a) + uint64_t(Weighted(n, m, masks[c])) * tints[c]) >> 8) &
                masks[c]);
        return pixel;
    }
    uint32_t Replace(uint32_t d, uint32_t n, uint32_t m) const
    {
        if (wide)
            return Tinted(d, n, m, 255);
        uint32_t pixel = 0;
        for (int c = 0; c < 3; ++c)
            pixel += uint32_t(((uint64_t(Weighted(n, m, masks[c])) * tints[c]) >> 8) & masks[c]);
        return pixel;
    }
};

} // namespace

void DDImage::BlitWithAlphaMask(Image* source, int x, int y, const Rect& srcRect, Image* mask, const Rect& maskRect,
                                const Color& color, int drawMode)
{
    source->mDrawn = true;
    mask->mDrawn = true;
    CheckAlpha();
    const bool cursorArea = this == mDDInterface->mOldCursorAreaImage || this == mDDInterface->mNewCursorAreaImage;
    if (hasTranslucency || hasTransparency || (mDDInterface->mIs3D && !cursorArea)) {
        if (!IsScreen3D()) {
            MemoryImage::BlitWithAlphaMask(source, x, y, srcRect, mask, maskRect, color, drawMode);
            return;
        }
        static bool reported = false;
        if (!reported)
            DebugPrintf("Masked blits are not drawn on the 3D draw surface\n");
        reported = true;
        return;
    }
    mSurfaceWritten = false;
    if (drawMode == 0)
        BlitWithAlphaMaskNormal(source, x, y, srcRect, mask, maskRect, color);
    if (mSurfaceWritten)
        DiscardMemoryCopies();
}

void DDImage::BlitWithAlphaMaskNormal(Image* source, int x, int y, const Rect& srcRect, Image* mask,
                                      const Rect& maskRect, const Color& color)
{
    auto* memory = dynamic_cast<MemoryImage*>(source);
    auto* maskImage = dynamic_cast<MemoryImage*>(mask);
    auto* surfaced = dynamic_cast<DDImage*>(source);
    if (!memory || !maskImage)
        return;
    // The mask value is the blue byte of its pixel or palette entry.
    const uint32_t* maskWords = maskImage->colorTable ? maskImage->colorTable.get() : maskImage->GetPixelBits();
    if (!maskWords)
        return;
    memory->CheckAlpha();
    const bool untinted = color.IsWhite();
    const bool sourceSurface = surfaced && surfaced->mSurface;
    const bool shortcut = memory->blitShortcut && !sourceSurface && !mNoSoftwareDraw && untinted;
    const bool runs = !shortcut && (memory->hasTranslucency || !untinted ||
                                    (sourceSurface && (mInVideoMemory || !surfaced->mInVideoMemory)));
    // The shortcut blends the ARGB words themselves, the others the native ones.
    const uint32_t* words = nullptr;
    if (shortcut && !(words = memory->colorTable ? memory->colorTable.get() : memory->GetPixelBits()))
        return;
    if (mNoSoftwareDraw || !LockSurface())
        return;
    if (!shortcut)
        words = memory->GetNativeAlphaData(mDDInterface);
    const uint8_t* runLengths = runs ? memory->GetRunLengthAlphaData() : nullptr;
    const bool keyed = memory->hasTransparency;
    const bool ordered = DDInterface::gChannelOrderFlag != 0;
    const Tint tint(color);

    // body(destination pixel, source index, mask index, pixels left in the row).
    auto rows = [&](auto& raster, auto&& body) {
        for (int32_t row = 0; row < srcRect.mHeight; ++row) {
            const size_t first = size_t(srcRect.mY + row) * size_t(memory->mWidth) + size_t(srcRect.mX);
            const size_t maskFirst = size_t(maskRect.mY + row) * size_t(maskImage->mWidth) + size_t(maskRect.mX);
            auto* dest = raster.Row(y + row) + x;
            for (int32_t i = 0; i < srcRect.mWidth;)
                i += body(dest + i, first + size_t(i), maskFirst + size_t(i), srcRect.mWidth - i);
        }
    };

    auto draw = [&](auto raster, auto native, auto masks) {
        using Raster = decltype(raster);
        using Pixel = typename Raster::Pixel;
        if (shortcut) {
            rows(raster, [&](Pixel* dest, size_t index, size_t maskIndex, int32_t) {
                const uint32_t s = native[index];
                *dest = Pixel(ShortcutBlend(raster, s, *dest, (s >> 24) * (masks[maskIndex] & 0xFF) / 255, ordered));
                return 1;
            });
            return;
        }
        if (!runs) {
            rows(raster, [&](Pixel* dest, size_t index, size_t maskIndex, int32_t) {
                const uint32_t n = native[index];
                if ((masks[maskIndex] & 0xFF) != 0 && (!keyed || (n >> 24) != 0))
                    *dest = Pixel(n);
                return 1;
            });
            return;
        }
        auto blendRuns = [&](const auto& blend) {
            rows(raster, [&](Pixel* dest, size_t index, size_t maskIndex, int32_t left) {
                const int32_t run = std::clamp(int32_t(runLengths[index]), 1, left);
                const uint32_t alpha = native[index] >> 24;
                if (alpha == 0)
                    return run;
                for (int32_t i = 0; i < run; ++i) {
                    const uint32_t n = native[index + size_t(i)];
                    const uint32_t m = masks[maskIndex + size_t(i)] & 0xFF;
                    const uint32_t a = alpha == 255 ? m : (n >> 24) * m / 255;
                    if (a == 0)
                        continue;
                    if (untinted)
                        dest[i] = Pixel(alpha == 255 && m == 255 ? n : blend.Untinted(dest[i], n, m, a));
                    else if (alpha == 255 && m == 255 && tint.alpha == 255)
                        dest[i] = Pixel(blend.Replace(dest[i], n, m));
                    else
                        dest[i] = Pixel(blend.Tinted(dest[i], n, m, a * tint.alpha / 255));
                }
                return run;
            });
        };
        const ChannelBlend channels{{raster.mRed, raster.mGreen, raster.mBlue},
                                    {tint.red, tint.green, tint.blue},
                                    sizeof(Pixel) == 4};
        if constexpr (Raster::Tag::kSpread) {
            if (untinted || tint.Grey()) {
                blendRuns(SpreadBlend<Raster>{tint.red});
                return;
            }
        } else if constexpr (sizeof(Pixel) == 4) {
            if (untinted || tint.Grey()) {
                blendRuns(PackedBlend{tint.red});
                return;
            }
        }
        blendRuns(channels);
    };
    mSurfaceWritten = WithRasterFormat<true>(mLockDesc, [&](auto raster) {
        WithTexels(words, memory->colorIndices.get(), [&](auto native) {
            WithTexels(maskWords, maskImage->colorIndices.get(), [&](auto masks) { draw(raster, native, masks); });
        });
    });
    UnlockSurface();
}

} // namespace Lumo
