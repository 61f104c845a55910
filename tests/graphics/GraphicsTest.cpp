#include "framework/graphics/Graphics.h"

#include "framework/graphics/images/MemoryImage.h"
#include "tests/graphics/CaseName.h"
#include "tests/graphics/FixedWidthFont.h"
#include "tests/graphics/MockImage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace GraphicsTests {
namespace {

using Lumo::Color;
using Lumo::Graphics;
using Lumo::Rect;
using ::testing::_;
using ::testing::Eq;
using ::testing::InSequence;
using ::testing::StrictMock;

const Color kRed{255, 0, 0, 255};

TEST(GraphicsState, ContextStartsWithTheDefaults)
{
    MockImage dest(40, 30);
    Graphics g(&dest);
    EXPECT_EQ(g.mDestImage, &dest);
    EXPECT_EQ(g.mClipRect, (Rect{0, 0, 40, 30}));
    EXPECT_EQ(g.GetColor(), (Color{0, 0, 0, 255}));
    EXPECT_EQ(g.GetFont(), nullptr);
    EXPECT_EQ(g.GetDrawMode(), 0);
    EXPECT_FALSE(g.GetTintImages());
    EXPECT_FALSE(g.mQuickStretch);
    EXPECT_TRUE(g.mColorCodes);
    EXPECT_EQ(g.mScaleX, 1.0f);
    EXPECT_EQ(g.mTransX, 0.0f);
}

TEST(GraphicsState, PopRestoresWhatPushSavedAndIgnoresAnEmptyStack)
{
    MockImage dest(100, 100);
    FixedWidthFont font;
    Graphics g(&dest);
    g.PopState();
    EXPECT_EQ(g.mClipRect, (Rect{0, 0, 100, 100}));

    g.PushState();
    g.SetColor(kRed);
    g.SetFont(&font);
    g.SetDrawMode(1);
    g.SetTintImages(true);
    g.Translate(5, 6);
    g.SetClipRect(0, 0, 10, 10);
    g.PushState();
    g.Translate(1, 1);
    g.PopState();
    EXPECT_EQ(g.mTransX, 5.0f);
    EXPECT_EQ(g.mClipRect, (Rect{5, 6, 10, 10}));

    g.PopState();
    EXPECT_EQ(g.GetColor(), (Color{0, 0, 0, 255}));
    EXPECT_EQ(g.GetFont(), nullptr);
    EXPECT_EQ(g.GetDrawMode(), 0);
    EXPECT_FALSE(g.GetTintImages());
    EXPECT_EQ(g.mTransX, 0.0f);
    EXPECT_EQ(g.mTransY, 0.0f);
    EXPECT_EQ(g.mClipRect, (Rect{0, 0, 100, 100}));
}

TEST(GraphicsState, CopyTakesTheStateButNotTheStack)
{
    MockImage dest(100, 100);
    Graphics g(&dest);
    g.SetColor(kRed);
    g.PushState();
    g.Translate(3, 4);

    std::unique_ptr<Graphics> copy(g.CreateCopy());
    EXPECT_EQ(copy->mTransX, 3.0f);
    EXPECT_EQ(copy->GetColor(), kRed);
    copy->PopState();
    EXPECT_EQ(copy->mTransX, 3.0f);
    g.PopState();
    EXPECT_EQ(g.mTransX, 0.0f);
}

TEST(GraphicsClip, SetClipIsTranslatedAndCutToTheDestination)
{
    MockImage dest(100, 80);
    Graphics g(&dest);
    g.Translate(10, 20);
    g.SetClipRect(-20, 0, 50, 100);
    EXPECT_EQ(g.mClipRect, (Rect{0, 20, 40, 60}));
    // Setting replaces the clip; narrowing cuts the current one.
    g.SetClipRectR(Rect{0, 0, 30, 30});
    EXPECT_EQ(g.mClipRect, (Rect{10, 20, 30, 30}));
    g.NarrowClipRect(20, 10, 100, 100);
    EXPECT_EQ(g.mClipRect, (Rect{30, 30, 10, 20}));
    g.ResetClip();
    EXPECT_EQ(g.mClipRect, (Rect{0, 0, 100, 80}));
}

TEST(GraphicsClip, ContextWithoutDestinationHasAnEmptyClip)
{
    Graphics g(nullptr);
    EXPECT_EQ(g.mClipRect, (Rect{0, 0, 0, 0}));
    g.SetClipRect(0, 0, 10, 10);
    EXPECT_EQ(g.mClipRect, (Rect{0, 0, 0, 0}));
    EXPECT_EQ(g.mDestImage->GetWidth(), 0);
}

struct TranslationCase {
    const char* mName;
    float mTransX;
    int mX;
    Rect mFilled;
};

void PrintTo(const TranslationCase& c, std::ostream* os) { *os << c.mName; }

class GraphicsTranslation : public ::testing::TestWithParam<TranslationCase> {};

// Positions are truncated toward zero; the fill's width shows where it started
// once the destination has cut it.
TEST_P(GraphicsTranslation, FillStartsAtTheTruncatedSum)
{
    const TranslationCase& c = GetParam();
    StrictMock<MockImage> dest(100, 100);
    Graphics g(&dest);
    g.mTransX = c.mTransX;
    g.mTransY = 0.5f;
    EXPECT_CALL(dest, FillRect(Eq(c.mFilled), Eq(Color{0, 0, 0, 255}), 0));
    g.FillRect(c.mX, 0, 5, 5);
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphicsTranslation,
                         ::testing::Values(TranslationCase{"HalfRight", 0.5f, 0, Rect{0, 0, 5, 5}},
                                           TranslationCase{"HalfLeftStaysAtZero", -0.5f, 0, Rect{0, 0, 5, 5}},
                                           TranslationCase{"OneAndAHalfLeft", -1.5f, 0, Rect{0, 0, 4, 5}},
                                           TranslationCase{"HalfLeftOfTen", -0.5f, 10, Rect{9, 0, 5, 5}},
                                           TranslationCase{"FractionRightOfTen", 2.75f, 10, Rect{12, 0, 5, 5}}),
                         CaseName());

TEST(GraphicsFill, RectangleFormsFillTheTranslatedClippedRectangle)
{
    StrictMock<MockImage> dest(100, 100);
    Graphics g(&dest);
    g.Translate(10, 0);
    EXPECT_CALL(dest, FillRect(Eq(Rect{15, 5, 85, 10}), Eq(Color{0, 0, 0, 255}), 0)).Times(2);
    g.FillRectR(Rect{5, 5, 100, 10});
    g.FillRectRWrap(Rect{5, 5, 100, 10});
}

TEST(GraphicsFill, TransparentColourDrawsNothingAndClippedAwayStillCalls)
{
    StrictMock<MockImage> dest(100, 100);
    Graphics g(&dest);
    g.SetColor(Color{255, 0, 0, 0});
    g.FillRect(0, 0, 10, 10);
    g.DrawRect(0, 0, 10, 10);

    g.SetColor(kRed);
    g.SetDrawMode(1);
    EXPECT_CALL(dest, FillRect(Eq(Rect{0, 0, 0, 0}), Eq(kRed), 1));
    g.FillRect(200, 0, 10, 10);
}

TEST(GraphicsFill, ClearIgnoresTheColourAndIsClipped)
{
    StrictMock<MockImage> dest(100, 100);
    Graphics g(&dest);
    g.SetColor(Color{0, 0, 0, 0});
    g.SetClipRect(0, 0, 50, 50);
    EXPECT_CALL(dest, ClearRect(Eq(Rect{40, 45, 10, 5})));
    g.ClearRectArea(Rect{40, 45, 20, 20});
}

TEST(GraphicsRect, OutlineInsideTheClipIsOneImageCall)
{
    StrictMock<MockImage> dest(100, 100);
    Graphics g(&dest);
    g.SetColor(kRed);
    g.Translate(1, 1);
    EXPECT_CALL(dest, DrawRect(Eq(Rect{1, 1, 9, 9}), Eq(kRed), 0));
    g.DrawRect(0, 0, 9, 9);
}

TEST(GraphicsRect, OutlineCrossingTheClipIsFourClippedFills)
{
    StrictMock<MockImage> dest(100, 100);
    Graphics g(&dest);
    g.SetColor(kRed);
    g.SetClipRect(0, 0, 5, 100);
    InSequence order;
    EXPECT_CALL(dest, FillRect(Eq(Rect{0, 0, 5, 1}), _, 0));
    EXPECT_CALL(dest, FillRect(Eq(Rect{0, 9, 5, 1}), _, 0));
    EXPECT_CALL(dest, FillRect(Eq(Rect{0, 1, 1, 8}), _, 0));
    EXPECT_CALL(dest, FillRect(Eq(Rect{0, 0, 0, 0}), _, 0));
    g.DrawRect(0, 0, 9, 9);
}

// With a width of -1 the outline is empty, yet the image's outline reaches
// one column left of it: that column must still be clipped.
TEST(GraphicsRect, NegativeSizeNeverBypassesTheClip)
{
    StrictMock<MockImage> dest(100, 100);
    Graphics g(&dest);
    g.SetColor(kRed);
    g.SetClipRect(10, 0, 90, 100);
    InSequence order;
    EXPECT_CALL(dest, FillRect(Eq(Rect{10, 0, 0, 1}), _, 0));
    EXPECT_CALL(dest, FillRect(Eq(Rect{10, 5, 0, 1}), _, 0));
    EXPECT_CALL(dest, FillRect(Eq(Rect{10, 1, 1, 4}), _, 0));
    EXPECT_CALL(dest, FillRect(Eq(Rect{10, 1, 0, 4}), _, 0));
    g.DrawRect(10, 0, -1, 5);
}

TEST(GraphicsImage, ClipCutsTheSourceOfAPlainBlit)
{
    StrictMock<MockImage> dest(100, 100);
    SizedImage src(10, 10);
    Graphics g(&dest);
    EXPECT_CALL(dest, Blit(&src, 0, 0, Eq(Rect{3, 0, 7, 10}), Eq(Color::White), 0));
    g.DrawImage(&src, -3, 0);

    g.SetClipRect(0, 0, 95, 98);
    EXPECT_CALL(dest, Blit(&src, 90, 95, Eq(Rect{4, 3, 5, 3}), Eq(Color::White), 0));
    g.DrawImageSrcRect(&src, 90, 95, Rect{4, 3, 6, 7});

    g.DrawImage(&src, 95, 0);
    g.DrawImageSrcRect(&src, 0, 0, Rect{0, 0, 0, 5});
}

TEST(GraphicsImage, TintAndModeReachTheImage)
{
    StrictMock<MockImage> dest(100, 100);
    SizedImage src(10, 10);
    Graphics g(&dest);
    g.SetColor(kRed);
    g.SetDrawMode(1);
    EXPECT_CALL(dest, Blit(&src, 0, 0, _, Eq(Color::White), 1));
    g.DrawImage(&src, 0, 0);
    g.SetTintImages(true);
    EXPECT_CALL(dest, Blit(&src, 0, 0, _, Eq(kRed), 1));
    g.DrawImage(&src, 0, 0);
}

TEST(GraphicsImage, ScaledDrawStretchesAboutTheOrigin)
{
    StrictMock<MockImage> dest(300, 300);
    SizedImage src(10, 10);
    Graphics g(&dest);
    g.mScaleX = 2.0f;
    g.mScaleY = 2.0f;
    g.mScaleOrigX = 100.0f;
    g.mScaleOrigY = 100.0f;
    g.SetQuickStretch(true);
    EXPECT_CALL(dest, BlitStretched(&src, Eq(Rect{120, 100, 20, 20}), Eq(Rect{0, 0, 10, 10}), Eq(Rect{0, 0, 300, 300}),
                                    Eq(Color::White), 0, true));
    g.DrawImage(&src, 110, 100);

    // Sizes round up and the left edge rounds down, about the origin.
    g.mScaleX = 1.5f;
    g.mScaleY = 0.5f;
    g.SetQuickStretch(false);
    EXPECT_CALL(dest, BlitStretched(&src, Eq(Rect{92, 97, 5, 2}), Eq(Rect{1, 2, 3, 3}), _, _, 0, false));
    g.DrawImageSrcRect(&src, 95, 95, Rect{1, 2, 3, 3});
}

TEST(GraphicsImage, SizedAndStretchedDrawsIgnoreTheScale)
{
    StrictMock<MockImage> dest(100, 100);
    SizedImage src(10, 8);
    Graphics g(&dest);
    g.mScaleX = 3.0f;
    g.mTransX = 4.9f;
    g.mTransY = -0.9f;
    g.SetClipRect(0, 0, 50, 50);
    EXPECT_CALL(dest, BlitStretched(&src, Eq(Rect{4, 0, 30, 40}), Eq(Rect{0, 0, 10, 8}), Eq(Rect{4, 0, 50, 50}),
                                    Eq(Color::White), 0, false));
    g.DrawImageSized(&src, 30, 40);
    EXPECT_CALL(dest, BlitStretched(&src, Eq(Rect{6, 1, 7, 9}), Eq(Rect{2, 2, 3, 3}), _, _, 0, false));
    g.DrawImageStretched(&src, Rect{2, 2, 7, 9}, Rect{2, 2, 3, 3});
}

TEST(GraphicsImage, RotatedDrawsTakeTheCentreOfTheirSource)
{
    StrictMock<MockImage> dest(100, 100);
    SizedImage src(11, 9);
    Graphics g(&dest);
    g.mTransX = 1.5f;
    const Rect part{2, 1, 5, 7};
    EXPECT_CALL(dest, BlitRotated(&src, 4.5f, 4.0f, Eq(Rect{0, 0, 11, 9}), Eq(Rect{0, 0, 100, 100}), Eq(Color::White),
                                  0, 0.5, 5.0f, 4.0f));
    g.DrawImageRotated(&src, 3, 4, 0.5);
    EXPECT_CALL(dest, BlitRotated(&src, 4.5f, 4.0f, Eq(part), _, _, 0, 0.5, 2.0f, 3.0f));
    g.DrawImageRotated(&src, 3, 4, 0.5, &part);
    EXPECT_CALL(dest, BlitRotated(&src, 1.75f, 0.25f, Eq(part), _, _, 0, -1.0, 0.5f, 6.0f));
    g.DrawImageRotatedF(&src, 0.25f, 0.25f, 0.5f, 6.0f, &part, -1.0);
}

TEST(GraphicsImage, MaskedDrawIgnoresTheTranslation)
{
    StrictMock<MockImage> dest(100, 100);
    SizedImage src(10, 10);
    SizedImage mask(4, 4);
    Graphics g(&dest);
    g.Translate(5, 5);
    g.SetTintImages(true);
    g.SetColor(kRed);
    EXPECT_CALL(dest, BlitWithAlphaMask(&src, 5, 6, Eq(Rect{3, 3, 4, 4}), &mask, Eq(Rect{0, 0, 4, 4}), Eq(kRed), 0));
    g.DrawImageMasked(&src, 2, 3, Rect{0, 0, 10, 10}, &mask, 5, 6);

    // The mask sticks out of the drawn part on the left and top.
    EXPECT_CALL(dest, BlitWithAlphaMask(&src, 2, 3, Eq(Rect{1, 2, 2, 1}), &mask, Eq(Rect{2, 3, 2, 1}), Eq(kRed), 0));
    g.DrawImageMasked(&src, 2, 3, Rect{1, 2, 6, 6}, &mask, 0, 0);

    // No overlap with the mask.
    g.DrawImageMasked(&src, 2, 3, Rect{0, 0, 10, 10}, &mask, 50, 50);
}

struct BadSourceCase {
    const char* mName;
    Rect mSource;
};

void PrintTo(const BadSourceCase& c, std::ostream* os) { *os << c.mName; }

class GraphicsBadSource : public ::testing::TestWithParam<BadSourceCase> {};

// A source rectangle not wholly inside its image reaches no image operation.
TEST_P(GraphicsBadSource, DrawsNothingAtAnyEntry)
{
    const Rect bad = GetParam().mSource;
    StrictMock<MockImage> dest(100, 100);
    SizedImage src(10, 10);
    SizedImage mask(10, 10);
    Graphics g(&dest);
    g.DrawImageSrcRect(&src, 0, 0, bad);
    g.DrawImageStretched(&src, Rect{0, 0, 20, 20}, bad);
    g.DrawImageRotated(&src, 0, 0, 1.0, &bad);
    g.DrawImageRotatedAt(&src, 0, 0, 1.0, 2, 2, &bad);
    g.DrawImageRotatedF(&src, 0, 0, 2, 2, &bad, 1.0);
    g.DrawImageMasked(&src, 0, 0, bad, &mask, 0, 0);
    g.DrawNineCellImageFrom(&src, Rect{0, 0, 50, 50}, bad);
    g.mScaleX = 2.0f;
    g.DrawImageSrcRect(&src, 0, 0, bad);
}

INSTANTIATE_TEST_SUITE_P(Rects, GraphicsBadSource,
                         ::testing::Values(BadSourceCase{"PastRight", Rect{5, 0, 6, 10}},
                                           BadSourceCase{"PastBottom", Rect{0, 8, 5, 3}},
                                           BadSourceCase{"LeftOfTheImage", Rect{-1, 0, 5, 5}},
                                           BadSourceCase{"AboveTheImage", Rect{0, -2, 5, 5}},
                                           BadSourceCase{"NegativeWidth", Rect{2, 2, -1, 5}},
                                           BadSourceCase{"NegativeHeight", Rect{2, 2, 5, -3}},
                                           BadSourceCase{"RightEdgeOverflows", Rect{2147483647, 0, 2, 2}}),
                         CaseName());

TEST(GraphicsNineCell, EdgesAndCentreAreTiled)
{
    StrictMock<MockImage> dest(200, 200);
    SizedImage src(30, 30);
    Graphics g(&dest);
    const Rect topLeft{0, 0, 10, 10}, top{10, 0, 10, 10}, topRight{20, 0, 10, 10};
    const Rect left{0, 10, 10, 10}, centre{10, 10, 10, 10}, right{20, 10, 10, 10};
    const Rect bottomLeft{0, 20, 10, 10}, bottom{10, 20, 10, 10}, bottomRight{20, 20, 10, 10};
    EXPECT_CALL(dest, Blit(&src, 0, 0, Eq(topLeft), _, 0));
    EXPECT_CALL(dest, Blit(&src, 90, 0, Eq(topRight), _, 0));
    EXPECT_CALL(dest, Blit(&src, 0, 40, Eq(bottomLeft), _, 0));
    EXPECT_CALL(dest, Blit(&src, 90, 40, Eq(bottomRight), _, 0));
    EXPECT_CALL(dest, Blit(&src, _, 0, Eq(top), _, 0)).Times(8);
    EXPECT_CALL(dest, Blit(&src, _, 40, Eq(bottom), _, 0)).Times(8);
    EXPECT_CALL(dest, Blit(&src, 0, _, Eq(left), _, 0)).Times(3);
    EXPECT_CALL(dest, Blit(&src, 90, _, Eq(right), _, 0)).Times(3);
    EXPECT_CALL(dest, Blit(&src, _, _, Eq(centre), _, 0)).Times(24);
    g.DrawNineCellImage(&src, Rect{0, 0, 100, 50});
    EXPECT_EQ(g.mClipRect, (Rect{0, 0, 200, 200}));
}

TEST(GraphicsNineCell, LastTileIsCutByTheEdgeClip)
{
    StrictMock<MockImage> dest(200, 200);
    SizedImage src(30, 30);
    Graphics g(&dest);
    g.Translate(5, 5);
    // 75 pixels of edge: seven whole tiles and a last one cut to 5 columns.
    EXPECT_CALL(dest, Blit(&src, _, _, _, _, 0)).Times(::testing::AnyNumber());
    EXPECT_CALL(dest, Blit(&src, 85, 5, Eq(Rect{10, 0, 5, 10}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 85, 25, Eq(Rect{10, 20, 5, 10}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 90, 5, Eq(Rect{20, 0, 10, 10}), _, 0));
    g.DrawNineCellImage(&src, Rect{0, 0, 95, 30});
}

TEST(GraphicsNineCell, SmallDestinationDrawsOnlyOverlappingCorners)
{
    StrictMock<MockImage> dest(200, 200);
    SizedImage src(30, 30);
    Graphics g(&dest);
    EXPECT_CALL(dest, Blit(&src, 0, 0, Eq(Rect{0, 0, 10, 10}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 5, 0, Eq(Rect{20, 0, 10, 10}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 0, 5, Eq(Rect{0, 20, 10, 10}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 5, 5, Eq(Rect{20, 20, 10, 10}), _, 0));
    g.DrawNineCellImage(&src, Rect{0, 0, 15, 15});
}

TEST(GraphicsNineCell, SourcePartIsCutIntoThirds)
{
    StrictMock<MockImage> dest(200, 200);
    SizedImage src(40, 40);
    Graphics g(&dest);
    // A 7 x 8 part at (3, 2): corners 2 x 2, middles 3 x 4.
    EXPECT_CALL(dest, Blit(&src, 0, 0, Eq(Rect{3, 2, 2, 2}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 2, 0, Eq(Rect{5, 2, 3, 2}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 5, 0, Eq(Rect{8, 2, 2, 2}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 0, 2, Eq(Rect{3, 4, 2, 4}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 2, 2, Eq(Rect{5, 4, 3, 4}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 5, 2, Eq(Rect{8, 4, 2, 4}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 0, 6, Eq(Rect{3, 8, 2, 2}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 2, 6, Eq(Rect{5, 8, 3, 2}), _, 0));
    EXPECT_CALL(dest, Blit(&src, 5, 6, Eq(Rect{8, 8, 2, 2}), _, 0));
    g.DrawNineCellImageFrom(&src, Rect{0, 0, 7, 8}, Rect{3, 2, 7, 8});
}

// The whole road, onto real pixels: a 3 x 3 source (one pixel per cell)
// spread over 5 x 4 of an opaque destination, where opaque pixels are copied.
TEST(GraphicsNineCell, PixelsOfAMemoryImage)
{
    Lumo::MemoryImage src;
    src.SetSize(3, 3);
    uint32_t* bits = src.GetPixelBits();
    for (uint32_t i = 0; i < 9; ++i)
        bits[i] = 0xFF000000u + i + 1;
    src.MarkBitsChanged();
    Lumo::MemoryImage dest;
    const std::vector<uint32_t> black(20, 0xFF000000u);
    dest.SetBits(black.data(), 5, 4, false);
    dest.SetAlphaFlags(false, false);
    Graphics g(&dest);
    g.DrawNineCellImage(&src, Rect{0, 0, 5, 4});

    const uint32_t expected[4][5] = {{1, 2, 2, 2, 3}, {4, 5, 5, 5, 6}, {4, 5, 5, 5, 6}, {7, 8, 8, 8, 9}};
    const uint32_t* pixels = dest.GetPixelBits();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pixels[y * 5 + x], 0xFF000000u + expected[y][x]) << x << "," << y;
    }
}

} // namespace
} // namespace GraphicsTests
