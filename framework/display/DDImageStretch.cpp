#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"
#include "framework/display/D3DInterface.h"
#include "framework/graphics/images/BlitGeometry.h"
#include "framework/graphics/images/SmoothStretchBlit.h"

#include <algorithm>

namespace Lumo {

using namespace Platform;

namespace {

// Nearest sampling in 16.16 steps over the clipped destination; the samples
// of a mirrored row run from its right end.
template <bool Mirrored, typename Raster, typename Texels, typename Rule>
void StretchRows(const Raster& raster, const Texels& native, int32_t sourceWidth, const Rect& dest,
                 const FRect& from, Rule&& rule)
{
    using Pixel = typename Raster::Pixel;
    const int32_t stepY = int32_t(from.mHeight * 65536 / dest.mHeight);
    const int32_t stepX = int32_t(from.mWidth * 65536 / dest.mWidth);
    const int32_t startX = int32_t(from.mX * 65536);
    int32_t sampleY = int32_t(from.mY * 65536);
    for (int32_t j = 0; j < dest.mHeight; ++j, sampleY += stepY) {
        const size_t sourceRow = size_t(sampleY >> 16) * size_t(sourceWidth);
        Pixel* row = raster.Row(dest.mY + j);
        int32_t sampleX = startX;
        for (int32_t i = 0; i < dest.mWidth; ++i, sampleX += stepX) {
            Pixel& pixel = row[Mirrored ? dest.mX + dest.mWidth - 1 - i : dest.mX + i];
            pixel = Pixel(rule(native[sourceRow + size_t(sampleX >> 16)], pixel));
        }
    }
}

} // namespace

void DDImage::BlitStretched(Image* source, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                            const Color& color, int drawMode, bool quick)
{
    source->mDrawn = true;
    auto* surfaced = dynamic_cast<DDImage*>(source);
    auto* memory = dynamic_cast<MemoryImage*>(source);
    CheckAlpha();
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->BltStretched(source, destRect, srcRect, clip, color, drawMode, quick, false);
        return;
    }
    Rect dest;
    FRect from;
    if (!GetStretchBlitRects(destRect, srcRect, clip, dest, from))
        return;
    // A surface cannot keep this image's alpha, and in 3D mode images keep
    // no surface: every stretch then draws into the memory bits.
    if (hasTranslucency || hasTransparency || mDDInterface->mIs3D) {
        MemoryImage::BlitStretched(source, destRect, srcRect, clip, color, drawMode, quick);
        return;
    }
    if (!quick) {
        MemoryImage stretched(app);
        stretched.SetSize(dest.mWidth, dest.mHeight);
        const Rect whole{0, 0, dest.mWidth, dest.mHeight};
        SmoothStretchBlit(&stretched, source, whole, from);
        Blit(&stretched, dest.mX, dest.mY, whole, color, drawMode);
        return;
    }
    if (surfaced && color.IsWhite() && drawMode == 0 && !surfaced->hasTranslucency && surfaced->GetSurface()) {
        IDirectDrawSurface* surface = GetSurface();
        if (!surface)
            return;
        DDBLTFX fx;
        fx.dwSize = sizeof(DDBLTFX);
        const uint32_t flags = DDBLT_WAIT | (surfaced->hasTransparency ? DDBLT_KEYSRC : 0);
        RECT to{dest.mX, dest.mY, dest.mX + dest.mWidth, dest.mY + dest.mHeight};
        RECT within{int32_t(from.mX), int32_t(from.mY), int32_t(from.mX + from.mWidth),
                    int32_t(from.mY + from.mHeight)};
        if (mLockDepth > 0)
            surface->Unlock(nullptr);
        surface->Blt(&to, surfaced->mSurface, &within, flags, &fx);
        if (mLockDepth > 0 && FAILED(surface->Lock(nullptr, &mLockDesc, DDLOCK_WAIT, nullptr)))
            return;
        DiscardMemoryCopies();
        return;
    }
    if (memory)
        StretchNearest<false>(memory, dest, from, color, drawMode);
}

void DDImage::BlitStretchedMirrored(Image* source, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                    const Color& color, int drawMode, bool quick)
{
    source->mDrawn = true;
    auto* memory = dynamic_cast<MemoryImage*>(source);
    CheckAlpha();
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->BltStretched(source, destRect, srcRect, clip, color, drawMode, quick, true);
        return;
    }
    Rect dest;
    FRect from;
    if (!GetStretchBlitRectsMirrored(destRect, srcRect, clip, dest, from))
        return;
    // The memory image has no mirrored stretch, and a surface would lose
    // this image's alpha: such a destination is left as it is.
    if (hasTranslucency || hasTransparency || mDDInterface->mIs3D || !memory)
        return;
    StretchNearest<true>(memory, dest, from, color, drawMode);
}

template <bool Mirrored>
void DDImage::StretchNearest(MemoryImage* source, const Rect& dest, const FRect& from, const Color& color,
                             int drawMode)
{
    source->CheckAlpha();
    const uint32_t* native = source->GetNativeAlphaData(mDDInterface);
    if (!LockSurface())
        return;
    const Tint tint(color);
    const uint32_t tints[3] = {tint.red, tint.green, tint.blue};
    const bool untinted = color.IsWhite();
    SaturationChannel channels[3];
    SaturationChannels(channels);
    const bool written = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
        const uint32_t masks[3] = {raster.mRed, raster.mGreen, raster.mBlue};
        auto rows = [&](auto&& rule) {
            WithTexels(native, source->colorIndices.get(), [&](auto texels) {
                StretchRows<Mirrored>(raster, texels, source->mWidth, dest, from, rule);
            });
        };
        if (drawMode != 0 && untinted) {
            rows([&](uint32_t n, uint32_t d) {
                if (n == 0)
                    return d;
                uint32_t pixel = 0;
                for (const SaturationChannel& channel : channels)
                    pixel |= channel.Add(d, std::min(channel.Value(n), (1u << channel.bits) - 1));
                return pixel;
            });
        } else if (drawMode != 0) {
            rows([&](uint32_t n, uint32_t d) {
                if (n == 0)
                    return d;
                uint32_t pixel = 0;
                for (int c = 0; c < 3; ++c)
                    pixel |= channels[c].Add(d, (channels[c].Value(n) * tints[c]) >> 8);
                return pixel;
            });
        } else if (untinted) {
            rows([&](uint32_t n, uint32_t d) {
                const uint32_t k = 256 - (n >> 24);
                if (k == 256)
                    return d;
                uint32_t pixel = n;
                for (uint32_t mask : masks)
                    pixel += uint32_t(((uint64_t(d & mask) * k) >> 8) & mask);
                return pixel;
            });
        } else {
            rows([&](uint32_t n, uint32_t d) {
                const uint32_t alpha = (n >> 24) * tint.alpha / 255;
                if (alpha == 0)
                    return d;
                uint32_t pixel = 0;
                for (int c = 0; c < 3; ++c)
                    pixel += uint32_t(
                        ((uint64_t(d & masks[c]) * (256 - alpha) + uint64_t(n & masks[c]) * tints[c]) >> 8) &
                        masks[c]);
                return pixel;
            });
        }
    });
    UnlockSurface();
    if (written)
        DiscardMemoryCopies();
}

} // namespace Lumo
