#include "game/board/field/CCellGrid.h"
#include "game/board/field/CGameField.h"
#include "game/data/NumberLists.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using BoardTest::Picture;
using BoardTest::PrepareField;
using BoardTest::SetCells;

namespace {

constexpr int32_t kGrey = 4;
constexpr int32_t kMatch = 3;

struct Puzzle {
    std::string mName;
    std::vector<std::string> mRows;
    int32_t mShift = 0;
    int32_t mBallColumn = 0;
    int32_t mBallRow = 0;
};

std::vector<int32_t> Numbers(const char* text)
{
    std::vector<int32_t> numbers;
    ParseIntList(text ? text : "", &numbers);
    return numbers;
}

// Every puzzle level of the sample content with its field as rows of colour digits.
std::vector<Puzzle> SamplePuzzles()
{
    const std::string folder = std::string(ZENTROVA_CONTENT_DIR) + "/res/";
    TiXmlDocument levels((folder + "levels.xml").c_str()), fields((folder + "fields.xml").c_str());
    EXPECT_TRUE(levels.LoadFile() && fields.LoadFile());
    std::map<std::string, std::vector<std::string>> shapes;
    for (const TiXmlElement* f = fields.RootElement()->FirstChildElement("field"); f; f = f->NextSiblingElement("field")) {
        const int32_t w = std::atoi(f->Attribute("w"));
        const std::vector<int32_t> colours = Numbers(f->GetText());
        std::vector<std::string> rows;
        for (size_t i = 0; i < colours.size(); ++i) {
            if (i % size_t(w) == 0)
                rows.emplace_back();
            rows.back() += char('0' + colours[i]);
        }
        shapes[f->Attribute("name")] = rows;
    }
    std::vector<Puzzle> puzzles;
    for (const TiXmlElement* l = levels.RootElement()->FirstChildElement("level"); l; l = l->NextSiblingElement("level")) {
        const char* generation = l->Attribute("do_generation");
        if (!generation || std::atoi(generation) != 1)
            continue;
        Puzzle puzzle;
        puzzle.mName = l->Attribute("name");
        puzzle.mRows = shapes[l->FirstChildElement("fieldcontent")->FirstChildElement("content")->Attribute("src")];
        const char* shift = l->Attribute("set_shiftside");
        puzzle.mShift = shift ? std::atoi(shift) : 0;
        EXPECT_EQ(std::atoi(l->Attribute("do_switchside")), 0) << "a puzzle keeps one shift direction";
        std::vector<int32_t> ball = Numbers(l->Attribute("ball_position"));
        ball.resize(2, 0); // the default place is cell (0, 0)
        puzzle.mBallColumn = ball[0];
        puzzle.mBallRow = ball[1];
        puzzles.push_back(puzzle);
    }
    return puzzles;
}

// Plays a puzzle by the field's rules: a click sends the ball to a cell, the
// ball stays there and takes the group under it for as long as one of at
// least three forms, each take shifting the lines and letting grey in.
class PuzzleSolver {
public:
    PuzzleSolver(CGameField& field, int32_t shift) : mField(field), mShift(shift) {}

    std::vector<std::string> Click(const std::vector<std::string>& rows, int32_t column, int32_t row)
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

    // The cells a click on which takes a group.
    std::vector<int32_t> Moves(const std::vector<std::string>& rows)
    {
        SetCells(mField, rows);
        std::vector<int32_t> cells;
        for (int32_t i = 0; i < mField.Grid().CellCount(); ++i)
            if (Matchable(mField.Grid(), i))
                cells.push_back(i);
        return cells;
    }

    // The fewest clicks that turn every block grey, or -1 when none do.
    int32_t FewestClicks(const std::vector<std::string>& rows)
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

    static bool Matchable(const CCellGrid& grid, int32_t cell)
    {
        const uint32_t word = grid.Cell(cell);
        return CCellGrid::IsOccupied(word) && CCellGrid::ColourOf(word) != kGrey &&
               grid.Group(CCellGrid::GroupOf(word)).Count() >= kMatch;
    }

private:
    static bool AllGrey(const std::vector<std::string>& rows)
    {
        for (const std::string& row : rows)
            if (row.find_first_not_of(char('0' + kGrey)) != std::string::npos)
                return false;
        return true;
    }

    CGameField& mField;
    int32_t mShift;
    std::map<std::vector<std::string>, int32_t> mFewest;
};

class SamplePuzzlesTest : public GameTest::GameFixture {
protected:
    CGameField mField;
};

} // namespace

// A puzzle that one click solves teaches nothing. Each sample puzzle needs
// at least four clicks, and a careless first click can leave it unsolvable
// (a state with no group left is a lost level); the ball starts on a cell
// that takes nothing, so the first take is the player's.
TEST_F(SamplePuzzlesTest, EachSamplePuzzleIsSolvableOnlyWithThought)
{
    CGridParameters rules;
    rules.mBlockTypes = 4;
    rules.mMaxGroups = 8;
    rules.mMinGroups = 1;
    rules.mGenerationsPerTurn = 1;
    rules.mMaxGroupSize = 64;
    rules.mGenerationMode = 1;
    PrepareField(mField, rules);
    const std::vector<Puzzle> puzzles = SamplePuzzles();
    ASSERT_GE(puzzles.size(), 3u);
    for (const Puzzle& puzzle : puzzles) {
        SCOPED_TRACE(puzzle.mName);
        ASSERT_EQ(puzzle.mRows.size(), 8u);
        PuzzleSolver solver(mField, puzzle.mShift);
        SetCells(mField, puzzle.mRows);
        EXPECT_FALSE(PuzzleSolver::Matchable(mField.Grid(), puzzle.mBallRow * 8 + puzzle.mBallColumn));
        EXPECT_GE(solver.FewestClicks(puzzle.mRows), 4);
        int32_t losing = 0;
        const std::vector<int32_t> first = solver.Moves(puzzle.mRows);
        for (int32_t cell : first)
            losing += solver.FewestClicks(solver.Click(puzzle.mRows, cell % 8, cell / 8)) < 0 ? 1 : 0;
        EXPECT_GT(losing, 0);
        EXPECT_LT(losing, int32_t(first.size()));
    }
}
