#include "framework/core/RandomNumber.h"
#include "framework/core/RuntimeRandom.h"
#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CBonusBomb.h"
#include "game/board/levels/CBonusLevel.h"
#include "game/board/bonuses/CBonusPowerball.h"
#include "game/board/bonuses/CBonusRandomize.h"
#include "game/board/bonuses/CBonusShadowball.h"
#include "game/board/bonuses/CBonusShell.h"
#include "game/board/field/CFieldBase.h"
#include "game/board/CFieldActivity.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/bonuses/CSuperBonus.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/effects/CParticleSystem.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>

namespace BoardTest {
namespace {

struct Activity : CFieldActivity {
    void SetFieldActive(bool active) override { mActive = active; }
    bool mActive = true;
};

struct Scoring : CBonusLevel {
    int32_t MatchPoints(int32_t groupSize) const override { return groupSize; }
    void AddPoints(int32_t points) override { mPoints += points; }
    int32_t mPoints = 0;
};

constexpr std::array<int32_t, 8> kIds = {kBonusSniper, kBonusRandomize, kBonusShadowBall, kBonusShell,
                                         kBonusEnergy, kBonusTime,      kBonusBomb,       kBonusPowerBall};
constexpr int32_t kSuperbonusClick = int32_t(kIds.size());

class BonusSoakTest : public BonusFixture {
protected:
    // Times each bonus fired, by id, and superbonus groups last.
    using Fired = std::array<int32_t, kBonusCount + 1>;

    BonusSoakTest()
    {
        mAtlas.Setup(mImages);
        CParticleSystem::Get().Attach(&mAnims, &mImages);
        mShadow.Init();
        mShell.Init();
        mRandomize.Init();
        mBomb.Init();
        mPower.Init();
        mSuper.Init();
        mBase.mEnergyAmount = 50;
        mBase.mTimeSpeed = 0.02f;
        TakeBaseline();
    }
    ~BonusSoakTest() override
    {
        mPower.Shutdown();
        mBomb.Shutdown();
    }

    BonusEffectLinks EffectLinks()
    {
        return {&App(),  &mProcessor, &mField,   &mBall,     &mBase,     &mTracks,
                &mAnims, &mImages,    &mAtlas,   &mBonuses,  &mActivity, &mScoring};
    }
    // Frames with the particles moving.
    void Run(int32_t frames)
    {
        for (int32_t i = 0; i < frames; ++i) {
            mProcessor.DispatchFinished(1.0f);
            CParticleSystem::Get().UpdateEmitters(1.0f);
        }
    }
    void PlayGame(uint32_t game, Fired& fired);
    bool RunToIdle()
    {
        // The power ball walks the field's longest line.
        const int32_t limit = 20000 + 20 * std::max(mField.Width(), mField.Height());
        for (int32_t i = 0; i < limit && !Idle(); ++i)
            Run(1);
        return Idle();
    }

    CImageAtlas mAtlas;
    Activity mActivity;
    Scoring mScoring;
    CBonusShadowball mShadow{mProcessor, mField, mBase, mTracks, mBonuses};
    CBonusShell mShell{mProcessor, mField, mBase, mTracks, mAnims, mBonuses};
    CBonusRandomize mRandomize{mProcessor, mField, mBall, mTracks, mActivity, mBonuses};
    CBonusBomb mBomb{EffectLinks()};
    CBonusPowerball mPower{EffectLinks()};
    CSuperBonus mSuper{SuperBonusLinks{&mProcessor, &mField, &mBall, &mTracks, &mImages, &mAtlas, &mActivity}};
};

// One to three random clicks on bonuses or superbonus groups, some landing
// while another bonus still runs, then play until idle: the game must end in
// play, with the field whole and nothing left over. As in play, the ball
// lands only while the field takes clicks and no line moves.
void BonusSoakTest::PlayGame(uint32_t game, Fired& fired)
{
    const int32_t clicks = 1 + Lumo::RandomNumber(3);
    for (int32_t click = 0; click < clicks; ++click) {
        const int32_t cell = Lumo::RandomNumber(mField.CellCount());
        const int32_t choice = Lumo::RandomNumber(kSuperbonusClick + 1);
        if (mProcessor.PendingBlockMoves() != 0)
            continue;
        CFieldBlock* block = mField.Record(cell).mBlock;
        ASSERT_NE(block, nullptr) << game;
        if (block->mBonus || !mActivity.mActive)
            continue;
        if (choice == kSuperbonusClick) {
            mField.Grid().Rebuild();
            fired[size_t(kBonusCount)] += mSuper.Start(CCellGrid::GroupOf(mField.Grid().Cell(cell)));
        } else {
            BonusRecord* bonus = PlaceVisibleBonus(kIds[size_t(choice)], cell % mField.Width(), cell / mField.Width());
            if (mShell.Active())
                mBonuses.ShellLanding(*block);
            ++fired[size_t(bonus->mId)];
            mBonuses.ActivateBonus(bonus);
        }
        Run(Lumo::RandomNumber(120));
    }
    ASSERT_TRUE(RunToIdle()) << game << ": " << mField.Width() << " x " << mField.Height();
    mBonuses.StopBonusTimer();
    ASSERT_EQ(mBonuses.BonusesOnField(), 0) << game;
    ASSERT_EQ(mBase.RecordsInUse(), kBonusCount) << game;
    ASSERT_EQ(mField.Effects().mBonusInAction, 0) << game;
    ASSERT_EQ(mField.BlockDisplayMode(), 0) << game;
    ASSERT_TRUE(mActivity.mActive) << game;
    ASSERT_FALSE(mBonuses.SniperRunning() || mShadow.Running() || mShell.Active() || mRandomize.Running() ||
                 mTime.Running() || mBanner.Showing() || mSuper.Running())
        << game;
    ASSERT_EQ(mBomb.GetState(), CBonusBomb::kIdle) << game;
    ASSERT_EQ(mPower.GetState(), CBonusPowerball::kIdle) << game;
    ASSERT_FALSE(mBall.Has(CBall::kHeld) || mBall.Has(CBall::kFrozen)) << game;
    ASSERT_EQ(PopupRecordsInUse(), 0) << game;
    ASSERT_EQ(mAtlas.ShelvesInUse(), 0) << game;
    ExpectFieldConsistent();
    ASSERT_FALSE(HasFailure()) << game;
}

TEST_F(BonusSoakTest, RandomBonusClicksAlwaysEndInPlay)
{
    Fired fired{};
    for (uint32_t game = 0; game < 1000 && !HasFatalFailure(); ++game) {
        Lumo::SeedRandom(game);
        Lumo::SRand(game);
        PlayGame(game, fired);
    }
    for (int32_t id : kIds)
        EXPECT_GT(fired[size_t(id)], 150) << id;
    EXPECT_GT(fired[size_t(kBonusCount)], 150);
}

// The same games on fields of random shapes, from one cell to strips of the
// most cells a field may have. A level sets its field up as the game does: a
// shape with more rings than the field has queue controllers is refused, and
// the level keeps a random fill of the size before; on every field every
// bonus ends and the field settles whole.
TEST_F(BonusSoakTest, EveryBonusEndsOnFieldsOfAnyShape)
{
    Fired fired{};
    int32_t refused = 0;
    int32_t largest = 0;
    for (uint32_t game = 0; game < 300 && !HasFatalFailure(); ++game) {
        Lumo::SeedRandom(5000 + game);
        Lumo::SRand(5000 + game);
        const bool strip = Lumo::RandomNumber(30) == 0;
        const int32_t w = 1 + Lumo::RandomNumber(strip ? 8 : 12);
        const int32_t h = strip ? CCellGrid::kMaxCells / w : 1 + Lumo::RandomNumber(12);
        std::string colours;
        for (int32_t i = 0; i < w * h; ++i)
            colours += std::to_string(Lumo::RandomNumber(mField.Grid().ColourCount())) + ",";
        TiXmlDocument document;
        document.Parse(("<root><field name='random' w='" + std::to_string(w) + "' h='" + std::to_string(h) + "'>" +
                        colours + "</field></root>")
                           .c_str());
        CFieldBase shapes;
        shapes.LoadFromXml(document.RootElement());
        if (!mField.SetupFromLevel(shapes, 0)) {
            ++refused;
            mField.ResetForLevel();
        }
        largest = std::max(largest, mField.CellCount());
        PlayGame(game, fired);
    }
    EXPECT_GT(refused, 20);
    EXPECT_GT(largest, CCellGrid::kMaxCells / 2);
    for (int32_t id : kIds)
        EXPECT_GT(fired[size_t(id)], 20) << id;
}

} // namespace
} // namespace BoardTest
