#include "tests/game/board/FieldPicture.h"

#include <gtest/gtest.h>

namespace BoardTest {

BlockShape SampleShape()
{
    BlockShape shape;
    shape.mWidth = 64;
    shape.mHeight = 40;
    shape.mSideHeight = 8;
    shape.mHIndent = 24;
    shape.mVIndent = 12;
    shape.mHSpacing = 2.0f;
    shape.mVSpacing = 2.0f;
    return shape;
}

void SetCells(CGameField& field, const std::vector<std::string>& rows)
{
    const int32_t h = int32_t(rows.size());
    const int32_t w = int32_t(rows.front().size());
    field.Build(w, h);
    CCellGrid& grid = field.Grid();
    for (int32_t row = 0; row < h; ++row)
        for (int32_t column = 0; column < w; ++column) {
            const char c = rows[size_t(row)][size_t(column)];
            const int32_t colour = c >= 'a' ? c - 'a' + 10 : c - '0';
            grid.Cell(row * w + column) =
                c == '.' ? 0u : (uint32_t(colour) << CCellGrid::kColourShift) | CCellGrid::kOccupied;
        }
    grid.Rebuild();
    grid.CountColours();
}

std::vector<std::string> Picture(const CCellGrid& grid)
{
    std::vector<std::string> rows;
    for (int32_t row = 0; row < grid.Height(); ++row) {
        std::string line;
        for (int32_t column = 0; column < grid.Width(); ++column) {
            const uint32_t word = grid.Cell(column, row);
            const int32_t colour = CCellGrid::ColourOf(word);
            line += !CCellGrid::IsOccupied(word) ? '.' : char(colour < 10 ? '0' + colour : 'a' + colour - 10);
        }
        rows.push_back(line);
    }
    return rows;
}

void PrepareField(CGameField& field, const CGridParameters& parameters)
{
    field.SetBlockShape(SampleShape());
    field.Grid().SetColourCount(5);
    field.SetReservedColour(4);
    field.Grid().SetMatchCount(3);
    ASSERT_TRUE(field.Grid().SetParameters(parameters));
}

} // namespace BoardTest
