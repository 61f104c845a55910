#include "game/board/levels/CCrazyTurns.h"
#include "framework/core/RuntimeRandom.h"
#include "game/data/CGameConfig.h"
#include "tests/game/board/levels/LevelFlowFixture.h"

namespace {

// A crazy level of four colours: K = 3.
class CCrazyTurnsTest : public BoardTest::LevelFlowFixture {
protected:
    void SetUp() override
    {
        LevelFlowFixture::SetUp();
        mSaved = CGameConfig::live;
        CGameConfig::live.crazyRandcolor = 0;
        CGameConfig::live.crazyDumbturnsCount = 2;
        CGameConfig::live.crazyAfterdumbCount = 3;
        Play(0, 3);
        mField.Grid().SetColourCount(4);
        Field({"0123", "3333"});
        mTurns.NewTurn(4);
    }
    void TearDown() override { CGameConfig::live = mSaved; }

    int32_t ColourAt(int32_t cell) const { return CCellGrid::ColourOf(mField.Grid().Cell(cell)); }

    CGameConfig::Values mSaved;
    CCrazyTurns mTurns{mField.Grid(), mLevels, mHost};
};

} // namespace

TEST_F(CCrazyTurnsTest, LandingsDuringTheSpinChangeNothing)
{
    EXPECT_EQ(mTurns.CrazyColour(), 3);
    EXPECT_EQ(mTurns.BlocksToTurn(), 3);
    mTurns.PhaseStep(0);
    EXPECT_EQ(ColourAt(0), 0);
    mTurns.SetPhase(CCrazyTurns::kSpinDone);
    mTurns.PhaseStep(0);
    EXPECT_EQ(ColourAt(0), 1);
    EXPECT_EQ(mTurns.Phase(), CCrazyTurns::kPulse);
}

TEST_F(CCrazyTurnsTest, ColoursCycleThroughKAndWrap)
{
    mTurns.SetPhase(CCrazyTurns::kSpinDone);
    const int32_t energy = mLevels.Energy();
    mTurns.PhaseStep(2);
    EXPECT_EQ(ColourAt(2), 3);
    EXPECT_EQ(mTurns.BlocksToTurn(), 2);
    EXPECT_EQ(mLevels.LevelPoints(), 100);
    EXPECT_TRUE(mHost.Has("Popup 0 100"));
    EXPECT_TRUE(mHost.Has("Sample 0"));
    EXPECT_EQ(mTurns.CrazyPercent(), 6 * 100 / 8);

    // Leaving K wraps to 0, costs energy and counts the block again.
    mTurns.PhaseStep(4);
    EXPECT_EQ(ColourAt(4), 0);
    EXPECT_EQ(mTurns.BlocksToTurn(), 3);
    EXPECT_EQ(mLevels.Energy(), energy - mLevels.Damage());
    EXPECT_TRUE(mLevels.Changed());
}

TEST_F(CCrazyTurnsTest, RepeatsOnOneCellReachKOnlyAfterTheirCountAndALuckyRoll)
{
    const auto seedWithFirstRoll = [](int32_t roll) {
        for (uint32_t seed = 1;; ++seed) {
            Lumo::SRand(seed);
            if (Lumo::Rand() % 3 == roll)
                return seed;
        }
    };
    const uint32_t lucky = seedWithFirstRoll(0);
    const uint32_t unlucky = seedWithFirstRoll(2);
    mTurns.SetPhase(CCrazyTurns::kSpinDone);
    // The first landing remembers the cell, the next two are counted repeats.
    for (int i = 0; i < 5; ++i)
        mTurns.PhaseStep(0);
    EXPECT_EQ(mTurns.RepeatCount(), 2);
    EXPECT_EQ(ColourAt(0), 1);

    Lumo::SRand(lucky);
    mTurns.PhaseStep(0);
    EXPECT_EQ(ColourAt(0), 3);
    EXPECT_EQ(mTurns.RepeatCount(), 0);

    mTurns.PhaseStep(0);
    mTurns.PhaseStep(0);
    Lumo::SRand(unlucky);
    Lumo::Rand();
    const int32_t second = Lumo::Rand();
    Lumo::SRand(unlucky);
    mTurns.PhaseStep(0);
    EXPECT_EQ(ColourAt(0), 2);
    // The countdown of the unlucky roll runs without rolling.
    mTurns.PhaseStep(0);
    EXPECT_EQ(Lumo::Rand(), second);
}

TEST_F(CCrazyTurnsTest, ARollCountOfOneOrLessAlwaysHits)
{
    CGameConfig::live.crazyAfterdumbCount = 0;
    CGameConfig::live.crazyDumbturnsCount = 0;
    mTurns.SetPhase(CCrazyTurns::kSpinDone);
    mTurns.PhaseStep(1);
    EXPECT_EQ(ColourAt(1), 2);
    mTurns.PhaseStep(1);
    EXPECT_EQ(ColourAt(1), 3);
}
