#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"
#include "framework/display/D3DInterface.h"
#include "framework/graphics/images/PixelKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Lumo {

namespace {

uint32_t Channel(int32_t value)
{
    return uint32_t(std::clamp(value, 0, 255));
}

// Packs a colour's channels under the surface masks as ((v * M + add) >> 8) & M.
template <typename Raster, typename Value>
uint32_t Pack(const Raster& raster, const Color& color, Value value, bool addHalf = false)
{
    auto one = [&](int32_t channel, uint32_t mask) {
        const uint64_t round = addHalf ? mask >> 1 : 0;
        return uint32_t(((uint64_t(value(Channel(channel))) * mask + round) >> 8) & mask);
    };
    return one(color.mRed, raster.mRed) | one(color.mGreen, raster.mGreen) | one(color.mBlue, raster.mBlue);
}

// Each destination channel scaled by (256 - alpha), with a rounding term.
template <typename Raster>
uint32_t ScaleDest(const Raster& raster, uint32_t d, uint32_t inverse, bool addMask, bool addHalf)
{
    auto one = [&](uint32_t mask) {
        const uint64_t round = addMask ? mask : addHalf ? mask >> 1 : 0;
        return uint32_t((((uint64_t(d & mask) * inverse) + round) >> 8) & mask);
    };
    return one(raster.mRed) + one(raster.mGreen) + one(raster.mBlue);
}

// A translucent fill over a 32-bit row whose green is the middle byte, four
// pixels at a time: packed plus each destination channel times inverse / 256,
// as ScaleDest gives it. Returns how many pixels it filled.
int32_t FillRowOver32(uint32_t* row, int32_t count, uint32_t packed, uint32_t inverse)
{
    int32_t x = 0;
#if defined(__SSE2__)
    const __m128i outerBytes = _mm_set1_epi32(0x00FF00FF);
    const __m128i lowByte = _mm_set1_epi32(0x000000FF);
    const __m128i scale = _mm_set1_epi16(int16_t(inverse));
    const __m128i add = _mm_set1_epi32(int32_t(packed));
    for (; x + 4 <= count; x += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        // Each channel in a 16-bit lane of its own, where c * inverse stays below 65536.
        const __m128i outer = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(d, outerBytes), scale), 8);
        const __m128i green = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi32(d, 8), lowByte), scale), 8);
        const __m128i sum = _mm_add_epi32(add, _mm_add_epi32(outer, _mm_slli_epi32(green, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), sum);
    }
#endif
    return x;
}

// The additive value of each channel, p = ((c * a) / 255) >> (8 - width).
void AdditiveValues(const SaturationChannel channels[3], const Color& color, uint32_t values[3])
{
    const int32_t alpha = int32_t(Channel(color.mAlpha));
    const int32_t colors[3] = {color.mRed, color.mGreen, color.mBlue};
    for (int i = 0; i < 3; ++i)
        values[i] = (Channel(colors[i]) * uint32_t(alpha) / 255) >> (8 - channels[i].bits);
}

uint32_t AddPixel(const SaturationChannel channels[3], const uint32_t values[3], uint32_t d)
{
    return channels[0].Add(d, values[0]) | channels[1].Add(d, values[1]) | channels[2].Add(d, values[2]);
}

} // namespace

void DDImage::SaturationChannels(SaturationChannel channels[3])
{
    const Platform::DDPIXELFORMAT& format = mLockDesc.ddpfPixelFormat;
    const DDInterface& display = *mDDInterface;
    channels[0] = {format.dwRBitMask, display.mRedShift, display.mRedBits, display.mRedSaturationTable.get()};
    channels[1] = {format.dwGBitMask, display.mGreenShift, display.mGreenBits, display.mGreenSaturationTable.get()};
    channels[2] = {format.dwBBitMask, display.mBlueShift, display.mBlueBits, display.mBlueSaturationTable.get()};
}

bool DDImage::SoftwareDrawAllowed()
{
    CheckAlpha();
    return !hasTranslucency && !hasTransparency && !mDDInterface->mIs3D;
}

bool DDImage::PolyFill(const int32_t* points, int pointCount, const Rect* clip, const Color& color, int drawMode,
                       int offsetX, int offsetY, int)
{
    if (!IsScreen3D())
        return false;
    mDDInterface->mD3DInterface->FillPoly(points, pointCount, clip, color, drawMode, offsetX, offsetY);
    return true;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->FillRect(rect, color, drawMode);
        return;
    }
    if (!SoftwareDrawAllowed()) {
        MemoryImage::FillRect(rect, color, drawMode);
        return;
    }
    mSurfaceWritten = false;
    if (drawMode == 0)
        FillRectNormal(rect, color);
    else if (drawMode == 1)
        FillRectAdditive(rect, color);
    if (mSurfaceWritten)
        DiscardMemoryCopies();
}

void DDImage::FillRectNormal(const Rect& rect, const Color& color)
{
    if (mNoSoftwareDraw || !LockSurface())
        return;
    const uint32_t alpha = Channel(color.mAlpha);
    mSurfaceWritten = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
        using Pixel = typename decltype(raster)::Pixel;
        const bool sixteen = sizeof(Pixel) == 2;
        uint32_t packed;
        if (alpha == 255)
            packed = Pack(raster, color, [&](uint32_t c) { return sixteen ? c + 1 : c; });
        else
            packed = Pack(raster, color, [&](uint32_t c) {
                return (int32_t(c * alpha + (sixteen ? 128 : 127)) >> 8) + 1;
            });
        // Bounds held apart from the rectangle, which the stores might otherwise alias.
        const int32_t left = rect.mX, right = rect.mX + rect.mWidth, bottom = rect.mY + rect.mHeight;
        // A channel to a byte, green in the middle: the translucent rows go four pixels at a time.
        const bool outerBytes = (raster.mRed == 0x00FF0000u && raster.mBlue == 0xFFu) ||
                                (raster.mRed == 0xFFu && raster.mBlue == 0x00FF0000u);
        const bool byteChannels = sizeof(Pixel) == 4 && raster.mGreen == 0x0000FF00u && outerBytes;
        for (int32_t y = rect.mY; y < bottom; ++y) {
            Pixel* row = raster.Row(y);
            if (alpha == 255) {
                if constexpr (sizeof(Pixel) == 4)
                    PixelKernels::FillRows(row + left, 0, right - left, 1, packed);
                else
                    std::fill(row + left, row + right, Pixel(packed));
                continue;
            }
            int32_t x = left;
            if (byteChannels)
                x += FillRowOver32(reinterpret_cast<uint32_t*>(row + left), right - left, packed, 256 - alpha);
            for (; x < right; ++x)
                row[x] = Pixel(packed + ScaleDest(raster, row[x], 256 - alpha, sixteen, false));
        }
    });
    UnlockSurface();
}

void DDImage::FillRectAdditive(const Rect& rect, const Color& color)
{
    if (mNoSoftwareDraw || !LockSurface())
        return;
    SaturationChannel channels[3];
    SaturationChannels(channels);
    uint32_t values[3];
    AdditiveValues(channels, color, values);
    mSurfaceWritten = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
        using Pixel = typename decltype(raster)::Pixel;
        for (int32_t y = rect.mY; y < rect.mY + rect.mHeight; ++y) {
            Pixel* row = raster.Row(y);
            for (int32_t x = rect.mX; x < rect.mX + rect.mWidth; ++x)
                row[x] = Pixel(AddPixel(channels, values, row[x]));
        }
    });
    UnlockSurface();
}

void DDImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (hasTranslucency || hasTransparency || mDDInterface->mIs3D) {
        MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (y1 == y2) {
        const int32_t left = int32_t(std::min(x1, x2));
        FillRect(Rect{left, int32_t(y1), int32_t(std::max(x1, x2)) - left + 1, int32_t(y2 - y1 + 1.0)}, color,
                 drawMode);
        return;
    }
    if (x1 == x2) {
        const int32_t top = int32_t(std::min(y1, y2));
        FillRect(Rect{int32_t(x1), top, int32_t(x2 - x1 + 1.0), int32_t(std::max(y1, y2)) - top + 1}, color,
                 drawMode);
        return;
    }
    CheckAlpha();
    mSurfaceWritten = false;
    if (drawMode == 0)
        DrawLineNormal(x1, y1, x2, y2, color);
    else if (drawMode == 1)
        DrawLineAdditive(x1, y1, x2, y2, color);
    if (mSurfaceWritten)
        DiscardMemoryCopies();
}

void DDImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (hasTranslucency || hasTransparency || mDDInterface->mIs3D) {
        MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (y1 == y2 || x1 == x2) {
        DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    CheckAlpha();
    mSurfaceWritten = false;
    if (drawMode == 0)
        DrawLineAntialiased(x1, y1, x2, y2, color);
    else if (drawMode == 1)
        DrawLineAntialiasedAdditive(x1, y1, x2, y2, color);
    if (mSurfaceWritten)
        DiscardMemoryCopies();
}

namespace {

// Steps a one-pixel line from the end point with the smaller major
// coordinate; a step that leaves the end points' box ends the line.
template <typename Plot>
void StepLine(double x1, double y1, double x2, double y2, Plot&& plot)
{
    const double minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const double minY = std::min(y1, y2), maxY = std::max(y1, y2);
    double dx = x2 - x1, dy = y2 - y1;
    const bool xMajor = std::fabs(dx) > std::fabs(dy);
    const bool fromFirst = xMajor ? dx > 0 : dy >= 0;
    const double startX = fromFirst ? x1 : x2, startY = fromFirst ? y1 : y2;
    const double endMajor = xMajor ? (fromFirst ? x2 : x1) : (fromFirst ? y2 : y1);
    if (!fromFirst) {
        dx = -dx;
        dy = -dy;
    }
    const int32_t xs = int32_t(startX), ys = int32_t(startY);
    plot(xs, ys);
    auto outside = [&](int32_t x, int32_t y) { return x < minX || x > maxX || y < minY || y > maxY; };
    if (xMajor) {
        const int32_t yStep = dy < 0 ? -1 : 1;
        dy = std::fabs(dy);
        const int32_t incE = int32_t(2.0 * dy), incNE = int32_t(2.0 * (dy - dx));
        int32_t err = int32_t((startY - ys) * incE + int32_t(2.0 * dy - dx));
        int32_t y = ys;
        for (int32_t k = xs + 1; double(k) <= endMajor; ++k) {
            if (err > 0) {
                y += yStep;
                if (outside(k, y))
                    return;
                err += incNE;
            } else {
                err += incE;
            }
            plot(k, y);
        }
    } else {
        const int32_t xStep = dx < 0 ? -1 : 1;
        dx = std::fabs(dx);
        const int32_t incE = int32_t(2.0 * dx), incNE = int32_t(2.0 * (dx - dy));
        int32_t err = int32_t((startX - xs) * incE + int32_t(2.0 * dx - dy));
        int32_t x = xs;
        for (int32_t k = int32_t(startY + 1.0); double(k) <= endMajor; ++k) {
            if (err > 0) {
                x += xStep;
                if (outside(x, k))
                    return;
                err += incNE;
            } else {
                err += incE;
            }
            plot(x, k);
        }
    }
}

} // namespace

void DDImage::DrawLineNormal(double x1, double y1, double x2, double y2, const Color& color)
{
    if (mNoSoftwareDraw || !LockSurface())
        return;
    const uint32_t alpha = Channel(color.mAlpha);
    mSurfaceWritten = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
        using Pixel = typename decltype(raster)::Pixel;
        const uint32_t packed =
            alpha == 255 ? Pack(raster, color, [](uint32_t c) { return c; }, true)
                         : Pack(raster, color, [&](uint32_t c) { return int32_t(c * alpha + 128) >> 8; }, true);
        StepLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
            if (!raster.Contains(x, y))
                return;
            Pixel& pixel = raster.Row(y)[x];
            pixel = alpha == 255 ? Pixel(packed) : Pixel(packed + ScaleDest(raster, pixel, 256 - alpha, false, true));
        });
    });
    UnlockSurface();
}

void DDImage::DrawLineAdditive(double x1, double y1, double x2, double y2, const Color& color)
{
    if (mNoSoftwareDraw || !LockSurface())
        return;
    SaturationChannel channels[3];
    SaturationChannels(channels);
    uint32_t values[3];
    AdditiveValues(channels, color, values);
    mSurfaceWritten = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
        using Pixel = typename decltype(raster)::Pixel;
        StepLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
            if (raster.Contains(x, y))
                raster.Row(y)[x] = Pixel(AddPixel(channels, values, raster.Row(y)[x]));
        });
    });
    UnlockSurface();
}

void DDImage::DrawLineAntialiasedAdditive(double, double, double, double, const Color&) {}

void DDImage::DrawLineAntialiased(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!LockSurface())
        return;
    const uint32_t alpha = Channel(color.mAlpha);
    mSurfaceWritten = WithRasterFormat<true>(mLockDesc, [&](auto raster) {
        using Raster = decltype(raster);
        using Pixel = typename Raster::Pixel;
        using Format = typename Raster::Tag;
        const uint32_t packed = Pack(raster, color, [](uint32_t c) { return c; });
        const uint32_t spreadColor = Format::kSpread ? Raster::Spread(packed) : 0;
        auto blend = [&](int32_t x, int32_t y, uint32_t weight) {
            if (!raster.Contains(x, y))
                return;
            const uint32_t w = alpha == 255 ? weight : (weight * (alpha + 1)) >> 8;
            Pixel& pixel = raster.Row(y)[x];
            const uint32_t d = pixel;
            if constexpr (sizeof(Pixel) == 4) {
                const uint32_t k = 256 - w;
                const uint32_t low = (d & 0x00FF00FF) * k + (packed & 0x00FF00FF) * w;
                const uint32_t middle = (d & 0x0000FF00) * k + (packed & 0x0000FF00) * w;
                pixel = ((low & 0xFF00FF00) | (middle & 0x00FF0000)) >> 8;
            } else if constexpr (Format::kSpread) {
                pixel = Pixel(Raster::Fold((((w >> 3) * spreadColor) >> 5) & Format::kSpreadMask) +
                              Raster::Fold(((Raster::Spread(d) * ((256 - w) >> 3)) >> 5) & Format::kSpreadMask));
            } else {
                auto one = [&](uint32_t mask) {
                    return (((d & mask) * (256 - w) + (packed & mask) * w) >> 8) & mask;
                };
                pixel = Pixel(one(raster.mRed) | one(raster.mGreen) | one(raster.mBlue));
            }
        };

        const int32_t xi1 = int32_t(x1), yi1 = int32_t(y1), xi2 = int32_t(x2), yi2 = int32_t(y2);
        const bool swap = yi1 > yi2;
        const double sx = swap ? x2 : x1, sy = swap ? y2 : y1, ex = swap ? x1 : x2, ey = swap ? y1 : y2;
        const int32_t xs = swap ? xi2 : xi1, ys = swap ? yi2 : yi1, xe = swap ? xi1 : xi2, ye = swap ? yi1 : yi2;
        int32_t dxi = xe - xs;
        const int32_t dyi = ye - ys;
        double fdx = ex - sx;
        const double fdy = ey - sy;
        int32_t xStep = 1;
        if (dxi < 0) {
            dxi = -dxi;
            fdx = -fdx;
            xStep = -1;
        }
        uint32_t acc = uint32_t(int64_t(std::fabs(sy - ys) * std::fabs(sx - xs) * 65536.0));
        blend(xs, ys, 255 - ((acc >> 8) & 255));
        // Both ends in one pixel: that pixel is the whole line.
        if (dxi == 0 && dyi == 0)
            return;
        const bool yMajor = dxi < dyi;
        const int32_t count = yMajor ? dyi : dxi;
        const double slope = std::clamp(yMajor ? 65536.0 * fdx / fdy : 65536.0 * fdy / fdx, -1073741824.0,
                                        1073741824.0);
        const uint32_t step = uint32_t(int32_t(slope));
        int32_t x = xs, y = ys;
        for (int32_t i = 1; i < count; ++i) {
            acc += step;
            if (acc > 0xFFFF) {
                acc &= 0xFFFF;
                if (yMajor)
                    x += xStep;
                else
                    y += 1;
            }
            if (yMajor)
                y += 1;
            else
                x += xStep;
            const uint32_t f = (acc >> 8) & 255;
            blend(x, y, 255 - f);
            if (yMajor) {
                if (x < raster.PitchPixels() - 1 && x + xStep >= 0)
                    blend(x + xStep, y, f);
            } else if (y < raster.Height() - 1) {
                blend(x, y + 1, f);
            }
        }
        blend(xe, ye, 255 - ((acc >> 8) & 255));
    });
    UnlockSurface();
}

} // namespace Lumo
