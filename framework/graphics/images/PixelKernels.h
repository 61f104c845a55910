#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/images/FilterTap.h"

#include <cstddef>
#include <cstdint>

namespace Lumo {

// The blending rules of PixelBlend applied to runs of pixels, four at a time
// where the processor allows. Every function gives exactly what the per-pixel
// rule gives; groups whose destination is not wholly opaque fall back to it.
class PixelKernels {
public:
    // The widest groups the routines use. The processor decides it once;
    // tests narrow it to compare each form with the one below it.
    enum class Width { Pixel, Sse2, Avx2 };
    static Width CurrentWidth();
    static void SetWidth(Width width);
    static Width ProcessorWidth();

    // Rows over a destination taken as opaque, each walked by the source's
    // alpha runs (runs[i]: the pixels left in the run of pixel i, cut to the
    // width): opaque runs are copied, transparent ones skipped, and in the
    // others each pixel is weighted by its own alpha (lane-shifted), made
    // opaque. Pitches in pixels; source and dest must not overlap.
    static void BlendRuns(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch,
                          const uint8_t* runs, size_t runPitch, int32_t width, int32_t height);

    // Over, lane-shifted colour, source alpha as the weight; alpha 0 skipped.
    // Rows of width pixels at the pitches (in pixels) given, as BlendRuns.
    static void Over(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch, int32_t width,
                     int32_t height);

    // Over with the source multiplied by color (components 0..255) and its
    // alpha by color's alpha: ea = sa * ca / 255.
    static void OverTinted(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch,
                           int32_t width, int32_t height, const Color& color);

    // Adds each source channel, scaled by scale[red, green, blue] / 256 unless
    // white and by the source alpha when translucent, saturating at 255;
    // the destination alpha stays. Rows of width pixels, height of them, at
    // the pitches (in pixels) given: one call for a whole blit.
    template <bool White, bool Translucent>
    static void AddRows(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch, int32_t width,
                        int32_t height, const uint32_t* scale);

    static void FillRows(uint32_t* dest, size_t pitch, int32_t width, int32_t height, uint32_t color);

    // dest[i] = source[indices[i]]: a row of nearest samples; the indices
    // are below sourceCount.
    static void Gather(uint32_t* dest, const uint32_t* source, int32_t sourceCount, const int32_t* indices,
                       int32_t count);

    // Over with one colour (single-shift form) of alpha 1..254, rows of
    // width pixels at the pitch (in pixels) given.
    static void FillOver(uint32_t* dest, size_t pitch, int32_t width, int32_t height, uint32_t color,
                         uint32_t alpha);

    // The display's native words (colour premultiplied, alpha on top) over a
    // 32-bit surface. Alpha 0 leaves the pixel; any other alpha a gives the
    // colour bytes floor(d (256 - a) / 256) added to the word.
    static void OverNative(uint32_t* dest, const uint32_t* source, int32_t count);

    // Native words multiplied by a tint whose weights (blue, green, red, then
    // alpha; 0..255) fill the colour bytes: alpha 0 leaves the pixel, others
    // give byte b as bits 8..15 of d k + n tint[b], k = 256 - a tint[3] / 255
    // (0 when both alphas are 255), the alpha byte 0.
    static void OverNativeTinted(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint);

    // Native words whose colour is not black added byte by byte, saturating,
    // each byte scaled by tint[b] / 256 (blue, green, red) unless tint is
    // null; the alpha byte 0. Black words leave the pixel.
    static void AddNative(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint);

    using FilterTap = Lumo::FilterTap;

    // The first filter pass over one row: for cell c (of groups of four),
    // channel k (blue first) of cells[4 c + k] is the sum over its taps of
    // that channel of source[index] times weight. The taps come in pairs, in
    // the order the wide forms read them: for group g and pair p, entries
    // (g pairs + p) 8 + 2 i + j hold tap 2 p + j of the group's cell i. The
    // weights of one cell sum to at most 257, so no 16-bit sum overflows;
    // the indices are below sourceCount.
    static void FilterCells(uint16_t* cells, const uint32_t* source, int32_t sourceCount, const int32_t* indices,
                            const uint16_t* weights, int32_t groups, int32_t pairs);

    // The second filter pass and the composite of one destination row: for
    // pixel i, channel c (blue first) sums cells[tap.source * pitch + 4 i + c]
    // times tap.weight (at most 256) over the taps, in 65792ths: the upper 16
    // bits, at most 255, are the channel; each is composited as
    // (d (256 - sa) >> 8) + (s sa >> 8) with alpha da + (255 - da) sa / 255.
    static void CompositeFiltered(uint32_t* dest, const uint16_t* cells, size_t pitch, const FilterTap* taps,
                                  size_t tapCount, int32_t count);
};

} // namespace Lumo
