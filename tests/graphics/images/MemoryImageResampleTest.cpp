#include "framework/graphics/images/BlitGeometry.h"
#include "framework/graphics/images/PixelKernels.h"
#include "framework/graphics/images/TriangleRasterizer.h"
#include "tests/graphics/images/ImagingFixture.h"

#include <numbers>
#include <random>

using Lumo::Color;
using Lumo::FRect;
using Lumo::MemoryImage;
using Lumo::PixelKernels;
using Lumo::Rect;
using Lumo::TriVertex;

namespace ImagingTests {
namespace {

using MemoryImageResample = ImagingTest;

struct StretchRectCase {
    Rect dest;
    Rect source;
    Rect clip;
    bool drawn;
    Rect clipped;
    FRect area;
    FRect mirroredArea;
};

TEST(StretchBlitRects, ClippingMovesTheFractionalSource)
{
    const StretchRectCase cases[] = {
        {{10, 10, 20, 10}, {0, 0, 10, 5}, {0, 0, 100, 100}, true, {10, 10, 20, 10}, {0, 0, 10, 5}, {0, 0, 10, 5}},
        {{10, 10, 20, 10}, {0, 0, 10, 5}, {15, 0, 100, 100}, true, {15, 10, 15, 10}, {2.5, 0, 7.5, 5}, {0, 0, 7.5, 5}},
        {{10, 10, 20, 10}, {4, 2, 10, 5}, {0, 12, 25, 4}, true, {10, 12, 15, 4}, {4, 3, 7.5, 2}, {6.5, 3, 7.5, 2}},
        {{10, 10, 20, 10}, {0, 0, 10, 5}, {40, 0, 10, 10}, false, {0, 0, 0, 0}, {}, {}},
        {{10, 10, 0, 10}, {0, 0, 10, 5}, {0, 0, 100, 100}, false, {}, {}, {}},
    };
    for (const StretchRectCase& c : cases) {
        Rect clipped{-1, -1, -1, -1};
        FRect area{};
        EXPECT_EQ(Lumo::GetStretchBlitRects(c.dest, c.source, c.clip, clipped, area), c.drawn);
        if (!c.drawn)
            continue;
        EXPECT_EQ(clipped, c.clipped);
        EXPECT_EQ(area, c.area);
        Lumo::GetStretchBlitRectsMirrored(c.dest, c.source, c.clip, clipped, area);
        EXPECT_EQ(area, c.mirroredArea);
    }
}

TEST(RotatedBlitBounds, BoxAroundTheTurnedCornersCutToTheClip)
{
    FRect bounds{};
    ASSERT_TRUE(Lumo::GetRotatedBlitBounds(10.5f, 10, Rect{3, 3, 4, 2}, FRect{0, 0, 100, 100}, bounds, 0, 0, 0));
    EXPECT_EQ(bounds, (FRect{10.5, 10, 4, 2}));

    ASSERT_TRUE(Lumo::GetRotatedBlitBounds(10, 10, Rect{0, 0, 4, 2}, FRect{0, 0, 100, 100}, bounds,
                                           std::numbers::pi / 2, 2, 1));
    EXPECT_NEAR(bounds.mX, 11, 1e-5);
    EXPECT_NEAR(bounds.mY, 9, 1e-5);
    EXPECT_NEAR(bounds.mWidth, 2, 1e-5);
    EXPECT_NEAR(bounds.mHeight, 4, 1e-5);

    const FRect kept = bounds;
    EXPECT_FALSE(Lumo::GetRotatedBlitBounds(10, 10, Rect{0, 0, 4, 2}, FRect{50, 50, 10, 10}, bounds, 0, 0, 0));
    EXPECT_EQ(bounds, kept);
}

TEST_F(MemoryImageResample, StretchOutsideTheClipDrawsAndCountsNothing)
{
    MemoryImage source(&host);
    FillWith(source, 2, 2, 0xFFFFFFFF);
    MemoryImage dest(&host);
    FillWith(dest, 8, 8, 0xFF000000);
    const int32_t count = dest.bitsChangeCount;
    dest.BlitStretched(&source, Rect{20, 20, 4, 4}, Rect{0, 0, 2, 2}, Rect{0, 0, 8, 8}, Color::White, 0, false);
    dest.BlitStretched(&source, Rect{0, 0, 4, 4}, Rect{1, 1, 2, 2}, Rect{0, 0, 8, 8}, Color::White, 0, true);
    Lumo::Image notInMemory;
    notInMemory.mWidth = notInMemory.mHeight = 2;
    dest.BlitStretched(&notInMemory, Rect{0, 0, 4, 4}, Rect{0, 0, 2, 2}, Rect{0, 0, 8, 8}, Color::White, 0, true);
    EXPECT_EQ(dest.bitsChangeCount, count);
    EXPECT_TRUE(source.mDrawn);
    EXPECT_EQ(PixelsOf(dest), std::vector<uint32_t>(64, 0xFF000000));
}

TEST_F(MemoryImageResample, QuickStretchSamplesNearestAndHasNoColourPath)
{
    MemoryImage source(&host);
    Fill(source, 2, 1, {0xFFFF0000, 0x800000FF});
    MemoryImage dest(&host);
    FillWith(dest, 6, 1, 0xFF000000);
    dest.BlitStretched(&source, Rect{1, 0, 4, 1}, Rect{0, 0, 2, 1}, Rect{0, 0, 6, 1}, Color::White, 0, true);
    EXPECT_EQ(PixelsOf(dest),
              (std::vector<uint32_t>{0xFF000000, 0xFFFE0000, 0xFFFE0000, 0xFF00007F, 0xFF00007F, 0xFF000000}));

    FillWith(dest, 6, 1, 0xFF000000);
    const int32_t count = dest.bitsChangeCount;
    dest.BlitStretched(&source, Rect{1, 0, 4, 1}, Rect{0, 0, 2, 1}, Rect{0, 0, 6, 1}, Color(255, 255, 255, 254), 0,
                       true);
    EXPECT_EQ(dest.bitsChangeCount, count + 1);
    EXPECT_EQ(PixelsOf(dest), std::vector<uint32_t>(6, 0xFF000000));
}

struct SmoothCase {
    std::vector<uint32_t> source;
    int sourceWidth;
    Rect dest;
    Rect clip;
    std::vector<uint32_t> expected;
};

TEST_F(MemoryImageResample, SmoothStretchFiltersWithExactFullWeights)
{
    const SmoothCase cases[] = {
        // Uniform: the 257 x 256 weights give the colour back unchanged
        // before it is composited (255 * 255 >> 8 = 254 and so on).
        {std::vector<uint32_t>(6, 0xFF80C0FF), 3, {0, 0, 5, 1}, {0, 0, 5, 1},
         std::vector<uint32_t>(5, 0xFF7FBFFE)},
        // Enlarging 2 to 4: the ends take a source pixel each, unmixed.
        {{0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}, 2, {0, 0, 4, 1}, {0, 0, 4, 1},
         {0xFF000000, 0xFF545454, 0xFFAAAAAA, 0xFFFEFEFE}},
        // Shrinking 4 to 2: pairs are averaged.
        {{0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}, 4,
         {0, 0, 2, 1}, {0, 0, 2, 1}, {0xFF7E7E7E, 0xFFFEFEFE}},
        // A one-pixel destination of an enlarged, clipped stretch samples the
        // first column and row of what remains.
        {{0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0}, 2, {0, 0, 8, 2}, {0, 0, 1, 1}, {0xFF0F1F2F}},
    };
    for (const SmoothCase& c : cases) {
        const int sourceHeight = int(c.source.size()) / c.sourceWidth;
        MemoryImage source(&host);
        Fill(source, c.sourceWidth, sourceHeight, c.source);
        MemoryImage dest(&host);
        FillWith(dest, int(c.expected.size()), 1, 0xFF000000);
        dest.BlitStretched(&source, c.dest, Rect{0, 0, c.sourceWidth, sourceHeight}, c.clip, Color(1, 2, 3, 4), 1,
                           false);
        EXPECT_EQ(PixelsOf(dest), c.expected);
    }
}

TEST_F(MemoryImageResample, SmoothStretchOfATranslucentSourceOverTransparency)
{
    MemoryImage source(&host);
    FillWith(source, 2, 2, 0x80FF0000);
    MemoryImage dest(&host);
    dest.SetSize(3, 3);
    dest.BlitStretched(&source, Rect{0, 0, 3, 3}, Rect{0, 0, 2, 2}, Rect{0, 0, 3, 3}, Color::White, 0, false);
    // sa = 128: red 255 * 128 >> 8 = 127, alpha 0 + 255 * 128 / 255.
    EXPECT_EQ(PixelsOf(dest), std::vector<uint32_t>(9, 0x807F0000));
}

struct RotateCase {
    uint32_t dest;
    uint32_t texel;
    Color color;
    int drawMode;
    uint32_t expected;
};

// At angle 0 and a whole-number position the filter puts weight 254 on one
// texel, so each case shows one rule on one pixel.
TEST_F(MemoryImageResample, RotatedPixelRules)
{
    const RotateCase cases[] = {
        {0xFF000000, 0xFFFFFFFF, Color::White, 0, 0xFFFDFDFD},
        {0xFF000000, 0x80FFFFFF, Color::White, 0, 0xFF7E7E7E},
        {0x00000000, 0x80FFFFFF, Color::White, 0, 0x7EFFFFFF},
        {0x00000000, 0x00FFFFFF, Color::White, 0, 0x00000000},
        {0xFF000000, 0xFFFFFFFF, Color(255, 0, 255, 255), 0, 0xFFFC00FC},
        {0xFF202020, 0xFF404040, Color::White, 1, 0xFF5F5F5F},
        {0x80202020, 0xFF404040, Color(255, 0, 0, 128), 7, 0x803F2020},
    };
    for (const RotateCase& c : cases) {
        MemoryImage source(&host);
        Fill(source, 2, 2, {c.texel, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00});
        MemoryImage dest(&host);
        Fill(dest, 1, 1, {c.dest});
        dest.BlitRotated(&source, 0, 0, Rect{0, 0, 2, 2}, Rect{0, 0, 1, 1}, c.color, c.drawMode, 0, 0, 0);
        EXPECT_EQ(At(dest, 0, 0), c.expected) << std::hex << c.dest << " " << c.texel;
    }
}

TEST_F(MemoryImageResample, RotationByZeroLeavesOutTheLastRowAndColumn)
{
    MemoryImage source(&host);
    std::vector<uint32_t> pixels(12);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000 | uint32_t(i * 20) << 16 | uint32_t(i * 20) << 8 | uint32_t(i * 20);
    Fill(source, 4, 3, pixels);
    ASSERT_TRUE(source.Palettize());
    MemoryImage dest(&host);
    FillWith(dest, 7, 5, 0xFF000000);
    dest.BlitRotated(&source, 2, 1, Rect{0, 0, 4, 3}, Rect{0, 0, 7, 5}, Color::White, 0, 0, 2, 1.5f);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const int i = x - 2;
            const int j = y - 1;
            uint32_t expected = 0xFF000000;
            if (i >= 0 && i < 3 && j >= 0 && j < 2) {
                const uint32_t c = uint32_t(j * 4 + i) * 20 * 254 >> 8;
                expected |= c << 16 | c << 8 | c;
            }
            EXPECT_EQ(At(dest, x, y), expected) << x << "," << y;
        }
    EXPECT_TRUE(source.colorTable);
}

TEST_F(MemoryImageResample, RotatedDrawStaysInsideClipAndImage)
{
    MemoryImage source(&host);
    FillWith(source, 40, 40, 0xFFFFFFFF);
    MemoryImage dest(&host);
    FillWith(dest, 10, 10, 0xFF000000);
    dest.BlitRotated(&source, -15, -15, Rect{0, 0, 40, 40}, Rect{2, 2, 50, 5}, Color::White, 0, 0.7, 20, 20);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            if (y < 2 || y >= 7 || x < 2) {
                ASSERT_EQ(At(dest, x, y), 0xFF000000u) << x << "," << y;
            }
        }
    }
    // Inside the turned square every sample is opaque white, filtered.
    EXPECT_EQ(At(dest, 5, 4) >> 24, 0xFFu);
    EXPECT_GE(At(dest, 5, 4) & 0xFF, 0xF8u);
    EXPECT_EQ(dest.bits[100], MemoryImage::kGuardWord);
}

// Over opaque destination pixels the row loop draws groups at once; the
// pixel-by-pixel route is the rule they must match.
TEST_F(MemoryImageResample, RotatedGroupsMatchThePixelByPixelRoute)
{
    std::mt19937 random(7);
    auto pixels = [&](size_t count, int opaquePercent) {
        std::vector<uint32_t> out(count);
        for (uint32_t& pixel : out) {
            const int kind = int(random() % 100);
            const uint32_t alpha = kind < opaquePercent ? 255 : kind < opaquePercent + 15 ? 0 : random() % 256;
            pixel = alpha << 24 | (random() & 0xFFFFFF);
        }
        return out;
    };
    // Few enough colours that the source can be palettized as well.
    const std::vector<uint32_t> colours = pixels(200, 50);
    std::vector<uint32_t> texels(23 * 17);
    for (uint32_t& texel : texels)
        texel = colours[random() % colours.size()];
    MemoryImage source(&host);
    Fill(source, 23, 17, texels);
    const std::vector<uint32_t> ground = pixels(30 * 26, 90);
    const Color colors[] = {Color::White, Color(200, 120, 60, 255), Color(255, 255, 255, 150), Color(90, 90, 90, 200)};
    auto draw = [&](PixelKernels::Width width, double angle, const Color& color) {
        const PixelKernels::Width widest = PixelKernels::CurrentWidth();
        PixelKernels::SetWidth(width);
        MemoryImage dest(&host);
        Fill(dest, 30, 26, ground);
        dest.BlitRotated(&source, 3.5f, 4.25f, Rect{0, 0, 23, 17}, Rect{0, 0, 30, 26}, color, 0, angle, 11.5f, 8.5f);
        PixelKernels::SetWidth(widest);
        return PixelsOf(dest);
    };
    for (bool palettized : {false, true}) {
        if (palettized) {
            ASSERT_TRUE(source.Palettize());
        }
        for (double angle : {0.3, -1.1, 2.5, 0.0}) {
            for (const Color& color : colors) {
                ASSERT_EQ(draw(PixelKernels::Width::Sse2, angle, color), draw(PixelKernels::Width::Pixel, angle, color))
                    << "angle " << angle << " colour " << color.mRed << "," << color.mAlpha << " palettized "
                    << palettized;
            }
        }
    }
}

class RecordingRasterizer : public Lumo::TriangleRasterizer {
public:
    struct Strip {
        Rect clip;
        Color color;
        std::vector<TriVertex> vertices;
        MemoryImage* texture;
        void* pixels;
        int32_t pitch;
        int32_t format;
        bool blend;
        bool vertexColors;
    };

    void DrawTriangleStripSoftware(const Rect& clip, const Color& color, const TriVertex* vertices, int count,
                                   MemoryImage* texture, void* pixels, int32_t pitch, int32_t format, bool blend,
                                   bool vertexColors) override
    {
        strips.push_back({clip, color, std::vector<TriVertex>(vertices, vertices + count), texture, pixels, pitch,
                          format, blend, vertexColors});
    }

    std::vector<Strip> strips;
};

TEST_F(MemoryImageResample, TransformedBlitHandsACentredQuadToTheRasterizer)
{
    RecordingRasterizer rasterizer;
    host.SetTriangleRasterizer(&rasterizer);
    MemoryImage source(&host);
    FillWith(source, 10, 20, 0xFFFFFFFF);
    MemoryImage dest(&host);
    FillWith(dest, 16, 8, 0xFF000000);
    const int32_t count = dest.bitsChangeCount;
    Lumo::Matrix3 identity;
    dest.BlitTransformed(&source, 5, 7, identity, Rect{-4, 0, 100, 4}, Color(1, 2, 3, 4), 1, Rect{2, 4, 6, 8}, true);
    ASSERT_EQ(rasterizer.strips.size(), 1u);
    const auto& strip = rasterizer.strips[0];
    EXPECT_EQ(strip.clip, (Rect{0, 0, 16, 4}));
    EXPECT_EQ(strip.color, Color(1, 2, 3, 4));
    EXPECT_EQ(strip.texture, &source);
    EXPECT_EQ(strip.pixels, dest.bits.get());
    EXPECT_EQ(strip.pitch, 64);
    EXPECT_EQ(strip.format, Lumo::TriangleRasterizer::kFormat8888);
    EXPECT_TRUE(strip.blend);
    EXPECT_FALSE(strip.vertexColors);
    const float expected[4][4] = {{1.5f, 2.5f, 0.2f, 0.2f}, {7.5f, 2.5f, 0.8f, 0.2f},
                                  {1.5f, 10.5f, 0.2f, 0.6f}, {7.5f, 10.5f, 0.8f, 0.6f}};
    ASSERT_EQ(strip.vertices.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(strip.vertices[size_t(k)].mX, expected[k][0]);
        EXPECT_FLOAT_EQ(strip.vertices[size_t(k)].mY, expected[k][1]);
        EXPECT_FLOAT_EQ(strip.vertices[size_t(k)].mU, expected[k][2]);
        EXPECT_FLOAT_EQ(strip.vertices[size_t(k)].mV, expected[k][3]);
        EXPECT_EQ(strip.vertices[size_t(k)].mColor, 0xFFFFFFFFu);
    }
    EXPECT_EQ(dest.bitsChangeCount, count + 1);
    EXPECT_TRUE(source.mDrawn);

    dest.SetAlphaFlags(false, false);
    dest.BlitTransformed(&source, 5, 7, identity, Rect{0, 0, 16, 8}, Color::White, 0, Rect{0, 0, 10, 20}, false);
    EXPECT_EQ(rasterizer.strips.back().format, Lumo::TriangleRasterizer::kFormat888);
}

TEST_F(MemoryImageResample, TrianglesGoOneByOneMovedByTheOffset)
{
    RecordingRasterizer rasterizer;
    host.SetTriangleRasterizer(&rasterizer);
    MemoryImage source(&host);
    FillWith(source, 4, 4, 0xFFFFFFFF);
    MemoryImage dest(&host);
    FillWith(dest, 8, 8, 0xFF000000);
    const TriVertex triangles[2][3] = {{{0, 0, 0, 0, 0}, {4, 0, 1, 0, 0}, {0, 4, 0, 1, 0}},
                                       {{4, 0, 1, 0, 0}, {4, 4, 1, 1, 0x80FFFFFF}, {0, 4, 0, 1, 0}}};
    int32_t count = dest.bitsChangeCount;
    dest.BlitTriangles(&source, triangles, 0, Rect{0, 0, 8, 8}, Color::White, 0, 1, 2, false);
    EXPECT_TRUE(rasterizer.strips.empty());
    EXPECT_EQ(dest.bitsChangeCount, ++count);

    dest.BlitTriangles(&source, triangles, 2, Rect{0, 0, 8, 8}, Color::White, 0, 1, 2, false);
    ASSERT_EQ(rasterizer.strips.size(), 2u);
    EXPECT_FALSE(rasterizer.strips[0].vertexColors);
    EXPECT_TRUE(rasterizer.strips[1].vertexColors);
    ASSERT_EQ(rasterizer.strips[1].vertices.size(), 3u);
    EXPECT_FLOAT_EQ(rasterizer.strips[1].vertices[1].mX, 5);
    EXPECT_FLOAT_EQ(rasterizer.strips[1].vertices[1].mY, 6);
    EXPECT_FLOAT_EQ(rasterizer.strips[1].vertices[1].mU, 1);
    EXPECT_EQ(dest.bitsChangeCount, ++count);
}

} // namespace
} // namespace ImagingTests
