#include "tests/display/DisplayFixture.h"

#include "framework/display/SoftwareRasterizer.h"
#include "framework/graphics/Matrix3.h"

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

class RasterStretchMask : public DisplayTest::DisplayFixture {
protected:
    std::vector<uint32_t> Row(Lumo::DDImage* image, int width)
    {
        std::vector<uint32_t> row;
        for (int x = 0; x < width; ++x)
            row.push_back(Pixel(image->mSurface, x, 0) & 0xFFFFFF);
        return row;
    }
};

TEST_F(RasterStretchMask, NearestStepsAndMirroredHalves)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    Lumo::MemoryImage source(&mApp);
    const uint32_t pixels[] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
    source.SetBits(pixels, 4, 1, true);

    auto three = Destination(3, 1, 0);
    three->BlitStretched(&source, Rect{0, 0, 3, 1}, Rect{0, 0, 4, 1}, Rect{0, 0, 3, 1}, Color::White, 0, true);
    EXPECT_EQ(Row(three.get(), 3), (std::vector<uint32_t>{1, 2, 3}));

    auto ten = Destination(10, 1, 0);
    ten->BlitStretched(&source, Rect{0, 0, 10, 1}, Rect{2, 0, 1, 1}, Rect{0, 0, 10, 1}, Color::White, 0, true);
    EXPECT_EQ(Row(ten.get(), 10), std::vector<uint32_t>(10, 3));

    // Clip to the right half of an 8-wide doubling.
    auto straight = Destination(8, 1, 0);
    straight->BlitStretched(&source, Rect{0, 0, 8, 1}, Rect{0, 0, 4, 1}, Rect{4, 0, 4, 1}, Color::White, 0, true);
    EXPECT_EQ(Row(straight.get(), 8), (std::vector<uint32_t>{0, 0, 0, 0, 3, 3, 4, 4}));
    auto mirrored = Destination(8, 1, 0);
    mirrored->BlitStretchedMirrored(&source, Rect{0, 0, 8, 1}, Rect{0, 0, 4, 1}, Rect{4, 0, 4, 1}, Color::White, 0,
                                    false);
    EXPECT_EQ(Row(mirrored.get(), 8), (std::vector<uint32_t>{0, 0, 0, 0, 2, 2, 1, 1}));
}

TEST_F(RasterStretchMask, NearestPixelRules)
{
    ASSERT_EQ(Open(DisplayTest::kDesktop565), DDInterface::RESULT_OK);
    Lumo::MemoryImage source(&mApp);
    const uint32_t pixels[] = {0x80FF0000, 0x00FFFFFF, 0xFF00FF00, 0xFF000000};
    source.SetBits(pixels, 4, 1, true);
    auto dest = Destination(4, 1, 0xFFFF);
    dest->BlitStretched(&source, Rect{0, 0, 4, 1}, Rect{0, 0, 4, 1}, Rect{0, 0, 4, 1}, Color::White, 0, true);
    // Red at alpha 128 over white: red 31, green 31, blue 15.
    EXPECT_EQ(Pixel(dest->mSurface, 0, 0), (31u << 11) | (31u << 5) | 15u);
    EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0xFFFFu);
    EXPECT_EQ(Pixel(dest->mSurface, 2, 0), 0x07E0u);

    auto tinted = Destination(4, 1, 0x1234);
    tinted->BlitStretched(&source, Rect{0, 0, 4, 1}, Rect{0, 0, 4, 1}, Rect{0, 0, 4, 1}, Color(9, 9, 9, 0), 0, true);
    tinted->BlitStretched(&source, Rect{0, 0, 4, 1}, Rect{0, 0, 4, 1}, Rect{0, 0, 4, 1}, Color(9, 9, 9, 0), 1, true);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(Pixel(tinted->mSurface, x, 0), 0x1234u);

    auto added = Destination(4, 1, 0x0841);
    added->BlitStretched(&source, Rect{0, 0, 4, 1}, Rect{0, 0, 4, 1}, Rect{0, 0, 4, 1}, Color::White, 1, true);
    EXPECT_EQ(Pixel(added->mSurface, 1, 0), 0x0841u + 0);
    EXPECT_EQ(Pixel(added->mSurface, 2, 0), 0x0FE1u);
    EXPECT_EQ(Pixel(added->mSurface, 3, 0), 0x0841u);
}

TEST_F(RasterStretchMask, QuickStretchOntoAlphaDestinationDrawsInMemory)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    std::vector<uint32_t> pixels(16, 0xFF000000);
    pixels[15] = 0x00000000;
    auto dest = MakeImage(4, 4, pixels);
    Lumo::MemoryImage source(&mApp);
    source.SetBits(std::vector<uint32_t>(1, 0xFFFFFFFF).data(), 1, 1, true);
    dest->BlitStretched(&source, Rect{0, 0, 2, 2}, Rect{0, 0, 1, 1}, Rect{0, 0, 4, 4}, Color::White, 0, true);
    EXPECT_EQ(dest->mSurface, nullptr);
    EXPECT_GE(dest->GetPixelBits()[5] & 0xFF, 0xFEu);
    EXPECT_EQ(dest->GetPixelBits()[15], 0u);
}

// The mask value is the blue byte of the mask pixel, palettized or not.
TEST_F(RasterStretchMask, MaskValueIsTheBlueChannel)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    Lumo::MemoryImage source(&mApp);
    const uint32_t pixels[] = {0x80FFFFFF, 0x80FFFFFF};
    source.SetBits(pixels, 2, 1, true);
    for (bool palettized : {false, true}) {
        Lumo::MemoryImage mask(&mApp);
        const uint32_t maskPixels[] = {0xFFC86432, 0xFF000080};
        mask.SetBits(maskPixels, 2, 1, true);
        if (palettized) {
            ASSERT_TRUE(mask.Palettize());
        }
        auto dest = Destination(2, 1, 0);
        dest->BlitWithAlphaMask(&source, 0, 0, Rect{0, 0, 2, 1}, &mask, Rect{0, 0, 99, 99}, Color::White, 0);
        // Native colour 255 * 129 >> 8 = 128 per channel; m = 50 weighs it to 25
        // with a = 128 * 50 / 255 = 25; m = 128 weighs it to 64 with a = 64.
        EXPECT_EQ(Pixel(dest->mSurface, 0, 0), 0x19191919u) << palettized;
        EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0x40404040u) << palettized;
    }
}

TEST_F(RasterStretchMask, StencilCopyAndZeroMaskShortcut)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    Lumo::MemoryImage source(&mApp);
    const uint32_t pixels[] = {0xFF112233, 0xFF445566, 0x00000000};
    source.SetBits(pixels, 3, 1, true);
    Lumo::MemoryImage mask(&mApp);
    const uint32_t maskPixels[] = {0xFF000001, 0xFF000000, 0xFF0000FF};
    mask.SetBits(maskPixels, 3, 1, true);
    auto dest = Destination(3, 1, 0xAA010203);
    dest->BlitWithAlphaMask(&source, 0, 0, Rect{0, 0, 3, 1}, &mask, Rect{0, 0, 3, 1}, Color::White, 0);
    EXPECT_EQ(Pixel(dest->mSurface, 0, 0), 0xFF112233u);
    EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0xAA010203u);
    EXPECT_EQ(Pixel(dest->mSurface, 2, 0), 0xAA010203u);

    source.SetBlitShortcut(true);
    Lumo::MemoryImage zero(&mApp);
    zero.SetBits(std::vector<uint32_t>(3, 0xFFFFFF00).data(), 3, 1, true);
    auto shortcut = Destination(3, 1, 0xAA010203);
    shortcut->BlitWithAlphaMask(&source, 0, 0, Rect{0, 0, 3, 1}, &zero, Rect{0, 0, 3, 1}, Color::White, 0);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(Pixel(shortcut->mSurface, x, 0), 0x00010203u);
}

TEST_F(RasterStretchMask, CoverageArithmetic)
{
    const struct {
        DesktopFormat desktop;
        uint32_t background;
        Color color;
        uint8_t weight;
        uint32_t expected;
    } cases[] = {
        // a = 255, k = 1: the old pixel still weighs 1/256.
        {DisplayTest::kDesktop565, 0xFFFF, Color(255, 0, 0, 255), 255, ((0xF800u + 255u * 0xF000u) >> 8 & 0xF800) | 0},
        // The colour packs to 254; (128 + 254 * 255) >> 8 = 253.
        {DisplayTest::kDesktopRgb32, 0xFF808080, Color(255, 255, 255, 255), 255, 0x00FDFDFDu},
        {DisplayTest::kDesktopRgb32, 0xFF102030, Color(255, 255, 255, 0), 255, 0x00102030u},
        {DisplayTest::kDesktopRgb32, 0x00000000, Color(255, 255, 255, 255), 127, 0x007E7E7Eu},
    };
    for (const auto& each : cases) {
        ASSERT_EQ(Open(each.desktop), DDInterface::RESULT_OK);
        auto dest = Destination(3, 1, each.background);
        Lumo::Span span{0, 1, 1};
        const uint8_t coverage[] = {0, each.weight};
        dest->FillSpansWithCoverage(&span, 1, each.color, 0, coverage, 0, 0, 2, 0);
        EXPECT_EQ(Pixel(dest->mSurface, 0, 0), each.background);
        EXPECT_EQ(Pixel(dest->mSurface, 1, 0), each.expected) << each.desktop.bitsPerPixel;
    }
    auto dest = Destination(1, 1, 0);
    const int locks = dest->mSurface->LockCount();
    dest->FillSpansWithCoverage(nullptr, 0, Color::White, 0, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(dest->mSurface->LockCount(), locks);
}

// An identity matrix through the rasterizer copies as a plain blit does.
TEST_F(RasterStretchMask, IdentityMatrixEqualsPlainBlit)
{
    Lumo::SoftwareRasterizer rasterizer;
    mApp.mRasterizer = &rasterizer;
    for (const auto& desktop : {DisplayTest::kDesktopRgb32, DisplayTest::kDesktop565, DisplayTest::kDesktop555}) {
        ASSERT_EQ(Open(desktop), DDInterface::RESULT_OK);
        std::vector<uint32_t> pixels(32);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = 0xFF000000u | uint32_t(i * 0x070503);
        Lumo::MemoryImage source(&mApp);
        source.SetBits(pixels.data(), 8, 4, true);
        auto plain = Destination(12, 8, 0);
        auto matrix = Destination(12, 8, 0);
        plain->Blit(&source, 2, 3, Rect{0, 0, 8, 4}, Color::White, 0);
        matrix->BlitTransformed(&source, 6, 5, Lumo::Matrix3(), Rect{0, 0, 12, 8}, Color::White, 0,
                                Rect{0, 0, 8, 4}, false);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x)
                EXPECT_EQ(Pixel(matrix->mSurface, x, y) & 0xFFFFFF, Pixel(plain->mSurface, x, y) & 0xFFFFFF)
                    << desktop.bitsPerPixel << " " << x << "," << y;
    }
}

// Pixel centres lie on whole coordinates and the clip reaches half a pixel
// past its first and last centres: a triangle over everything fills exactly
// the clip's pixels, its last row and column included.
TEST_F(RasterStretchMask, TrianglesFillTheWholeClipAndNothingPastIt)
{
    Lumo::SoftwareRasterizer rasterizer;
    mApp.mRasterizer = &rasterizer;
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    Lumo::MemoryImage source(&mApp);
    const std::vector<uint32_t> white(16, 0xFFFFFFFF);
    source.SetBits(white.data(), 4, 4, true);
    auto dest = Destination(10, 10, 0);
    const Lumo::TriVertex everything[1][3] = {{{-20, -20, 0, 0, 0}, {60, -20, 1, 0, 0}, {-20, 60, 0, 1, 0}}};
    dest->BlitTriangles(&source, everything, 1, Rect{2, 3, 4, 5}, Color::White, 0, 0, 0, false);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(Pixel(dest->mSurface, x, y) & 0xFFFFFF, x >= 2 && x <= 5 && y >= 3 && y <= 7 ? 0xFFFFFFu : 0u)
                << x << "," << y;
}

TEST_F(RasterStretchMask, SpanKeysAndClipping)
{
    using R = Lumo::SoftwareRasterizer;
    EXPECT_EQ(R::SpanKey(R::kTextured | R::kBlend, 0x888), 49);
    EXPECT_EQ(R::SpanKey(R::kTinted, 0x565), 66);
    EXPECT_EQ(R::SpanKey(R::kVertexColor | R::kTextureAlpha, 0x555), 108);
    EXPECT_EQ(R::SpanKey(31, 0x8888), 31);

    const Lumo::TriVertex inside[3] = {{0, 0, 0, 0, 0}, {9, 0, 0, 0, 0}, {0, 5, 0, 0, 0}};
    const Lumo::TriVertex* out[10];
    EXPECT_EQ(R::ClipTriangleSoftware(&inside[0], &inside[1], &inside[2], 0, 9, 0, 9, out), 3);
    const Lumo::TriVertex past[3] = {{0, 0, 0, 0, 0}, {10, 0, 0, 0, 0}, {0, 5, 0, 0, 0}};
    EXPECT_EQ(R::ClipTriangleSoftware(&past[0], &past[1], &past[2], 0, 9, 0, 9, out), 4);
    const Lumo::TriVertex outside[3] = {{20, 0, 0, 0, 0}, {30, 0, 0, 0, 0}, {20, 5, 0, 0, 0}};
    EXPECT_EQ(R::ClipTriangleSoftware(&outside[0], &outside[1], &outside[2], 0, 9, 0, 9, out), 0);
}

TEST_F(RasterStretchMask, PalettizeDropsTheSurfaceAndRebuildsIt)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto few = MakeImage(2, 1, {0xFF102030, 0xFF405060});
    ASSERT_TRUE(few->CreateSurface());
    EXPECT_TRUE(few->Palettize());
    EXPECT_EQ(few->mSurface, nullptr);
    ASSERT_NE(few->GetSurface(), nullptr);
    EXPECT_EQ(Pixel(few->mSurface, 1, 0) & 0xFFFFFF, 0x405060u);

    std::vector<uint32_t> many(300);
    for (size_t i = 0; i < many.size(); ++i)
        many[i] = 0xFF000000u | uint32_t(i);
    auto lots = MakeImage(300, 1, many);
    ASSERT_TRUE(lots->CreateSurface());
    EXPECT_FALSE(lots->Palettize());
    EXPECT_NE(lots->mSurface, nullptr);
}

} // namespace
