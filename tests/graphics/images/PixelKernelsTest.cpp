#include "framework/graphics/images/PixelBlend.h"
#include "framework/graphics/images/PixelKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using Lumo::Color;
using Lumo::PixelBlend;
using Lumo::PixelKernels;

namespace {

// Random runs that mix the cases the kernels treat apart: opaque and
// transparent pixels, groups with and without a translucent destination, and
// lengths that leave a tail.
class KernelRuns {
public:
    explicit KernelRuns(uint32_t seed) : mRandom(seed) {}

    std::vector<uint32_t> Pixels(size_t count, int opaquePercent)
    {
        std::vector<uint32_t> pixels(count);
        for (uint32_t& pixel : pixels) {
            const int kind = int(mRandom() % 100);
            const uint32_t alpha = kind < opaquePercent ? 255 : kind < opaquePercent + 10 ? 0 : mRandom() % 256;
            pixel = alpha << 24 | (mRandom() & 0xFFFFFF);
        }
        return pixels;
    }

    uint32_t Next() { return mRandom(); }

private:
    std::mt19937 mRandom;
};

// Runs check at every group width the processor has, from pixel by pixel up.
template <typename Check>
void AtEveryWidth(Check check)
{
    const PixelKernels::Width widest = PixelKernels::CurrentWidth();
    for (PixelKernels::Width width :
         {PixelKernels::Width::Pixel, PixelKernels::Width::Sse2, PixelKernels::Width::Avx2}) {
        PixelKernels::SetWidth(width);
        SCOPED_TRACE(testing::Message() << "width " << int(PixelKernels::CurrentWidth()));
        check();
    }
    PixelKernels::SetWidth(widest);
}

template <typename Kernel, typename Rule>
void ExpectSameAsRule(uint32_t seed, int destOpaquePercent, Kernel kernel, Rule rule)
{
    AtEveryWidth([&] {
        KernelRuns runs(seed);
        for (size_t count : {0u, 1u, 3u, 4u, 7u, 9u, 64u, 203u}) {
            const std::vector<uint32_t> source = runs.Pixels(count, 40);
            std::vector<uint32_t> dest = runs.Pixels(count, destOpaquePercent);
            std::vector<uint32_t> expected = dest;
            for (size_t i = 0; i < count; ++i)
                expected[i] = rule(expected[i], source[i]);
            kernel(dest.data(), source.data(), int32_t(count));
            ASSERT_EQ(dest, expected) << "seed " << seed << " count " << count;
        }
    });
}

// The run table the image builds: pixels left in each run of equal alpha
// class, capped at 255.
std::vector<uint8_t> RunsOf(const uint32_t* pixels, int32_t count)
{
    auto alphaClass = [](uint32_t p) { return p >> 24 == 0 ? 0 : p >> 24 == 255 ? 1 : 2; };
    std::vector<uint8_t> runs(static_cast<size_t>(count));
    int32_t left = 0;
    for (int32_t i = count - 1; i >= 0; --i) {
        left = i + 1 < count && alphaClass(pixels[i]) == alphaClass(pixels[i + 1]) ? left + 1 : 1;
        runs[size_t(i)] = uint8_t(std::min(left, 255));
    }
    return runs;
}

TEST(PixelKernels, RunWalkMatchesThePerPixelRule)
{
    // Either the mixed pixels as they come, or all made translucent: one long
    // run, as a glow has.
    for (bool allTranslucent : {false, true}) {
        auto prepare = [allTranslucent](uint32_t s) {
            return allTranslucent ? (s & 0xFFFFFF) | (1 + (s & 0xFF) % 250) << 24 : s;
        };
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            ExpectSameAsRule(
                seed, 50,
                [&](uint32_t* d, const uint32_t* s, int32_t n) {
                    std::vector<uint32_t> source(s, s + n);
                    for (uint32_t& pixel : source)
                        pixel = prepare(pixel);
                    PixelKernels::BlendRuns(d, 0, source.data(), 0, RunsOf(source.data(), n).data(), 0, n, 1);
                },
                [&](uint32_t d, uint32_t s) {
                    s = prepare(s);
                    const uint32_t a = s >> 24;
                    return a == 255 ? s : a == 0 ? d : PixelBlend::MixLaneShifted(d, s, a) | 0xFF000000;
                });
        }
    }
}

TEST(PixelKernels, RunWalkOverSpriteRowsMatchesThePerPixelRule)
{
    // Stretches of one class longer than a group, as a sprite's rows have.
    KernelRuns runs(11);
    std::vector<uint32_t> source(203);
    for (size_t i = 0; i < source.size(); ++i) {
        const size_t stretch = i / 13 % 4;
        const uint32_t alpha = stretch == 0 ? 0 : stretch == 1 ? 255 : stretch == 2 ? 1 + runs.Next() % 254 : 255;
        source[i] = alpha << 24 | (runs.Next() & 0xFFFFFF);
    }
    // Seven rows of 29, each with its own run table, drawn onto a destination
    // two pixels wider, whose last columns stay as they were.
    constexpr size_t kWidth = 29;
    constexpr size_t kPitch = kWidth + 2;
    std::vector<uint8_t> table;
    for (size_t row = 0; row < source.size(); row += kWidth) {
        const std::vector<uint8_t> rowRuns = RunsOf(source.data() + row, int32_t(kWidth));
        table.insert(table.end(), rowRuns.begin(), rowRuns.end());
    }
    const std::vector<uint32_t> ground = runs.Pixels(source.size() / kWidth * kPitch, 70);
    std::vector<uint32_t> expected = ground;
    for (size_t i = 0; i < source.size(); ++i) {
        const uint32_t a = source[i] >> 24;
        uint32_t& pixel = expected[i / kWidth * kPitch + i % kWidth];
        if (a != 0)
            pixel = a == 255 ? source[i] : PixelBlend::MixLaneShifted(pixel, source[i], a) | 0xFF000000;
    }
    AtEveryWidth([&] {
        std::vector<uint32_t> dest = ground;
        PixelKernels::BlendRuns(dest.data(), kPitch, source.data(), kWidth, table.data(), kWidth, int32_t(kWidth),
                                int32_t(source.size() / kWidth));
        ASSERT_EQ(dest, expected);
    });
}

void OverRow(uint32_t* dest, const uint32_t* source, int32_t count)
{
    PixelKernels::Over(dest, 0, source, 0, count, 1);
}

uint32_t OverRule(uint32_t d, uint32_t s)
{
    return s >> 24 ? PixelBlend::OverLaneShifted(d, s, s >> 24) : d;
}

uint32_t TintedOverRule(uint32_t d, uint32_t s, const PixelBlend::Tint& tint)
{
    const uint32_t ea = (s >> 24) * tint.alpha / 255;
    if (ea == 0)
        return d;
    const uint32_t oa = PixelBlend::OverAlpha(d >> 24, ea);
    return PixelBlend::TintMix(d, s, PixelBlend::OverWeight(ea, oa), tint) | oa << 24;
}

TEST(PixelKernels, OverMatchesTheRuleOnAnyDestination)
{
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        for (int opaque : {100, 90, 0}) {
            ExpectSameAsRule(seed, opaque, OverRow, OverRule);
        }
    }
}

TEST(PixelKernels, TintedOverMatchesTheRuleForGreysAndColours)
{
    KernelRuns colours(99);
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const uint32_t c = colours.Next();
        const int grey = int(c & 0xFF);
        const Color color = seed % 2 ? Color(grey, grey, grey, int(c >> 24))
                                     : Color(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF), int(c >> 24));
        const PixelBlend::Tint tint(color);
        for (int opaque : {100, 90}) {
            ExpectSameAsRule(
                seed, opaque,
                [&](uint32_t* d, const uint32_t* s, int32_t n) { PixelKernels::OverTinted(d, 0, s, 0, n, 1, color); },
                [&](uint32_t d, uint32_t s) { return TintedOverRule(d, s, tint); });
        }
    }
}

// Rectangles within a larger image, at every start alignment, with widths
// that leave heads and tails or fit within one group; the pixels around them
// stay as they were.
template <typename Draw, typename Rule>
void ExpectRectanglesLikeTheRule(uint32_t seed, Draw draw, Rule rule)
{
    AtEveryWidth([&] {
        KernelRuns runs(seed);
        constexpr size_t kPitch = 53;
        const std::vector<uint32_t> source = runs.Pixels(kPitch * 6, 40);
        for (int32_t x = 0; x < 8; ++x) {
            for (int32_t width : {1, 3, 8, 13, 37}) {
                for (int32_t height : {1, 4}) {
                    std::vector<uint32_t> dest = runs.Pixels(kPitch * 6, 50);
                    std::vector<uint32_t> expected = dest;
                    for (int32_t row = 0; row < height; ++row)
                        for (int32_t i = 0; i < width; ++i) {
                            uint32_t& pixel = expected[size_t(row + 1) * kPitch + size_t(x + i)];
                            pixel = rule(pixel, source[size_t(row) * kPitch + size_t(i)]);
                        }
                    draw(dest.data() + kPitch + size_t(x), kPitch, source.data(), kPitch, width, height);
                    ASSERT_EQ(dest, expected) << "x " << x << " width " << width << " height " << height;
                }
            }
        }
    });
}

template <bool White, bool Translucent>
void ExpectAddLikeTheRule(uint32_t seed)
{
    const uint32_t scale[3] = {seed * 37 % 256, seed * 91 % 256, 255};
    ExpectRectanglesLikeTheRule(
        seed,
        [&](uint32_t* d, size_t dPitch, const uint32_t* s, size_t sPitch, int32_t width, int32_t height) {
            PixelKernels::AddRows<White, Translucent>(d, dPitch, s, sPitch, width, height, scale);
        },
        [&](uint32_t d, uint32_t s) {
            uint32_t result = d & 0xFF000000;
            for (int c = 0; c < 3; ++c) {
                const uint32_t shift = 16 - 8 * c;
                uint32_t add = (s >> shift) & 0xFF;
                if (!White)
                    add = add * scale[c] >> 8;
                if (Translucent)
                    add = add * (s >> 24) >> 8;
                result |= PixelBlend::AddClamped((d >> shift) & 0xFF, add) << shift;
            }
            return result;
        });
}

TEST(PixelKernels, AddMatchesTheRuleInEveryForm)
{
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        ExpectAddLikeTheRule<true, true>(seed);
        ExpectAddLikeTheRule<true, false>(seed);
        ExpectAddLikeTheRule<false, true>(seed);
        ExpectAddLikeTheRule<false, false>(seed);
    }
}

TEST(PixelKernels, OverRectanglesMatchTheRule)
{
    const Color color(200, 120, 60, 200);
    const PixelBlend::Tint tint(color);
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        ExpectRectanglesLikeTheRule(
            seed,
            [](uint32_t* d, size_t pitch, const uint32_t* s, size_t sourcePitch, int32_t width, int32_t height) {
                PixelKernels::Over(d, pitch, s, sourcePitch, width, height);
            },
            OverRule);
        ExpectRectanglesLikeTheRule(
            seed,
            [&](uint32_t* d, size_t pitch, const uint32_t* s, size_t sourcePitch, int32_t width, int32_t height) {
                PixelKernels::OverTinted(d, pitch, s, sourcePitch, width, height, color);
            },
            [&](uint32_t d, uint32_t s) { return TintedOverRule(d, s, tint); });
    }
}

TEST(PixelKernels, FillsMatchTheRule)
{
    for (uint32_t seed = 1; seed <= 5; ++seed)
        ExpectRectanglesLikeTheRule(
            seed,
            [&](uint32_t* d, size_t pitch, const uint32_t*, size_t, int32_t width, int32_t height) {
                PixelKernels::FillRows(d, pitch, width, height, seed * 12345u);
            },
            [&](uint32_t, uint32_t) { return seed * 12345u; });

    for (uint32_t seed = 1; seed <= 20; ++seed) {
        const uint32_t color = seed * 2654435761u;
        const uint32_t alpha = 1 + seed * 13 % 254;
        const auto rule = [&](uint32_t d, uint32_t) { return PixelBlend::OverSingleShift(d, color, alpha); };
        for (int opaque : {100, 80, 0}) {
            ExpectSameAsRule(
                seed, opaque,
                [&](uint32_t* d, const uint32_t*, int32_t n) { PixelKernels::FillOver(d, 0, n, 1, color, alpha); },
                rule);
        }
        ExpectRectanglesLikeTheRule(
            seed,
            [&](uint32_t* d, size_t pitch, const uint32_t*, size_t, int32_t width, int32_t height) {
                PixelKernels::FillOver(d, pitch, width, height, color, alpha);
            },
            rule);
    }
}

// The display's words: mixed at random, or in stretches of one alpha class
// longer than a group, as sprites have them; some colours black.
template <typename Rule>
void ExpectNativeLikeTheRule(void (*kernel)(uint32_t*, const uint32_t*, int32_t, const uint32_t*),
                             const uint32_t* tint, Rule rule)
{
    AtEveryWidth([&] {
        for (bool stretched : {false, true}) {
            for (uint32_t seed = 1; seed <= 10; ++seed) {
                KernelRuns runs(seed);
                for (size_t count : {0u, 1u, 3u, 4u, 7u, 9u, 64u, 203u}) {
                    std::vector<uint32_t> source = runs.Pixels(count, 40);
                    for (size_t i = 0; i < count; ++i) {
                        const uint32_t alpha = i / 13 % 4 == 0 ? 0 : i / 13 % 4 == 2 ? 1 + i % 254 : 255;
                        if (stretched)
                            source[i] = alpha << 24 | (source[i] & 0xFFFFFF);
                        if (source[i] % 7 == 0)
                            source[i] &= 0xFF000000;
                    }
                    std::vector<uint32_t> dest = runs.Pixels(count, 50);
                    std::vector<uint32_t> expected = dest;
                    for (size_t i = 0; i < count; ++i)
                        expected[i] = rule(expected[i], source[i]);
                    kernel(dest.data(), source.data(), int32_t(count), tint);
                    ASSERT_EQ(dest, expected) << "seed " << seed << " count " << count;
                }
            }
        }
    });
}

uint32_t Byte(uint32_t word, int b)
{
    return (word >> (8 * b)) & 0xFF;
}

TEST(PixelKernels, NativeWordsOverASurfaceMatchTheRule)
{
    ExpectNativeLikeTheRule(
        [](uint32_t* d, const uint32_t* s, int32_t n, const uint32_t*) { PixelKernels::OverNative(d, s, n); },
        nullptr, [](uint32_t d, uint32_t n) {
            const uint32_t a = n >> 24;
            uint32_t kept = 0;
            for (int b = 0; b < 3; ++b)
                kept |= (Byte(d, b) * (256 - a) >> 8) << (8 * b);
            return a == 0 ? d : kept + n;
        });

    // Colours, a grey, an opaque tint (opaque words then keep nothing of the
    // destination) and a clear one.
    const uint32_t tints[][4] = {{200, 120, 60, 200}, {90, 90, 90, 255}, {255, 0, 17, 255}, {40, 80, 120, 0}};
    for (const uint32_t* tint : tints) {
        SCOPED_TRACE(testing::Message() << "tint alpha " << tint[3]);
        ExpectNativeLikeTheRule(PixelKernels::OverNativeTinted, tint, [tint](uint32_t d, uint32_t n) {
            const uint32_t a = n >> 24;
            if (a == 0)
                return d;
            const uint32_t k = a == 255 && tint[3] == 255 ? 0 : 256 - a * tint[3] / 255;
            uint32_t result = 0;
            for (int b = 0; b < 3; ++b)
                result |= (((Byte(d, b) * k + Byte(n, b) * tint[b]) >> 8) & 0xFF) << (8 * b);
            return result;
        });
        ExpectNativeLikeTheRule(PixelKernels::AddNative, tint, [tint](uint32_t d, uint32_t n) {
            if ((n & 0xFFFFFF) == 0)
                return d;
            uint32_t result = 0;
            for (int b = 0; b < 3; ++b)
                result |= std::min(Byte(d, b) + (Byte(n, b) * tint[b] >> 8), 255u) << (8 * b);
            return result;
        });
    }
    ExpectNativeLikeTheRule(PixelKernels::AddNative, nullptr, [](uint32_t d, uint32_t n) {
        if ((n & 0xFFFFFF) == 0)
            return d;
        uint32_t result = 0;
        for (int b = 0; b < 3; ++b)
            result |= std::min(Byte(d, b) + Byte(n, b), 255u) << (8 * b);
        return result;
    });
}

TEST(PixelKernels, GatherTakesTheIndexedPixels)
{
    AtEveryWidth([] {
        KernelRuns runs(5);
        const std::vector<uint32_t> source = runs.Pixels(37, 50);
        for (int32_t count : {0, 3, 8, 21}) {
            // Repeated, backwards and out-of-order indices, or rising slowly
            // to the last pixel, as stretching makes them.
            for (bool rising : {false, true}) {
                std::vector<int32_t> indices(static_cast<size_t>(count));
                std::vector<uint32_t> expected(indices.size());
                for (size_t i = 0; i < indices.size(); ++i) {
                    indices[i] = rising ? int32_t(36 - (indices.size() - 1 - i) * 2 / 3)
                                        : int32_t((36 - i / 2 + (i % 3) * 5) % 37);
                    expected[i] = source[size_t(indices[i])];
                }
                std::vector<uint32_t> dest(indices.size(), 0);
                PixelKernels::Gather(dest.data(), source.data(), 37, indices.data(), count);
                ASSERT_EQ(dest, expected) << count << " " << rising;
            }
        }
    });
}

TEST(PixelKernels, FilterPassesMatchTheRule)
{
    AtEveryWidth([] {
        KernelRuns runs(7);
        // One pair of taps a cell, as enlarging makes, or three pairs, as
        // shrinking makes; the weights of a cell sum to 257 at most, some 0.
        for (int32_t pairs : {1, 3}) {
            for (int32_t groups : {1, 3}) {
                const std::vector<uint32_t> source = runs.Pixels(9, 50);
                std::vector<int32_t> indices(size_t(groups * pairs * 8));
                std::vector<uint16_t> weights(indices.size());
                std::vector<uint16_t> expected(size_t(groups) * 16, 0);
                for (int32_t cell = 0; cell < groups * 4; ++cell) {
                    uint32_t left = 257;
                    for (int32_t k = 0; k < 2 * pairs; ++k) {
                        const size_t entry = size_t((cell / 4 * pairs + k / 2) * 8 + 2 * (cell % 4) + k % 2);
                        const uint32_t weight = k + 1 == 2 * pairs ? left : runs.Next() % (left + 1);
                        left -= weight;
                        // Neighbours rising along the row as enlarging reads them, or anywhere.
                        indices[entry] = pairs == 1 ? cell / 2 + k : int32_t(runs.Next() % 9);
                        weights[entry] = uint16_t(weight);
                        for (int c = 0; c < 4; ++c)
                            expected[size_t(4 * cell + c)] +=
                                uint16_t(((source[size_t(indices[entry])] >> (8 * c)) & 0xFF) * weight);
                    }
                }
                // Written, not added to what was there.
                std::vector<uint16_t> cells(expected.size(), 0xABCD);
                PixelKernels::FilterCells(cells.data(), source.data(), 9, indices.data(), weights.data(), groups, pairs);
                ASSERT_EQ(cells, expected) << pairs << " " << groups;
            }
        }
        // Rows of cells, a destination row summed from some of them.
        for (size_t count : {1u, 5u, 8u, 27u}) {
            const size_t pitch = count * 4 + 3;
            std::vector<uint16_t> cells(pitch * 4);
            for (uint16_t& value : cells)
                value = uint16_t(runs.Next());
            // Channels past 255 are cut to it; with the row 2 alone every
            // other pixel has alpha 0, with the row 3 alone every one 255.
            for (size_t k = 0; k < count * 4; k += 8)
                cells[2 * pitch + k + 3] = 0;
            for (size_t k = 3; k < count * 4; k += 4)
                cells[3 * pitch + k] = 0xFFFF;
            const std::vector<std::vector<PixelKernels::FilterTap>> rowsOfTaps{
                {}, {{0, 2, 256}}, {{0, 2, 256}, {0, 0, 1 + int32_t(runs.Next() % 256)}}, {{0, 3, 256}}};
            for (const auto& taps : rowsOfTaps) {
                const size_t tapCount = taps.size();
                std::vector<uint32_t> dest = runs.Pixels(count, 50);
                std::vector<uint32_t> reference = dest;
                for (size_t i = 0; i < count; ++i) {
                    uint32_t s[4] = {0, 0, 0, 0};
                    for (size_t t = 0; t < tapCount; ++t)
                        for (size_t c = 0; c < 4; ++c)
                            s[c] += uint32_t(cells[size_t(taps[t].source) * pitch + 4 * i + c]) *
                                    uint32_t(taps[t].weight);
                    const uint32_t sa = std::min(s[3] >> 16, 255u);
                    if (sa == 0)
                        continue;
                    const uint32_t d = reference[i];
                    const uint32_t da = d >> 24;
                    uint32_t result = (da + (255 - da) * sa / 255) << 24;
                    for (int c = 0; c < 3; ++c) {
                        const uint32_t value = std::min(s[c] >> 16, 255u);
                        result |= ((((d >> (8 * c)) & 0xFF) * (256 - sa) >> 8) + (value * sa >> 8)) << (8 * c);
                    }
                    reference[i] = result;
                }
                PixelKernels::CompositeFiltered(dest.data(), cells.data(), pitch, taps.data(), tapCount,
                                                int32_t(count));
                ASSERT_EQ(dest, reference) << count << " " << tapCount;
            }
        }
    });
}

} // namespace
