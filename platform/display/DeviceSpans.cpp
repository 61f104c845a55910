#include "platform/display/DeviceSpans.h"

#include "platform/display/DeviceSpanGroups.h"

#include "platform/display/Direct3DTypes.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Platform {

namespace {

SpanWidth ProcessorSpanWidth()
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        return SpanWidth::Avx2;
#endif
    return SpanWidth::Sse2;
}

SpanWidth gSpanWidth = ProcessorSpanWidth();

// 0..255 products, rounded.
inline uint32_t Mul(uint32_t a, uint32_t b)
{
    const uint32_t p = a * b + 128;
    return (p + (p >> 8)) >> 8;
}

uint32_t Modulate(uint32_t a, uint32_t b)
{
    uint32_t out = 0;
    for (uint32_t shift = 0; shift < 32; shift += 8)
        out |= Mul((a >> shift) & 0xFF, (b >> shift) & 0xFF) << shift;
    return out;
}

uint32_t Factor(uint32_t blend, uint32_t sourceAlpha)
{
    switch (blend) {
    case D3DBLEND_ZERO:
        return 0;
    case D3DBLEND_SRCALPHA:
        return sourceAlpha;
    case D3DBLEND_INVSRCALPHA:
        return 255 - sourceAlpha;
    default:
        return 255;
    }
}

uint32_t Source(uint32_t texel, uint32_t diffuse, const DeviceShading& shading)
{
    return shading.textured ? Modulate(texel, diffuse | ~shading.modulateMask) : diffuse;
}

uint32_t Blended(uint32_t source, uint32_t dest, const DeviceShading& shading)
{
    if (shading.blend == DeviceShading::Blend::Replace)
        return source;
    const uint32_t alpha = source >> 24;
    const uint32_t sourceFactor = Factor(shading.sourceFactor, alpha);
    const uint32_t destFactor = Factor(shading.destFactor, alpha);
    uint32_t out = 0;
    for (uint32_t shift = 0; shift < 32; shift += 8) {
        const uint32_t mixed = (((source >> shift) & 0xFF) * sourceFactor + ((dest >> shift) & 0xFF) * destFactor + 127) / 255;
        out |= std::min<uint32_t>(mixed, 255) << shift;
    }
    return out;
}

template <bool Flat>
void ShadePixels(uint32_t* dest, const uint32_t* texels, const uint32_t* diffuse, int32_t first, int32_t count,
                 const DeviceShading& shading)
{
    for (int32_t i = first; i < count; ++i) {
        const uint32_t source = Source(texels ? texels[i] : 0, diffuse[Flat ? 0 : i], shading);
        if (shading.ZeroAlphaKeeps() && (source >> 24) == 0)
            continue;
        dest[i] = Blended(source, dest[i] | shading.readAlpha, shading) & shading.writeMask;
    }
}

#if defined(__SSE2__)

struct Sse2Lanes {
    using V = __m128i;
    static constexpr int32_t kPixels = 4;

    static V Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void Store(uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
    static V Broadcast(uint32_t value) { return _mm_set1_epi32(int(value)); }
    static V Zero() { return _mm_setzero_si128(); }
    static V Set16(short value) { return _mm_set1_epi16(value); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
    static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V MulLow16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V MulHigh16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V Low(V v) { return _mm_unpacklo_epi8(v, Zero()); }
    static V High(V v) { return _mm_unpackhi_epi8(v, Zero()); }
    static V Pack(V low, V high) { return _mm_packus_epi16(low, high); }
    static V AlphaOfEach(V v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF); }
    static bool AllEqual32(V a, V b) { return _mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) == 0xFFFF; }
};

#endif

} // namespace

SpanWidth CurrentSpanWidth()
{
    return gSpanWidth;
}

void SetSpanWidth(SpanWidth width)
{
    gSpanWidth = std::min(width, ProcessorSpanWidth());
}

void ShadeRow(uint32_t* dest, const uint32_t* texels, const uint32_t* diffuse, bool flat, int32_t count,
              const DeviceShading& shading)
{
    int32_t done = 0;
#if defined(__x86_64__)
    if (gSpanWidth == SpanWidth::Avx2)
        done = ShadeGroupsAvx2(dest, texels, diffuse, flat, count, shading);
#endif
#if defined(__SSE2__)
    done += SpanGroups<Sse2Lanes>::Row(dest + done, texels ? texels + done : nullptr, flat ? diffuse : diffuse + done,
                                       flat, count - done, shading);
#endif
    if (flat)
        ShadePixels<true>(dest, texels, diffuse, done, count, shading);
    else
        ShadePixels<false>(dest, texels, diffuse, done, count, shading);
}

namespace {

// The texel at whole coordinates already clamped, as ARGB.
template <DevicePixels::Kind K>
inline uint32_t Texel(const DevicePixels& texture, int64_t x, int64_t y)
{
    const uint8_t* row = texture.Row(int32_t(y));
    if constexpr (K == DevicePixels::Kind::Argb32 || K == DevicePixels::Kind::Xrgb32) {
        uint32_t raw;
        std::memcpy(&raw, row + 4 * x, 4);
        return K == DevicePixels::Kind::Argb32 ? raw : raw | 0xFF000000;
    } else if constexpr (K == DevicePixels::Kind::Palette8) {
        return texture.palette[row[x]];
    } else if constexpr (K == DevicePixels::Kind::Packed16) {
        uint16_t raw;
        std::memcpy(&raw, row + 2 * x, 2);
        return texture.Widen(raw);
    } else {
        return texture.Widen(texture.Raw(row + x * texture.bytes));
    }
}

// a towards b by weight in 256ths, two channels at a time.
inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t weight)
{
    const uint32_t keep = 256 - weight;
    const uint32_t redBlue = (((a & 0x00FF00FF) * keep + (b & 0x00FF00FF) * weight + 0x00800080) >> 8) & 0x00FF00FF;
    const uint32_t alphaGreen =
        (((a >> 8) & 0x00FF00FF) * keep + ((b >> 8) & 0x00FF00FF) * weight + 0x00800080) & 0xFF00FF00;
    return alphaGreen | redBlue;
}

template <DevicePixels::Kind K, bool Linear>
void Sample(const DevicePixels& texture, const TexelWalk& walk, int32_t count, uint32_t* out)
{
    const int64_t lastX = texture.width - 1;
    const int64_t lastY = texture.height - 1;
    int64_t u = walk.u;
    int64_t v = walk.v;
    for (int32_t i = 0; i < count; ++i, u += walk.du, v += walk.dv) {
        if constexpr (Linear) {
            // Texel centres lie half a texel in.
            const int64_t fu = u - (int64_t(1) << 31);
            const int64_t fv = v - (int64_t(1) << 31);
            const int64_t x0 = fu >> 32, y0 = fv >> 32;
            const int64_t xa = std::clamp<int64_t>(x0, 0, lastX), xb = std::clamp<int64_t>(x0 + 1, 0, lastX);
            const int64_t ya = std::clamp<int64_t>(y0, 0, lastY), yb = std::clamp<int64_t>(y0 + 1, 0, lastY);
            const uint32_t wx = uint32_t(fu >> 24) & 0xFF;
            const uint32_t wy = uint32_t(fv >> 24) & 0xFF;
            const uint32_t top = Lerp(Texel<K>(texture, xa, ya), Texel<K>(texture, xb, ya), wx);
            const uint32_t bottom = Lerp(Texel<K>(texture, xa, yb), Texel<K>(texture, xb, yb), wx);
            out[i] = Lerp(top, bottom, wy);
        } else {
            out[i] = Texel<K>(texture, std::clamp<int64_t>(u >> 32, 0, lastX), std::clamp<int64_t>(v >> 32, 0, lastY));
        }
    }
}

template <DevicePixels::Kind K>
void SampleOf(const DevicePixels& texture, bool linear, const TexelWalk& walk, int32_t count, uint32_t* out)
{
    if (linear)
        Sample<K, true>(texture, walk, count, out);
    else
        Sample<K, false>(texture, walk, count, out);
}

} // namespace

const uint32_t* SampleRow(const DevicePixels& texture, bool linear, const TexelWalk& walk, int32_t count,
                          uint32_t* out)
{
    using Kind = DevicePixels::Kind;
    // One texel a pixel along a row inside the texture: the row itself, or
    // its 16-bit texels widened together.
    const int64_t x = walk.u >> 32, y = walk.v >> 32;
    if (!linear && walk.du == int64_t(1) << 32 && walk.dv == 0 && x >= 0 && x + count <= texture.width && y >= 0 &&
        y < texture.height) {
        const uint8_t* row = texture.Row(int32_t(y));
        if (texture.kind == Kind::Argb32 && texture.pitch % 4 == 0)
            return reinterpret_cast<const uint32_t*>(row) + x;
        if (texture.kind == Kind::Packed16) {
            texture.WidenRow(row + 2 * x, count, out);
            return out;
        }
    }
    switch (texture.kind) {
    case Kind::Argb32:
        SampleOf<Kind::Argb32>(texture, linear, walk, count, out);
        break;
    case Kind::Xrgb32:
        SampleOf<Kind::Xrgb32>(texture, linear, walk, count, out);
        break;
    case Kind::Palette8:
        SampleOf<Kind::Palette8>(texture, linear, walk, count, out);
        break;
    case Kind::Packed16:
        SampleOf<Kind::Packed16>(texture, linear, walk, count, out);
        break;
    case Kind::Packed:
        SampleOf<Kind::Packed>(texture, linear, walk, count, out);
        break;
    }
    return out;
}

bool DrawsInPlace(const DevicePixels& target)
{
    return (target.kind == DevicePixels::Kind::Argb32 || target.kind == DevicePixels::Kind::Xrgb32) &&
           target.pitch % 4 == 0;
}

void ShadeSpan(const DevicePixels& target, int32_t x, int32_t y, int32_t count, const uint32_t* texels,
               const uint32_t* diffuse, bool flat, const DeviceShading& shading)
{
    if (DrawsInPlace(target)) {
        ShadeRow(reinterpret_cast<uint32_t*>(target.Row(y)) + x, texels, diffuse, flat, count, shading);
        return;
    }
    uint32_t pixels[kSpanPixels];
    target.ReadRow(x, y, count, pixels);
    ShadeRow(pixels, texels, diffuse, flat, count, shading);
    target.WriteRow(x, y, count, pixels);
}

void ShadeBlock(const DevicePixels& target, int32_t x, int32_t y, int32_t rows, int32_t count,
                const DevicePixels& texture, int32_t textureX, int32_t textureY, uint32_t diffuse,
                const DeviceShading& shading)
{
    using Kind = DevicePixels::Kind;
    uint32_t buffer[kSpanPixels];
    const bool direct = texture.kind == Kind::Argb32 && texture.pitch % 4 == 0;
    // Opaque 16-bit texels that the shading writes as they are: copied
    // into 16-bit rows of their own format, widened into 32-bit ones.
    const bool copied = texture.kind == Kind::Packed16 && !texture.masks[0] &&
                        (diffuse | ~shading.modulateMask) == 0xFFFFFFFF &&
                        (shading.blend == DeviceShading::Blend::Over || shading.blend == DeviceShading::Blend::Replace);
    const bool sameFormat = target.kind == Kind::Packed16 && std::equal(target.masks, target.masks + 4, texture.masks);
    const bool widened = DrawsInPlace(target) && (shading.writeMask == 0xFFFFFFFF || shading.writeMask == 0x00FFFFFF);
    for (int32_t row = 0; row < rows; ++row) {
        const uint8_t* from = texture.Row(textureY + row) + ptrdiff_t(textureX) * texture.bytes;
        uint8_t* to = target.Row(y + row) + ptrdiff_t(x) * target.bytes;
        if (copied && sameFormat) {
            std::memcpy(to, from, size_t(count) * 2);
            continue;
        }
        if (copied && widened) {
            texture.WidenRow(from, count, reinterpret_cast<uint32_t*>(to), shading.writeMask >> 24);
            continue;
        }
        for (int32_t first = 0; first < count; first += kSpanPixels) {
            const int32_t n = std::min(kSpanPixels, count - first);
            const uint32_t* texels =
                direct ? reinterpret_cast<const uint32_t*>(from) + first
                       : SampleRow(texture, false,
                                   TexelWalk{int64_t(textureX + first) << 32, int64_t(textureY + row) << 32,
                                             int64_t(1) << 32, 0},
                                   n, buffer);
            ShadeSpan(target, x + first, y + row, n, texels, &diffuse, true, shading);
        }
    }
}

} // namespace Platform
