#include "framework/graphics/Graphics.h"

#include "tests/graphics/CaseName.h"
#include "tests/graphics/FixedWidthFont.h"
#include "tests/graphics/MockImage.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace GraphicsTests {
namespace {

using Lumo::Color;
using Lumo::Graphics;
using Lumo::Rect;

const Color kStart{10, 20, 30, 200};

struct Piece {
    int mX;
    std::string mText;
    Color mColor;
};

std::vector<Piece> Pieces(const FixedWidthFont& font)
{
    std::vector<Piece> pieces;
    for (const TextDraw& draw : font.mDraws)
        pieces.push_back(Piece{draw.mX, draw.mText, draw.mColor});
    return pieces;
}

void ExpectPieces(const std::vector<Piece>& actual, const std::vector<Piece>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].mX, expected[i].mX);
        EXPECT_EQ(actual[i].mText, expected[i].mText);
        EXPECT_EQ(actual[i].mColor, expected[i].mColor);
    }
}

struct CodeCase {
    const char* mName;
    std::string mText;
    bool mColorCodes;
    int mWidth;
    std::vector<Piece> mDrawn;
};

void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.mName; }

class ColorCodes : public ::testing::TestWithParam<CodeCase> {};

// Drawn from x = 100 with 10-pixel characters, old colour 0x00112233, in a
// current colour whose alpha (200) every code keeps.
TEST_P(ColorCodes, DrawAndMeasure)
{
    const CodeCase& c = GetParam();
    SizedImage dest(400, 100);
    FixedWidthFont font;
    Graphics g(&dest);
    g.SetFont(&font);
    g.SetColor(kStart);
    g.mColorCodes = c.mColorCodes;
    EXPECT_EQ(g.DrawColorCodedString(c.mText, 100, 50, 0, -1, false, 0, -1, 0x00112233), c.mWidth);
    EXPECT_TRUE(font.mDraws.empty());
    EXPECT_EQ(g.GetColor(), kStart);

    EXPECT_EQ(g.DrawColorCodedString(c.mText, 100, 50, 0, -1, true, 0, -1, 0x00112233), c.mWidth);
    ExpectPieces(Pieces(font), c.mDrawn);
}

const Color kRed{255, 0, 0, 200};
const Color kOld{0x11, 0x22, 0x33, 200};

INSTANTIATE_TEST_SUITE_P(
    Cases, ColorCodes,
    ::testing::Values(
        CodeCase{"CodeSwitchesColour", "ab^FF0000^cd", true, 40, {{100, "ab", kStart}, {120, "cd", kRed}}},
        CodeCase{"DoubledCaretIsOneCaret", "a^^b", true, 30, {{100, "a^b", kStart}}},
        CodeCase{"SwitchOffDrawsCarets", "ab^FF0000^cd", false, 120, {{100, "ab^FF0000^cd", kStart}}},
        CodeCase{"CutCodeEndsTheText", "abc^12", true, 30, {{100, "abc", kStart}}},
        CodeCase{"CodeOneShortEndsTheText", "ab^FF0000", true, 20, {{100, "ab", kStart}}},
        CodeCase{"CodeAtTheVeryEnd", "ab^FF0000^", true, 20, {{100, "ab", kStart}, {120, "", kRed}}},
        CodeCase{"OldColourComesBack", "^FF0000^x^oldclr^y", true, 20,
                 {{100, "", kStart}, {100, "x", kRed}, {110, "y", kOld}}},
        CodeCase{"OWithoutOldclrIsBlack", "^FF0000^x^oxxxxx^z", true, 20,
                 {{100, "", kStart}, {100, "x", kRed}, {110, "z", Color{0, 0, 0, 200}}}},
        CodeCase{"LowerCaseAndJunkDigits", "^ff8g0a^q", true, 10,
                 {{100, "", kStart}, {100, "q", Color{255, 128, 10, 200}}}},
        CodeCase{"EighthCharacterIsSkipped", "^00FF00Xq", true, 10,
                 {{100, "", kStart}, {100, "q", Color{0, 255, 0, 200}}}}),
    CaseName());

TEST(ColorCodedRange, StartAndLengthPickThePart)
{
    SizedImage dest(400, 100);
    FixedWidthFont font;
    Graphics g(&dest);
    g.SetFont(&font);
    EXPECT_EQ(g.DrawColorCodedString("abcdefg", 0, 0, 0, -1, true, 2, 3, -1), 30);
    EXPECT_EQ(g.DrawColorCodedString("abcdefg", 0, 0, 0, -1, false, 5, 100, -1), 20);
    // The range ends inside the code, so the code stops the text.
    EXPECT_EQ(g.DrawColorCodedString("ab^FF0000^cd", 0, 0, 0, -1, true, 0, 5, -1), 20);
    EXPECT_EQ(g.DrawColorCodedString("abc", 0, 0, 0, -1, false, -4, 2, -1), 20);
    ExpectPieces(Pieces(font), {{0, "cde", Color{}}, {0, "ab", Color{}}});
}

TEST(ColorCodedRange, OldColourMinusOneIsTheCurrentColour)
{
    SizedImage dest(400, 100);
    FixedWidthFont font;
    Graphics g(&dest);
    g.SetFont(&font);
    g.SetColor(kStart);
    g.DrawColorCodedString("^FF0000^a^oldclr^b", 0, 0, 0, -1, true, 0, -1, -1);
    ExpectPieces(Pieces(font), {{0, "", kStart}, {0, "a", kRed}, {10, "b", kStart}});
    EXPECT_EQ(g.GetColor(), kStart);
}

struct JustifyCase {
    const char* mName;
    int mCharWidth;
    std::string mText;
    int mWidth;
    int mJustification;
    int mX;
};

void PrintTo(const JustifyCase& c, std::ostream* os) { *os << c.mName; }

class Justification : public ::testing::TestWithParam<JustifyCase> {};

TEST_P(Justification, MovesTheLine)
{
    const JustifyCase& c = GetParam();
    SizedImage dest(400, 100);
    FixedWidthFont font(c.mCharWidth);
    Graphics g(&dest);
    g.SetFont(&font);
    g.DrawColorCodedString(c.mText, 100, 0, c.mWidth, c.mJustification, true, 0, -1, -1);
    ASSERT_FALSE(font.mDraws.empty());
    EXPECT_EQ(font.mDraws[0].mX, c.mX);
}

INSTANTIATE_TEST_SUITE_P(Cases, Justification,
                         ::testing::Values(JustifyCase{"SevenCentredInTen", 7, "a", 10, 0, 101},
                                           JustifyCase{"Centred", 10, "abc", 100, 0, 135},
                                           JustifyCase{"Right", 10, "abc", 100, 1, 170},
                                           JustifyCase{"Left", 10, "abc", 100, -1, 100},
                                           JustifyCase{"AnyOtherValueIsLeft", 10, "abc", 100, 2, 100},
                                           // Truncated toward zero: -5 / 2 moves by -2.
                                           JustifyCase{"WiderThanTheWidthCentred", 10, "abc", 25, 0, 98},
                                           JustifyCase{"MeasuredWithoutCodes", 10, "^^^FF0000^", 40, 1, 130}),
                         CaseName());

struct Line {
    std::string mText;
    int mY;
};

std::vector<Line> Lines(const FixedWidthFont& font)
{
    std::vector<Line> lines;
    for (const TextDraw& draw : font.mDraws)
        lines.push_back(Line{draw.mText, draw.mY});
    return lines;
}

struct WrapCase {
    const char* mName;
    std::string mText;
    int mWidth;
    std::vector<Line> mLines;
    int mHeight;
};

void PrintTo(const WrapCase& c, std::ostream* os) { *os << c.mName; }

class WordWrap : public ::testing::TestWithParam<WrapCase> {};

// Ascent 8, descent 2, line spacing 12: one line is 10 high, each further
// line adds 12; baselines at 8, 20, 32 ...
TEST_P(WordWrap, LinesAndHeight)
{
    const WrapCase& c = GetParam();
    SizedImage dest(400, 400);
    FixedWidthFont font;
    Graphics g(&dest);
    g.SetFont(&font);
    EXPECT_EQ(g.DrawWordWrapped(c.mText, Rect{0, 0, c.mWidth, 0}, -1, -1), c.mHeight);
    const std::vector<Line> lines = Lines(font);
    ASSERT_EQ(lines.size(), c.mLines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].mText, c.mLines[i].mText) << i;
        EXPECT_EQ(lines[i].mY, c.mLines[i].mY) << i;
    }
    EXPECT_EQ(g.MeasureWrappedText(c.mWidth, c.mText, -1), c.mHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordWrap,
    ::testing::Values(WrapCase{"OneLine", "abc", 50, {{"abc", 8}}, 10},
                      WrapCase{"BreaksAtTheBlank", "abc def", 50, {{"abc", 8}, {"def", 20}}, 22},
                      WrapCase{"FitsExactly", "abc de", 60, {{"abc de", 8}}, 10},
                      WrapCase{"BlanksAfterTheBreakAreSkipped", "abc    def", 35, {{"abc", 8}, {"def", 20}}, 22},
                      WrapCase{"LongWordIsCut", "abcdefgh", 30, {{"abc", 8}, {"def", 20}, {"gh", 32}}, 34},
                      WrapCase{"OneCharacterPerLineAtLeast", "ab", 5, {{"a", 8}, {"b", 20}}, 22},
                      WrapCase{"NewlineBreaks", "ab\ncd", 100, {{"ab", 8}, {"cd", 20}}, 22},
                      WrapCase{"NewlineKeepsLeadingBlanks", "ab\n cd", 100, {{"ab", 8}, {" cd", 20}}, 22},
                      WrapCase{"EmptyLineBetweenNewlines", "a\n\nb", 100, {{"a", 8}, {"", 20}, {"b", 32}}, 34},
                      WrapCase{"TrailingNewlineCountsALine", "ab\n", 100, {{"ab", 8}}, 22},
                      WrapCase{"TrailingBlanksAddNoLine", "abc   ", 30, {{"abc", 8}}, 10},
                      WrapCase{"CodesTakeNoWidth", "^FF0000^ab cd", 30, {{"", 8}, {"ab", 8}, {"cd", 20}}, 22},
                      WrapCase{"EmptyText", "", 100, {}, -2}),
    CaseName());

TEST(WordWrapState, ColourOfCodesLastsAcrossLinesAndIsRestored)
{
    SizedImage dest(400, 400);
    FixedWidthFont font;
    Graphics g(&dest);
    g.SetFont(&font);
    g.SetColor(Color::White);
    g.DrawWordWrapped("^FF0000^ab cd^oldclr^ef", Rect{0, 0, 40, 0}, -1, -1);
    const std::vector<Piece> pieces = Pieces(font);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[1].mText, "ab");
    EXPECT_EQ(pieces[1].mColor, (Color{255, 0, 0, 255}));
    EXPECT_EQ(pieces[2].mText, "cd");
    EXPECT_EQ(pieces[2].mColor, (Color{255, 0, 0, 255}));
    // The old colour is the starting white, not "the current colour".
    EXPECT_EQ(pieces[3].mText, "ef");
    EXPECT_EQ(pieces[3].mColor, Color::White);
    EXPECT_EQ(g.GetColor(), Color::White);
}

TEST(WordWrapState, RectangleSpacingPaddingAndJustification)
{
    SizedImage dest(400, 400);
    FixedWidthFont font(10, 8, 10, 2, 3);
    Graphics g(&dest);
    g.SetFont(&font);
    EXPECT_EQ(g.DrawWordWrapped("ab cd", Rect{7, 100, 40, 0}, 20, 1), 2 + 5 + 20);
    ASSERT_EQ(font.mDraws.size(), 2u);
    EXPECT_EQ(font.mDraws[0].mX, 27);
    EXPECT_EQ(font.mDraws[0].mY, 105);
    EXPECT_EQ(font.mDraws[1].mX, 27);
    EXPECT_EQ(font.mDraws[1].mY, 125);
    EXPECT_EQ(g.MeasureWrappedText(40, "", -1), 8 - 3 + 2 - 12);
}

// Lines ended at a break point are skipped outside the clip (below it by more
// than one line spacing); the last line is always drawn.
TEST(WordWrapState, LinesOutsideTheClipAreSkipped)
{
    SizedImage dest(400, 400);
    FixedWidthFont font;
    Graphics g(&dest);
    g.SetFont(&font);
    g.SetClipRect(0, 0, 400, 10);
    EXPECT_EQ(g.DrawWordWrapped("aaa bbb ccc ddd", Rect{0, 0, 50, 0}, -1, -1), 46);
    std::vector<Line> lines = Lines(font);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].mText, "aaa");
    EXPECT_EQ(lines[1].mText, "bbb");
    EXPECT_EQ(lines[2].mText, "ddd");

    font.mDraws.clear();
    g.ResetClip();
    g.Translate(0, -30);
    g.DrawWordWrapped("aaa bbb ccc", Rect{0, 0, 50, 0}, -1, -1);
    lines = Lines(font);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].mText, "ccc");
}

TEST(WordWrapState, MeasuringSkipsCodesAndDrawsNowhere)
{
    SizedImage dest(400, 400);
    FixedWidthFont font;
    Graphics g(&dest);
    g.SetFont(&font);
    g.mColorCodes = false;
    EXPECT_EQ(g.MeasureWrappedText(40, "^FF0000^abc", -1), 10);
    EXPECT_EQ(g.DrawWordWrapped("^FF0000^abc", Rect{0, 0, 40, 0}, -1, -1), 34);
    const std::vector<Line> lines = Lines(font);
    ASSERT_EQ(lines.size(), 5u);
    // The measuring context hands the font an empty clip.
    EXPECT_EQ(font.mDraws[0].mClip, (Rect{0, 0, 0, 0}));
    EXPECT_EQ(font.mDraws[1].mClip, (Rect{0, 0, 0, 0}));
    EXPECT_EQ(lines[1].mText, "abc");
    EXPECT_EQ(lines[2].mText, "^FF0");
    EXPECT_EQ(lines[3].mText, "000^");
    EXPECT_EQ(lines[4].mText, "abc");
    EXPECT_EQ(font.mDraws[4].mClip, (Rect{0, 0, 400, 400}));
}

TEST(TextWithoutFont, MeasuresZeroAndDrawsNothing)
{
    Graphics g(nullptr);
    EXPECT_EQ(g.TextWidth("abc"), 0);
    g.DrawText("abc", 0, 0);
    EXPECT_EQ(g.DrawColorCodedString("ab^FF0000^cd", 0, 0, 100, 0, true, 0, -1, -1), 0);
    EXPECT_EQ(g.DrawWordWrapped("abc def", Rect{0, 0, 10, 0}, -1, 0), 0);
    EXPECT_EQ(g.MeasureWrappedText(10, "abc def", -1), 0);
}

TEST(TextWithoutDestination, MeasuresWithTheFont)
{
    FixedWidthFont font;
    Graphics g(nullptr);
    g.SetFont(&font);
    EXPECT_EQ(g.TextWidth("abcd"), 40);
    EXPECT_EQ(g.DrawWrappedLine("abcd", 1, 2, 0, 0, 0, -1, -1), 20);
    EXPECT_EQ(g.DrawWrappedLine("abcd", 1, 9, 0, 0, 0, -1, -1), 30);
    EXPECT_EQ(g.DrawWrappedLine("abcd", 4, 1, 0, 0, 0, -1, -1), -1);
}

} // namespace
} // namespace GraphicsTests
