#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CBonusBomb.h"
#include "game/board/levels/CBonusLevel.h"
#include "game/board/CFieldActivity.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/effects/CParticleSystem.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace BoardTest {
namespace {

struct RecordingBonusLevel : CBonusLevel {
    int32_t MatchPoints(int32_t groupSize) const override { return 10 * groupSize; }
    void AddPoints(int32_t points) override { mPoints += points; }
    int32_t mPoints = 0;
};

struct RecordingActivity : CFieldActivity {
    void SetFieldActive(bool active) override { mActive.push_back(active); }
    std::vector<bool> mActive;
};

class CBonusBombTest : public BonusFixture {
protected:
    CBonusBombTest() : mBomb(EffectLinks(mScoring, mActivity))
    {
        CParticleSystem::Get().Attach(&mAnims, &mImages);
        mBomb.Init();
        TakeBaseline();
    }
    ~CBonusBombTest() override { mBomb.Shutdown(); }

    // Frames with the particles running, until the bomb and its particles are done.
    bool RunBomb()
    {
        for (int32_t i = 0; i < 5000; ++i) {
            if (Idle() && mBomb.GetState() == CBonusBomb::kIdle)
                return true;
            mProcessor.DispatchFinished(1.0f);
            CParticleSystem::Get().UpdateEmitters(1.0f);
        }
        return false;
    }

    RecordingBonusLevel mScoring;
    RecordingActivity mActivity;
    CBonusBomb mBomb;
};

// The 3 x 3 cells around the landing, cut to the field at every edge and corner.
TEST_F(CBonusBombTest, AreaIsTheThreeByThreeCutToTheField)
{
    mField.Grid().SetMatchCount(1000);
    const int32_t w = mField.Width();
    const int32_t h = mField.Height();
    for (const auto& [c, r] : std::vector<std::pair<int32_t, int32_t>>{
             {0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {w - 2, 3}, {1, h - 2}, {3, 0}, {0, 3}, {3, 4}}) {
        ASSERT_TRUE(mBomb.Activate(c, r));
        EXPECT_FALSE(mBomb.Activate(c, r));
        std::set<std::pair<int32_t, int32_t>> expected;
        for (int32_t y = std::max(r - 1, 0); y <= std::min(r + 1, h - 1); ++y)
            for (int32_t x = std::max(c - 1, 0); x <= std::min(c + 1, w - 1); ++x)
                expected.emplace(x, y);
        const std::set<std::pair<int32_t, int32_t>> cells(mBomb.Cells().begin(), mBomb.Cells().end());
        EXPECT_EQ(cells, expected) << c << "," << r;
        ASSERT_TRUE(RunBomb()) << c << "," << r;
        mField.ResetForLevel();
    }
}

// Matched groups reaching in go whole and score; an empty cell in the area and
// a bonus on a destroyed block are handled; the field step follows once.
TEST_F(CBonusBombTest, DestroysScoresAndHandsOverToTheFieldStep)
{
    const int32_t w = mField.Width();
    const int32_t landing = 3 * w + 3;
    // An empty cell beside the landing.
    CFieldBlock* gone = mField.Record(landing + 1).mBlock;
    mField.RemoveBlock(gone);
    mField.Record(landing + 1).mBlock = nullptr;
    mField.Grid().Cell(landing + 1) &= ~CCellGrid::kOccupied;
    PlaceVisibleBonus(kBonusTime, 2, 2);
    const int32_t times = mBase.Amount(kBonusTime);
    CFieldBlock* bombBlock = mField.Record(landing).mBlock;
    BonusRecord* bombBonus = PlaceVisibleBonus(kBonusBomb, 3, 3);
    mBonuses.ActivateBonus(bombBonus);
    ASSERT_EQ(mBomb.GetState(), CBonusBomb::kWaiting);
    EXPECT_EQ(bombBlock->mBonus, nullptr);
    int32_t expected = 100;
    for (const GroupRecord& group : mBomb.Groups())
        expected += 10 * group.Count();

    ASSERT_TRUE(RunBomb());
    EXPECT_EQ(mScoring.mPoints, expected);
    EXPECT_EQ(mLevel.Count("settled"), 1);
    EXPECT_FLOAT_EQ(mProcessor.StepDelaySpeed(), 1.0f);
    EXPECT_EQ(mActivity.mActive, (std::vector<bool>{false, true}));
    EXPECT_EQ(mBase.Amount(kBonusTime), times + 1);
    EXPECT_EQ(mBonuses.BonusesOnField(), 0);
    EXPECT_EQ(mField.Effects().mBonusInAction, 0);
    EXPECT_EQ(SlotsOfKind(kProcessBomb), 0);
    mBonuses.StopBonusTimer();
    EXPECT_TRUE(RunUntilIdle());
    ExpectFieldConsistent();
}

// The explosion and the particles sit on the cells on the screen (the field's
// origin counted), and particles of a look without animation take the look of
// the block they come from.
TEST_F(CBonusBombTest, ExplosionAndParticlesSitOnTheCellsInTheBlocksLook)
{
    mField.Grid().SetMatchCount(1000);
    mBase.mBomb.mParticles.flags &= ~ParticleConfig::kAnimated;
    std::map<std::pair<int32_t, int32_t>, int32_t> sprites;
    for (int32_t row = 2; row <= 4; ++row)
        for (int32_t column = 2; column <= 4; ++column)
            sprites[{column, row}] = mField.ColourSprite(*mField.Record(row * mField.Width() + column).mBlock);
    ASSERT_TRUE(mBomb.Activate(3, 3));
    const auto onCell = [this](float x, float y, int32_t column, int32_t row) {
        int32_t c = -1, r = -1;
        return mField.HitTest(x, y, &c, &r) && c == column && r == row;
    };
    bool exploded = false;
    for (int32_t i = 0; i < 5000 && mBomb.GetState() == CBonusBomb::kWaiting; ++i)
        mProcessor.DispatchFinished(1.0f);
    for (int32_t i = 0; i < mField.PopupCount(); ++i) {
        const PopupRecord& record = mField.Popup(i);
        if (record.mType != PopupRecord::kAnimation)
            continue;
        const Lumo::Rect frame = mAnims.FirstFrameRect(mBase.mBomb.mExplosionAnim);
        EXPECT_TRUE(onCell(float(record.mX + frame.mWidth / 2), float(record.mY + frame.mHeight / 2), 3, 3));
        exploded = true;
    }
    EXPECT_TRUE(exploded);
    for (int32_t i = 0; i < 5000 && mBomb.GetState() == CBonusBomb::kDestroying && mBomb.Emitter().ActiveRuns() == 0;
         ++i)
        mProcessor.DispatchFinished(1.0f);
    const CParticleEmitter& emitter = mBomb.Emitter();
    ASSERT_EQ(emitter.ActiveRuns(), 9);
    CParticleSystem& particles = CParticleSystem::Get();
    for (int32_t run = 0; run < 9; ++run) {
        const auto& [column, row] = mBomb.Cells()[size_t(run)];
        const ParticleRun& spray = particles.GetRun(emitter.mFirst + run);
        EXPECT_EQ(spray.visual, (sprites[{column, row}])) << run;
        ASSERT_LT(spray.begin, spray.end);
        const Particle& first = particles.GetParticle(spray.begin);
        EXPECT_TRUE(onCell(first.x, first.y, column, row)) << run;
    }
    ASSERT_TRUE(RunBomb());
}

} // namespace
} // namespace BoardTest
