#include "tests/display/DisplayFixture.h"

#include "framework/graphics/images/PixelKernels.h"

#include <cmath>
#include <random>

using namespace Platform;
using Lumo::Color;
using Lumo::DDInterface;
using Lumo::Rect;

namespace {

class RasterRotate : public DisplayTest::DisplayFixture {
protected:
    void ExpectGroupedRowsLikeThePixelByPixelRoute(const Platform::DesktopFormat& format, uint32_t limit);
};

// At angle 0 the filter's footprint drops the first and last columns and
// the last row, and an opaque pixel filters to alpha 254.
TEST_F(RasterRotate, AngleZeroCoversTheInnerPixelsAtAlpha254)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    auto dest = Destination(10, 8, 0x00FFFFFF);
    for (int x = 0; x < 10; ++x)
        dest->mSurface->SetPixelAt(x, 3, 0);
    Lumo::MemoryImage source(&mApp);
    source.SetBits(std::vector<uint32_t>(20, 0xFFFFFFFF).data(), 5, 4, true);
    dest->BlitRotated(&source, 2, 1, Rect{0, 0, 5, 4}, Rect{0, 0, 10, 8}, Color::White, 0, 0.0, 0, 0);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool drawn = x >= 3 && x <= 5 && y >= 1 && y <= 3;
            const uint32_t before = y == 3 ? 0 : 0x00FFFFFF;
            const uint32_t expected = !drawn ? before : y == 3 ? 0x00FDFDFD : 0x00FEFEFE;
            EXPECT_EQ(Pixel(dest->mSurface, x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(RasterRotate, Fast565WritesWhiteOverAnyPixel)
{
    ASSERT_EQ(Open(DisplayTest::kDesktop565), DDInterface::RESULT_OK);
    ASSERT_EQ(DDInterface::gChannelOrderFlag.load(), 1);
    auto dest = Destination(4, 3, 0x1234);
    Lumo::MemoryImage source(&mApp);
    source.SetBits(std::vector<uint32_t>(9, 0xFFFFFFFF).data(), 3, 3, true);
    dest->BlitRotated(&source, 0, 0, Rect{0, 0, 3, 3}, Rect{0, 0, 4, 3}, Color::White, 0, 0.0, 0, 0);
    EXPECT_EQ(Pixel(dest->mSurface, 1, 0), 0xFFFFu);
    EXPECT_EQ(Pixel(dest->mSurface, 1, 1), 0xFFFFu);
    EXPECT_EQ(Pixel(dest->mSurface, 0, 0), 0x1234u);
    EXPECT_EQ(Pixel(dest->mSurface, 2, 0), 0x1234u);
}

// A quarter and a half turn move a marked texel where the geometry says;
// the footprint rule keeps every read inside the source.
TEST_F(RasterRotate, QuarterAndHalfTurnsPlaceTheTexels)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    std::vector<uint32_t> pixels(36, 0xFF000000);
    pixels[1 * 6 + 1] = 0xFFFF0000;
    Lumo::MemoryImage source(&mApp);
    source.SetBits(pixels.data(), 6, 6, true);
    const double pi = std::acos(-1.0);
    const struct {
        double angle;
        int x;
        int y;
    } turns[] = {{pi / 2, 21, 25}, {pi, 25, 25}};
    for (const auto& turn : turns) {
        auto dest = Destination(40, 40, 0);
        // Centre (3, 3) lands at (23, 23); texel (1, 1) is at (-2, -2) from it.
        dest->BlitRotated(&source, 20, 20, Rect{0, 0, 6, 6}, Rect{0, 0, 40, 40}, Color::White, 0, turn.angle, 3, 3);
        uint32_t brightest = 0;
        int bx = -1, by = -1;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (((Pixel(dest->mSurface, x, y) >> 16) & 0xFF) > brightest) {
                    brightest = (Pixel(dest->mSurface, x, y) >> 16) & 0xFF;
                    bx = x;
                    by = y;
                }
        EXPECT_GT(brightest, 200u) << turn.angle;
        EXPECT_NEAR(bx, turn.x, 1) << turn.angle;
        EXPECT_NEAR(by, turn.y, 1) << turn.angle;
    }
}

TEST_F(RasterRotate, TintAdditiveAndThinSources)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    Lumo::MemoryImage source(&mApp);
    source.SetBits(std::vector<uint32_t>(9, 0xFFFFFFFF).data(), 3, 3, true);
    const Rect clip{0, 0, 4, 3};

    auto tinted = Destination(4, 3, 0xAB102030);
    tinted->BlitRotated(&source, 0, 0, Rect{0, 0, 3, 3}, clip, Color(255, 255, 255, 0), 0, 0.0, 0, 0);
    EXPECT_EQ(Pixel(tinted->mSurface, 1, 0), 0x00102030u);

    auto added = Destination(4, 3, 0x00FFFFFF);
    added->BlitRotated(&source, 0, 0, Rect{0, 0, 3, 3}, clip, Color::White, 5, 0.0, 0, 0);
    EXPECT_EQ(Pixel(added->mSurface, 1, 0), 0x00FFFFFFu);

    auto faded = Destination(4, 3, 0x00405060);
    faded->BlitRotated(&source, 0, 0, Rect{0, 0, 3, 3}, clip, Color(255, 255, 255, 0), 1, 0.0, 0, 0);
    EXPECT_EQ(Pixel(faded->mSurface, 1, 0), 0x00405060u);

    auto thin = Destination(4, 3, 0x00010203);
    thin->BlitRotated(&source, 0, 0, Rect{0, 0, 1, 3}, clip, Color::White, 0, 0.0, 0, 0);
    thin->BlitRotated(&source, 0, 0, Rect{0, 0, 3, 1}, clip, Color::White, 0, 0.0, 0, 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(Pixel(thin->mSurface, x, 0), 0x00010203u);
}

// Rows are drawn four pixels at a time where the processor allows; drawn
// pixel by pixel they must come out the same, whatever the turn, the part
// of the source, the clip and the surface's pixels (raw values below limit).
void RasterRotate::ExpectGroupedRowsLikeThePixelByPixelRoute(const Platform::DesktopFormat& format, uint32_t limit)
{
    using Lumo::PixelKernels;
    ASSERT_EQ(Open(format), DDInterface::RESULT_OK);
    ASSERT_EQ(DDInterface::gChannelOrderFlag.load(), 1);
    std::mt19937 random(3);
    std::vector<uint32_t> pixels(23 * 17);
    for (uint32_t& pixel : pixels) {
        const uint32_t kind = random() % 100;
        const uint32_t alpha = kind < 50 ? 255 : kind < 65 ? 0 : random() % 256;
        pixel = alpha << 24 | (random() & 0xFFFFFF);
    }
    Lumo::MemoryImage source(&mApp);
    source.SetBits(pixels.data(), 23, 17, true);
    std::vector<uint32_t> ground(40 * 36);
    for (uint32_t& pixel : ground)
        pixel = random() % limit;
    const struct {
        double angle;
        Rect from;
        Rect clip;
        float x;
        float y;
    } cases[] = {
        {0.3, {0, 0, 23, 17}, {0, 0, 40, 36}, 3.5f, 4.25f},
        {-1.1, {2, 1, 19, 15}, {0, 0, 40, 36}, 9.0f, 6.75f},
        {2.5, {0, 0, 23, 17}, {5, 3, 17, 20}, 8.0f, 10.0f},
        {0.0, {0, 0, 23, 17}, {1, 0, 39, 36}, 6.0f, 2.0f},
        {std::acos(-1.0), {3, 2, 9, 13}, {0, 0, 40, 36}, 14.25f, 11.5f},
    };
    auto draw = [&](PixelKernels::Width width, double angle, const Rect& from, const Rect& clip, float x, float y) {
        const PixelKernels::Width widest = PixelKernels::CurrentWidth();
        PixelKernels::SetWidth(width);
        auto dest = Destination(40, 36, 0);
        for (int row = 0; row < 36; ++row)
            for (int column = 0; column < 40; ++column)
                dest->mSurface->SetPixelAt(column, row, ground[size_t(row * 40 + column)]);
        dest->BlitRotated(&source, x, y, from, clip, Color::White, 0, angle, float(from.mWidth) / 2,
                          float(from.mHeight) / 2);
        PixelKernels::SetWidth(widest);
        std::vector<uint32_t> out;
        for (int row = 0; row < 36; ++row)
            for (int column = 0; column < 40; ++column)
                out.push_back(Pixel(dest->mSurface, column, row));
        return out;
    };
    for (const auto& c : cases) {
        const std::vector<uint32_t> grouped = draw(PixelKernels::CurrentWidth(), c.angle, c.from, c.clip, c.x, c.y);
        EXPECT_EQ(grouped, draw(PixelKernels::Width::Pixel, c.angle, c.from, c.clip, c.x, c.y)) << c.angle;
        EXPECT_NE(grouped, ground) << c.angle;
    }
}

TEST_F(RasterRotate, GroupedRowsMatchThePixelByPixelRouteOn32Bits)
{
    ExpectGroupedRowsLikeThePixelByPixelRoute(DisplayTest::kDesktopRgb32, 0x1000000);
}

TEST_F(RasterRotate, GroupedRowsMatchThePixelByPixelRouteOn565)
{
    ExpectGroupedRowsLikeThePixelByPixelRoute(DisplayTest::kDesktop565, 0x10000);
}

TEST_F(RasterRotate, DestinationWithAlphaDrawsInMemoryWithoutLocking)
{
    ASSERT_EQ(Open(DisplayTest::kDesktopRgb32), DDInterface::RESULT_OK);
    std::vector<uint32_t> pixels(16, 0xFF000000);
    pixels[0] = 0x00000000;
    auto dest = MakeImage(4, 4, pixels);
    Lumo::MemoryImage source(&mApp);
    source.SetBits(std::vector<uint32_t>(4, 0xFFFFFFFF).data(), 2, 2, true);
    dest->BlitRotated(&source, 1, 1, Rect{0, 0, 2, 2}, Rect{0, 0, 4, 4}, Color::White, 0, 0.0, 0, 0);
    EXPECT_EQ(dest->mSurface, nullptr);
    EXPECT_EQ(dest->GetPixelBits()[0], 0u);
    EXPECT_NE(dest->GetPixelBits()[5], 0xFF000000u);
}

} // namespace
