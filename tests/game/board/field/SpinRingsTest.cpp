#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/support/GameFixture.h"

#include <cmath>
#include <cstdlib>
#include <set>

namespace {

class SpinRingsTest : public GameTest::GameFixture {
protected:
    SpinRingsTest() { mField.SetBlockShape(BoardTest::SampleShape()); }

    std::vector<std::vector<int32_t>> Rings()
    {
        std::vector<std::vector<int32_t>> rings;
        for (const SpinRing& ring : mField.SpinRings()) {
            rings.emplace_back();
            for (int32_t j = 0; j < ring.mElementCount; ++j)
                rings.back().push_back(mField.SpinElements()[size_t(ring.mFirstElement + j)].mCell);
        }
        return rings;
    }

    bool LoadControllers(const char* controllers)
    {
        return BoardTest::LoadSampleControllers(mField, mTracks, mCurves, controllers);
    }

    CGameField mField;
    CCurveBase mCurves;
    CTrackBase mTracks;
};

} // namespace

TEST_F(SpinRingsTest, WalksEachRingFromTheBottomRowAroundTheField)
{
    mField.Build(3, 3);
    EXPECT_EQ(Rings(), (std::vector<std::vector<int32_t>>{{7, 8, 5, 2, 1, 0, 3, 6}, {4}}));
    mField.Build(4, 4);
    EXPECT_EQ(Rings(), (std::vector<std::vector<int32_t>>{{13, 14, 15, 11, 7, 3, 2, 1, 0, 4, 8, 12}, {10, 6, 5, 9}}));
    mField.Build(8, 10);
    std::vector<size_t> sizes;
    for (const auto& ring : Rings())
        sizes.push_back(ring.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{32, 24, 16, 8}));
}

// Fields whose inner ring is one row or column thick, and a field of another
// shape with the same cell count: every cell belongs to exactly one ring.
TEST_F(SpinRingsTest, EveryCellHasExactlyOneElement)
{
    for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{5, 3}, {7, 5}, {3, 5}, {6, 1}, {2, 6}, {3, 4}}) {
        mField.Build(w, h);
        std::multiset<int32_t> cells;
        for (const auto& ring : Rings())
            cells.insert(ring.begin(), ring.end());
        ASSERT_EQ(int32_t(cells.size()), w * h) << w << "x" << h;
        for (int32_t cell = 0; cell < w * h; ++cell)
            EXPECT_EQ(cells.count(cell), 1u) << w << "x" << h << " cell " << cell;
        EXPECT_EQ(int32_t(Rings().size()), CGameField::RingCount(w, h));
    }
    mField.Build(5, 3);
    const auto rings = Rings();
    EXPECT_EQ(rings.back(), (std::vector<int32_t>{7, 8, 6}));
}

// Rising from the cells and falling back to them: at the start of the rise
// and the end of the fall every block stands on its cell.
TEST_F(SpinRingsTest, RingsRiseFromTheirCellsAndFallBackToThem)
{
    ASSERT_TRUE(LoadControllers(
        "<gamefield1>"
        "<queue_controller up=\"q_up\" down=\"q_down\" R=\"30\" H=\"70\" spin=\"1.5\" spinpoints=\"16\" spin_speed=\"0.01\"/>"
        "<queue_controller up=\"q_up\" down=\"q_down\" R=\"75\" H=\"60\" spin=\"1.0\" spinpoints=\"16\" spin_speed=\"0.01\"/>"
        "</gamefield1>"));
    ASSERT_EQ(mField.QueueControllers().size(), 2u);
    EXPECT_EQ(mField.QueueControllers()[1].mSpinTrack->mSpeed, 0.01f);
    mField.Build(4, 4);
    std::vector<CFieldBlock*> blocks;
    for (int32_t cell = 0; cell < 16; ++cell) {
        blocks.push_back(mField.AcquireBlock());
        mField.Record(cell).mBlock = blocks.back();
    }
    // The outer ring spins on the last controller's circle.
    EXPECT_EQ(mField.SpinRings()[0].mController, 1);
    EXPECT_NEAR(mField.SpinElements()[0].mRingRadius, 75.0f, 0.5f);
    EXPECT_NEAR(mField.SpinElements()[12].mRingRadius, 30.0f, 0.5f);

    mField.UpdateSpinPoints();
    const auto expectOnCells = [&](const char* stage) {
        for (SpinRing& ring : mField.SpinRings()) {
            ring.mTrack->mRunning = 1;
            mField.PlaceSpinRing(ring);
        }
        for (int32_t cell = 0; cell < 16; ++cell) {
            const CellRecord& record = mField.Record(cell);
            EXPECT_LE(std::abs(blocks[size_t(cell)]->mDrawX - record.mScreenX), 1) << stage << " " << cell;
            EXPECT_LE(std::abs(blocks[size_t(cell)]->mDrawY - record.mScreenY), 1) << stage << " " << cell;
        }
    };
    ASSERT_NE(mField.SpinRings()[0].mTrack, nullptr);
    mField.SpinRings()[0].mTrack->mTime = 0.0f;
    mField.SpinRings()[1].mTrack->mTime = 0.0f;
    expectOnCells("rising");

    // At the top of the rise a ring stands H above its circle.
    SpinRing& outer = mField.SpinRings()[0];
    outer.mTrack->mTime = 1.0f;
    mField.PlaceSpinRing(outer);
    const SpinElement& e = mField.SpinElements()[0];
    const FieldPoint top = mField.FieldToScreen({mField.CentreInFieldUnits().mX + e.mRingRadius * std::cos(e.mRingAngle),
                                                 mField.CentreInFieldUnits().mY + e.mRingRadius * std::sin(e.mRingAngle)});
    EXPECT_NEAR(blocks[size_t(e.mCell)]->mDrawY, top.mY + mField.Origin().mY - 60.0f, 1.0f);

    for (SpinRing& ring : mField.SpinRings()) {
        mField.StepSpinPoint(ring);
        ring.mTrack->mTime = 1.0f;
    }
    EXPECT_EQ(mField.SpinRings()[0].mStage, 2);
    expectOnCells("falling");
}

TEST_F(SpinRingsTest, AControllerNamingAMissingTrackEndsTheList)
{
    EXPECT_FALSE(LoadControllers(
        "<gamefield1>"
        "<queue_controller up=\"q_up\" down=\"q_down\" R=\"30\" spinpoints=\"8\"/>"
        "<queue_controller up=\"q_up\" down=\"nothing\" R=\"30\" spinpoints=\"8\"/>"
        "<queue_controller up=\"q_up\" down=\"q_down\" R=\"30\" spinpoints=\"8\"/>"
        "</gamefield1>"));
    EXPECT_EQ(mField.QueueControllers().size(), 1u);
    EXPECT_TRUE(LogHas("CGameField::LoadFromXml - failed block_queues"));
    // Rings beyond the controllers share the first one.
    mField.Build(8, 8);
    for (const SpinRing& ring : mField.SpinRings())
        EXPECT_EQ(ring.mController, 0);
}
