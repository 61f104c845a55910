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

    // A step without empty lines still pushes a run; popping it keeps the first.
    mRuns.PushRun(2);
    EXPECT_TRUE(mRuns.RefreshFromField(field.Grid()));
    EXPECT_TRUE(mRuns.PopRun());
    EXPECT_EQ(mRuns.Pairs(), expected);
    EXPECT_TRUE(mRuns.PopRun());
    EXPECT_TRUE(mRuns.Pairs().empty());
    EXPECT_TRUE(mRuns.Runs().empty());
}

TEST_F(CCellRunsTest, RefusesWorkWithoutARun)
{
    CGameField field;
    CFieldBlock block;
    EXPECT_FALSE(mRuns.PopRun());
    EXPECT_FALSE(mRuns.RefreshFromField(field.Grid()));
    EXPECT_FALSE(mRuns.OpenLine(0));
    EXPECT_FALSE(mRuns.AddEntry(block));
    mRuns.PushRun(1);
    EXPECT_FALSE(mRuns.AddEntry(block));
    EXPECT_TRUE(mRuns.Pairs().empty());
}
