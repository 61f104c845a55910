#include "game/board/bonuses/CBonusRandomize.h"
#include "game/board/CFieldActivity.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/play/ProcessSlot.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>

namespace BoardTest {
namespace {

struct RecordingActivity : CFieldActivity {
    void SetFieldActive(bool active) override { mActive.push_back(active); }
    std::vector<bool> mActive;
};

class CBonusRandomizeTest : public BonusFixture {
protected:
    CBonusRandomizeTest() { mRandomize.Init(); }

    RecordingActivity mActivity;
    CBonusRandomize mRandomize{mProcessor, mField, mBall, mTracks, mActivity, mBonuses};
};

TEST_F(CBonusRandomizeTest, EveryRingRisesSpinsAndFallsThenPlayGoesOn)
{
    const size_t rings = mField.SpinRings().size();
    ASSERT_GT(rings, 1u);
    mRandomize.Activate();
    EXPECT_TRUE(mRandomize.Running());
    EXPECT_EQ(mField.BlockDisplayMode(), 1);
    EXPECT_EQ(SlotsOfKind(kProcessRandomizeRing), int32_t(rings));
    EXPECT_EQ(SlotsOfKind(kProcessRandomizeColours), 1);
    mRandomize.Activate();
    EXPECT_EQ(SlotsOfKind(kProcessRandomizeRing), int32_t(rings));

    ASSERT_TRUE(RunUntilIdle());
    EXPECT_FALSE(mRandomize.Running());
    EXPECT_EQ(mActivity.mActive, (std::vector<bool>{false, true}));
    EXPECT_EQ(mField.BlockDisplayMode(), 0);
    for (int32_t cell = 0; cell < mField.CellCount(); ++cell) {
        const CellRecord& record = mField.Record(cell);
        ASSERT_NE(record.mBlock, nullptr);
        EXPECT_EQ(record.mBlock->mColour, CCellGrid::ColourOf(mField.Grid().Cell(cell))) << cell;
    }
    // The rings' tracks stay with the field's controllers; a second shuffle takes none more.
    const int32_t kept = TracksTaken();
    mRandomize.Activate();
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(TracksTaken(), kept);
}

// A field without rings has nothing in motion: the shuffle ends at once.
TEST_F(CBonusRandomizeTest, AFieldWithoutRingsEndsAtOnce)
{
    mField.SpinRings().clear();
    mRandomize.Activate();
    EXPECT_FALSE(mRandomize.Running());
    EXPECT_EQ(mActivity.mActive, (std::vector<bool>{false, true}));
    EXPECT_EQ(mField.BlockDisplayMode(), 0);
    ASSERT_TRUE(RunUntilIdle());
}

} // namespace
} // namespace BoardTest
