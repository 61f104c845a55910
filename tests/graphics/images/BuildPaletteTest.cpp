#include "framework/graphics/images/BuildPalette.h"

#include <gtest/gtest.h>

#include <vector>

namespace GraphicsTests {
namespace {

using Lumo::BuildPalette;

constexpr uint32_t kUntouched = 0xDEADBEEF;

struct PaletteResult {
    bool mFits;
    std::vector<uint8_t> mIndices;
    std::vector<uint32_t> mPalette;
};

PaletteResult Build(const std::vector<uint32_t>& pixels, int width, int height)
{
    PaletteResult result{false, std::vector<uint8_t>(pixels.size(), 0xEE), std::vector<uint32_t>(256, kUntouched)};
    result.mFits = BuildPalette(pixels.data(), result.mIndices.data(), width, height, result.mPalette.data());
    return result;
}

TEST(BuildPalette, OnePixelGivesOneEntry)
{
    const PaletteResult r = Build({0x80FF0000}, 1, 1);
    EXPECT_TRUE(r.mFits);
    EXPECT_EQ(r.mIndices[0], 0);
    EXPECT_EQ(r.mPalette[0], 0x80FF0000u);
    EXPECT_EQ(r.mPalette[1], kUntouched);
}

// Values chosen so that sorted order (unsigned) differs from appearance order.
TEST(BuildPalette, EntriesInOrderOfFirstAppearance)
{
    const PaletteResult r =
        Build({0xFFFFFFFF, 0x00000000, 0x80000000, 0xFFFFFFFF, 0x7FFFFFFF, 0x00000000, 0x80000000, 0x00000001}, 4, 2);
    EXPECT_TRUE(r.mFits);
    EXPECT_EQ(r.mIndices, (std::vector<uint8_t>{0, 1, 2, 0, 3, 1, 2, 4}));
    EXPECT_EQ(std::vector<uint32_t>(r.mPalette.begin(), r.mPalette.begin() + 6),
              (std::vector<uint32_t>{0xFFFFFFFF, 0x00000000, 0x80000000, 0x7FFFFFFF, 0x00000001, kUntouched}));
}

TEST(BuildPalette, At256ColoursItFitsAndAt257ItStops)
{
    std::vector<uint32_t> pixels;
    // Descending values, each repeated once further on.
    for (uint32_t i = 0; i < 256; ++i)
        pixels.push_back(0xFF000000u + (255 - i) * 0x010101u);
    pixels.insert(pixels.end(), pixels.begin(), pixels.begin() + 64);
    PaletteResult r = Build(pixels, 64, 5);
    EXPECT_TRUE(r.mFits);
    for (uint32_t i = 0; i < 320; ++i)
        ASSERT_EQ(r.mIndices[i], i % 256) << i;
    EXPECT_EQ(r.mPalette[255], 0xFF000000u);

    pixels.push_back(0x12345678);
    pixels.push_back(0x00000000);
    pixels.resize(330, 0x00000000);
    r = Build(pixels, 33, 10);
    EXPECT_FALSE(r.mFits);
    EXPECT_EQ(r.mIndices[319], 63);
    EXPECT_EQ(r.mIndices[320], 0xEE);
}

TEST(BuildPalette, EmptyImageFitsAndWritesNothing)
{
    uint32_t palette[256] = {kUntouched};
    uint8_t index = 0xEE;
    const uint32_t pixel = 5;
    EXPECT_TRUE(BuildPalette(&pixel, &index, 0, 7, palette));
    EXPECT_TRUE(BuildPalette(&pixel, &index, 3, -1, palette));
    EXPECT_EQ(index, 0xEE);
    EXPECT_EQ(palette[0], kUntouched);
}

} // namespace
} // namespace GraphicsTests
