#pragma once

#include "framework/graphics/images/FilterTap.h"

#include <cstddef>
#include <cstdint>

namespace Lumo {

// The eight-pixel forms of PixelKernels' routines, built for processors with
// AVX2 and called only on them. Each works through whole groups of eight from
// the start and returns how many pixels it drew; one that needs an opaque
// destination stops at the first group that is not. The caller finishes the
// rest with the narrower forms, which give the same pixels.
class PixelKernelsAvx2 {
public:
    // Over a destination taken as opaque: source alpha as the weight,
    // lane-shifted, made opaque.
    static int32_t BlendOnOpaque(uint32_t* dest, const uint32_t* source, int32_t count);

    // As BlendOnOpaque, but alpha 0 leaves the pixel and 255 copies it.
    static int32_t BlendRow(uint32_t* dest, const uint32_t* source, int32_t count);

    static int32_t Over(uint32_t* dest, const uint32_t* source, int32_t count);

    // color: blue, green, red (components 0..255), then alpha.
    static int32_t OverTinted(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* color, bool grey);

    // Whole rectangles, every pixel drawn, as PixelKernels::AddRows and
    // FillRows; rows are stored in aligned groups between their ends.
    template <bool White, bool Translucent>
    static void AddRows(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch, int32_t width,
                        int32_t height, const uint32_t* scale);

    static void FillRows(uint32_t* dest, size_t pitch, int32_t width, int32_t height, uint32_t color);

    static int32_t Gather(uint32_t* dest, const uint32_t* source, int32_t sourceCount, const int32_t* indices,
                          int32_t count);

    static int32_t FillOver(uint32_t* dest, int32_t count, uint32_t color, uint32_t alpha);

    // tint as PixelKernels::OverNativeTinted and AddNative.
    static int32_t OverNative(uint32_t* dest, const uint32_t* source, int32_t count);
    static int32_t OverNativeTinted(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint);
    static int32_t AddNative(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint);

    // All groups, as PixelKernels::FilterCells.
    static void FilterCells(uint16_t* cells, const uint32_t* source, int32_t sourceCount, const int32_t* indices,
                            const uint16_t* weights, int32_t groups, int32_t pairs);

    static int32_t CompositeFiltered(uint32_t* dest, const uint16_t* cells, size_t pitch, const FilterTap* taps,
                                     size_t tapCount, int32_t count);
};

} // namespace Lumo
