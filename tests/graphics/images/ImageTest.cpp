#include "framework/graphics/images/Image.h"

#include <gtest/gtest.h>

#include <vector>

using Lumo::Color;
using Lumo::Image;
using Lumo::Rect;

namespace {

class FillRecorder : public Image {
public:
    void FillRect(const Rect& rect, const Color&, int) override { fills.push_back(rect); }
    std::vector<Rect> fills;
};

TEST(Image, OutlineIsFourFillsCoveringOneMoreEachWay)
{
    FillRecorder image;
    image.DrawRect(Rect{2, 3, 4, 5}, Color::White, 1);
    const std::vector<Rect> expected = {{2, 3, 5, 1}, {2, 8, 5, 1}, {2, 4, 1, 4}, {6, 4, 1, 4}};
    EXPECT_EQ(image.fills, expected);

    FillRecorder point;
    point.DrawRect(Rect{10, 10, 0, 0}, Color::White, 0);
    const std::vector<Rect> twice = {{10, 10, 1, 1}, {10, 10, 1, 1}, {10, 11, 1, -1}, {10, 11, 1, -1}};
    EXPECT_EQ(point.fills, twice);
}

TEST(Image, SpansAreOneRowFillsInOrder)
{
    FillRecorder image;
    const Lumo::Span spans[] = {{4, 1, 3}, {2, 7, 0}};
    image.FillSpans(spans, 2, Color::Black, 0);
    const std::vector<Rect> expected = {{1, 4, 3, 1}, {7, 2, 0, 1}};
    EXPECT_EQ(image.fills, expected);
}

TEST(Image, CopyTakesSizeCelsAndAnimationButNotNameOrDrawnFlag)
{
    Image original;
    original.mName = "picture.png";
    original.mDrawn = true;
    original.mWidth = 30;
    original.mHeight = 20;
    original.mNumRows = 2;
    original.mNumCols = 3;
    original.mAnimInfo = std::make_unique<Image::AnimInfo>();
    original.mAnimInfo->mFrameMap = {2, 1, 0};

    const Image copy(original);
    EXPECT_TRUE(copy.mName.empty());
    EXPECT_FALSE(copy.mDrawn);
    EXPECT_EQ(copy.GetWidth(), 30);
    EXPECT_EQ(copy.GetHeight(), 20);
    EXPECT_EQ(copy.mNumRows, 2);
    EXPECT_EQ(copy.mNumCols, 3);
    ASSERT_TRUE(copy.mAnimInfo);
    EXPECT_NE(copy.mAnimInfo.get(), original.mAnimInfo.get());
    EXPECT_EQ(copy.mAnimInfo->mFrameMap, original.mAnimInfo->mFrameMap);

    Image other;
    other.mWidth = 5;
    other.AssignFrom(original);
    EXPECT_EQ(other.GetWidth(), 5);
    EXPECT_EQ(other.mNumCols, 3);
    ASSERT_TRUE(other.mAnimInfo);
    other.AssignFrom(Image());
    EXPECT_FALSE(other.mAnimInfo);
    EXPECT_EQ(other.mNumRows, 1);
}

TEST(Image, BareImageIgnoresEveryDraw)
{
    Image target;
    Image source;
    source.mWidth = source.mHeight = 4;
    const Rect r{0, 0, 2, 2};
    const Lumo::Matrix3 identity;
    const int32_t points[6] = {0, 0, 3, 0, 0, 3};
    Lumo::Span span{0, 0, 2};
    const uint8_t coverage[2] = {255, 255};
    const Lumo::TriVertex triangle[1][3] = {};
    EXPECT_FALSE(target.PolyFill(points, 3, &r, Color::White, 0, 0, 0, 0));
    target.FillRect(r, Color::White, 0);
    target.DrawRect(r, Color::White, 0);
    target.ClearRect(r);
    target.DrawLine(0, 0, 3, 3, Color::White, 0);
    target.DrawLineAA(0, 0, 3, 3, Color::White, 0);
    target.FillSpans(&span, 1, Color::White, 0);
    target.FillSpansWithCoverage(&span, 1, Color::White, 0, coverage, 0, 0, 2, 0);
    target.Blit(&source, 0, 0, r, Color::White, 0);
    target.BlitFloat(&source, 0, 0, r, r, Color::White, 0);
    target.BlitRotated(&source, 0, 0, r, r, Color::White, 0, 1.0, 0, 0);
    target.BlitStretched(&source, r, r, r, Color::White, 0, true);
    target.BlitTransformed(&source, 0, 0, identity, r, Color::White, 0, r, true);
    target.BlitTriangles(&source, triangle, 1, r, Color::White, 0, 0, 0, false);
    target.BlitWithAlphaMask(&source, 0, 0, r, &source, r, Color::White, 0);
    target.BlitMirrored(&source, 0, 0, r, Color::White, 0);
    target.BlitStretchedMirrored(&source, r, r, r, Color::White, 0, false);
    EXPECT_EQ(target.GetWidth(), 0);
    EXPECT_FALSE(source.mDrawn);
}

TEST(Image, ContainsRectOnlyWhenWhollyInside)
{
    Image image;
    image.mWidth = 10;
    image.mHeight = 5;
    EXPECT_TRUE(image.ContainsRect(Rect{0, 0, 10, 5}));
    EXPECT_TRUE(image.ContainsRect(Rect{10, 5, 0, 0}));
    EXPECT_FALSE(image.ContainsRect(Rect{1, 0, 10, 5}));
    EXPECT_FALSE(image.ContainsRect(Rect{-1, 0, 2, 2}));
    EXPECT_FALSE(image.ContainsRect(Rect{0, 0, -1, 2}));
    EXPECT_FALSE(image.ContainsRect(Rect{2147483647, 0, 1, 1}));
}

} // namespace
