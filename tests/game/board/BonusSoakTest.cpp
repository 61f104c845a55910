#include "framework/core/RandomNumber.h"
#include "framework/core/RuntimeRandom.h"
#include "game/board/BonusRecord.h"
#include "game/board/CBonusRandomize.h"
#include "game/board/CBonusShadowball.h"
#include "game/board/CBonusShell.h"
#include "game/board/CFieldActivity.h"
#include "game/board/CFieldBlock.h"
#include "tests/game/board/BonusFixture.h"

#include <gtest/gtest.h>

namespace BoardTest {
namespace {

struct Activity : CFieldActivity {
    void SetFieldActive(bool active) override { mActive = active; }
    bool mActive = true;
};

class BonusSoakTest : public BonusFixture {
protected:
    BonusSoakTest()
    {
        mShadow.Init();
        mShell.Init();
        mRandomize.Init();
        mBase.mEnergyAmount = 50;
        mBase.mTimeSpeed = 0.02f;
        TakeBaseline();
    }

    Activity mActivity;
    CBonusShadowball mShadow{mProcessor, mField, mBase, mTracks, mBonuses};
    CBonusShell mShell{mProcessor, mField, mBase, mTracks, mAnims, mBonuses};
    CBonusRandomize mRandomize{mProcessor, mField, mBall, mTracks, mActivity, mBonuses};
};

// Games of random bonus clicks, some landing while another bonus still runs:
// every one ends idle, with the field whole and back in play.
TEST_F(BonusSoakTest, RandomBonusClicksAlwaysEndInPlay)
{
    const std::array<int32_t, 6> ids = {kBonusSniper, kBonusRandomize, kBonusShadowBall,
                                        kBonusShell,  kBonusEnergy,    kBonusTime};
    std::array<int32_t, kBonusCount> fired{};
    for (uint32_t game = 0; game < 1000; ++game) {
        Lumo::SeedRandom(game);
        Lumo::SRand(game);
        const int32_t clicks = 1 + Lumo::RandomNumber(3);
        for (int32_t click = 0; click < clicks; ++click) {
            const int32_t cell = Lumo::RandomNumber(mField.CellCount());
            CFieldBlock* block = mField.Record(cell).mBlock;
            ASSERT_NE(block, nullptr) << game;
            if (block->mBonus)
                continue;
            BonusRecord* bonus = PlaceVisibleBonus(ids[size_t(Lumo::RandomNumber(int32_t(ids.size())))],
                                                   cell % mField.Width(), cell / mField.Width());
            if (mShell.Active())
                mBonuses.ShellLanding(*block);
            ++fired[size_t(bonus->mId)];
            mBonuses.ActivateBonus(bonus);
            Frames(Lumo::RandomNumber(120));
        }
        ASSERT_TRUE(RunUntilIdle()) << game;
        mBonuses.StopBonusTimer();
        ASSERT_EQ(mBonuses.BonusesOnField(), 0) << game;
        ASSERT_EQ(mBase.RecordsInUse(), kBonusCount) << game;
        ASSERT_EQ(mField.Effects().mBonusInAction, 0) << game;
        ASSERT_EQ(mField.BlockDisplayMode(), 0) << game;
        ASSERT_TRUE(mActivity.mActive) << game;
        ASSERT_FALSE(mBonuses.SniperRunning() || mShadow.Running() || mShell.Active() || mRandomize.Running() ||
                     mTime.Running() || mBanner.Showing())
            << game;
        ASSERT_EQ(PopupRecordsInUse(), 0) << game;
        for (int32_t c = 0; c < mField.CellCount(); ++c)
            ASSERT_NE(mField.Record(c).mBlock, nullptr) << game;
    }
    for (int32_t id : ids)
        EXPECT_GT(fired[size_t(id)], 200) << id;
}

} // namespace
} // namespace BoardTest
