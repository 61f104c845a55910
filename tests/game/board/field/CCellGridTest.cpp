#include "game/board/field/CCellGrid.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "framework/core/RuntimeRandom.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/support/GameFixture.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>

using BoardTest::ExpectGroupsAreRegions;
using BoardTest::Picture;
using BoardTest::PrepareField;
using BoardTest::SetCells;

namespace {

CGridParameters Rules(int32_t blockTypes, int32_t minGroups, int32_t maxGroups)
{
    CGridParameters p;
    p.mBlockTypes = blockTypes;
    p.mMinGroups = minGroups;
    p.mMaxGroups = maxGroups;
    p.mGenerationsPerTurn = 1;
    p.mMaxGroupSize = 10;
    return p;
}

struct ShapeCase {
    int32_t mW;
    int32_t mH;
};

class CCellGridTest : public GameTest::GameFixture {
protected:
    CGameField mField;
};

class CCellGridInvariantTest : public GameTest::GameFixture, public ::testing::WithParamInterface<ShapeCase> {};

} // namespace

// Seeded random fields through every operation that changes the labelling:
// a rebuild, a scan of the empty cells, and field steps of taken groups,
// shifted lines and coloured new blocks.
TEST_P(CCellGridInvariantTest, GroupsAreTheSameColourRegionsAfterEveryChange)
{
    const ShapeCase shape = GetParam();
    std::mt19937 random(uint32_t(shape.mW * 100 + shape.mH));
    for (int32_t seed = 0; seed < 60; ++seed) {
        CGameField field;
        CGridParameters p = Rules(2 + seed % 3, seed % 4, seed % 4 + seed % 5);
        p.mGenerationsPerTurn = 1 + seed % 3;
        p.mMaxGroupSize = 3 + seed % 6;
        p.mPreventAutoCombo = 1;
        p.mAntiCombo = seed % 2;
        p.mSwitchSide = seed % 7;
        PrepareField(field, p);
        Lumo::SRand(uint32_t(seed));
        CCellGrid& grid = field.Grid();
        grid.SetQueueDirection(seed % 4);

        std::vector<std::string> rows(size_t(shape.mH), std::string(size_t(shape.mW), '.'));
        for (std::string& row : rows)
            for (char& c : row)
                c = random() % 3 == 0 ? '.' : char('0' + random() % 5);
        SetCells(field, rows);
        const std::string context = "seed " + std::to_string(seed);
        ExpectGroupsAreRegions(grid, 4, context + " rebuild");
        grid.ScanEmptyCells();
        ExpectGroupsAreRegions(grid, 4, context + " scan");
        for (const std::string& row : Picture(grid))
            ASSERT_EQ(row.find('.'), std::string::npos) << row;

        for (int32_t step = 0; step < 4; ++step) {
            for (int32_t cell = 0; cell < grid.CellCount(); ++cell) {
                CellRecord& record = field.Record(cell);
                if (!record.mBlock) {
                    record.mBlock = field.AcquireBlock();
                    record.mBlock->mColumn = cell % shape.mW;
                    record.mBlock->mRow = cell / shape.mW;
                }
            }
            grid.CollectMatchedGroups();
            for (const GroupRecord& group : grid.MatchedGroupList())
                for (int32_t cell : group.mMembers)
                    grid.Cell(cell) &= ~CCellGrid::kOccupied;
            const int32_t landing = int32_t(random() % uint32_t(grid.CellCount()));
            field.SetExcludedCell(landing % shape.mW, landing / shape.mW);
            grid.UpdateQueue();
            std::vector<MoveRecord> moves;
            std::vector<CFieldBlock*> blocks;
            for (int32_t line = 0; line < grid.LineCount(); ++line)
                grid.ShiftQueue(line, &moves, &blocks);
            grid.MarkPlacedBlocks(blocks);
            ExpectGroupsAreRegions(grid, 4, context + " step " + std::to_string(step));
            for (const CFieldBlock* block : blocks)
                ASSERT_EQ(block->mColour, CCellGrid::ColourOf(grid.Cell(block->mColumn, block->mRow)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, CCellGridInvariantTest,
                         ::testing::Values(ShapeCase{5, 3}, ShapeCase{7, 5}, ShapeCase{8, 8}, ShapeCase{10, 10},
                                           ShapeCase{1, 6}, ShapeCase{6, 1}),
                         [](const auto& info) {
                             return std::to_string(info.param.mW) + "x" + std::to_string(info.param.mH);
                         });

TEST_F(CCellGridTest, CountsMatchedGroupsAndBlocksThroughMerges)
{
    struct Case {
        const char* mName;
        std::vector<std::string> mRows;
        int32_t mGroups;
        int32_t mBlocks;
        int32_t mGroupCount;
    };
    const Case cases[] = {
        // Two columns joined only by the last row.
        {"u shape", {"1.1", "1.1", "111"}, 1, 7, 1},
        // Both columns reach the match size before they merge.
        {"two matched groups merge", {"1.1", "1.1", "1.1", "111"}, 1, 9, 1},
        {"reserved colour counts blocks only", {"444", "010"}, 0, 3, 4},
        {"below the match size", {"11.", "..2"}, 0, 0, 2},
    };
    PrepareField(mField, Rules(4, 0, 4));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mName);
        SetCells(mField, c.mRows);
        EXPECT_EQ(mField.Grid().MatchedGroups(), c.mGroups);
        EXPECT_EQ(mField.Grid().MatchedBlocks(), c.mBlocks);
        int32_t groups = 0;
        for (int32_t id = 0; id < mField.Grid().GroupIdCounter(); ++id)
            groups += mField.Grid().Group(id).Count() > 0 ? 1 : 0;
        EXPECT_EQ(groups, c.mGroupCount);
    }
}

TEST_F(CCellGridTest, EvaluatesAnEmptyCellByTheRules)
{
    struct Case {
        const char* mName;
        std::vector<std::string> mRows;
        int32_t mMatch;
        CGridParameters mRules;
        int32_t mExpected;
    };
    CGridParameters grow = Rules(4, 1, 4);
    CGridParameters doubleCounted = Rules(3, 1, 4);
    doubleCounted.mMaxGroupSize = 5;
    const Case cases[] = {
        // Too few groups: the cell completes a group of m - 1 beside it.
        {"grows a group", {"00.", "121", "212"}, 3, grow, 0},
        // An L-shaped group touches the cell twice, so its total of 6 passes
        // the maximum group size and the rarest free colour is taken.
        {"counts a group twice", {"00", "0."}, 4, doubleCounted, 1},
        // Too many groups: the rarest colour no neighbour has.
        {"too many groups", {"000", "1.1", "111"}, 3, Rules(4, 0, 1), 2},
        {"every colour beside it", {"000", "1.2", "333"}, 3, Rules(4, 0, 0), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mName);
        CGameField field;
        PrepareField(field, c.mRules);
        field.Grid().SetMatchCount(c.mMatch);
        SetCells(field, c.mRows);
        const int32_t w = field.Width();
        int32_t cell = 0;
        while (CCellGrid::IsOccupied(field.Grid().Cell(cell)))
            ++cell;
        field.Grid().EvaluateEmptyCell(cell % w, cell / w);
        EXPECT_EQ(CCellGrid::ColourOf(field.Grid().Cell(cell)), c.mExpected);
        EXPECT_TRUE(CCellGrid::IsOccupied(field.Grid().Cell(cell)));
    }
}

TEST_F(CCellGridTest, ACellWithoutNeighboursTakesTheNextRandomColour)
{
    PrepareField(mField, Rules(4, 5, 9));
    SetCells(mField, {"...", "...", "..."});
    Lumo::SRand(77);
    const int32_t expected = Lumo::Rand() % 4;
    Lumo::SRand(77);
    mField.Grid().EvaluateEmptyCell(1, 1);
    EXPECT_EQ(CCellGrid::ColourOf(mField.Grid().Cell(1, 1)), expected);
    EXPECT_EQ(mField.Grid().ColourHistogram(expected), 9 * (expected == 0) + 1);
}

TEST_F(CCellGridTest, MajorColourModeSetsItsShareOfCells)
{
    CGridParameters rules = Rules(4, 1, 6);
    rules.mGenerationMode = 2;
    PrepareField(mField, rules);
    for (int32_t percent : {0, 100}) {
        SCOPED_TRACE(percent);
        rules.mMajorColourPercent = percent;
        ASSERT_TRUE(mField.Grid().SetParameters(rules));
        mField.Build(8, 8);
        mField.Grid().FillRandom();
        EXPECT_EQ(mField.Grid().ColourHistogram(3), percent == 100 ? 64 : 0);
        ExpectGroupsAreRegions(mField.Grid(), 4, "filled");
    }
    EXPECT_EQ(mField.StatusLine().rfind("groups=", 0), 0u);
}

TEST_F(CCellGridTest, CollectsAnAreaWithWholeMatchedGroups)
{
    PrepareField(mField, Rules(4, 0, 4));
    SetCells(mField, {"11100", "23232", "32323", "23232"});
    mField.Grid().CollectArea(2, 0, 3, 3);
    ASSERT_EQ(mField.Grid().AreaGroups().size(), 1u);
    EXPECT_EQ(mField.Grid().AreaGroups()[0].Count(), 3);
    const std::vector<std::pair<int32_t, int32_t>> expected = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {2, 1},
                                                                {3, 1}, {4, 1}, {2, 2}, {3, 2}, {4, 2}};
    EXPECT_EQ(mField.Grid().AreaCells(), expected);
    for (int32_t cell = 0; cell < mField.CellCount(); ++cell)
        EXPECT_EQ(mField.Grid().Cell(cell) & CCellGrid::kVisited, 0u);
}

TEST_F(CCellGridTest, AnEmptyCellInAnAreaStandsForItselfAlone)
{
    PrepareField(mField, Rules(4, 0, 4));
    // The empty cell's stale id bits name group 0, the matched row above it.
    SetCells(mField, {"222", ".13"});
    ASSERT_EQ(CCellGrid::GroupOf(mField.Grid().Cell(0, 1)), 0);
    mField.Grid().CollectArea(0, 1, 1, 1);
    EXPECT_TRUE(mField.Grid().AreaGroups().empty());
    EXPECT_EQ(mField.Grid().AreaCells(), (std::vector<std::pair<int32_t, int32_t>>{{0, 1}}));
}

TEST_F(CCellGridTest, RefusesRulesItCannotWorkWith)
{
    PrepareField(mField, Rules(3, 1, 4));
    CGridParameters majorOfOne = Rules(1, 0, 1);
    majorOfOne.mGenerationMode = 2;
    const CGridParameters refused[] = {Rules(0, 0, 1), Rules(6, 0, 1), majorOfOne, Rules(3, 4, 2)};
    for (const CGridParameters& rules : refused) {
        EXPECT_FALSE(mField.Grid().SetParameters(rules));
        EXPECT_EQ(mField.Grid().Parameters().mBlockTypes, 3);
        EXPECT_EQ(mField.Grid().Parameters().mMaxGroups, 4);
    }
}

// The group above the cell also lies to its right; the group to its left is
// merged in once, and the wrapping group's id is not released twice.
TEST_F(CCellGridTest, ACellJoiningThreeNeighboursMergesEachGroupOnce)
{
    CGridParameters rules = Rules(3, 1, 4);
    PrepareField(mField, rules);
    mField.Grid().SetMatchCount(4);
    SetCells(mField, {".11", "1.1", "..."});
    mField.Grid().EvaluateEmptyCell(1, 1);
    EXPECT_EQ(Picture(mField.Grid()), (std::vector<std::string>{".11", "111", "..."}));
    ExpectGroupsAreRegions(mField.Grid(), 4, "joined");
    EXPECT_EQ(mField.Grid().MatchedBlocks(), 5);
    EXPECT_EQ(LogText().find("released twice"), std::string::npos) << LogText();
}
