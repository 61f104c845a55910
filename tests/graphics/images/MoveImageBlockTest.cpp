#include "framework/graphics/images/MoveImageBlock.h"

#include "framework/graphics/images/MemoryImage.h"
#include "tests/graphics/CaseName.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace GraphicsTests {
namespace {

using Lumo::MemoryImage;
using Lumo::MoveImageBlock;
using Lumo::Rect;

// Every pixel holds its own position: row * 100 + column + 1.
void FillNumbered(MemoryImage& image, int width, int height)
{
    image.SetSize(width, height);
    uint32_t* bits = image.GetPixelBits();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            bits[y * width + x] = uint32_t(y * 100 + x + 1);
    }
    image.MarkBitsChanged();
}

std::vector<uint32_t> Pixels(MemoryImage& image)
{
    const uint32_t* bits = image.GetPixelBits();
    return std::vector<uint32_t>(bits, bits + image.GetWidth() * image.GetHeight());
}

// What the move must give: the old source pixels over the destination.
std::vector<uint32_t> Expected(const std::vector<uint32_t>& before, int width, int newX, int newY, const Rect& src)
{
    std::vector<uint32_t> after = before;
    for (int y = 0; y < src.mHeight; ++y) {
        for (int x = 0; x < src.mWidth; ++x)
            after[(newY + y) * width + newX + x] = before[(src.mY + y) * width + src.mX + x];
    }
    return after;
}

TEST(MoveImageBlock, BlockMovedDownByThreeRows)
{
    MemoryImage image;
    FillNumbered(image, 10, 13);
    const std::vector<uint32_t> before = Pixels(image);
    MoveImageBlock(&image, 0, 3, Rect{0, 0, 10, 10});
    const std::vector<uint32_t> after = Pixels(image);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 10; ++x) {
            const uint32_t expected = y < 3 ? before[y * 10 + x] : before[(y - 3) * 10 + x];
            ASSERT_EQ(after[y * 10 + x], expected) << x << "," << y;
        }
    }
    EXPECT_EQ(image.bits[10 * 13], MemoryImage::kGuardWord);
}

struct MoveCase {
    const char* mName;
    int mNewX;
    int mNewY;
    Rect mSource;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.mName; }

class BlockMoves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(BlockMoves, DestinationHoldsTheOldSource)
{
    const MoveCase& c = GetParam();
    MemoryImage image;
    FillNumbered(image, 12, 9);
    const std::vector<uint32_t> before = Pixels(image);
    const int32_t changes = image.bitsChangeCount;
    image.mDrawn = false;
    MoveImageBlock(&image, c.mNewX, c.mNewY, c.mSource);
    EXPECT_EQ(Pixels(image), Expected(before, 12, c.mNewX, c.mNewY, c.mSource));
    EXPECT_TRUE(image.mDrawn);
    EXPECT_GT(image.bitsChangeCount, changes);
}

INSTANTIATE_TEST_SUITE_P(Overlaps, BlockMoves,
                         ::testing::Values(MoveCase{"Right", 2, 0, Rect{0, 0, 8, 9}},
                                           MoveCase{"Left", 0, 0, Rect{3, 0, 9, 9}},
                                           MoveCase{"DownRight", 1, 1, Rect{0, 0, 11, 8}},
                                           MoveCase{"UpLeft", 0, 0, Rect{2, 3, 10, 6}},
                                           MoveCase{"UpRight", 5, 0, Rect{0, 4, 7, 5}},
                                           MoveCase{"Apart", 8, 6, Rect{0, 0, 4, 3}},
                                           MoveCase{"NoColumns", 4, 4, Rect{5, 5, 0, 3}}),
                         CaseName());

TEST(MoveImageBlock, OntoItsOwnPlaceOrOutsideTheImageNothingChanges)
{
    MemoryImage image;
    FillNumbered(image, 8, 8);
    const std::vector<uint32_t> before = Pixels(image);
    const int32_t changes = image.bitsChangeCount;
    image.mDrawn = false;
    const MoveCase refused[] = {
        {"OwnPlace", 2, 3, Rect{2, 3, 4, 4}},           {"PastRight", 5, 0, Rect{0, 0, 4, 4}},
        {"PastBottom", 0, 6, Rect{0, 0, 4, 4}},         {"LeftOfTheImage", -1, 0, Rect{0, 0, 4, 4}},
        {"SourceOutside", 0, 0, Rect{-2, 0, 4, 4}},     {"SourcePastCorner", 0, 0, Rect{6, 6, 3, 1}},
        {"NegativeWidth", 0, 0, Rect{2, 2, -2, 3}},     {"Overflowing", 2147483647, 0, Rect{0, 0, 4, 4}},
    };
    for (const MoveCase& c : refused)
        MoveImageBlock(&image, c.mNewX, c.mNewY, c.mSource);
    EXPECT_EQ(Pixels(image), before);
    EXPECT_EQ(image.bitsChangeCount, changes);
    EXPECT_FALSE(image.mDrawn);
}

} // namespace
} // namespace GraphicsTests
