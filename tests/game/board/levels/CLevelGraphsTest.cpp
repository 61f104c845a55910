#include "game/board/field/CFieldBase.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/board/levels/CLevelTable.h"
#include "game/board/levels/LevelCommands.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CPieceBase.h"
#include "framework/core/RandomNumber.h"
#include "tests/game/support/GameFixture.h"

#include <algorithm>
#include <tinyxml.h>
#include <utility>
#include <vector>

namespace {

// Ten levels l0..l9 whose level index is their number.
class CLevelGraphsTest : public GameTest::GameFixture {
protected:
    void SetUp() override
    {
        RegisterLevelCommands();
        std::string levels = "<root>";
        for (int i = 0; i < 10; ++i)
            levels += "<level name='l" + std::to_string(i) +
                      "'><checkpoints><checkpoint blocktypes='3' turns='9'/></checkpoints><match/></level>";
        TiXmlDocument document;
        document.Parse((levels + "</root>").c_str());
        ASSERT_TRUE(mLevels.LoadFromXml(document.RootElement(), mPieces, mShapes));
        Lumo::SeedRandom(4357);
    }

    bool Load(const std::string& graphs)
    {
        TiXmlDocument document;
        document.Parse(("<root>" + graphs + "</root>").c_str());
        return mGraphs.LoadFromXml(document.RootElement(), mLevels);
    }

    static std::string Levels(int from, int to)
    {
        std::string xml;
        for (int i = from; i < to; ++i)
            xml += "<level name='l" + std::to_string(i) + "' bonus='" + std::to_string(10 * i) + "'/>";
        return xml;
    }

    std::vector<int32_t> Pick(int32_t graph, int32_t from, int32_t to)
    {
        std::vector<int32_t> levels;
        for (int32_t position = from; position < to; ++position) {
            int32_t onload = 0;
            levels.push_back(mGraphs.PickNext(graph, position, &onload));
        }
        return levels;
    }

    CImageTable mImages{&App()};
    CPieceBase mPieces{mImages};
    CFieldBase mShapes;
    CLevelTable mLevels;
    CLevelGraphs mGraphs;
};

} // namespace

TEST_F(CLevelGraphsTest, CyclesThroughShuffledMediumAndHardEntriesPastTheList)
{
    ASSERT_TRUE(Load("<graph easy='0,1' medium='1,3' hard='3,6'>" + Levels(0, 10) + "</graph>"));
    mGraphs.PrepareGraph(0);
    EXPECT_EQ(mGraphs.WorkingLength(), 10);
    EXPECT_EQ(Pick(0, 0, 10), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    const std::vector<int32_t> cycle = Pick(0, 10, 15);
    std::vector<int32_t> sorted = cycle;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int32_t>{1, 2, 3, 4, 5}));
    // Within a cycle the bonus follows the same order without reshuffling.
    for (int32_t i = 0; i < 5; ++i)
        EXPECT_EQ(mGraphs.GetEntryBonus(0, 10 + i), 10 * cycle[size_t(i)]);

    std::vector<std::vector<int32_t>> later;
    for (int32_t start = 15; start < 15 + 5 * 6; start += 5)
        later.push_back(Pick(0, start, start + 5));
    const bool reshuffled =
        std::any_of(later.begin(), later.end(), [&](const std::vector<int32_t>& order) { return order != cycle; });
    EXPECT_TRUE(reshuffled);
}

// A game taken up again in a cycle, as after a close with the seed it saved,
// plays the level it was playing there, at a cycle's first position too,
// however often a position is asked for; another seed plays other orders.
TEST_F(CLevelGraphsTest, TheCycleSeedGivesEachCycleItsOrderAgain)
{
    ASSERT_TRUE(Load("<graph easy='0,1' medium='1,3' hard='3,6'>" + Levels(0, 10) + "</graph>"));
    mGraphs.PrepareGraph(0);
    EXPECT_EQ(mGraphs.CycleSeed(), 0u);
    EXPECT_EQ(Pick(0, 0, 10), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(mGraphs.CycleSeed(), 0u) << "drawn before a cycle is reached";
    const std::vector<int32_t> played = Pick(0, 10, 25);
    const uint32_t seed = mGraphs.CycleSeed();
    EXPECT_GE(seed, CLevelGraphs::kFirstSeed);
    for (int32_t position = 10; position < 25; ++position) {
        mGraphs.PrepareGraph(0);
        mGraphs.SetCycleSeed(seed);
        for (int32_t ask = 0; ask < 2; ++ask) {
            EXPECT_EQ(Pick(0, position, position + 1), std::vector<int32_t>{played[size_t(position - 10)]})
                << position;
        }
    }
    mGraphs.SetCycleSeed(seed + 1);
    EXPECT_NE(Pick(0, 10, 25), played);
}

TEST_F(CLevelGraphsTest, OnloadsApplyFromTheirPositionAndTheLaterWins)
{
    ASSERT_TRUE(Load("<graph><onload ball_idx='1'/><level name='l0'/><level name='missing'/><level name='l1'/>"
                     "<onload ball_idx='2'/><onload ball_idx='3' background_idx='0' gameborder_idx='4'/>"
                     "<level name='l2'/></graph><graph><level name='l3'/><onload ball_idx='5'/></graph>"));
    const std::pair<int32_t, int32_t> expected[] = {{0, 0}, {1, 0}, {2, 2}};
    for (const auto& [position, onload] : expected) {
        int32_t got = 0;
        EXPECT_EQ(mGraphs.PickNext(0, position, &got), position);
        EXPECT_EQ(got, onload) << position;
    }
    EXPECT_EQ(mGraphs.OnloadAt(2).mGameBorder, 4);
    int32_t onload = 0;
    mGraphs.PickNext(1, 0, &onload);
    EXPECT_EQ(onload, -1);
    EXPECT_EQ(mGraphs.GraphAt(1).mFirstOnload, 3);
}

TEST_F(CLevelGraphsTest, DamageScaleMissingOrEmpty)
{
    ASSERT_TRUE(Load("<graph><level name='l0'/></graph><graph damagescale=''><level name='l0'/></graph>"
                     "<graph damagescale='1.5'><level name='l0'/></graph>"));
    EXPECT_FLOAT_EQ(mGraphs.GraphAt(0).mDamageScale, 1.0f);
    EXPECT_FLOAT_EQ(mGraphs.GraphAt(1).mDamageScale, 0.0f);
    EXPECT_FLOAT_EQ(mGraphs.GraphAt(2).mDamageScale, 1.5f);
}

TEST_F(CLevelGraphsTest, RangesOutsideTheListAndPositionsWithoutACycleStaySafe)
{
    ASSERT_TRUE(Load("<graph easy='0,2' medium='2,20' hard='30,40'>" + Levels(0, 4) + "</graph>" +
                     "<graph easy='0,0' medium='0,0' hard='0,0'>" + Levels(0, 3) + "</graph>" + "<graph>" +
                     Levels(5, 7) + "</graph><graph><level name='missing'/></graph>"));
    EXPECT_TRUE(LogHas("ERROR LevelGraphs - graph 0: ranges outside its levels or apart"));
    EXPECT_TRUE(LogHas("ERROR LevelGraphs - graph 3 has no levels"));
    EXPECT_EQ(mGraphs.GraphAt(0).mMedium.mTo, 4);
    EXPECT_EQ(mGraphs.GraphAt(0).mHard.Length(), 0);
    mGraphs.PrepareGraph(0);
    std::vector<int32_t> cycle = Pick(0, 4, 6);
    std::sort(cycle.begin(), cycle.end());
    EXPECT_EQ(cycle, (std::vector<int32_t>{2, 3}));

    mGraphs.PrepareGraph(1);
    EXPECT_EQ(Pick(1, 3, 5), (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(Pick(2, 2, 4), (std::vector<int32_t>{6, 6}));
    EXPECT_EQ(Pick(3, 0, 1), (std::vector<int32_t>{-1}));
    EXPECT_EQ(mGraphs.GetEntryBonus(3, 0), 0);
}

TEST_F(CLevelGraphsTest, AFileWithoutLevelsFailsToLoad)
{
    EXPECT_FALSE(Load("<graph><level name='missing'/></graph>"));
    EXPECT_FALSE(Load(""));
}

// An endless graph as the game ships it: l4, the crazy level, listed after an
// onload of its own look and slow ball, l5 after the plain one again. Past the
// list each level brings the onload of its listed position, wherever a cycle's
// shuffle puts it; the map game's graph, without a cycle, is looked up by position.
TEST_F(CLevelGraphsTest, EveryLevelBringsTheOnloadOfItsListedPosition)
{
    ASSERT_TRUE(Load("<graph easy='0,2' medium='2,4' hard='4,6'><onload ball_idx='0'/>" + Levels(0, 4) +
                     "<onload ball_idx='2' gameborder_idx='1' background_idx='1'/>" + Levels(4, 5) +
                     "<onload ball_idx='0'/>" + Levels(5, 6) + "</graph><graph><onload ball_idx='0'/>" +
                     Levels(0, 2) + "<onload ball_idx='2'/>" + Levels(2, 3) + "</graph>"));
    const auto ball = [this](int32_t onload) { return onload < 0 ? -1 : mGraphs.OnloadAt(onload).mBall; };
    const auto look = [this](int32_t onload) {
        const CLevelGraphs::Onload& entry = mGraphs.OnloadAt(onload);
        return std::make_pair(entry.mGameBorder, entry.mBackground);
    };

    struct Listed {
        int32_t mGraph, mPosition, mLevel, mBall;
    };
    const Listed listed[] = {{0, 3, 3, 0}, {0, 4, 4, 2}, {0, 5, 5, 0}, {1, 1, 1, 0}, {1, 2, 2, 2}, {1, 7, 2, 2}};
    mGraphs.PrepareGraph(0);
    for (const Listed& c : listed) {
        int32_t onload = -1;
        EXPECT_EQ(mGraphs.PickNext(c.mGraph, c.mPosition, &onload), c.mLevel) << c.mGraph << ' ' << c.mPosition;
        EXPECT_EQ(ball(onload), c.mBall) << c.mGraph << ' ' << c.mPosition;
    }

    // Slot k of a cycle plays at positions 6 + k, 10 + k, ...; slot 2 is where l4 is listed.
    struct InCycle {
        int32_t mSlot, mLevel, mBall;
        bool mMet;
    };
    InCycle cycled[] = {{0, 4, 2, false}, {1, 4, 2, false}, {2, 4, 2, false}, {3, 4, 2, false},
                        {2, 2, 0, false}, {2, 3, 0, false}, {2, 5, 0, false}, {0, 5, 0, false}};
    for (int32_t position = 6; position < 6 + 4 * 60; ++position) {
        int32_t onload = -1;
        const int32_t level = mGraphs.PickNext(0, position, &onload);
        EXPECT_EQ(ball(onload), level == 4 ? 2 : 0) << position;
        EXPECT_EQ(look(onload), level == 4 ? std::make_pair(1, 1) : std::make_pair(0, 0)) << position;
        for (InCycle& c : cycled)
            c.mMet = c.mMet || (c.mSlot == (position - 6) % 4 && c.mLevel == level && c.mBall == ball(onload));
    }
    for (const InCycle& c : cycled)
        EXPECT_TRUE(c.mMet) << "l" << c.mLevel << " in slot " << c.mSlot << " with ball " << c.mBall;
}
