#include "framework/graphics/images/MemoryImage.h"

#include "framework/graphics/images/PixelBlend.h"
#include "framework/graphics/images/PixelKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace Lumo {

namespace {

// Truncation toward zero that stays defined for any double.
int32_t TruncToInt(double value)
{
    if (!(value > -2147483648.0))
        return std::numeric_limits<int32_t>::min();
    if (value >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

uint32_t ClampChannel(int value)
{
    return uint32_t(std::clamp(value, 0, 255));
}

// Writes plotted line pixels, skipping those outside the image.
class LinePlotter {
public:
    LinePlotter(uint32_t* pixels, int32_t width, int32_t height) : mPixels(pixels), mWidth(width), mHeight(height) {}

    template <typename Shade>
    void Plot(int64_t x, int64_t y, Shade shade) const
    {
        if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
            return;
        uint32_t& pixel = mPixels[size_t(y) * size_t(mWidth) + size_t(x)];
        pixel = shade(pixel);
    }

    // How far the major coordinate may run before no later pixel can land in
    // the image.
    int32_t Extent(bool majorIsY) const { return majorIsY ? mHeight : mWidth; }

private:
    uint32_t* mPixels;
    int32_t mWidth;
    int32_t mHeight;
};

// Integer-decision stepping along the major axis from the start point; calls
// plot(x, y) for every pixel of the line.
template <typename Plot>
void StepLine(double x1, double y1, double x2, double y2, int32_t extent, Plot plot)
{
    const bool majorIsY = std::fabs(x2 - x1) <= std::fabs(y2 - y1);
    double major1 = majorIsY ? y1 : x1;
    double minor1 = majorIsY ? x1 : y1;
    double major2 = majorIsY ? y2 : x2;
    double minor2 = majorIsY ? x2 : y2;
    if (major2 < major1) {
        std::swap(major1, major2);
        std::swap(minor1, minor2);
    }
    const int32_t minorStep = minor2 >= minor1 ? 1 : -1;
    const double minorLow = std::min(minor1, minor2);
    const double minorHigh = std::max(minor1, minor2);
    const double minorDiff = std::fabs(minor2 - minor1);
    const double majorDiff = major2 - major1;
    const int32_t incrStraight = TruncToInt(2 * minorDiff);
    const int32_t incrDiagonal = TruncToInt(2 * (minorDiff - majorDiff));
    const int32_t startMinor = TruncToInt(minor1);
    int64_t decision = TruncToInt((minor1 - startMinor) * incrStraight + TruncToInt(2 * minorDiff - majorDiff));

    int32_t major = TruncToInt(major1);
    int64_t minor = startMinor;
    auto emit = [&] { majorIsY ? plot(minor, major) : plot(major, minor); };
    emit();
    while (major < extent && double(major) + 1 <= major2) {
        ++major;
        if (decision < 1) {
            decision += incrStraight;
        } else {
            minor += minorStep;
            decision += incrDiagonal;
            if (minor < minorLow || minor > minorHigh)
                return;
        }
        emit();
    }
}

} // namespace

void MemoryImage::FillRect(const Rect& rect, const Color& color, int)
{
    uint32_t* pixels = GetPixelBits();
    const Rect area = rect.Intersect(Rect{0, 0, mWidth, mHeight});
    if (pixels && area.mWidth > 0 && area.mHeight > 0 && color.mAlpha > 0) {
        const uint32_t packed = color.ToInt();
        const uint32_t alpha = uint32_t(color.mAlpha);
        uint32_t* first = pixels + size_t(area.mY) * size_t(mWidth) + size_t(area.mX);
        if (alpha >= 255)
            PixelKernels::FillRows(first, size_t(mWidth), area.mWidth, area.mHeight, packed);
        else
            PixelKernels::FillOver(first, size_t(mWidth), area.mWidth, area.mHeight, packed, alpha);
    }
    MarkBitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect)
{
    uint32_t* pixels = GetPixelBits();
    const Rect area = rect.Intersect(Rect{0, 0, mWidth, mHeight});
    if (pixels && area.mWidth > 0) {
        for (int32_t y = area.mY; y < area.mY + area.mHeight; ++y)
            std::fill_n(pixels + size_t(y) * size_t(mWidth) + size_t(area.mX), area.mWidth, 0u);
    }
    MarkBitsChanged();
}

void MemoryImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (y1 == y2) {
        const int32_t x = TruncToInt(std::min(x1, x2));
        FillRect(Rect{x, TruncToInt(y1), TruncToInt(std::max(x1, x2)) - x + 1, 1}, color, drawMode);
        return;
    }
    if (x1 == x2) {
        const int32_t y = TruncToInt(std::min(y1, y2));
        FillRect(Rect{TruncToInt(x1), y, 1, TruncToInt(std::max(y1, y2)) - y + 1}, color, drawMode);
        return;
    }
    uint32_t* pixels = GetPixelBits();
    if (pixels && (drawMode == 0 || drawMode == 1)) {
        const LinePlotter plotter(pixels, mWidth, mHeight);
        const int32_t extent = plotter.Extent(std::fabs(x2 - x1) <= std::fabs(y2 - y1));
        const int alpha = color.mAlpha;
        const int rgb[3] = {color.mRed, color.mGreen, color.mBlue};
        if (drawMode == 0 && alpha == 255) {
            // (c * 255 + 127) >> 8 writes 255 as 254: kept, pictures depend on it.
            uint32_t value = 0xFF000000;
            for (int c = 0; c < 3; ++c)
                value |= ClampChannel((rgb[c] * 255 + 127) >> 8) << (16 - 8 * c);
            StepLine(x1, y1, x2, y2, extent,
                     [&](int64_t x, int64_t y) { plotter.Plot(x, y, [&](uint32_t) { return value; }); });
        } else if (drawMode == 0) {
            uint32_t colorPart[3];
            for (int c = 0; c < 3; ++c) {
                const int premultiplied = (rgb[c] * alpha + 128) >> 8;
                colorPart[c] = ClampChannel((premultiplied * 255 + 127) >> 8);
            }
            const uint32_t keep = uint32_t(256 - alpha);
            StepLine(x1, y1, x2, y2, extent, [&](int64_t x, int64_t y) {
                plotter.Plot(x, y, [&](uint32_t d) {
                    uint32_t value = 0xFF000000;
                    for (int c = 0; c < 3; ++c) {
                        const uint32_t shift = 16 - 8 * c;
                        const uint32_t channel = (((d >> shift) & 0xFF) * keep + 127) >> 8;
                        value |= std::min(channel + colorPart[c], 255u) << shift;
                    }
                    return value;
                });
            });
        } else {
            uint32_t add[3];
            for (int c = 0; c < 3; ++c)
                add[c] = ClampChannel(rgb[c] * alpha / 255);
            StepLine(x1, y1, x2, y2, extent, [&](int64_t x, int64_t y) {
                plotter.Plot(x, y, [&](uint32_t d) {
                    uint32_t value = 0xFF000000;
                    for (int c = 0; c < 3; ++c) {
                        const uint32_t shift = 16 - 8 * c;
                        value |= PixelBlend::AddClamped((d >> shift) & 0xFF, add[c]) << shift;
                    }
                    return value;
                });
            });
        }
    }
    MarkBitsChanged();
}

void MemoryImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (y1 == y2 || x1 == x2) {
        DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    uint32_t* pixels = GetPixelBits();
    if (pixels && drawMode == 0) {
        if (TruncToInt(y2) < TruncToInt(y1)) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const int32_t startX = TruncToInt(x1);
        const int32_t startY = TruncToInt(y1);
        const int64_t dx = int64_t(TruncToInt(x2)) - startX;
        const int64_t dy = int64_t(TruncToInt(y2)) - startY;
        const bool majorIsY = std::llabs(dx) < std::llabs(dy);
        const int32_t xStep = x2 >= x1 ? 1 : -1;
        const double slope = majorIsY ? (x2 - x1) / (y2 - y1) : (y2 - y1) / (x2 - x1);
        const int64_t increment = int64_t(std::min(std::fabs(slope) * 65536.0, 4294967295.0));
        int64_t error = int64_t(std::fabs(y1 - startY) * std::fabs(x1 - startX) * 65536.0);
        const int64_t steps = majorIsY ? std::llabs(dy) : std::llabs(dx);

        const LinePlotter plotter(pixels, mWidth, mHeight);
        const uint32_t packed = color.ToInt();
        const int alpha = color.mAlpha;
        auto draw = [&](int64_t x, int64_t y, int64_t coverage) {
            const int64_t sa = alpha == 255 ? coverage : ((alpha + 1) * coverage) >> 8;
            if (sa <= 0)
                return;
            plotter.Plot(x, y, [&](uint32_t d) { return PixelBlend::OverSingleShift(d, packed, uint32_t(sa)); });
        };

        int64_t x = startX;
        int64_t y = startY;
        draw(x, y, 255 - (error >> 8));
        for (int64_t i = 0; i < steps; ++i) {
            error += increment;
            if (error >= 0x10000) {
                error &= 0xFFFF;
                if (majorIsY)
                    x += xStep;
                else
                    ++y;
            }
            if (majorIsY)
                ++y;
            else
                x += xStep;
            // The major coordinate only moves away once it has left the image.
            if (majorIsY ? y >= mHeight : (xStep > 0 ? x >= mWidth : x < 0))
                break;
            draw(x, y, 255 - (error >> 8));
            if (majorIsY)
                draw(x + xStep, y, error >> 8);
            else
                draw(x, y + 1, error >> 8);
        }
    }
    MarkBitsChanged();
}

void MemoryImage::FillSpansWithCoverage(Span* spans, int spanCount, const Color& color, int, const uint8_t* coverage,
                                        int coverX, int coverY, int coverStride, int)
{
    uint32_t* pixels = GetPixelBits();
    if (pixels) {
        const uint32_t packed = color.ToInt();
        for (int s = 0; s < spanCount; ++s) {
            const Span& span = spans[s];
            if (span.mY < 0 || span.mY >= mHeight)
                continue;
            const int32_t first = std::max(span.mX, 0);
            const int32_t end = int32_t(std::min(int64_t(span.mX) + span.mWidth, int64_t(mWidth)));
            uint32_t* row = pixels + size_t(span.mY) * size_t(mWidth);
            const int64_t coverRow = (int64_t(span.mY) - coverY) * coverStride - coverX;
            for (int32_t x = first; x < end; ++x) {
                const int32_t sa = (color.mAlpha * (coverage[coverRow + x] + 1)) >> 8;
                if (sa > 0)
                    row[x] = PixelBlend::OverSingleShift(row[x], packed, uint32_t(sa));
            }
        }
    }
    MarkBitsChanged();
}

} // namespace Lumo
