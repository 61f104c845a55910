#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/support/GameFixture.h"

namespace {

class CCellRunsTest : public GameTest::GameFixture {
protected:
    CCellRunsTest() { mRuns.Init(); }
    CCellRuns mRuns;
};

} // namespace

TEST_F(CCellRunsTest, RecordsTheBlocksThatLeftALineAndTheColoursThatEntered)
{
    EXPECT_EQ(CCellRuns::Current(), &mRuns);
    EXPECT_FALSE(mRuns.Recording());
    CGameField field;
    field.SetBlockShape(BoardTest::SampleShape());
    // After a step up: column 1 took three new blocks at its bottom.
    BoardTest::SetCells(field, {"010", "323", "121", "230"});

    mRuns.PushRun(0);
    ASSERT_TRUE(mRuns.OpenLine(1));
    CFieldBlock left;
    for (int32_t row : {0, 2, 3}) {
        left.mColumn = 1;
        left.mRow = row;
        left.mColour = row;
        ASSERT_TRUE(mRuns.AddEntry(left));
    }
    ASSERT_TRUE(mRuns.RefreshFromField(field.Grid()));
    using Pair = CCellRuns::Pair;
    const std::vector<Pair> expected = {
        {3, 1}, {0u << 16 | 1, 3u << 16 | 0}, {2u << 16 | 1, 2u << 16 | 2}, {3u << 16 | 1, 2u << 16 | 3}};
    EXPECT_EQ(mRuns.Pairs(), expected);
    ASSERT_EQ(mRuns.Runs().size(), 1u);
    EXPECT_EQ(mRuns.Runs()[0].mHeaders, 1);

    // A step without empty lines still pushes a run; the next jump's move
    // popped keeps the first.
    mRuns.BeginMove();
    mRuns.PushRun(2);
    EXPECT_TRUE(mRuns.RefreshFromField(field.Grid()));
    EXPECT_TRUE(mRuns.PopMove());
    EXPECT_EQ(mRuns.Pairs(), expected);
    EXPECT_TRUE(mRuns.PopMove());
    EXPECT_TRUE(mRuns.Pairs().empty());
    EXPECT_TRUE(mRuns.Runs().empty());
}

// The steps from one jump's landing to the next are one move: the first
// steps of a level too, before any jump. A move is popped whole.
TEST_F(CCellRunsTest, APopTakesTheStepsOfTheLastMove)
{
    struct Case {
        const char* mWhat;
        std::vector<bool> mJumpBefore;
        std::vector<size_t> mLeftAfterPops;
    };
    const Case cases[] = {
        {"a step a jump", {true, true, true}, {2, 1, 0}},
        {"a chained move last", {true, true, false, false}, {1, 0}},
        {"a chained move first", {true, false, true}, {2, 0}},
        {"steps before the first jump", {false, false, true}, {2, 0}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.mWhat);
        mRuns.Clear();
        const CFieldBlock block;
        for (const bool jump : row.mJumpBefore) {
            if (jump)
                mRuns.BeginMove();
            mRuns.PushRun(0);
            ASSERT_TRUE(mRuns.OpenLine(0));
            ASSERT_TRUE(mRuns.AddEntry(block));
        }
        for (const size_t left : row.mLeftAfterPops) {
            EXPECT_EQ(mRuns.LastMove(), left);
            EXPECT_TRUE(mRuns.PopMove());
            EXPECT_EQ(mRuns.Runs().size(), left);
            EXPECT_EQ(mRuns.Pairs().size(), 2 * left);
        }
        EXPECT_FALSE(mRuns.PopMove());
    }
}

TEST_F(CCellRunsTest, RefusesWorkWithoutARun)
{
    CGameField field;
    CFieldBlock block;
    EXPECT_FALSE(mRuns.PopMove());
    EXPECT_FALSE(mRuns.RefreshFromField(field.Grid()));
    EXPECT_FALSE(mRuns.OpenLine(0));
    EXPECT_FALSE(mRuns.AddEntry(block));
    mRuns.PushRun(1);
    EXPECT_FALSE(mRuns.AddEntry(block));
    EXPECT_TRUE(mRuns.Pairs().empty());
}
