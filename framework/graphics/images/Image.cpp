#include "framework/graphics/images/Image.h"

#include <algorithm>
#include <cstdint>

namespace Lumo {

Image::Image(const Image& other)
    : mWidth(other.mWidth), mHeight(other.mHeight), mNumRows(other.mNumRows), mNumCols(other.mNumCols),
      mAnimInfo(other.mAnimInfo ? std::make_unique<AnimInfo>(*other.mAnimInfo) : nullptr)
{
}

Image::~Image() = default;

void Image::AssignFrom(const Image& other)
{
    mNumRows = other.mNumRows;
    mNumCols = other.mNumCols;
    mAnimInfo = other.mAnimInfo ? std::make_unique<AnimInfo>(*other.mAnimInfo) : nullptr;
}

bool Image::ContainsRect(const Rect& rect) const
{
    return rect.mX >= 0 && rect.mY >= 0 && rect.mWidth >= 0 && rect.mHeight >= 0 &&
           int64_t(rect.mX) + rect.mWidth <= mWidth && int64_t(rect.mY) + rect.mHeight <= mHeight;
}

bool Image::PolyFill(const int32_t*, int, const Rect*, const Color&, int, int, int, int)
{
    return false;
}

void Image::FillRect(const Rect&, const Color&, int) {}

void Image::DrawRect(const Rect& rect, const Color& color, int drawMode)
{
    // Sums saturate so that an outline near the int limits stays defined.
    auto sum = [](int32_t a, int32_t b) {
        return int32_t(std::clamp(int64_t(a) + b, int64_t(INT32_MIN), int64_t(INT32_MAX)));
    };
    FillRect(Rect{rect.mX, rect.mY, sum(rect.mWidth, 1), 1}, color, drawMode);
    FillRect(Rect{rect.mX, sum(rect.mY, rect.mHeight), sum(rect.mWidth, 1), 1}, color, drawMode);
    FillRect(Rect{rect.mX, sum(rect.mY, 1), 1, sum(rect.mHeight, -1)}, color, drawMode);
    FillRect(Rect{sum(rect.mX, rect.mWidth), sum(rect.mY, 1), 1, sum(rect.mHeight, -1)}, color, drawMode);
}

void Image::ClearRect(const Rect&) {}

void Image::DrawLine(double, double, double, double, const Color&, int) {}

void Image::DrawLineAA(double, double, double, double, const Color&, int) {}

void Image::FillSpans(const Span* spans, int spanCount, const Color& color, int drawMode)
{
    for (int i = 0; i < spanCount; ++i)
        FillRect(Rect{spans[i].mX, spans[i].mY, spans[i].mWidth, 1}, color, drawMode);
}

void Image::FillSpansWithCoverage(Span*, int, const Color&, int, const uint8_t*, int, int, int, int) {}

void Image::Blit(Image*, int, int, const Rect&, const Color&, int) {}

void Image::BlitFloat(Image*, float, float, const Rect&, const Rect&, const Color&, int) {}

void Image::BlitRotated(Image*, float, float, const Rect&, const Rect&, const Color&, int, double, float, float) {}

void Image::BlitStretched(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}

void Image::BlitTransformed(Image*, float, float, const Matrix3&, const Rect&, const Color&, int, const Rect&, bool)
{
}

void Image::BlitTriangles(Image*, const TriVertex (*)[3], int, const Rect&, const Color&, int, float, float, bool) {}

void Image::BlitWithAlphaMask(Image*, int, int, const Rect&, Image*, const Rect&, const Color&, int) {}

void Image::BlitMirrored(Image*, int, int, const Rect&, const Color&, int) {}

void Image::BlitStretchedMirrored(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}

} // namespace Lumo
