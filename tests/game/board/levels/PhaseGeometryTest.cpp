#include "game/board/levels/PhaseGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

TEST(PhaseGeometry, DiagonalsCoverTheFieldFromTheBottomRight)
{
    EXPECT_EQ(DiagonalCount(1, 1), 1);
    EXPECT_EQ(DiagonalCount(8, 8), 15);
    EXPECT_EQ(DiagonalCells(0, 1, 1), (std::vector<int32_t>{0}));
    // 4 x 3: the first starts at the bottom-right cell, the last at the top-left.
    EXPECT_EQ(DiagonalCells(0, 4, 3), (std::vector<int32_t>{11}));
    EXPECT_EQ(DiagonalCells(2, 4, 3), (std::vector<int32_t>{9, 6, 3}));
    EXPECT_EQ(DiagonalCells(4, 4, 3), (std::vector<int32_t>{4, 1}));
    EXPECT_EQ(DiagonalCells(5, 4, 3), (std::vector<int32_t>{0}));
    for (const auto& [w, h] : {std::pair{8, 8}, std::pair{5, 3}, std::pair{2, 7}}) {
        std::vector<int32_t> all;
        for (int32_t d = 0; d < DiagonalCount(w, h); ++d) {
            const std::vector<int32_t> cells = DiagonalCells(d, w, h);
            all.insert(all.end(), cells.begin(), cells.end());
        }
        std::sort(all.begin(), all.end());
        std::vector<int32_t> every(size_t(w * h));
        std::iota(every.begin(), every.end(), 0);
        EXPECT_EQ(all, every) << w << "x" << h;
    }
}

TEST(PhaseGeometry, TheExplosionSpiralTakesEveryCellOnceOnAnySize)
{
    const std::vector<int32_t> square = ExplosionSpiral(8, 8);
    ASSERT_EQ(square.size(), 64u);
    EXPECT_EQ(std::vector<int32_t>(square.begin(), square.begin() + 9),
              (std::vector<int32_t>{56, 57, 58, 59, 60, 61, 62, 63, 55}));
    EXPECT_EQ(square[14], 7);
    EXPECT_EQ(square[21], 0);
    EXPECT_EQ(square[28], 49);
    EXPECT_EQ(ExplosionSpiral(3, 2), (std::vector<int32_t>{3, 4, 5, 2, 1, 0}));
    EXPECT_EQ(ExplosionSpiral(3, 3), (std::vector<int32_t>{6, 7, 8, 5, 2, 1, 0, 3, 4}));
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{3, 7}, std::pair{1, 6}, std::pair{6, 1},
                               std::pair{10, 9}}) {
        std::vector<int32_t> cells = ExplosionSpiral(w, h);
        std::sort(cells.begin(), cells.end());
        std::vector<int32_t> every(size_t(w * h));
        std::iota(every.begin(), every.end(), 0);
        EXPECT_EQ(cells, every) << w << "x" << h;
    }
    EXPECT_TRUE(ExplosionSpiral(0, 4).empty());
}
