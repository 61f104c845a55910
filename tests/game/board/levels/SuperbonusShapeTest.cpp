#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/board/levels/LevelFlowFixture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace BoardTest {
namespace {

// A level whose superbonus piece is an L of four cells.
class SuperbonusShapeTest : public LevelFlowFixture {
protected:
    void SetUp() override
    {
        LevelFlowFixture::SetUp();
        TiXmlDocument pieces;
        pieces.Parse("<root><piece name='ell'>1,0|1,0|1,1</piece></root>");
        mPieces.LoadFromXml(pieces.RootElement());
        TiXmlDocument levels;
        levels.Parse("<root><level name='shape' points_to_complete='9999'>"
                     "<superbonus_pieces><piece src='ell' points='500'/></superbonus_pieces>"
                     "<checkpoints><checkpoint blocktypes='4' maxgroups='6' mingroups='1' maxgroupsize='6'"
                     " turns='999' damage='0' simultaneous_bonuscount='0' bonus_energy='0' bonus_time='0'/>"
                     "</checkpoints><match><match count='3' points='30'/></match></level></root>");
        ASSERT_TRUE(mLevels.LoadFromXml(levels.RootElement(), mShapes));
        TiXmlDocument graphs;
        graphs.Parse("<root><graph><level name='shape'/></graph></root>");
        ASSERT_TRUE(mGraphs.LoadFromXml(graphs.RootElement(), mLevels.Table()));
        Play(0, 0);
        ASSERT_TRUE(mLevels.SuperbonusActive());
    }
};

// The piece is found in each of its four turns, and only there: not mirrored,
// not with a cell too many or too few. Only a find changes the panel's piece.
TEST_F(SuperbonusShapeTest, FindsThePieceInEveryTurnAndNothingElse)
{
    struct Case {
        std::vector<std::string> rows;
        bool found;
    };
    const Case cases[] = {
        {{"21010", "20101", "22010"}, true},  {{"22210", "20101", "01010"}, true},
        {{"22010", "12101", "02010"}, true},  {{"01210", "22201", "01010"}, true},
        {{"12010", "12101", "22010"}, false}, {{"22010", "22101", "01010"}, false},
        {{"21010", "20101", "01010"}, false}, {{"21010", "20101", "22210"}, false},
    };
    for (const Case& c : cases) {
        Field(c.rows);
        mField.Grid().Rebuild();
        const int32_t score = mLevels.Score();
        int32_t cell = 0;
        while (CCellGrid::ColourOf(mField.Grid().Cell(cell)) != 2)
            ++cell;
        const int32_t group = CCellGrid::GroupOf(mField.Grid().Cell(cell));
        mHost.mCalls.clear();
        EXPECT_EQ(mLevels.TestSuperbonusShape(group), c.found) << Picture(mField.Grid())[0];
        EXPECT_EQ(mLevels.Score() - score, c.found ? 500 : 0);
        EXPECT_EQ(mHost.Has("ChangePanelPiece"), c.found);
    }
}

} // namespace
} // namespace BoardTest
