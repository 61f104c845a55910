#include "framework/display/SoftwareRasterizer.h"

#include "framework/graphics/images/MemoryImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace Lumo {

namespace {

// Room for several triangles' worth of crossings; a triangle takes at most 8.
constexpr int kPoolSize = 32;
thread_local TriVertex gClipPool[kPoolSize];
thread_local int gClipPoolUsed = 0;

// The crossing lies exactly on the bound, so no fill passes it.
TriVertex Crossing(const TriVertex& a, const TriVertex& b, float t, bool yAxis, float bound)
{
    auto channel = [&](int shift) {
        const int32_t from = int32_t((a.mColor >> shift) & 0xFF);
        const int32_t to = int32_t((b.mColor >> shift) & 0xFF);
        return uint32_t(int32_t(float(from) + float(to - from) * t)) << shift;
    };
    TriVertex& v = gClipPool[gClipPoolUsed++];
    v.mX = a.mX + (b.mX - a.mX) * t;
    v.mY = a.mY + (b.mY - a.mY) * t;
    v.mU = a.mU + (b.mU - a.mU) * t;
    v.mV = a.mV + (b.mV - a.mV) * t;
    v.mColor = channel(24) | channel(16) | channel(8) | channel(0);
    (yAxis ? v.mY : v.mX) = bound;
    return v;
}

// One pass of the clip: keeps the vertices on the inside of bound along
// the axis (x or y), with crossings where an edge passes it.
int ClipPass(const TriVertex* const* in, const TriVertex** out, bool yAxis, bool keepAbove, float bound)
{
    int count = 0;
    while (in[count])
        ++count;
    auto position = [&](const TriVertex* v) { return yAxis ? v->mY : v->mX; };
    auto inside = [&](const TriVertex* v) { return keepAbove ? position(v) >= bound : position(v) <= bound; };
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const TriVertex* a = in[i];
        const TriVertex* b = in[(i + 1) % count];
        const bool aIn = inside(a);
        const bool bIn = inside(b);
        if (aIn)
            out[written++] = a;
        if (aIn != bIn && gClipPoolUsed < kPoolSize) {
            const float t = (bound - position(a)) / (position(b) - position(a));
            Crossing(*a, *b, t, yAxis, bound);
            out[written++] = &gClipPool[gClipPoolUsed - 1];
        }
    }
    out[written] = nullptr;
    return written;
}

// 16.16 of a value; out of range or not a number pins to a limit or 0.
int32_t ToFixed(double value)
{
    const double fixed = value * 65536;
    if (!(fixed == fixed))
        return 0;
    return int32_t(std::clamp(fixed, -2147483648.0, 2147483647.0));
}

// 0..255 products, rounded.
inline uint32_t Mul(uint32_t a, uint32_t b)
{
    const uint32_t p = a * b + 128;
    return (p + (p >> 8)) >> 8;
}

inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f)
{
    return (a * (256 - f) + b * f) >> 8;
}

// Bilinear texel: the four neighbours weighted by the 8-bit fractions.
inline uint32_t Bilinear(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, uint32_t fx, uint32_t fy)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t top = Lerp((t00 >> shift) & 0xFF, (t10 >> shift) & 0xFF, fx);
        const uint32_t bottom = Lerp((t01 >> shift) & 0xFF, (t11 >> shift) & 0xFF, fx);
        out |= Lerp(top, bottom, fy) << shift;
    }
    return out;
}

// Format index of a key: 0 for 32-bit with alpha, 1 for 0x888, 2 for 0x565, 3 for 0x555.
template <int Format>
uint32_t ReadPixel(const uint8_t* at)
{
    if constexpr (Format <= 1) {
        return *reinterpret_cast<const uint32_t*>(at);
    } else {
        const uint32_t p = *reinterpret_cast<const uint16_t*>(at);
        const uint32_t greenBits = Format == 2 ? 6 : 5;
        const uint32_t r = (p >> (5 + greenBits)) & 0x1F;
        const uint32_t g = (p >> 5) & ((1u << greenBits) - 1);
        const uint32_t b = p & 0x1F;
        const uint32_t g8 = greenBits == 6 ? (g << 2 | g >> 4) : (g << 3 | g >> 2);
        return 0xFF000000 | (r << 3 | r >> 2) << 16 | g8 << 8 | (b << 3 | b >> 2);
    }
}

template <int Format>
void WritePixel(uint8_t* at, uint32_t argb)
{
    if constexpr (Format <= 1) {
        *reinterpret_cast<uint32_t*>(at) = argb;
    } else {
        const uint32_t r = (argb >> 19) & 0x1F;
        const uint32_t b = (argb >> 3) & 0x1F;
        const uint32_t value = Format == 2 ? r << 11 | ((argb >> 10) & 0x3F) << 5 | b
                                           : r << 10 | ((argb >> 11) & 0x1F) << 5 | b;
        *reinterpret_cast<uint16_t*>(at) = uint16_t(value);
    }
}

// s with alpha a over the destination pixel d.
template <int Format>
uint32_t Over(uint32_t s, uint32_t d)
{
    const uint32_t a = s >> 24;
    if constexpr (Format == 0) {
        const uint32_t da = d >> 24;
        const uint32_t outAlpha = a + Mul(da, 255 - a);
        if (outAlpha == 0)
            return 0;
        uint32_t out = outAlpha << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t mixed = ((s >> shift) & 0xFF) * a + Mul((d >> shift) & 0xFF, da) * (255 - a);
            out |= std::min<uint32_t>(255, (mixed + outAlpha / 2) / outAlpha) << shift;
        }
        return out;
    } else {
        uint32_t out = 0xFF000000;
        for (int shift = 0; shift < 24; shift += 8)
            out |= (Mul((s >> shift) & 0xFF, a) + Mul((d >> shift) & 0xFF, 255 - a)) << shift;
        return out;
    }
}

// An attribute's plane over the triangle: value at a pixel centre, step per column.
struct Plane {
    double atOrigin;
    double perX;
    double perY;

    Plane(const double* x, const double* y, const double* q, double det)
    {
        perX = ((q[1] - q[0]) * (y[2] - y[0]) - (q[2] - q[0]) * (y[1] - y[0])) / det;
        perY = ((q[2] - q[0]) * (x[1] - x[0]) - (q[1] - q[0]) * (x[2] - x[0])) / det;
        atOrigin = q[0] - perX * x[0] - perY * y[0];
    }
    int64_t At(double px, double py) const { return std::llround(atOrigin + perX * px + perY * py); }
    int64_t Step() const { return std::llround(perX); }
};

// Fills the pixel centres inside the triangle, top-left rule.
template <int Key>
void FillTriangle(const SoftwareRasterizer::FixedVertex* triangle, uint8_t* dest, int32_t pitch,
                  const SoftwareRasterizer::TextureBlock* texture, const SoftwareRasterizer::ColorBlock* color)
{
    constexpr int kFormat = Key >> 5;
    constexpr bool kTextured = Key & SoftwareRasterizer::kTextured;
    constexpr bool kVertexColor = Key & SoftwareRasterizer::kVertexColor;
    constexpr bool kTinted = Key & SoftwareRasterizer::kTinted;
    constexpr bool kFiltered = kTextured && (Key & SoftwareRasterizer::kBlend);
    constexpr int kPixelSize = kFormat <= 1 ? 4 : 2;

    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = triangle[i].mX / 65536.0;
        y[i] = triangle[i].mY / 65536.0;
    }
    const double det = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (det == 0 || !std::isfinite(det))
        return;
    auto plane = [&](int32_t SoftwareRasterizer::FixedVertex::*field) {
        const double q[3] = {double(triangle[0].*field), double(triangle[1].*field), double(triangle[2].*field)};
        return Plane(x, y, q, det);
    };
    using V = SoftwareRasterizer::FixedVertex;
    const Plane planes[6] = {plane(&V::mU), plane(&V::mV), plane(&V::mA), plane(&V::mR), plane(&V::mG),
                             plane(&V::mB)};
    const uint32_t tint[4] = {uint32_t(color->mA), uint32_t(color->mR), uint32_t(color->mG), uint32_t(color->mB)};

    int order[3] = {0, 1, 2};
    std::sort(order, order + 3, [&](int a, int b) { return y[a] < y[b]; });
    const int top = order[0], middle = order[1], bottom = order[2];
    auto edgeX = [&](int from, int to, double py) {
        return x[from] + (x[to] - x[from]) * (py - y[from]) / (y[to] - y[from]);
    };
    const int32_t firstRow = int32_t(std::ceil(y[top]));
    const int32_t endRow = int32_t(std::ceil(y[bottom]));
    for (int32_t row = firstRow; row < endRow; ++row) {
        const double py = row;
        const double longX = edgeX(top, bottom, py);
        const double shortX = py < y[middle] ? edgeX(top, middle, py) : edgeX(middle, bottom, py);
        const int32_t first = int32_t(std::ceil(std::min(longX, shortX)));
        const int32_t end = int32_t(std::ceil(std::max(longX, shortX)));
        if (first >= end)
            continue;
        int64_t values[6], steps[6];
        for (int i = 0; i < 6; ++i) {
            values[i] = planes[i].At(first, py);
            steps[i] = planes[i].Step();
        }
        uint8_t* at = dest + ptrdiff_t(row) * pitch + ptrdiff_t(first) * kPixelSize;
        for (int32_t column = first; column < end; ++column, at += kPixelSize) {
            uint32_t s = 0xFFFFFFFF;
            if constexpr (kTextured) {
                if constexpr (kFiltered) {
                    const int64_t u = std::clamp<int64_t>(values[0] - 0x8000, 0, texture->mMaxU);
                    const int64_t v = std::clamp<int64_t>(values[1] - 0x8000, 0, texture->mMaxV);
                    const int32_t i = int32_t(u >> 16), l = int32_t(v >> 16);
                    const int32_t i1 = std::min(i + 1, texture->mWidth - 1);
                    const int32_t l1 = std::min(l + 1, texture->mHeight - 1);
                    const uint32_t* row0 = texture->mPixels + size_t(l) * size_t(texture->mWidth);
                    const uint32_t* row1 = texture->mPixels + size_t(l1) * size_t(texture->mWidth);
                    s = Bilinear(row0[i], row0[i1], row1[i], row1[i1], uint32_t(u >> 8) & 0xFF,
                                 uint32_t(v >> 8) & 0xFF);
                } else {
                    const int64_t u = std::clamp<int64_t>(values[0], 0, texture->mMaxU);
                    const int64_t v = std::clamp<int64_t>(values[1], 0, texture->mMaxV);
                    s = texture->mPixels[size_t(v >> 16) * size_t(texture->mWidth) + size_t(u >> 16)];
                }
            }
            if constexpr (kVertexColor || kTinted) {
                uint32_t channels[4] = {s >> 24, (s >> 16) & 0xFF, (s >> 8) & 0xFF, s & 0xFF};
                for (int c = 0; c < 4; ++c) {
                    if constexpr (kVertexColor)
                        channels[c] = Mul(channels[c], uint32_t(std::clamp<int64_t>(values[2 + c] >> 16, 0, 255)));
                    if constexpr (kTinted)
                        channels[c] = Mul(channels[c], tint[c]);
                }
                s = channels[0] << 24 | channels[1] << 16 | channels[2] << 8 | channels[3];
            }
            const uint32_t alpha = s >> 24;
            if (alpha == 255)
                WritePixel<kFormat>(at, kFormat == 0 ? s : s | 0xFF000000);
            else if (alpha != 0)
                WritePixel<kFormat>(at, Over<kFormat>(s, ReadPixel<kFormat>(at)));
            for (int i = 0; i < 6; ++i)
                values[i] += steps[i];
        }
    }
}

template <size_t... Keys>
constexpr std::array<SoftwareRasterizer::SpanRoutine, 128> MakeTable(std::index_sequence<Keys...>)
{
    return {&FillTriangle<int(Keys)>...};
}

std::array<SoftwareRasterizer::SpanRoutine, 128> gSpanTable = MakeTable(std::make_index_sequence<128>());

} // namespace

int SoftwareRasterizer::ClipTriangleSoftware(const TriVertex* a, const TriVertex* b, const TriVertex* c, float left,
                                             float right, float top, float bottom, const TriVertex** out)
{
    gClipPoolUsed = 0;
    const TriVertex* first[10] = {a, b, c, nullptr};
    const TriVertex* second[10];
    if (ClipPass(first, second, false, true, left) < 3 || ClipPass(second, first, false, false, right) < 3 ||
        ClipPass(first, second, true, true, top) < 3)
        return 0;
    const int count = ClipPass(second, out, true, false, bottom);
    return count < 3 ? 0 : count;
}

int32_t SoftwareRasterizer::SpanKey(int32_t flags, int32_t format)
{
    const int32_t formatBits = format == kFormat888 ? 32 : format == kFormat565 ? 64 : format == kFormat555 ? 96 : 0;
    return (flags & 31) + formatBits;
}

void SoftwareRasterizer::SelectSpanRoutine(int32_t flags, int32_t format, const FixedVertex* triangle, void* dest,
                                           int32_t pitch, const TextureBlock* texture, const ColorBlock* color)
{
    if (SpanRoutine routine = gSpanTable[size_t(SpanKey(flags, format))])
        routine(triangle, static_cast<uint8_t*>(dest), pitch, texture, color);
}

void SoftwareRasterizer::DrawTriangleStripSoftware(const Rect& clip, const Color& color, const TriVertex* vertices,
                                                   int vertexCount, MemoryImage* texture, void* destPixels,
                                                   int32_t destPitch, int32_t format, bool blend,
                                                   bool hasVertexColors)
{
    // Pixel centres lie on whole coordinates, so the clip's pixels reach half
    // a pixel past its first and last centres.
    const float left = float(clip.mX) - 0.5f;
    const float top = float(clip.mY) - 0.5f;
    const float right = float(clip.mX + clip.mWidth - 1) + 0.5f;
    const float bottom = float(clip.mY + clip.mHeight - 1) + 0.5f;
    const bool tinted = !(color == Color::White);
    TextureBlock block{nullptr, 0, 0, 0, 0, 0, 0};
    bool textureAlpha = false;
    if (texture) {
        texture->CheckAlpha();
        block.mPixels = texture->GetPixelBits();
        if (!block.mPixels || texture->mWidth <= 0 || texture->mHeight <= 0)
            return;
        textureAlpha = texture->hasTranslucency || texture->hasTransparency || blend;
        block.mWidth = texture->mWidth;
        block.mHeight = texture->mHeight;
        block.mShift = 16 - int32_t(std::floor(std::log2(double(block.mWidth))));
        block.mMaxU = (block.mWidth - 1) * 65536;
        block.mMaxV = (block.mHeight - 1) * 65536;
        block.mSize = block.mWidth * block.mHeight;
    }
    const ColorBlock colors{std::clamp(color.mAlpha, 0, 255), std::clamp(color.mRed, 0, 255),
                            std::clamp(color.mGreen, 0, 255), std::clamp(color.mBlue, 0, 255)};
    const int32_t flags = (texture ? kTextured : 0) | (textureAlpha ? kTextureAlpha : 0) |
                          (hasVertexColors ? kVertexColor : 0) | (tinted ? kTinted : 0) | (blend ? kBlend : 0);
    for (int t = 0; t + 2 < vertexCount; ++t) {
        const TriVertex* second = &vertices[t + ((t & 1) ? 2 : 1)];
        const TriVertex* third = &vertices[t + ((t & 1) ? 1 : 2)];
        const TriVertex* clipped[10];
        const int count = ClipTriangleSoftware(&vertices[t], second, third, left, right, top, bottom, clipped);
        if (count < 3)
            continue;
        FixedVertex fixed[10];
        for (int i = 0; i < count; ++i) {
            const TriVertex& v = *clipped[i];
            FixedVertex& f = fixed[i];
            f = FixedVertex{ToFixed(v.mX), ToFixed(v.mY), 0, 0, 0, 0, 0, 0};
            if (texture) {
                f.mU = ToFixed(double(v.mU * float(block.mWidth)));
                f.mV = ToFixed(double(v.mV * float(block.mHeight)));
            }
            if (hasVertexColors) {
                f.mA = int32_t(v.mColor >> 24) * 65536;
                f.mR = int32_t((v.mColor >> 16) & 0xFF) * 65536;
                f.mG = int32_t((v.mColor >> 8) & 0xFF) * 65536;
                f.mB = int32_t(v.mColor & 0xFF) * 65536;
            }
        }
        for (int k = 2; k < count; ++k) {
            const FixedVertex fan[3] = {fixed[0], fixed[k - 1], fixed[k]};
            SelectSpanRoutine(flags, format, fan, destPixels, destPitch, &block, &colors);
        }
    }
}

} // namespace Lumo
