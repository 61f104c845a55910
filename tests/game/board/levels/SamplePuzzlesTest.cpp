#include "game/board/field/CCellGrid.h"
#include "game/board/field/CGameField.h"
#include "game/data/NumberLists.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/board/levels/PuzzleSolver.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using BoardTest::PrepareField;
using BoardTest::PuzzleSolver;
using BoardTest::SetCells;

namespace {

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
    PrepareField(mField, PuzzleSolver::Rules());
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
