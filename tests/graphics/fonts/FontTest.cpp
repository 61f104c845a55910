#include "framework/graphics/fonts/Font.h"

#include <gtest/gtest.h>

#include <memory>

namespace GraphicsTests {
namespace {

// Only what every kind must provide; the rest is the base behaviour.
class BareFont : public Lumo::Font {
public:
    BareFont(int ascent, int height, int lineSpacingOffset)
    {
        mAscent = ascent;
        mHeight = height;
        mLineSpacingOffset = lineSpacingOffset;
    }
    Lumo::Font* Duplicate() override { return new BareFont(*this); }
};

// Widths from a table, to see what the base composes.
class TableFont : public BareFont {
public:
    TableFont() : BareFont(0, 0, 0) {}
    int StringWidth(const std::string& text) override { return text == "a" ? 7 : 100; }
};

TEST(FontBase, BaseMetricsComeFromTheFourFields)
{
    BareFont font(9, 12, 3);
    EXPECT_EQ(font.GetAscent(), 9);
    EXPECT_EQ(font.GetDescent(), 3);
    EXPECT_EQ(font.GetHeight(), 12);
    EXPECT_EQ(font.GetLineSpacingOffset(), 3);
    EXPECT_EQ(font.GetLineSpacing(), 15);
    EXPECT_EQ(font.GetAscentPadding(), 0);
    EXPECT_EQ(font.StringWidth("abc"), 0);
    EXPECT_EQ(font.CharWidth('a'), 0);
    std::unique_ptr<Lumo::Font> copy(font.Duplicate());
    EXPECT_EQ(copy->GetLineSpacing(), 15);
}

TEST(FontBase, CharacterWidthsGoThroughStringWidthWithoutKerning)
{
    TableFont font;
    EXPECT_EQ(font.CharWidth('a'), 7);
    EXPECT_EQ(font.CharWidthKerned('a', 'x'), 7);
    EXPECT_EQ(font.CharWidthKerned('b', 0), 100);
}

} // namespace
} // namespace GraphicsTests
