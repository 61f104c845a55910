#include "platform/backends/FrameScaler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace Platform;

namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kTeal = 0xFF80FF40;

struct Picture {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels;
};

Picture Scaled(FrameScaler& scaler, const Picture& source, int32_t width, int32_t height)
{
    Picture scaled{width, height, std::vector<uint32_t>(size_t(width) * size_t(height), 0)};
    scaler.Resize(source.width, source.height, width, height);
    scaler.ScaleRows(source.pixels.data(), source.width, 0, height, reinterpret_cast<uint8_t*>(scaled.pixels.data()),
                     width * 4);
    return scaled;
}

} // namespace

// Centres fall on centres, the neighbours weigh in by a quarter and three
// quarters (rounded per byte), and the edges hold; across and down alike.
TEST(FrameScaler, NeighboursBlendByTheirDistance)
{
    const uint32_t quarter = 0xFF204010, half = 0xFF408020, threeQuarters = 0xFF60BF30;
    struct Case {
        Picture source;
        int32_t width, height;
        std::vector<uint32_t> expected;
    } cases[] = {
        {{2, 1, {kBlack, kTeal}}, 4, 1, {kBlack, quarter, threeQuarters, kTeal}},
        {{4, 2, {kBlack, kBlack, kBlack, kBlack, kTeal, kTeal, kTeal, kTeal}},
         4,
         4,
         {kBlack, kBlack, kBlack, kBlack, quarter, quarter, quarter, quarter, threeQuarters, threeQuarters,
          threeQuarters, threeQuarters, kTeal, kTeal, kTeal, kTeal}},
        {{2, 2, {kBlack, kTeal, kTeal, kBlack}},
         3,
         4,
         {kBlack, half, kTeal, quarter, half, threeQuarters, threeQuarters, half, quarter, kTeal, half, kBlack}},
        {{1, 1, {kTeal}}, 3, 2, std::vector<uint32_t>(6, kTeal)},
        {{3, 1, {0xFF0000FF, 0xFFFFFFFF, 0xFF00FF00}}, 2, 1, {0xFF4040FF, 0xFF40FF40}},
    };
    FrameScaler scaler;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source.width << " x " << c.source.height << " to " << c.width << " x "
                                        << c.height);
        EXPECT_EQ(Scaled(scaler, c.source, c.width, c.height).pixels, c.expected);
    }
}

// Scaling again only the rows that read the changed ones gives the picture
// that scaling it all would, at the full-screen factors.
TEST(FrameScaler, TheRowsReadingAChangeAreAllThatChange)
{
    std::mt19937 random(7);
    Picture source{40, 30, std::vector<uint32_t>(40 * 30)};
    for (uint32_t& pixel : source.pixels)
        pixel = random() | 0xFF000000u;
    for (const auto& [width, height] : {std::pair{64, 48}, {51, 38}, {40, 30}, {30, 20}}) {
        for (const auto& [top, bottom] : {std::pair{0, 1}, {5, 6}, {12, 20}, {29, 30}, {0, 30}}) {
            SCOPED_TRACE(testing::Message() << width << " x " << height << ", rows " << top << " to " << bottom);
            FrameScaler scaler;
            Picture changed = source;
            Picture kept = Scaled(scaler, source, width, height);
            for (int32_t y = top; y < bottom; ++y) {
                for (int32_t x = 0; x < source.width; ++x)
                    changed.pixels[size_t(y * source.width + x)] ^= 0x00A5C3E1u;
            }
            const int32_t first = scaler.FirstRowReading(top), end = scaler.EndRowReading(bottom);
            ASSERT_LE(first, end);
            scaler.ScaleRows(changed.pixels.data(), source.width, first, end,
                             reinterpret_cast<uint8_t*>(kept.pixels.data() + first * width), width * 4);
            FrameScaler whole;
            EXPECT_EQ(kept.pixels, Scaled(whole, changed, width, height).pixels);
        }
    }
}
