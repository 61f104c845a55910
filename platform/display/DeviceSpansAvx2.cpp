#include "platform/display/DeviceSpanGroups.h"

#include <immintrin.h>

namespace Platform {

namespace {

struct Avx2Lanes {
    using V = __m256i;
    static constexpr int32_t kPixels = 8;

    static V Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
    static void Store(uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
    static V Broadcast(uint32_t value) { return _mm256_set1_epi32(int(value)); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V Set16(short value) { return _mm256_set1_epi16(value); }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V MulLow16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V MulHigh16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V Low(V v) { return _mm256_unpacklo_epi8(v, Zero()); }
    static V High(V v) { return _mm256_unpackhi_epi8(v, Zero()); }
    static V Pack(V low, V high) { return _mm256_packus_epi16(low, high); }
    static V AlphaOfEach(V v) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xFF), 0xFF); }
    static bool AllEqual32(V a, V b) { return _mm256_movemask_epi8(_mm256_cmpeq_epi32(a, b)) == -1; }
};

} // namespace

int32_t ShadeGroupsAvx2(uint32_t* dest, const uint32_t* texels, const uint32_t* diffuse, bool flat, int32_t count,
                        const DeviceShading& shading)
{
    return SpanGroups<Avx2Lanes>::Row(dest, texels, diffuse, flat, count, shading);
}

} // namespace Platform
