#include "framework/graphics/images/DefaultImageHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/graphics/fonts/SysFont.h"

#include <gtest/gtest.h>

#include <memory>

namespace FontTests {
namespace {

TEST(SysFontRecovery, WhiteAndBlackRenderingsGiveColourAndAlpha)
{
    const struct {
        uint32_t onWhite, onBlack, expected;
    } cases[] = {
        {0xFF123456, 0xFF123456, 0xFF123456},  // the same on both: opaque
        {0x00FFFFFF, 0x00000000, 0x00000000},  // untouched background
        {0x00808080, 0x00000000, 0x7F000000},  // black text at half coverage
        {0x00FF8080, 0x00800000, 0x7FFF0000},  // red text at half coverage
        {0x000000FF, 0x00000000, 0x00000000},  // a channel without coverage divides by nothing
    };
    for (const auto& entry : cases)
        EXPECT_EQ(entry.expected, Lumo::SysFont::RecoverTextPixel(entry.onWhite, entry.onBlack))
            << std::hex << entry.onWhite << " " << entry.onBlack;
}

class SysFontTest : public ::testing::Test {
protected:
    Lumo::DefaultImageHost host;
    Lumo::SysFont font{nullptr, "Tahoma", 8, 0};
};

TEST_F(SysFontTest, MetricsAtNinetySixDotsPerInch)
{
    ASSERT_NE(nullptr, font.mFontHandle);
    // 8 points are 11 pixels of character height; the line is a little more.
    EXPECT_GE(font.GetHeight(), 11);
    EXPECT_LE(font.GetHeight(), 16);
    EXPECT_GT(font.GetAscent(), font.GetDescent());
    EXPECT_EQ(font.GetHeight(), font.GetLineSpacing());
    EXPECT_EQ(0, font.StringWidth(""));
    EXPECT_GT(font.StringWidth("WW"), font.StringWidth("ii"));
    EXPECT_EQ(font.StringWidth("abc"), font.StringWidth("ab\nabc"));
    // Code page 1252's euro sign is a real glyph, not nothing.
    EXPECT_GT(font.StringWidth("\x80"), 0);

    std::unique_ptr<Lumo::Font> copy(font.Duplicate());
    EXPECT_NE(font.mFontHandle, static_cast<Lumo::SysFont*>(copy.get())->mFontHandle);
    EXPECT_EQ(font.GetHeight(), copy->GetHeight());
    EXPECT_EQ(font.GetAscent(), copy->GetAscent());
    EXPECT_EQ(font.StringWidth("Zentrova"), copy->StringWidth("Zentrova"));
}

TEST_F(SysFontTest, BlackTextTakesItsAlphaFromCoverage)
{
    Lumo::MemoryImage image(&host);
    image.SetSize(40, 20);
    Lumo::Graphics graphics(&image);
    graphics.SetFont(&font);
    font.DrawString(&graphics, 2, 15, "I", Lumo::Color::Black, Lumo::Rect{0, 0, 40, 20});
    const uint32_t* bits = image.GetPixelBits();
    int strong = 0;
    int outside = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            const uint32_t pixel = bits[y * 40 + x];
            EXPECT_EQ(0u, pixel & 0xFFFFFF);
            if (pixel >> 24 >= 0x80)
                ++strong;
            if (pixel != 0 && (y > 15 || y < 15 - font.GetAscent() || x > 2 + font.StringWidth("I")))
                ++outside;
        }
    }
    // The stem of the I, row after row, in black.
    EXPECT_GT(strong, 5);
    EXPECT_EQ(0, outside);

    Lumo::MemoryImage untouched(&host);
    untouched.SetSize(4, 4);
    Lumo::Graphics other(&untouched);
    font.DrawString(&other, 0, 3, "", Lumo::Color::Black, Lumo::Rect{0, 0, 4, 4});
    EXPECT_EQ(0u, untouched.GetPixelBits()[0]);
}

} // namespace
} // namespace FontTests
