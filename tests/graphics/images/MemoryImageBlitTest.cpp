#include "tests/graphics/images/ImagingFixture.h"

using Lumo::Color;
using Lumo::MemoryImage;
using Lumo::Rect;

namespace ImagingTests {
namespace {

using MemoryImageBlit = ImagingTest;

struct BlitCase {
    uint32_t dest;
    uint32_t source;
    Color color;
    int drawMode;
    uint32_t expected;
};

// One source pixel onto one destination pixel; the destination's alpha
// flags follow its pixel, which picks the path.
TEST_F(MemoryImageBlit, SinglePixelResultsOfEveryPath)
{
    const BlitCase cases[] = {
        // Opaque destination, white: copy, skip, or blend with w = alpha.
        {0xFF0000FF, 0xFF123456, Color::White, 0, 0xFF123456},
        {0xFF0000FF, 0x00123456, Color::White, 0, 0xFF0000FF},
        {0xFF0000FF, 0x80FF0000, Color::White, 0, 0xFF7F007F},
        // Blits round blue per term: (1 * 128 >> 8) + (1 * 128 >> 8) = 0.
        {0xFF000101, 0x80000101, Color::White, 0, 0xFF000100},
        // Destination with alpha: over, lane-shifted.
        {0x00000000, 0x80FF0000, Color::White, 0, 0x80FE0000},
        {0x00000000, 0xFFFFFFFF, Color::White, 0, 0xFFFEFEFE},
        {0x80FFFFFF, 0x00000000, Color::White, 0, 0x80FFFFFF},
        // Any other colour multiplies the source; white at alpha 128 is not white.
        {0xFF000000, 0xFF00FF00, Color(255, 255, 255, 128), 0, 0xFF007F00},
        {0xFF000000, 0xFFFFFFFF, Color(255, 0, 0, 255), 0, 0xFFFD0000},
        {0xFF204060, 0xFF80C0FF, Color(128, 64, 32, 255), 0, 0xFF3F301F},
        {0x00000000, 0xFFFFFFFF, Color(100, 100, 100, 255), 0, 0xFF626362},
        {0x80FFFFFF, 0x80FF8000, Color(10, 200, 30, 200), 0, 0xB175A76F},
        // Additive keeps the destination alpha; an opaque source ignores its alpha.
        {0x40101010, 0xFFFFFFFF, Color(255, 255, 255, 128), 1, 0x408F8F8F},
        {0x40101010, 0xFF203040, Color::White, 1, 0x40304050},
        {0xFFF0F0F0, 0xFF203040, Color::White, 1, 0xFFFFFFFF},
        // Drawn in neither mode.
        {0xFF101010, 0xFFFFFFFF, Color::White, 2, 0xFF101010},
    };
    for (const BlitCase& c : cases) {
        MemoryImage dest(&host);
        MemoryImage source(&host);
        Fill(dest, 1, 1, {c.dest});
        Fill(source, 1, 1, {c.source});
        dest.Blit(&source, 0, 0, Rect{0, 0, 1, 1}, c.color, c.drawMode);
        EXPECT_EQ(At(dest, 0, 0), c.expected) << std::hex << c.dest << " " << c.source << " mode " << c.drawMode;
        EXPECT_TRUE(source.mDrawn);
    }
}

TEST_F(MemoryImageBlit, AdditiveSourceWithTranslucencyWeighsByItsAlpha)
{
    MemoryImage dest(&host);
    MemoryImage source(&host);
    FillWith(dest, 3, 1, 0xFF101010);
    // Alpha 0 pixels still add their colour when the source has no
    // translucent pixel; with one, every pixel is weighed by its alpha.
    Fill(source, 3, 1, {0x00202020, 0xFF404040, 0xFF404040});
    dest.Blit(&source, 0, 0, Rect{0, 0, 3, 1}, Color::White, 1);
    EXPECT_EQ(PixelsOf(dest), (std::vector<uint32_t>{0xFF303030, 0xFF505050, 0xFF505050}));

    Fill(source, 3, 1, {0x00202020, 0x80404040, 0xFF404040});
    FillWith(dest, 3, 1, 0xFF101010);
    dest.Blit(&source, 0, 0, Rect{0, 0, 3, 1}, Color::White, 1);
    // 0x40 * 0x80 >> 8 = 0x20; 0x40 * 0xFF >> 8 = 0x3F.
    EXPECT_EQ(PixelsOf(dest), (std::vector<uint32_t>{0xFF101010, 0xFF303030, 0xFF4F4F4F}));

    FillWith(dest, 3, 1, 0xFF101010);
    dest.Blit(&source, 0, 0, Rect{0, 0, 3, 1}, Color(255, 0, 128, 255), 1);
    // Red: 0x40 * 255 >> 8 = 0x3F, then * 0x80 >> 8 = 0x1F; blue scale 128.
    EXPECT_EQ(PixelsOf(dest), (std::vector<uint32_t>{0xFF101010, 0xFF2F1020, 0xFF4E102F}));
}

TEST_F(MemoryImageBlit, RunsAreCutAtTheEdgesOfTheSourceRectangle)
{
    MemoryImage source(&host);
    std::vector<uint32_t> row(600, 0xFF00FF00);
    for (int i = 300; i < 310; ++i)
        row[size_t(i)] = 0x00000000;
    for (int i = 310; i < 320; ++i)
        row[size_t(i)] = 0x80FF0000;
    Fill(source, 600, 1, row);

    MemoryImage dest(&host);
    FillWith(dest, 200, 1, 0xFF0000FF);
    dest.Blit(&source, 10, 0, Rect{100, 0, 50, 1}, Color::White, 0);
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(At(dest, x, 0), x >= 10 && x < 60 ? 0xFF00FF00u : 0xFF0000FFu) << x;

    // Starting inside the transparent run, ending inside the translucent one.
    FillWith(dest, 200, 1, 0xFF0000FF);
    dest.Blit(&source, 0, 0, Rect{305, 0, 10, 1}, Color::White, 0);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(At(dest, x, 0), x < 5 || x >= 10 ? 0xFF0000FFu : 0xFF7F007Fu) << x;
}

TEST_F(MemoryImageBlit, PalettizedSourceIsReadThroughItsPalette)
{
    MemoryImage source(&host);
    Fill(source, 4, 1, {0xFFFF0000, 0x00000000, 0x80FFFFFF, 0xFFFF0000});
    ASSERT_TRUE(source.Palettize());
    MemoryImage dest(&host);
    FillWith(dest, 4, 1, 0xFF000000);
    dest.Blit(&source, 0, 0, Rect{0, 0, 4, 1}, Color::White, 0);
    EXPECT_EQ(PixelsOf(dest), (std::vector<uint32_t>{0xFFFF0000, 0xFF000000, 0xFF7F7F7F, 0xFFFF0000}));
    EXPECT_FALSE(source.bits);
    EXPECT_TRUE(source.colorTable);
}

TEST_F(MemoryImageBlit, PlacementIsCutToTheDestinationAndBadSourcesAreIgnored)
{
    MemoryImage source(&host);
    Fill(source, 2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
    MemoryImage dest(&host);
    FillWith(dest, 2, 2, 0xFF000000);
    dest.Blit(&source, -1, 1, Rect{0, 0, 2, 2}, Color::White, 0);
    EXPECT_EQ(PixelsOf(dest), (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFF000002, 0xFF000000}));
    EXPECT_EQ(dest.bits[4], MemoryImage::kGuardWord);

    const int32_t count = dest.bitsChangeCount;
    const Rect badSources[] = {{1, 0, 2, 2}, {-1, 0, 1, 1}, {0, 0, -1, 1}, {0, 1, 1, 2}};
    for (const Rect& bad : badSources)
        dest.Blit(&source, 0, 0, bad, Color::White, 0);
    dest.Blit(&source, 5, 5, Rect{0, 0, 2, 2}, Color::White, 0);
    Lumo::Image notInMemory;
    notInMemory.mWidth = notInMemory.mHeight = 2;
    dest.Blit(&notInMemory, 0, 0, Rect{0, 0, 2, 2}, Color::White, 0);
    dest.Blit(&source, 0, 0, Rect{0, 0, 2, 2}, Color::White, 3);
    EXPECT_EQ(dest.bitsChangeCount, count);
    EXPECT_TRUE(notInMemory.mDrawn);
}

TEST_F(MemoryImageBlit, ImageBlittedOntoItselfShowsItsOldPixels)
{
    MemoryImage image(&host);
    std::vector<uint32_t> row(70);
    for (size_t i = 0; i < row.size(); ++i)
        row[i] = 0xFF000000 | uint32_t(i);
    Fill(image, 70, 1, row);
    image.Blit(&image, 1, 0, Rect{0, 0, 69, 1}, Color::White, 0);
    std::vector<uint32_t> expected = row;
    for (size_t i = 1; i < row.size(); ++i)
        expected[i] = row[i - 1];
    EXPECT_EQ(PixelsOf(image), expected);
    EXPECT_EQ(image.bits[70], MemoryImage::kGuardWord);
}

TEST_F(MemoryImageBlit, MaskTakesItsBlueChannel)
{
    struct MaskCase {
        uint32_t dest;
        uint32_t source;
        uint32_t mask;
        Color color;
        uint32_t expected;
    };
    const MaskCase cases[] = {
        // Opaque destination, white: opaque runs weigh by the mask...
        {0xFF000000, 0xFFFFFFFF, 0xFF000080, Color::White, 0xFF7F7F7F},
        {0xFF000000, 0xFFFFFFFF, 0xFFFFFF00, Color::White, 0xFF000000},
        // ...translucent ones by alpha times mask: 128 * 255 / 255 = 128.
        {0xFF000000, 0x80FFFFFF, 0x000000FF, Color::White, 0xFF7F7F7F},
        // Over: ea = 255 * 128 / 255.
        {0x00000000, 0xFFFF0000, 0xFF000080, Color::White, 0x80FE0000},
        // Colour: ea = 255 * 255 * 128 / 65025.
        {0xFF000000, 0xFF00FF00, 0xFF0000FF, Color(255, 255, 255, 128), 0xFF007F00},
    };
    for (const MaskCase& c : cases) {
        MemoryImage dest(&host);
        MemoryImage source(&host);
        MemoryImage mask(&host);
        Fill(dest, 1, 1, {c.dest});
        Fill(source, 1, 1, {c.source});
        Fill(mask, 2, 1, {0, c.mask});
        dest.BlitWithAlphaMask(&source, 0, 0, Rect{0, 0, 1, 1}, &mask, Rect{1, 0, 1, 1}, c.color, 0);
        EXPECT_EQ(At(dest, 0, 0), c.expected) << std::hex << c.source << " " << c.mask;
        EXPECT_TRUE(source.mDrawn);
        EXPECT_TRUE(mask.mDrawn);
    }
}

TEST_F(MemoryImageBlit, MaskedBlitDrawsNothingAdditivelyOrPastTheMask)
{
    MemoryImage dest(&host);
    MemoryImage source(&host);
    MemoryImage mask(&host);
    FillWith(dest, 2, 2, 0xFF000000);
    FillWith(source, 2, 2, 0xFFFFFFFF);
    FillWith(mask, 2, 2, 0xFFFFFFFF);
    const int32_t count = dest.bitsChangeCount;
    dest.BlitWithAlphaMask(&source, 0, 0, Rect{0, 0, 2, 2}, &mask, Rect{0, 0, 2, 2}, Color::White, 1);
    dest.BlitWithAlphaMask(&source, 0, 0, Rect{0, 0, 2, 2}, &mask, Rect{1, 0, 2, 2}, Color::White, 0);
    EXPECT_EQ(dest.bitsChangeCount, count);
    EXPECT_EQ(PixelsOf(dest), std::vector<uint32_t>(4, 0xFF000000));
}

TEST_F(MemoryImageBlit, FloatBlitAtHalfAPixelSplitsEachPixelInTwo)
{
    MemoryImage source(&host);
    Fill(source, 3, 2, {0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF0000FF, 0xFF00FF00});
    MemoryImage dest(&host);
    FillWith(dest, 6, 3, 0xFF000000);
    dest.BlitFloat(&source, 1.5f, 0.0f, Rect{0, 0, 3, 2}, Rect{0, 0, 6, 3}, Color::White, 0);
    EXPECT_TRUE(source.mDrawn);
    // Column 2 takes source columns 0 and 1 with weight 127 each
    // (255 * 127 >> 8 = 126); column 1 would need the pixel left of the
    // rectangle and stays.
    const uint32_t row[6] = {0xFF000000, 0xFF000000, 0xFF7E007E, 0xFF007E7E, 0xFF000000, 0xFF000000};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(At(dest, x, 0), row[x]) << x;
    EXPECT_EQ(At(dest, 2, 1), 0xFF000000u);
}

} // namespace
} // namespace ImagingTests
