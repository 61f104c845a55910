#include "game/board/field/CCellGrid.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "framework/core/RuntimeRandom.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/support/GameFixture.h"

using BoardTest::Picture;
using BoardTest::PrepareField;
using BoardTest::SetCells;

void PrintTo(const MoveRecord& r, std::ostream* out)
{
    *out << "{" << r.mA << "," << r.mB << "," << r.mC << "," << r.mD << "," << r.mE << "," << r.mF << "}";
}

namespace {

CGridParameters Rules(int32_t switchSide, int32_t minGroups, int32_t maxGroups)
{
    CGridParameters p;
    p.mBlockTypes = 4;
    p.mMinGroups = minGroups;
    p.mMaxGroups = maxGroups;
    p.mSwitchSide = switchSide;
    return p;
}

class CCellGridShiftTest : public GameTest::GameFixture {
protected:
    CGameField mField;
};

} // namespace

// One line of five cells reading, from its entry side, block 1, empty,
// block 2, empty, empty, in each direction; a full and an empty line.
TEST_F(CCellGridShiftTest, PacksALineAtItsEndAndTakesBlocksForTheCellsLeft)
{
    struct Case {
        int32_t mDirection;
        std::vector<std::string> mBefore;
        std::vector<std::string> mAfter;
        std::vector<MoveRecord> mMoves;
        std::vector<std::pair<int32_t, int32_t>> mNewCells;
    };
    const Case cases[] = {
        {0, {".", ".", "2", ".", "1"}, {"2", "1", ".", ".", "."},
         {{0, 4, 1, 5, 0, -1}, {0, 2, 1, 4, 0, -2}, {-1, 3, 0, 5, 0, -1}}, {{0, 4}, {0, 3}, {0, 2}}},
        {1, {"..2.1"}, {"21..."}, {{4, 0, 5, 1, -1, 0}, {2, 0, 4, 1, -2, 0}, {-1, 3, 5, 0, -1, 0}},
         {{4, 0}, {3, 0}, {2, 0}}},
        {2, {"1", ".", "2", ".", "."}, {".", ".", ".", "1", "2"},
         {{0, 0, 1, 1, 0, 1}, {0, 1, 1, 3, 0, 2}, {-1, 3, 0, -1, 0, 1}}, {{0, 0}, {0, 1}, {0, 2}}},
        {3, {"1.2.."}, {"...12"}, {{0, 0, 1, 1, 1, 0}, {1, 0, 3, 1, 2, 0}, {-1, 3, -1, 0, 1, 0}},
         {{0, 0}, {1, 0}, {2, 0}}},
        {0, {"1", "2", "3"}, {"1", "2", "3"}, {}, {}},
        {3, {"..."}, {"..."}, {{-1, 3, -1, 0, 1, 0}}, {{0, 0}, {1, 0}, {2, 0}}},
    };
    PrepareField(mField, Rules(0, 0, 4));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mDirection);
        SetCells(mField, c.mBefore);
        mField.Grid().SetQueueDirection(c.mDirection);
        std::vector<MoveRecord> moves;
        std::vector<CFieldBlock*> blocks;
        mField.Grid().ShiftQueue(0, &moves, &blocks);
        EXPECT_EQ(Picture(mField.Grid()), c.mAfter);
        EXPECT_EQ(moves, c.mMoves);
        std::vector<std::pair<int32_t, int32_t>> cells;
        for (const CFieldBlock* block : blocks)
            cells.emplace_back(block->mColumn, block->mRow);
        EXPECT_EQ(cells, c.mNewCells);
    }
}

TEST_F(CCellGridShiftTest, SwitchSidesTurnTheDirection)
{
    struct Case {
        int32_t mSide;
        int32_t mFrom;
        int32_t mTo;
    };
    PrepareField(mField, Rules(0, 0, 4));
    SetCells(mField, {"01", "23"});
    for (const Case& c : {Case{0, 2, 2}, Case{2, 3, 0}, Case{2, 1, 2}, Case{3, 0, 3}, Case{3, 2, 1}}) {
        ASSERT_TRUE(mField.Grid().SetParameters(Rules(c.mSide, 0, 4)));
        mField.Grid().SetQueueDirection(c.mFrom);
        mField.Grid().UpdateQueue();
        EXPECT_EQ(mField.Grid().Direction(), c.mTo) << "side " << c.mSide << " from " << c.mFrom;
    }
    ASSERT_TRUE(mField.Grid().SetParameters(Rules(4, 0, 4)));
    Lumo::SRand(5);
    for (int32_t i = 0; i < 40; ++i) {
        const int32_t before = mField.Grid().Direction();
        mField.Grid().UpdateQueue();
        EXPECT_NE(mField.Grid().Direction(), before);
    }
}

// Only shifting up completes a group (row 1 becomes 1 1 1); shifting down
// leaves the landing cell empty. Minimum 0 and maximum 2 groups.
TEST_F(CCellGridShiftTest, ScoresEachDirectionBySimulatingIt)
{
    struct Case {
        const char* mName;
        int32_t mSide;
        int32_t mLandingRow;
        int32_t mExpected;
    };
    const Case cases[] = {
        // An empty landing cell earns 128, more than the 100 of a group.
        {"without favour", 5, 0, 2},
        // Favour gives 128 to every direction that leaves no group at the landing cell.
        {"with favour", 6, 0, 0},
        // Up puts the landing cell into the new group and loses the favour;
        // the other three tie and the lowest is kept.
        {"favour lost", 6, 1, 1},
    };
    const std::vector<std::string> field = {"0.0", "121", "212"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mName);
        PrepareField(mField, Rules(c.mSide, 0, 2));
        SetCells(mField, field);
        mField.SetExcludedCell(1, c.mLandingRow);
        mField.Grid().SetQueueDirection(3);
        mField.Grid().UpdateQueue();
        EXPECT_EQ(mField.Grid().Direction(), c.mExpected);
        EXPECT_EQ(Picture(mField.Grid()), field);
    }
}

TEST_F(CCellGridShiftTest, NoDirectionScoringAboveZeroLeavesUp)
{
    PrepareField(mField, Rules(5, 0, 0));
    SetCells(mField, {"000", "111", "222"});
    mField.SetExcludedCell(1, 1);
    mField.Grid().SetQueueDirection(2);
    mField.Grid().UpdateQueue();
    EXPECT_EQ(mField.Grid().Direction(), 0);
}
