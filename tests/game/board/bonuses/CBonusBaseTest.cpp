#include "game/board/bonuses/CBonusBase.h"
#include "framework/core/RandomNumber.h"
#include "tests/game/board/field/SampleField.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace {

class CBonusBaseTest : public BoardTest::SampleField {
protected:
    void LoadSample() { mBase.LoadFromXml(Root("bonusbase.xml"), mTracks, mAnims, mImages); }
    void LoadText(const std::string& xml)
    {
        mDocuments.emplace_back();
        mDocuments.back().Parse(xml.c_str());
        mBase.LoadFromXml(mDocuments.back().FirstChildElement("root"), mTracks, mAnims, mImages);
    }
    void SetAmounts(const std::array<int32_t, 8>& amounts)
    {
        for (int32_t id = 0; id < 8; ++id)
            mBase.Definition(id).mAmount = amounts[size_t(id)];
    }

    CBonusBase mBase;
};

TEST_F(CBonusBaseTest, SampleFileLoadsEveryBonusWithItsParameters)
{
    LoadSample();
    EXPECT_TRUE(LogHas("CBonusBase has 8 bonuses"));
    EXPECT_EQ(mBase.RecordsInUse(), 8);
    for (int32_t id = 0; id < 8; ++id) {
        EXPECT_TRUE(mBase.Loaded(id));
        EXPECT_EQ(mBase.Definition(id).mId, id);
        EXPECT_EQ(mBase.Definition(id).mPoolIndex, id);
        EXPECT_NE(mBase.Definition(id).mAnimation, CBonusBase::kNone);
    }
    EXPECT_EQ(mBase.FindBonus("bonus_bomb"), kBonusBomb);
    EXPECT_EQ(mBase.FindBonus("bomb"), CBonusBase::kNone);
    EXPECT_GT(mBase.mFadeSpeed, 0.0f);
    EXPECT_NE(mBase.mSniper.mActionPulse, CBonusBase::kNone);
    EXPECT_NE(mBase.mShell.mUnfade, CBonusBase::kNone);
    EXPECT_NE(mBase.mShell.mFadeToBlack, CBonusBase::kNone);
    // The beam is a second animation over the same frames, with its own instance.
    const CBonusBase::PowerBall& p = mBase.mPowerBall;
    EXPECT_NE(p.mBeamAnim, p.mAnim);
    EXPECT_EQ(p.mBeamDefinition.mEndFrame - p.mBeamDefinition.mFirstFrame,
              p.mDefinition.mEndFrame - p.mDefinition.mFirstFrame);
    ASSERT_NE(p.mBeamInstance, nullptr);
    EXPECT_FLOAT_EQ(p.mFrameWidth, 32.0f);
    EXPECT_FLOAT_EQ(p.mFrameHeight, 16.0f);
    EXPECT_FLOAT_EQ(p.mFrameSum, 48.0f);
    EXPECT_GT(p.mParticles.particleCount, 0);
    EXPECT_NE(p.mParticles.animInstance, nullptr);
    EXPECT_NE(mBase.mBomb.mExplosion, nullptr);
    EXPECT_GT(mBase.mBomb.mStartPercent, 0.0f);
    for (size_t k = 0; k < 3; ++k)
        EXPECT_FLOAT_EQ(mBase.mShadowBall.mReciprocal[k],
                        1.0f / (mBase.mShadowBall.mEnd[k] - mBase.mShadowBall.mStart[k]));
}

// A bonus that fails to load keeps its place: the others stay under their ids
// and the failed one can never be made available.
TEST_F(CBonusBaseTest, FailedBonusKeepsItsPlaceAndIsNeverAvailable)
{
    LoadText("<root><commons fade_speed='0.5'/>"
             "<bonus_sniper frames='bonus_sniper_anim' fadein='bn_fadein' fadeout='bn_fadeout' action_pulse='nope'/>"
             "<bonus_shell frames='bonus_shell_anim' fadein='bn_fadein' fadeout='bn_fadeout'"
             " unfade='bn_unfade' fadetoblack='bn_fadetoblack' ofsx='7'/>"
             "</root>");
    EXPECT_TRUE(LogHas("CBonusBase: error - can't load bonus_sniper"));
    EXPECT_TRUE(LogHas("CBonusBase: error - can't load bonus_randomize"));
    EXPECT_TRUE(LogHas("CBonusBase has 1 bonuses"));
    EXPECT_FLOAT_EQ(mBase.mFadeSpeed, 0.5f);
    EXPECT_EQ(mBase.RecordsInUse(), 8);
    EXPECT_TRUE(mBase.Loaded(kBonusShell));
    EXPECT_EQ(mBase.Definition(kBonusShell).mOffsetX, 7);
    EXPECT_EQ(mBase.Definition(kBonusTime).mId, kBonusTime);

    mBase.SetAmount(kBonusSniper, 3);
    mBase.SetAmount(kBonusShell, 2);
    EXPECT_EQ(mBase.Amount(kBonusSniper), 0);
    EXPECT_EQ(mBase.Available().Ids(), std::vector<int32_t>{kBonusShell});
    SetAmounts({5, 0, 0, 2, 0, 0, 0, 0});
    mBase.AvailableBonuses();
    EXPECT_EQ(mBase.Available().Ids(), std::vector<int32_t>{kBonusShell});
}

TEST_F(CBonusBaseTest, AmountsDecideTheAvailableList)
{
    LoadSample();
    SetAmounts({0, 2, 0, 1, 0, 0, 3, 0});
    mBase.AvailableBonuses();
    EXPECT_EQ(mBase.Available().Ids(), (std::vector<int32_t>{1, 3, 6}));
    EXPECT_EQ(mBase.Available().WeightSum(), 30000);

    mBase.SetAmount(0, 1); // 0 -> 1 joins
    EXPECT_TRUE(mBase.Available().Contains(0));
    mBase.SetAmount(1, 1); // 2 -> 1 stays
    mBase.SetAmount(3, 0); // 1 -> 0 leaves; the last id takes its place
    EXPECT_EQ(mBase.Available().Ids(), (std::vector<int32_t>{1, 0, 6}));
    mBase.SetAmount(3, 0); // already 0: nothing to remove
    EXPECT_EQ(mBase.Available().Count(), 3);
    EXPECT_EQ(mBase.Available().WeightSum(), 30000);
}

TEST_F(CBonusBaseTest, FadeColourFollowsTheLightPhases)
{
    mBase.mShadowBall.mStart = {0.2f, 0.0f, 0.5f};
    mBase.mShadowBall.mEnd = {0.6f, 1.0f, 0.5f};
    mBase.mShadowBall.mReciprocal = {2.5f, 1.0f, 0.0f};
    struct Case {
        float t;
        int32_t l1, l2, l3;
    };
    for (const Case& c : {Case{0.1f, 255, 230, 255}, Case{0.2f, 255, 204, 255}, Case{0.4f, 128, 153, 255},
                          Case{0.7f, 0, 77, 0}, Case{1.5f, 0, 0, 0}}) {
        int32_t l1 = -1, l2 = -1, l3 = -1;
        mBase.FadeColour(c.t, &l1, &l2, &l3);
        EXPECT_EQ(l1, c.l1) << c.t;
        EXPECT_EQ(l2, c.l2) << c.t;
        EXPECT_EQ(l3, c.l3) << c.t;
    }
}

TEST_F(CBonusBaseTest, LiveRecordsAreCopiesAndReleaseBySwappingTheLast)
{
    LoadSample();
    BonusRecord* a = mBase.TakeRecord(kBonusBomb);
    BonusRecord* b = mBase.TakeRecord(kBonusTime);
    BonusRecord* c = mBase.TakeRecord(kBonusShell);
    EXPECT_EQ(a->mId, kBonusBomb);
    EXPECT_EQ(a->mAnimation, mBase.Definition(kBonusBomb).mAnimation);
    EXPECT_EQ(a->mPoolIndex, 8);
    EXPECT_EQ(c->mPoolIndex, 10);

    mBase.ReleaseSlot(c); // the last: only the count falls
    EXPECT_EQ(mBase.RecordsInUse(), 10);
    EXPECT_EQ(b->mPoolIndex, 9);
    c = mBase.TakeRecord(kBonusShell);
    mBase.ReleaseSlot(a); // a middle one: the last moves into its place
    EXPECT_EQ(mBase.RecordsInUse(), 10);
    EXPECT_EQ(c->mPoolIndex, 8);
    EXPECT_EQ(b->mPoolIndex, 9);
    mBase.ReleaseSlot(a); // released already
    mBase.ReleaseSlot(&mBase.Definition(kBonusSniper));
    EXPECT_EQ(mBase.RecordsInUse(), 10);
    EXPECT_EQ(mBase.Definition(kBonusSniper).mPoolIndex, 0);
}

// With more than four ids no place among the last three picks comes again,
// except the last place, which takes every repeat; four ids or fewer may repeat.
TEST(CBonusListTest, LongListsAvoidRecentPicks)
{
    Lumo::SeedRandom(99);
    for (const int32_t count : {4, 5, 7}) {
        CBonusList list;
        list.Setup(count, 10);
        for (int32_t id = 0; id < count; ++id)
            list.Add(100 + id);
        std::vector<int32_t> picks;
        bool repeated = false;
        for (int32_t n = 0; n < 300; ++n) {
            int32_t index = -1;
            const int32_t id = list.Pick(&index);
            ASSERT_EQ(id, 100 + index);
            for (size_t back = 1; back <= 3 && back <= picks.size(); ++back)
                if (picks[picks.size() - back] == index) {
                    repeated = true;
                    if (count > 4) {
                        EXPECT_EQ(index, count - 1) << count;
                    }
                }
            picks.push_back(index);
        }
        if (count == 4) {
            EXPECT_TRUE(repeated);
        }
    }
    CBonusList empty;
    int32_t index = 5;
    EXPECT_EQ(empty.Pick(&index), -1);
}

} // namespace
