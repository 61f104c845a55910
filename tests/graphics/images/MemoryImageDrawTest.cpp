#include "tests/graphics/images/ImagingFixture.h"

using Lumo::Color;
using Lumo::MemoryImage;
using Lumo::Rect;

namespace ImagingTests {
namespace {

using MemoryImageDraw = ImagingTest;

struct FillCase {
    uint32_t before;
    Color color;
    int drawMode;
    uint32_t after;
};

TEST_F(MemoryImageDraw, FillBlendsOverTheDestinationInEitherMode)
{
    const FillCase cases[] = {
        {0x12345678, Color(1, 2, 3, 255), 0, 0xFF010203},
        {0x00000000, Color(255, 0, 0, 128), 0, 0x80FE0000},
        {0xFF0000FF, Color(255, 0, 0, 128), 0, 0xFF7F007F},
        {0xFF0000FF, Color(255, 0, 0, 128), 1, 0xFF7F007F},
        {0x80FFFFFF, Color(0, 0, 0, 0), 0, 0x80FFFFFF},
        // Fills round once per channel: (1 * 128 + 1 * 128) >> 8 = 1.
        {0xFF000101, Color(0, 1, 1, 128), 0, 0xFF000101},
        // oa = 64 + 191 * 64 / 255 = 111, w = 64 * 255 / 111 = 147.
        {0x40FFFFFF, Color(0, 0, 0, 64), 0, 0x006C6C6C | 111u << 24},
    };
    for (const FillCase& c : cases) {
        MemoryImage image(&host);
        FillWith(image, 2, 1, c.before);
        image.FillRect(Rect{1, 0, 1, 1}, c.color, c.drawMode);
        EXPECT_EQ(At(image, 1, 0), c.after) << std::hex << c.before;
        EXPECT_EQ(At(image, 0, 0), c.before);
    }
}

TEST_F(MemoryImageDraw, FillAndClearStayInsideTheImageAndAlwaysCount)
{
    MemoryImage image(&host);
    FillWith(image, 3, 3, 0xFFFFFFFF);
    const int32_t count = image.bitsChangeCount;
    image.FillRect(Rect{-5, 2, 100, 100}, Color::Black, 0);
    image.ClearRect(Rect{2, -1, 5, 2});
    image.FillRect(Rect{0, 0, 0, 0}, Color::Black, 0);
    EXPECT_EQ(image.bitsChangeCount, count + 3);
    EXPECT_EQ(PixelsOf(image), (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0, 0xFFFFFFFF, 0xFFFFFFFF,
                                                      0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFF000000}));
    EXPECT_EQ(image.bits[9], MemoryImage::kGuardWord);
}

TEST_F(MemoryImageDraw, StraightLinesAreFillsThatIgnoreTheMode)
{
    MemoryImage image(&host);
    FillWith(image, 12, 7, 0xFF000000);
    image.DrawLine(9.2, 5, 2.7, 5, Color(255, 255, 255, 255), 1);
    image.DrawLineAA(3.5, 3.9, 3.5, 1, Color(255, 255, 255, 255), 1);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool lit = (y == 5 && x >= 2 && x <= 9) || (x == 3 && y >= 1 && y <= 3);
            ASSERT_EQ(At(image, x, y), lit ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
        }
}

struct LineColourCase {
    uint32_t before;
    Color color;
    int drawMode;
    uint32_t after;
};

TEST_F(MemoryImageDraw, LinePixelValuesFollowTheLineRules)
{
    const LineColourCase cases[] = {
        // Opaque colours lose a step at the top: 255 is written as 254.
        {0x00000000, Color(255, 255, 255, 255), 0, 0xFFFEFEFE},
        {0x80123456, Color(0, 0, 0, 255), 0, 0xFF000000},
        // Translucent: d (256 - a) plus the rounded colour part, alpha forced to 255.
        {0x00FF0000, Color(0, 0, 255, 128), 0, 0xFF7F007F},
        {0x20808080, Color(255, 255, 255, 128), 1, 0xFFFFFFFF},
        {0xFF000000, Color(255, 255, 255, 128), 1, 0xFF808080},
        {0xFF101010, Color(255, 255, 255, 255), 2, 0xFF101010},
    };
    for (const LineColourCase& c : cases) {
        MemoryImage image(&host);
        FillWith(image, 3, 3, c.before);
        image.DrawLine(0, 0, 2, 2, c.color, c.drawMode);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(At(image, i, i), c.after) << std::hex << c.before << " mode " << c.drawMode;
        EXPECT_EQ(At(image, 1, 0), c.before);
    }
}

std::vector<std::pair<int, int>> LitPixels(MemoryImage& image)
{
    std::vector<std::pair<int, int>> lit;
    for (int y = 0; y < image.mHeight; ++y)
        for (int x = 0; x < image.mWidth; ++x)
            if (image.GetPixelBits()[y * image.mWidth + x] != 0)
                lit.emplace_back(x, y);
    return lit;
}

struct LinePathCase {
    double x1, y1, x2, y2;
    std::vector<std::pair<int, int>> pixels;
};

TEST_F(MemoryImageDraw, LineStepsOnePixelPerMajorStep)
{
    const LinePathCase cases[] = {
        {0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {4, 2, 0, 0, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {1, 0, 0, 3, {{1, 0}, {1, 1}, {0, 2}, {0, 3}}},
        {0.5, 0.5, 3.5, 3.5, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        // Cut by the image instead of written past it.
        {-2, -2, 8, 8, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}},
        {3, -1, 8, 4, {{4, 0}}},
    };
    for (const LinePathCase& c : cases) {
        MemoryImage image(&host);
        image.SetSize(5, 5);
        image.DrawLine(c.x1, c.y1, c.x2, c.y2, Color(255, 0, 0), 0);
        std::vector<std::pair<int, int>> lit = LitPixels(image);
        std::sort(lit.begin(), lit.end(), [](auto a, auto b) { return std::pair(a.second, a.first) < std::pair(b.second, b.first); });
        EXPECT_EQ(lit, c.pixels) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
        EXPECT_EQ(image.bits[25], MemoryImage::kGuardWord);
    }
}

TEST_F(MemoryImageDraw, AntialiasedLineSplitsCoverageBetweenNeighbours)
{
    MemoryImage image(&host);
    image.SetSize(5, 4);
    // Slope 1/2 from (0, 0): e grows by 0x8000 a step.
    image.DrawLineAA(0, 0, 4, 2, Color(255, 255, 255, 255), 0);
    auto alphaAt = [&](int x, int y) { return At(image, x, y) >> 24; };
    EXPECT_EQ(alphaAt(0, 0), 255u);
    EXPECT_EQ(alphaAt(1, 0), 127u);
    EXPECT_EQ(alphaAt(1, 1), 128u);
    EXPECT_EQ(alphaAt(2, 1), 255u);
    EXPECT_EQ(alphaAt(2, 2), 0u);
    EXPECT_EQ(alphaAt(4, 2), 255u);
    EXPECT_EQ(alphaAt(4, 3), 0u);
    // Opaque white over nothing comes out as 254 (w = 255).
    EXPECT_EQ(At(image, 1, 0), 0x7FFEFEFEu);
}

TEST_F(MemoryImageDraw, AntialiasedLineInAdditiveModeOnlyCounts)
{
    MemoryImage image(&host);
    FillWith(image, 4, 4, 0xFF101010);
    const int32_t count = image.bitsChangeCount;
    image.DrawLineAA(0, 0, 3, 2, Color::White, 1);
    EXPECT_EQ(image.bitsChangeCount, count + 1);
    EXPECT_EQ(PixelsOf(image), std::vector<uint32_t>(16, 0xFF101010));
}

TEST_F(MemoryImageDraw, AntialiasedLineNeverLeavesTheImage)
{
    MemoryImage image(&host);
    image.SetSize(3, 3);
    image.DrawLineAA(-4.5, -1.25, 9.5, 5.75, Color(255, 255, 255, 200), 0);
    image.DrawLineAA(2.5, -3, 0.5, 9, Color::White, 0);
    EXPECT_EQ(image.bits[9], MemoryImage::kGuardWord);
    EXPECT_FALSE(LitPixels(image).empty());
}

TEST_F(MemoryImageDraw, CoverageScalesAlphaAndAdvancesForSkippedPixels)
{
    MemoryImage image(&host);
    FillWith(image, 4, 2, 0xFF000000);
    // Coverage origin (1, 0), stride 5: the span (0, 1, 3) reads bytes 0..2.
    const uint8_t coverage[10] = {0, 255, 127, 9, 9, 9, 9, 9, 9, 9};
    Lumo::Span spans[] = {{0, 1, 3}, {1, -2, 9}, {7, 0, 4}};
    image.FillSpansWithCoverage(spans, 1, Color(255, 255, 255, 255), 1, coverage, 1, 0, 5, 0);
    EXPECT_EQ(At(image, 0, 0), 0xFF000000u);
    EXPECT_EQ(At(image, 1, 0), 0xFF000000u);
    EXPECT_EQ(At(image, 2, 0), 0xFFFEFEFEu);
    // Alpha 255 * 128 >> 8 = 127, so 255 * 127 >> 8 = 126.
    EXPECT_EQ(At(image, 3, 0), 0xFF7E7E7Eu);

    MemoryImage cut(&host);
    FillWith(cut, 4, 2, 0xFF000000);
    const uint8_t full[20] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                              255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    cut.FillSpansWithCoverage(spans + 1, 2, Color::White, 0, full, -2, 0, 10, 0);
    EXPECT_EQ(PixelsOf(cut), (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFFFEFEFE,
                                                    0xFFFEFEFE, 0xFFFEFEFE, 0xFFFEFEFE}));
    EXPECT_EQ(cut.bits[8], MemoryImage::kGuardWord);
}

} // namespace
} // namespace ImagingTests
