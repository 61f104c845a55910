#include "game/board/field/CBlockReleaseHandler.h"
#include "game/board/field/CFieldBase.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "framework/core/RuntimeRandom.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

using BoardTest::PrepareField;
using BoardTest::SetCells;

namespace {

struct RecordingRelease : CBlockReleaseHandler {
    void RemoveBonusFromBlock(CFieldBlock& block) override { mBonuses.push_back(&block); }
    void ReleasePooledPair(CFieldBlock& block) override { mPairs.push_back(&block); }
    std::vector<CFieldBlock*> mBonuses;
    std::vector<CFieldBlock*> mPairs;
};

class CGameFieldTest : public GameTest::GameFixture {
protected:
    CGameField mField;
    CCurveBase mCurves;
    CTrackBase mTracks;
};

CGridParameters Rules()
{
    CGridParameters p;
    p.mBlockTypes = 4;
    p.mMaxGroups = 4;
    return p;
}

} // namespace

TEST_F(CGameFieldTest, LaysTheCellsOutOnTheBlockSpritesObliqueGrid)
{
    BlockShape shape;
    shape.mWidth = 64;
    shape.mHeight = 48;
    shape.mSideHeight = 8;
    shape.mHIndent = 20;
    shape.mVIndent = 10;
    shape.mHSpacing = 2.0f;
    shape.mVSpacing = 2.0f;
    mField.SetBlockShape(shape);
    mField.SetCentre(400, 300);
    mField.Build(8, 10);

    EXPECT_NEAR(mField.CellEdgeX(), 53.254f, 1e-3f);
    EXPECT_NEAR(mField.CellEdgeY(), 22.361f, 1e-3f);
    EXPECT_NEAR(mField.AxisX().mX, 0.8262f, 1e-4f);
    EXPECT_NEAR(mField.AxisX().mY, 0.5633f, 1e-4f);
    EXPECT_NEAR(mField.AxisY().mX, -0.8944f, 1e-4f);
    EXPECT_NEAR(mField.AxisY().mY, 0.4472f, 1e-4f);
    EXPECT_NEAR(mField.Origin().mX, 326.33f, 1e-2f);
    EXPECT_NEAR(mField.Origin().mY, 121.02f, 1e-2f);
    const FieldPoint centre = mField.FieldToScreen(mField.CentreInFieldUnits());
    EXPECT_NEAR(centre.mX + mField.Origin().mX, 400.0f, 1e-3f);
    EXPECT_NEAR(centre.mY + mField.Origin().mY, 300.0f, 1e-3f);

    int32_t x = 0, y = 0;
    mField.CellToScreen(1, 2, &x, &y);
    const FieldPoint corner = mField.FieldToScreen({mField.StepX(), 2 * mField.StepY()});
    EXPECT_EQ(x, int32_t(corner.mX + mField.Origin().mX) - 20);
    EXPECT_EQ(y, int32_t(corner.mY + mField.Origin().mY));
    EXPECT_EQ(mField.Record(2 * 8 + 1).mScreenX, x);
    EXPECT_EQ(mField.Record(2 * 8 + 1).mScreenY, y);
}

TEST_F(CGameFieldTest, HitTestFindsEveryCellByItsCentreAndNothingOutside)
{
    mField.SetBlockShape(BoardTest::SampleShape());
    mField.SetCentre(0, 30);
    mField.Build(8, 8);
    for (int32_t row = 0; row < 8; ++row)
        for (int32_t column = 0; column < 8; ++column) {
            const FieldPoint p = mField.CellCenterToScreen(column, row);
            int32_t c = -1, r = -1;
            ASSERT_TRUE(mField.HitTest(p.mX + mField.Origin().mX, p.mY + mField.Origin().mY, &c, &r));
            EXPECT_EQ(c, column);
            EXPECT_EQ(r, row);
        }
    // Half a cell beyond the top and left edges: truncation would give row
    // or column 0.
    for (const FieldPoint field : {FieldPoint{-0.5f, 0.5f}, FieldPoint{0.5f, -0.5f}, FieldPoint{8.5f, 0.5f}}) {
        const FieldPoint p = mField.FieldToScreen({field.mX * mField.StepX(), field.mY * mField.StepY()});
        int32_t c = -1, r = -1;
        EXPECT_FALSE(mField.HitTest(p.mX + mField.Origin().mX, p.mY + mField.Origin().mY, &c, &r));
    }
}

TEST_F(CGameFieldTest, SetsUpAFieldShapeRowByRow)
{
    TiXmlDocument document;
    document.Parse("<root><field name=\"wide\" w=\"3\" h=\"2\">0,1,2,3,3,1</field>"
                   "<field name=\"square\" w=\"3\" h=\"3\">0,1,2,3,0,1,2,3,0</field></root>");
    CFieldBase shapes;
    shapes.LoadFromXml(document.RootElement());
    PrepareField(mField, Rules());
    ASSERT_TRUE(BoardTest::LoadSampleControllers(
        mField, mTracks, mCurves, "<f><queue_controller up=\"q_up\" down=\"q_down\" R=\"30\" spinpoints=\"8\"/></f>"));
    ASSERT_TRUE(mField.SetupFromLevel(shapes, 0));
    ASSERT_EQ(mField.Width(), 3);
    ASSERT_EQ(mField.Height(), 2);
    const int32_t colours[] = {0, 1, 2, 3, 3, 1};
    for (int32_t i = 0; i < 6; ++i) {
        const CFieldBlock* block = mField.Record(i).mBlock;
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->mColumn, i % 3);
        EXPECT_EQ(block->mRow, i / 3);
        EXPECT_EQ(block->mColour, colours[i]);
        EXPECT_EQ(mField.Grid().Cell(i) & ~(CCellGrid::kGroupMask << CCellGrid::kGroupShift),
                  uint32_t(colours[i]) << 17 | 1u);
    }
    EXPECT_EQ(mField.Grid().ColourHistogram(3), 2);
    EXPECT_EQ(mField.ActiveBlocks(), 6);

    // A colour the field has no block for is refused, leaving the field, and
    // so is a shape of two rings on a field of one queue controller.
    TiXmlDocument badDocument;
    badDocument.Parse("<root><field name=\"bad\" w=\"1\" h=\"2\">0,7</field></root>");
    CFieldBase bad;
    bad.LoadFromXml(badDocument.RootElement());
    EXPECT_FALSE(mField.SetupFromLevel(bad, 0));
    EXPECT_FALSE(mField.SetupFromLevel(shapes, 1));
    EXPECT_TRUE(LogHas("ERROR field shape 1 needs 2 queue controllers, the field has 1"));
    EXPECT_FALSE(mField.SetupFromLevel(shapes, 2));
    EXPECT_EQ(mField.Width(), 3);
}

TEST_F(CGameFieldTest, PoolReusesBlocksAndReleasesWhatTheyHold)
{
    RecordingRelease release;
    mField.SetReleaseHandler(&release);
    mField.SetReservedSprite(17);
    CFieldBlock* a = mField.AcquireBlock();
    CFieldBlock* b = mField.AcquireBlock();
    CFieldBlock* c = mField.AcquireBlock();
    EXPECT_EQ(a->mSprite, 17);
    a->mBonus = reinterpret_cast<BonusRecord*>(b);
    a->mHover.mPhase = 1;
    a->mHighlightMode = 2;
    a->mColour = 3;
    mField.RemoveBlock(a);
    EXPECT_EQ(release.mBonuses, std::vector<CFieldBlock*>{a});
    EXPECT_EQ(release.mPairs, std::vector<CFieldBlock*>{a});
    EXPECT_EQ(a->mBonus, nullptr);
    EXPECT_EQ(a->mHighlightMode, 0);
    EXPECT_EQ(mField.ActiveBlocks(), 2);
    EXPECT_EQ(c->mPoolIndex, 0);
    EXPECT_EQ(b->mPoolIndex, 1);
    // A block removed twice changes nothing.
    mField.RemoveBlock(a);
    EXPECT_EQ(mField.ActiveBlocks(), 2);

    CFieldBlock* again = mField.AcquireBlock();
    EXPECT_EQ(again, a);
    EXPECT_EQ(again->mColour, 0);
    EXPECT_EQ(again->mPoolIndex, 2);
}

TEST_F(CGameFieldTest, PicksNeitherTheExcludedCellNorABonusBlock)
{
    PrepareField(mField, Rules());
    mField.ResetForLevel();
    ASSERT_EQ(mField.Width(), 0);
    SetCells(mField, {"01", "23"});
    for (int32_t cell = 0; cell < 4; ++cell) {
        mField.Record(cell).mBlock = mField.AcquireBlock();
        mField.Record(cell).mBlock->mColumn = cell % 2;
        mField.Record(cell).mBlock->mRow = cell / 2;
    }
    mField.Record(1).mBlock->mBonus = reinterpret_cast<BonusRecord*>(this);
    mField.SetExcludedCell(0, 1);
    Lumo::SRand(3);
    for (int32_t i = 0; i < 50; ++i) {
        const CFieldBlock* picked = mField.PickRandomBlock();
        ASSERT_TRUE(picked == mField.Record(0).mBlock || picked == mField.Record(3).mBlock || !picked);
    }
    mField.Record(0).mBlock->mBonus = reinterpret_cast<BonusRecord*>(this);
    mField.Record(3).mBlock = nullptr;
    EXPECT_EQ(mField.PickRandomBlock(), nullptr);
}

TEST_F(CGameFieldTest, ResetsBlockStatesOnlyWhenTheModeChanges)
{
    PrepareField(mField, Rules());
    mField.SetReservedSprite(9);
    SetCells(mField, {"01"});
    CFieldBlock* block = mField.AcquireBlock();
    mField.Record(0).mBlock = block;
    block->mLightLevel = 200;
    block->mSprite = 3;
    mField.ResetBlockStates(0);
    EXPECT_EQ(block->mLightLevel, 200);
    mField.ResetBlockStates(3);
    EXPECT_EQ(block->mLightLevel, 0);
    EXPECT_EQ(block->mSprite, 9);
    block->mLightLevel = 120;
    mField.ResetBlockStates(3);
    EXPECT_EQ(block->mLightLevel, 120);
    mField.ResetBlockStates(0);
    EXPECT_EQ(block->mLightLevel, 0);
    EXPECT_EQ(mField.BlockDisplayMode(), 0);
}
