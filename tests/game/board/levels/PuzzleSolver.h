#pragma once

#include "game/board/field/CGameField.h"
#include "game/board/field/CGridParameters.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace BoardTest {

// Plays a puzzle by the field's rules on a field of its own: a click sends the
// ball to a cell, the ball stays there and takes the group under it for as
// long as one of at least three forms, each take shifting the lines and
// letting grey in. Fields are pictures as SetCells reads them.
class PuzzleSolver {
public:
    static constexpr int32_t kGrey = 4;
    static constexpr int32_t kMatch = 3;

    // The rules of the sample puzzles, for PrepareField.
    static CGridParameters Rules();

    // The field is prepared for the rules (PrepareField) and serves the search.
    PuzzleSolver(CGameField& field, int32_t shift) : mField(field), mShift(shift) {}

    std::vector<std::string> Click(const std::vector<std::string>& rows, int32_t column, int32_t row);
    // The cells a click on which takes a group.
    std::vector<int32_t> Moves(const std::vector<std::string>& rows);
    // The fewest clicks that turn every block grey, or -1 when none do.
    int32_t FewestClicks(const std::vector<std::string>& rows);
    // The first click of a fewest-clicks solution, or -1 when there is none.
    int32_t FirstClick(const std::vector<std::string>& rows);

    static bool Matchable(const CCellGrid& grid, int32_t cell);

private:
    static bool AllGrey(const std::vector<std::string>& rows);

    CGameField& mField;
    int32_t mShift;
    std::map<std::vector<std::string>, int32_t> mFewest;
};

} // namespace BoardTest
