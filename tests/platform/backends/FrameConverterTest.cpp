#include "platform/backends/FrameConverter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace Platform;

namespace {

// The widening the window has always shown: each channel as value * 255 /
// its maximum, opaque.
uint32_t Widened(const FrameFormat& format, uint32_t pixel)
{
    uint32_t word = 0xFF000000u;
    for (const auto& [mask, place] : {std::pair{format.red, 16}, {format.green, 8}, {format.blue, 0}}) {
        uint32_t offset = 0;
        while (!((mask >> offset) & 1))
            ++offset;
        const uint32_t maximum = mask >> offset;
        word |= ((pixel & mask) >> offset) * 255 / maximum << place;
    }
    return word;
}

// Rows of random pixels in a format, with a pitch wider than the row unless
// told otherwise.
struct RandomRows {
    RandomRows(const FrameFormat& format, int32_t width, int32_t height, uint32_t seed, int32_t padding = 5)
        : bytes(int32_t(format.bits / 8)), pitch(width * bytes + padding), data(size_t(pitch) * size_t(height))
    {
        std::mt19937 random(seed);
        for (uint8_t& byte : data)
            byte = uint8_t(random());
    }
    uint32_t Pixel(int32_t x, int32_t y) const
    {
        uint32_t pixel = 0;
        std::memcpy(&pixel, data.data() + size_t(y) * size_t(pitch) + size_t(x * bytes), size_t(bytes));
        return pixel;
    }

    int32_t bytes;
    int32_t pitch;
    std::vector<uint8_t> data;
};

TEST(FrameConverter, EveryFormatGivesThePerPixelWidening)
{
    const FrameFormat formats[] = {
        {16, 0xF800, 0x07E0, 0x001F, 0},       {16, 0x7C00, 0x03E0, 0x001F, 0},
        {16, 0x0F00, 0x00F0, 0x000F, 0},       {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
        {32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0}, {24, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    };
    // Lengths around the eight- and sixteen-pixel groups, so that every tail
    // shows; the format changes from row to row, as the kept converter must follow.
    for (int32_t width : {1, 7, 8, 9, 23, 31}) {
        for (const FrameFormat& format : formats) {
            const RandomRows rows(format, width, 1, uint32_t(width) * format.red);
            std::vector<uint32_t> out(static_cast<size_t>(width));
            FrameConverter::For(format).ConvertRow(rows.data.data(), out.data(), width);
            for (int32_t x = 0; x < width; ++x)
                ASSERT_EQ(out[size_t(x)], Widened(format, rows.Pixel(x, 0)))
                    << format.bits << " bits, red " << format.red << ", width " << width << ", x " << x;
        }
    }
}

TEST(FrameConverter, EveryFiveAndSixBitValueWidensExactly)
{
    const FrameFormat format{16, 0xF800, 0x07E0, 0x001F, 0};
    std::vector<uint16_t> all(65536);
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = uint16_t(i);
    std::vector<uint32_t> out(all.size());
    FrameConverter(format).ConvertRow(reinterpret_cast<const uint8_t*>(all.data()), out.data(), int32_t(all.size()));
    for (size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(out[i], Widened(format, uint32_t(i))) << i;
}

TEST(FrameConverter, ArgbWithItsAlphaIsCopiedAsItIs)
{
    FrameFormat argb;
    argb.alpha = 0xFF000000u;
    const uint32_t pixels[] = {0x12345678, 0x00ABCDEF, 7};
    uint32_t out[3] = {};
    FrameConverter(argb).ConvertRow(reinterpret_cast<const uint8_t*>(pixels), out, 3);
    EXPECT_EQ(std::vector<uint32_t>(out, out + 3), std::vector<uint32_t>(pixels, pixels + 3));
}

TEST(FrameConverter, OnlyChangedRowsAreConvertedIntoAPartOfTheFrame)
{
    const FrameFormat format{16, 0xF800, 0x07E0, 0x001F, 0};
    FrameRows changed;
    changed.Reset(10);
    changed.Clear();
    EXPECT_FALSE(changed.Any());
    changed.Mark(2, 4);
    changed.Mark(7, 8);
    changed.Mark(9, 40);
    std::vector<std::pair<int32_t, int32_t>> spans;
    changed.ForEachSpan([&](int32_t top, int32_t bottom) { spans.emplace_back(top, bottom); });
    EXPECT_EQ(spans, (std::vector<std::pair<int32_t, int32_t>>{{2, 4}, {7, 8}, {9, 10}}));

    // Rows with a gap after each, and rows that follow on (converted as runs).
    for (int32_t padding : {5, 0}) {
        const RandomRows source(format, 12, 10, 3, padding);
        ShownFrame frame{source.data.data(), 12, 10, source.pitch, format, &changed};
        // Room for rows 2 to 9 only, as a locked part of a texture gives.
        constexpr uint32_t kUntouched = 0xDEADBEEF;
        std::vector<uint32_t> dest(size_t(8) * 12, kUntouched);
        EXPECT_EQ(FrameConverter(format).ConvertChanged(frame, reinterpret_cast<uint8_t*>(dest.data()), 48, 2, false),
                  4);
        for (int32_t y = 2; y < 10; ++y) {
            const bool renewed = y == 2 || y == 3 || y == 7 || y == 9;
            for (int32_t x = 0; x < 12; ++x)
                EXPECT_EQ(dest[size_t(y - 2) * 12 + size_t(x)],
                          renewed ? Widened(format, source.Pixel(x, y)) : kUntouched)
                    << "padding " << padding << ", " << x << ", " << y;
        }
    }

    // Rows 6 to 9 of the record, seen as a frame of their own.
    FrameRows part;
    part.CopyFrom(changed, 6, 4);
    EXPECT_EQ(part.First(), 0);
    EXPECT_EQ(part.End(), 4);
    EXPECT_FALSE(part.Changed(0));
    EXPECT_TRUE(part.Changed(1));
    EXPECT_TRUE(part.Changed(3));
}

} // namespace
