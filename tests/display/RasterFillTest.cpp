#include "tests/display/DisplayFixture.h"

#include <bit>
#include <set>
#include <utility>
#include <vector>

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

class RasterFill : public DisplayTest::DisplayFixture {
protected:
    std::set<std::pair<int, int>> Changed(Lumo::DDImage* image, uint32_t background)
    {
        std::set<std::pair<int, int>> changed;
        for (int y = 0; y < image->mHeight; ++y)
            for (int x = 0; x < image->mWidth; ++x)
                if (Pixel(image->mSurface, x, y) != background)
                    changed.insert({x, y});
        return changed;
    }
};

TEST_F(RasterFill, NormalFillPacksPerFormat)
{
    const struct {
        DesktopFormat desktop;
        uint32_t background;
        Color color;
        uint32_t expected;
    } cases[] = {
        {DisplayTest::kDesktop565, 0, Color(255, 255, 255), 0xFFFF},
        {DisplayTest::kDesktop555, 0, Color(255, 255, 255), 0x7FFF},
        {DisplayTest::kDesktop444, 0, Color(255, 255, 255), 0x0FFF},
        {DisplayTest::kDesktopRgb32, 0, Color(255, 255, 255), 0x00FEFEFE},
        {DisplayTest::kDesktop565, 0xFFFF, Color(255, 0, 0, 128), 0xF3EF},
        {DisplayTest::kDesktop555, 0x7FFF, Color(255, 0, 0, 128), 0x79EF},
        {DisplayTest::kDesktopRgb32, 0xFFFFFF, Color(255, 0, 0, 128), 0xFE7F7F},
        {DisplayTest::kDesktopBgr32, 0xFFFFFF, Color(0, 0, 255, 128), 0xFE7F7F},
    };
    for (const auto& each : cases) {
        ASSERT_EQ(Open(each.desktop), DDInterface::RESULT_OK);
        auto image = Destination(3, 3, each.background);
        image->FillRect(Rect{1, 1, 2, 1}, each.color, 0);
        EXPECT_EQ(Pixel(image->mSurface, 1, 1), each.expected);
        EXPECT_EQ(Pixel(image->mSurface, 2, 1), each.expected);
        EXPECT_EQ(Changed(image.get(), each.background).size(), 2u);
    }
}

// Over a row long enough for the four-pixel groups and a tail, each pixel
// takes the colour's share plus its own channels times (256 - alpha) / 256.
TEST_F(RasterFill, ATranslucentFillGivesEveryPixelOfALongRowThePerPixelRule)
{
    constexpr int kWidth = 23;
    for (const DesktopFormat& desktop : {DisplayTest::kDesktopRgb32, DisplayTest::kDesktopBgr32}) {
        ASSERT_EQ(Open(desktop), DDInterface::RESULT_OK);
        for (const uint32_t alpha : {1u, 128u, 254u}) {
            auto image = Destination(kWidth, 1, 0);
            std::vector<uint32_t> before(kWidth);
            for (int x = 0; x < kWidth; ++x) {
                before[size_t(x)] = x == 5 ? 0xFFFFFFu : (uint32_t(x) * 0x0B3D75u + 0x123456u) & 0xFFFFFFu;
                image->mSurface->SetPixelAt(x, 0, before[size_t(x)]);
            }
            image->FillRect(Rect{1, 0, kWidth - 2, 1}, Color(200, 40, 255, int(alpha)), 0);
            for (int x = 0; x < kWidth; ++x) {
                uint32_t expected = before[size_t(x)];
                if (x > 0 && x < kWidth - 1) {
                    expected = 0;
                    for (const auto& [mask, value] :
                         {std::pair{desktop.redMask, 200u}, {desktop.greenMask, 40u}, {desktop.blueMask, 255u}}) {
                        const int shift = std::countr_zero(mask);
                        const uint32_t own = (before[size_t(x)] & mask) >> shift;
                        expected += (((value * alpha + 127) >> 8) + ((own * (256 - alpha)) >> 8)) << shift;
                    }
                }
                EXPECT_EQ(Pixel(image->mSurface, x, 0), expected) << "alpha " << alpha << ", x " << x;
            }
        }
    }
}

TEST_F(RasterFill, AdditiveFillSaturates)
{
    for (const DesktopFormat& desktop : {DisplayTest::kDesktop565, DisplayTest::kDesktopRgb32}) {
        ASSERT_EQ(Open(desktop), DDInterface::RESULT_OK);
        const uint32_t white = desktop.redMask | desktop.greenMask | desktop.blueMask;
        auto image = Destination(2, 1, desktop.redMask);
        image->FillRect(Rect{0, 0, 1, 1}, Color(255, 255, 255, 255), 1);
        EXPECT_EQ(Pixel(image->mSurface, 0, 0), white);
        image->FillRect(Rect{0, 0, 1, 1}, Color(255, 255, 255, 255), 1);
        EXPECT_EQ(Pixel(image->mSurface, 0, 0), white);
        image->FillRect(Rect{1, 0, 1, 1}, Color(255, 255, 255, 0), 1);
        EXPECT_EQ(Pixel(image->mSurface, 1, 0), desktop.redMask);
    }
}

TEST_F(RasterFill, NoSoftwareDrawLeavesTheSurfaceAndAnOddDepthIsUntouched)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto image = Destination(2, 2, 0x123456);
    image->mNoSoftwareDraw = true;
    image->FillRect(Rect{0, 0, 2, 2}, Color(255, 255, 255), 0);
    image->DrawLine(0, 0, 1, 1, Color(255, 255, 255), 0);
    EXPECT_TRUE(Changed(image.get(), 0x123456).empty());
}

TEST_F(RasterFill, OnePixelLinesStepFromTheLowerMajorEnd)
{
    ASSERT_EQ(Open(DisplayTest::kDesktop565), DDInterface::RESULT_OK);
    const std::set<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1},
                                                    {6, 2}, {7, 2}, {8, 2}, {9, 3}, {10, 3}};
    for (bool reversed : {false, true}) {
        auto image = Destination(12, 5, 0);
        if (reversed)
            image->DrawLine(10, 3, 0, 0, Color(255, 255, 255), 0);
        else
            image->DrawLine(0, 0, 10, 3, Color(255, 255, 255), 0);
        EXPECT_EQ(Changed(image.get(), 0), expected);
        // Half a step short of the full channel: (30, 62, 30).
        EXPECT_EQ(Pixel(image->mSurface, 5, 1), 0xF7DEu);
    }
    auto steep = Destination(5, 12, 0);
    steep->DrawLine(3, 10, 0, 0, Color(255, 255, 255), 1);
    EXPECT_EQ(Changed(steep.get(), 0).size(), 11u);
    EXPECT_EQ(Pixel(steep->mSurface, 0, 0), 0xFFFFu);
}

TEST_F(RasterFill, StraightLinesBecomeFills)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto image = Destination(12, 3, 0);
    image->DrawLine(3.7, 1.0, 10.2, 1.0, Color(255, 255, 255), 0);
    std::set<std::pair<int, int>> row;
    for (int x = 3; x <= 10; ++x)
        row.insert({x, 1});
    EXPECT_EQ(Changed(image.get(), 0), row);
    auto point = Destination(3, 3, 0);
    point->DrawLineAA(1, 1, 1, 1, Color(255, 255, 255), 0);
    EXPECT_EQ(Changed(point.get(), 0), (std::set<std::pair<int, int>>{{1, 1}}));
}

TEST_F(RasterFill, AntialiasedLineWeightsAndBounds)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto image = Destination(8, 8, 0);
    image->DrawLineAA(0, 0, 6, 3, Color(255, 255, 255), 0);
    // A start on whole coordinates has the full weight: (0xFE * 255) >> 8.
    EXPECT_EQ(Pixel(image->mSurface, 0, 0), 0x00FDFDFDu);
    // The end takes 255 - f of the last accumulator: half a step here.
    EXPECT_EQ(Pixel(image->mSurface, 6, 3) >> 16, (0xFEu * 127) >> 8);

    auto additive = Destination(8, 8, 0);
    additive->DrawLineAA(0, 0, 6, 3, Color(255, 255, 255), 1);
    EXPECT_TRUE(Changed(additive.get(), 0).empty());

    // Both ends in one pixel, with no horizontal extent: at most that pixel.
    auto degenerate = Destination(4, 4, 0);
    degenerate->DrawLineAA(2.2, 2.1, 2.2, 2.9, Color(255, 255, 255), 0);
    degenerate->DrawLineAA(1.1, 1.2, 1.8, 1.9, Color(255, 255, 255), 0);
    EXPECT_LE(Changed(degenerate.get(), 0).size(), 2u);
    for (const auto& [x, y] : Changed(degenerate.get(), 0))
        EXPECT_TRUE((x == 2 && y == 2) || (x == 1 && y == 1));

    // A steep line on a one-pixel-wide surface keeps its neighbours inside.
    auto narrow = Destination(1, 6, 0);
    narrow->DrawLineAA(0.5, 0, 0.9, 5.5, Color(255, 255, 255), 0);
    EXPECT_FALSE(Changed(narrow.get(), 0).empty());
}

TEST_F(RasterFill, AntialiasedBlendOn16BitFormats)
{
    for (const DesktopFormat& desktop : {DisplayTest::kDesktop565, DisplayTest::kDesktop444}) {
        ASSERT_EQ(Open(desktop), DDInterface::RESULT_OK);
        auto image = Destination(8, 8, 0);
        image->DrawLineAA(0, 0, 6, 3, Color(255, 255, 255), 0);
        // Weight 255 of the packed white, one step below the full channel.
        const uint32_t start = Pixel(image->mSurface, 0, 0);
        EXPECT_NE(start, 0u);
        EXPECT_LT(start & desktop.redMask, desktop.redMask);
    }
}

} // namespace
