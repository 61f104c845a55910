#include "framework/graphics/images/SmoothStretchBlit.h"

#include "framework/graphics/images/BlitSource.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/graphics/images/PixelKernels.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace Lumo {

namespace {

// Contributions of source columns (or rows, relative to the integer source
// area) to filter cells. Destination column i is cell i + 1 while they are
// built; cells 0 and past the destination catch the edges and are never read.
using Tap = PixelKernels::FilterTap;

// The separable filter along one axis. unit is 257 across and 256 down, so
// that the product 65792 turns 255 back into 255 in the upper 16 bits.
std::vector<Tap> BuildTaps(double start, double length, int32_t cells, int32_t areaStart, int32_t areaLength,
                           int32_t unit)
{
    std::vector<Tap> taps;
    // At most two taps for each cell when enlarging, or each source pixel.
    taps.reserve(2 * size_t(cells > length ? cells : areaLength));
    if (cells > length) {
        // Enlarging: each cell samples between two source pixels. A single
        // cell samples the first one.
        const double step = cells > 1 ? (length - 1) / (cells - 1) : 0.0;
        for (int32_t j = 1; j <= cells; ++j) {
            const double p = start + (j - 1) * step;
            const int32_t k = int32_t(p);
            const int32_t f = int32_t((1 - (p - k)) * unit);
            const int32_t first = std::clamp(k - areaStart, 0, areaLength - 1);
            // The last source pixel pairs with itself.
            const int32_t second = std::min(first + 1, areaLength - 1);
            taps.push_back({j, first, f});
            taps.push_back({j, second, unit - f});
        }
    } else {
        // Shrinking: each source pixel spreads over the cells it covers.
        const double ratio = cells / length;
        for (int32_t c = 0; c < areaLength; ++c) {
            const double s = (areaStart + c - start) * ratio + 1;
            const int32_t low = int32_t(s);
            const int32_t high = int32_t(s + ratio);
            if (low == high) {
                taps.push_back({low, c, int32_t(ratio * unit)});
            } else {
                taps.push_back({low, c, int32_t((high - s) * unit)});
                taps.push_back({high, c, int32_t((s + ratio - high) * unit)});
            }
        }
    }
    // Only cells of the destination are read; from here on a cell is the
    // destination index.
    std::erase_if(taps, [cells](const Tap& tap) { return tap.cell < 1 || tap.cell > cells; });
    for (Tap& tap : taps)
        --tap.cell;
    // Both ways mostly come out in order already.
    const auto byCell = [](const Tap& a, const Tap& b) { return a.cell < b.cell; };
    if (!std::is_sorted(taps.begin(), taps.end(), byCell))
        std::stable_sort(taps.begin(), taps.end(), byCell);
    return taps;
}

// The across taps as PixelKernels::FilterCells reads them: cells in groups
// of four, each cell's taps padded with weight 0 to the same even count.
struct CellTaps {
    std::vector<int32_t> indices;
    std::vector<uint16_t> weights;
    int32_t groups;
    int32_t pairs;

    CellTaps(const std::vector<Tap>& taps, int32_t cells) : groups((cells + 3) / 4), pairs(1)
    {
        std::vector<int32_t> counts(size_t(cells), 0);
        for (const Tap& tap : taps)
            pairs = std::max(pairs, (++counts[size_t(tap.cell)] + 1) / 2);
        indices.assign(size_t(groups) * size_t(pairs) * 8, 0);
        weights.assign(indices.size(), 0);
        std::fill(counts.begin(), counts.end(), 0);
        for (const Tap& tap : taps) {
            const int32_t k = counts[size_t(tap.cell)]++;
            const size_t entry =
                size_t((tap.cell / 4 * pairs + k / 2) * 8 + 2 * (tap.cell % 4) + k % 2);
            indices[entry] = tap.source;
            weights[entry] = uint16_t(tap.weight);
        }
    }
};

} // namespace

void SmoothStretchBlit(MemoryImage* dest, Image* source, const Rect& destRect, const FRect& srcArea)
{
    source->mDrawn = true;
    auto* image = dynamic_cast<MemoryImage*>(source);
    if (!image || destRect.mWidth < 1 || destRect.mHeight < 1 || !dest->ContainsRect(destRect) ||
        !(srcArea.mX >= 0 && srcArea.mX < image->mWidth && srcArea.mY >= 0 && srcArea.mY < image->mHeight &&
          srcArea.mWidth > 0 && srcArea.mHeight > 0))
        return;
    const int32_t x0 = int32_t(srcArea.mX);
    const int32_t y0 = int32_t(srcArea.mY);
    const int32_t areaWidth =
        int32_t(std::min(std::ceil(srcArea.mX - x0 + srcArea.mWidth), double(image->mWidth - x0)));
    const int32_t areaHeight =
        int32_t(std::min(std::ceil(srcArea.mY - y0 + srcArea.mHeight), double(image->mHeight - y0)));
    if (areaWidth < 1 || areaHeight < 1)
        return;
    uint32_t* pixels = dest->GetPixelBits();
    const BlitSource from(*image);
    if (!pixels || !from.IsValid())
        return;

    const std::vector<Tap> acrossTaps = BuildTaps(srcArea.mX, srcArea.mWidth, destRect.mWidth, x0, areaWidth, 257);
    const std::vector<Tap> downTaps = BuildTaps(srcArea.mY, srcArea.mHeight, destRect.mHeight, y0, areaHeight, 256);

    // Across: every row of the source area into destination columns, rows
    // of whole groups of cells.
    const CellTaps across(acrossTaps, destRect.mWidth);
    const size_t pitch = size_t(across.groups) * 16;
    const auto cells = std::make_unique_for_overwrite<uint16_t[]>(size_t(areaHeight) * pitch);
    std::vector<uint32_t> scratch(from.NeedsScratch() ? size_t(areaWidth) : 0);
    for (int32_t r = 0; r < areaHeight; ++r)
        PixelKernels::FilterCells(cells.get() + size_t(r) * pitch, from.Row(x0, y0 + r, areaWidth, scratch.data()),
                                  areaWidth, across.indices.data(), across.weights.data(), across.groups,
                                  across.pairs);

    // Down, one destination row at a time, composited as it is summed.
    const Tap* first = downTaps.data();
    const Tap* const last = first + downTaps.size();
    for (int32_t j = 0; j < destRect.mHeight; ++j) {
        const Tap* end = std::find_if(first, last, [j](const Tap& tap) { return tap.cell != j; });
        PixelKernels::CompositeFiltered(
            pixels + size_t(destRect.mY + j) * size_t(dest->mWidth) + size_t(destRect.mX), cells.get(), pitch,
            first, size_t(end - first), destRect.mWidth);
        first = end;
    }
}

} // namespace Lumo
