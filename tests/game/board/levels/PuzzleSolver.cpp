#include "tests/game/board/levels/PuzzleSolver.h"

#include "tests/game/board/field/FieldPicture.h"

namespace BoardTest {

CGridParameters PuzzleSolver::Rules()
{
    CGridParameters rules;
    rules.mBlockTypes = 4;
    rules.mMaxGroups = 8;
    rules.mMinGroups = 1;
    rules.mGenerationsPerTurn = 1;
    rules.mMaxGroupSize = 64;
    rules.mGenerationMode = 1;
    return rules;
}

std::vector<std::string> PuzzleSolver::Click(const std::vector<std::string>& rows, int32_t column, int32_t row)
{
    SetCells(mField, rows);
    CCellGrid& grid = mField.Grid();
    grid.SetQueueDirection(mShift);
    const int32_t cell = row * grid.Width() + column;
    while (Matchable(grid, cell)) {
        grid.ClearGroupCells(CCellGrid::GroupOf(grid.Cell(cell)));
        grid.SimulateShift();
        for (int32_t i = 0; i < grid.CellCount(); ++i)
            if (!CCellGrid::IsOccupied(grid.Cell(i)))
                grid.Cell(i) = CCellGrid::WithColour(grid.Cell(i), kGrey) | CCellGrid::kOccupied;
        grid.Rebuild();
        grid.CountColours();
    }
    return Picture(grid);
}

std::vector<int32_t> PuzzleSolver::Moves(const std::vector<std::string>& rows)
{
    SetCells(mField, rows);
    std::vector<int32_t> cells;
    for (int32_t i = 0; i < mField.Grid().CellCount(); ++i)
        if (Matchable(mField.Grid(), i))
            cells.push_back(i);
    return cells;
}

int32_t PuzzleSolver::FewestClicks(const std::vector<std::string>& rows)
{
    auto known = mFewest.find(rows);
    if (known != mFewest.end())
        return known->second;
    int32_t fewest = -1;
    if (AllGrey(rows)) {
        fewest = 0;
    } else {
        const int32_t w = int32_t(rows.front().size());
        for (int32_t cell : Moves(rows)) {
            const int32_t after = FewestClicks(Click(rows, cell % w, cell / w));
            if (after >= 0 && (fewest < 0 || after + 1 < fewest))
                fewest = after + 1;
        }
    }
    mFewest[rows] = fewest;
    return fewest;
}

int32_t PuzzleSolver::FirstClick(const std::vector<std::string>& rows)
{
    const int32_t fewest = FewestClicks(rows);
    if (fewest < 1)
        return -1;
    const int32_t w = int32_t(rows.front().size());
    for (int32_t cell : Moves(rows))
        if (FewestClicks(Click(rows, cell % w, cell / w)) == fewest - 1)
            return cell;
    return -1;
}

bool PuzzleSolver::Matchable(const CCellGrid& grid, int32_t cell)
{
    const uint32_t word = grid.Cell(cell);
    return CCellGrid::IsOccupied(word) && CCellGrid::ColourOf(word) != kGrey &&
           grid.Group(CCellGrid::GroupOf(word)).Count() >= kMatch;
}

bool PuzzleSolver::AllGrey(const std::vector<std::string>& rows)
{
    for (const std::string& row : rows)
        if (row.find_first_not_of(char('0' + kGrey)) != std::string::npos)
            return false;
    return true;
}

} // namespace BoardTest
