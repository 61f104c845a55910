#include "platform/backends/FrameConverter.h"
#include "platform/backends/FrameNarrower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Platform;

namespace {

const FrameFormat k565{16, 0xF800, 0x07E0, 0x001F, 0};

// Rows of 13 pixels go eight at a time and then one by one.
constexpr int32_t kWidth = 13;

// The channel of a 565 pixel as the window shows it.
int32_t Shown(uint16_t pixel, int32_t shift)
{
    uint32_t word = 0;
    FrameConverter::For(k565).ConvertRow(reinterpret_cast<const uint8_t*>(&pixel), &word, 1);
    return int32_t(word >> shift & 0xFF);
}

} // namespace

// What was widened from 565 comes back unchanged wherever it stands, so that
// the unblended parts of a scaled frame show as the window shows them.
TEST(FrameNarrower, AWidenedPixelComesBackAsItWas)
{
    std::vector<uint16_t> all(0x10000);
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = uint16_t(i);
    std::vector<uint32_t> widened(all.size());
    FrameConverter::For(k565).ConvertRow(reinterpret_cast<const uint8_t*>(all.data()), widened.data(),
                                         int32_t(all.size()));
    for (int32_t y = 0; y < 4; ++y) {
        std::vector<uint16_t> narrowed(all.size());
        for (size_t at = 0; at < all.size(); at += kWidth)
            FrameNarrower::NarrowRow(widened.data() + at, narrowed.data() + at,
                                     int32_t(std::min<size_t>(kWidth, all.size() - at)), y);
        for (size_t i = 0; i < all.size(); ++i)
            ASSERT_EQ(narrowed[i], all[i]) << "pixel " << i << " on row " << y;
    }
}

// A colour between two steps, as scaling blends them, keeps its level on
// average over the dither's four rows (truncating alone lost up to a whole
// step: 8 levels of red and blue, 4 of green).
TEST(FrameNarrower, AColourBetweenStepsKeepsItsMean)
{
    for (const auto& [shift, name] : {std::pair{16, "red"}, {8, "green"}, {0, "blue"}}) {
        double worst = 0;
        for (uint32_t level = 0; level < 256; ++level) {
            const std::vector<uint32_t> row(16, 0xFF000000u | level << shift);
            double sum = 0;
            for (int32_t y = 0; y < 4; ++y) {
                std::vector<uint16_t> narrowed(row.size());
                FrameNarrower::NarrowRow(row.data(), narrowed.data(), 4, y);
                FrameNarrower::NarrowRow(row.data() + 4, narrowed.data() + 4, kWidth - 4, y);
                for (int32_t x = 0; x < 4; ++x)
                    sum += Shown(narrowed[size_t(x)], shift) + Shown(narrowed[size_t(x + 8)], shift);
            }
            worst = std::max(worst, std::abs(sum / 32 - level));
        }
        EXPECT_LT(worst, 2.0) << name;
    }
}

// The wide path takes eight columns at a time and the tail the rest one by
// one; both dither each pixel by its place in the picture. Each pixel of a
// whole row, of levels that differ from column to column and channel to
// channel, is what it gives narrowed alone at its place, in a row too short
// for the wide path.
TEST(FrameNarrower, TheWidePathAndTheTailDitherAPixelAlike)
{
    for (int32_t y = 0; y < 4; ++y) {
        for (uint32_t level = 0; level < 256; ++level) {
            std::vector<uint32_t> row(kWidth);
            for (uint32_t x = 0; x < uint32_t(kWidth); ++x)
                row[x] = 0xFF000000u | (level + 17 * x) % 256 << 16 | (3 * level + 29 * x) % 256 << 8 |
                         (7 * level + 43 * x) % 256;
            std::vector<uint16_t> whole(kWidth);
            FrameNarrower::NarrowRow(row.data(), whole.data(), kWidth, y);
            for (size_t x = 0; x < row.size(); ++x) {
                uint32_t alone[4] = {};
                alone[x % 4] = row[x];
                uint16_t narrowed[4] = {};
                FrameNarrower::NarrowRow(alone, narrowed, 4, y);
                ASSERT_EQ(whole[x], narrowed[x % 4]) << "column " << x << " of row " << y << ", level " << level;
            }
        }
    }
}

// Blue has red's five bits, and so red's thresholds: a grey narrows to the
// same step of both at every place, on either path (on green's six-bit
// thresholds, blue falls a step off red at some places).
TEST(FrameNarrower, BlueIsDitheredAsRedIs)
{
    for (int32_t y = 0; y < 4; ++y) {
        for (uint32_t level = 0; level < 256; ++level) {
            const std::vector<uint32_t> grey(kWidth, 0xFF000000u | level * 0x010101u);
            std::vector<uint16_t> narrowed(kWidth);
            FrameNarrower::NarrowRow(grey.data(), narrowed.data(), kWidth, y);
            for (size_t x = 0; x < grey.size(); ++x)
                ASSERT_EQ(narrowed[x] & 0x1F, narrowed[x] >> 11) << "column " << x << " of row " << y << ", level "
                                                                  << level;
        }
    }
}
