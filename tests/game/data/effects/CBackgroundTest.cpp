#include "game/data/effects/CBackground.h"

#include "framework/core/RandomNumber.h"
#include "framework/core/RuntimeRandom.h"
#include "tests/game/data/SampleTables.h"

#include <gtest/gtest.h>

#include <set>

namespace GameTest {
namespace {

constexpr const char* kGroup = "<group min=\"%MIN%\" max=\"%MAX%\" grid=\"40\" anim_speed_variation_percent=\"10\""
                               " track_speed_variation_percent=\"20\" spawn_speed_variation_percent=\"30\""
                               " spawn_interval_speed=\"0.5\" track_speed=\"0.05\" x_right=\"850\" x_left=\"-150\""
                               " bias=\"-20\"><obj src=\"bg_cloud\"/></group>";

std::string Group(int min, int max)
{
    std::string text = kGroup;
    text.replace(text.find("%MIN%"), 5, std::to_string(min));
    text.replace(text.find("%MAX%"), 5, std::to_string(max));
    return text;
}

class BackgroundTest : public SampleTables {
protected:
    BackgroundTest()
    {
        App().AddImage("res\\bg_strip.png", 512, 600);
        App().AddImage("res\\star.png", 36, 9);
        App().AddImage("res\\cloud.png", 96, 48);
        LoadTables();
    }

    void Load(const std::string& backgrounds)
    {
        WriteFile("res\\backgrounds.xml", "<root>" + backgrounds + "</root>");
        mBackground.LoadFromXml();
    }

    // Updates until pred holds, at most limit times; whether it came to hold.
    template <typename Pred>
    bool RunUntil(Pred pred, int limit = 5000)
    {
        for (int i = 0; i < limit && !pred(); ++i)
            mBackground.Update(1.0f);
        return pred();
    }

    CBackground mBackground{mImages, mAnims, mTracks, mSceneObjects};
};

TEST_F(BackgroundTest, TheSampleFileResolvesEveryName)
{
    WriteFile("res\\backgrounds.xml", ContentFile("backgrounds.xml"));
    mBackground.LoadFromXml();
    ASSERT_EQ(mBackground.Records().size(), 1u);
    const CBackground::Record& record = mBackground.Records()[0];
    EXPECT_EQ(record.imageCount, 1);
    EXPECT_EQ(record.starCount, 1);
    EXPECT_EQ(record.starAmount, 8);
    ASSERT_EQ(record.groupCount, 1);
    EXPECT_EQ(mBackground.Groups()[0].objectCount, 1);
    EXPECT_TRUE(LogHas("Backgrounds: loaded 1 backgrounds."));
}

TEST_F(BackgroundTest, StarsSitInDistinctCellsOfTheGrid)
{
    Lumo::SRand(5);
    Load("<background speed=\"0.3\"><image src=\"res\\bg_strip.png|1\"/><stars amount=\"8\""
         " speed_variation_percent=\"30\"><star src=\"star_anim\"/></stars></background>");
    mBackground.SetBackground(0, false);
    ASSERT_EQ(mBackground.Cells().size(), 16u);
    EXPECT_EQ(mBackground.CellWidth(), 160);
    EXPECT_EQ(mBackground.CellHeight(), 120);
    EXPECT_EQ(mBackground.Cells()[5].x, 160);
    EXPECT_EQ(mBackground.Cells()[5].y, 120);
    EXPECT_EQ(mBackground.Cells()[15].x, 480);
    EXPECT_EQ(mBackground.StripWidth(), 512);
    for (int round = 0; round < 3; ++round) {
        std::set<int32_t> cells;
        for (int32_t star = 0; star < 8; ++star) {
            const CBackground::Slot& slot = mBackground.Slots()[size_t(star)];
            const CBackground::Cell& cell = mBackground.Cells()[size_t(slot.cell)];
            EXPECT_TRUE(cell.used);
            EXPECT_GE(slot.object.mX, cell.x);
            EXPECT_LT(slot.object.mX, cell.x + 160);
            cells.insert(slot.cell);
        }
        EXPECT_EQ(cells.size(), 8u);
        // Stars move on when their animation ends.
        for (int i = 0; i < 200; ++i)
            mBackground.Update(1.0f);
    }
}

TEST_F(BackgroundTest, ScrollingWrapsKeepingItsFractionAndTheStripCoversTheScreen)
{
    Load("<background speed=\"-100.25\"><image src=\"res\\bg_strip.png|1\"/></background>");
    mBackground.SetBackground(0, false);
    for (int i = 0; i < 6; ++i)
        mBackground.Update(1.0f);
    // -601.5 is beyond the strip: -601 % 512 = -89, with the half kept.
    EXPECT_FLOAT_EQ(mBackground.ScrollPosition(), -89.5f);
    RecordingGraphics g;
    mBackground.Draw(g.mGraphics);
    // Where each tile starts, before the clip cut it.
    std::vector<int> xs;
    for (const DrawOp& op : g.Ops())
        xs.push_back(op.mX - op.mSrcRect.mX);
    EXPECT_EQ(xs, (std::vector<int>{-89, 423}));

    mBackground.Update(-0.5f);
    for (int i = 0; i < 3; ++i)
        mBackground.Update(-1.0f);
    RecordingGraphics h;
    mBackground.Draw(h.mGraphics);
    ASSERT_FALSE(h.Ops().empty());
    EXPECT_EQ(h.Ops().front().mX, 0);
    EXPECT_GE(h.Ops().back().mX + h.Ops().back().mSrcRect.mWidth, 800);
}

TEST_F(BackgroundTest, GroupsKeepBetweenMinAndMaxFlyingObjects)
{
    Lumo::SeedRandom(11);
    Load("<background speed=\"0\">" + Group(1, 1) + "</background><background speed=\"0\">" + Group(0, 3) +
         "</background>");
    mBackground.SetBackground(0, false);
    ASSERT_TRUE(RunUntil([&] { return mBackground.LiveTotal() == 1; }));
    for (int i = 0; i < 300; ++i) {
        mBackground.Update(1.0f);
        EXPECT_LE(mBackground.LiveTotal(), 1);
    }
    const CBackground::Slot& flying = mBackground.Slots()[0];
    ASSERT_TRUE(flying.used);
    EXPECT_EQ(flying.width, 96);
    EXPECT_EQ(int(flying.pathCurve.mValues[1]) % 40, 0);
    EXPECT_FLOAT_EQ(flying.pathCurve.mValues[3] - flying.pathCurve.mValues[1], -20.0f);

    mBackground.SetBackground(1, false);
    int most = 0;
    for (int i = 0; i < 2000; ++i) {
        mBackground.Update(1.0f);
        most = std::max(most, mBackground.LiveTotal());
    }
    EXPECT_EQ(most, 3);
}

TEST_F(BackgroundTest, ASmoothSwitchWaitsForTheFlyingObjectsAndHappensAtOnceWithoutThem)
{
    Load("<background speed=\"0\">" + Group(1, 2) + "</background><background speed=\"0\"/>"
         "<background speed=\"0\">" + Group(1, 2) + "</background>");
    mBackground.SetBackground(0, true);
    EXPECT_EQ(mBackground.Current(), 0) << "nothing is current, so nothing to wait for";
    mBackground.SetBackground(1, true);
    EXPECT_EQ(mBackground.Current(), 1) << "no object in flight";

    mBackground.SetBackground(2, false);
    ASSERT_TRUE(RunUntil([&] { return mBackground.LiveTotal() > 0; }));
    mBackground.SetBackground(0, true);
    EXPECT_TRUE(mBackground.Switching());
    EXPECT_EQ(mBackground.Current(), 2);
    ASSERT_TRUE(RunUntil([&] { return mBackground.Current() == 0; }));
    EXPECT_FALSE(mBackground.Switching());
    mBackground.SetBackground(0, true);
    EXPECT_EQ(mBackground.Current(), 0);
}

TEST_F(BackgroundTest, EmptyAndZeroRangesFromTheDataNeitherCrashNorDivide)
{
    Load("<background speed=\"1\"><image src=\"res\\missing.png\"/><stars amount=\"3\""
         " speed_variation_percent=\"0\"/><group min=\"2\" max=\"2\" grid=\"0\"/>"
         "<group min=\"0\" max=\"1\" grid=\"0\" track_speed=\"0.5\" spawn_interval_speed=\"0.5\">"
         "<obj src=\"bg_cloud\"/></group></background>");
    mBackground.SetBackground(0, false);
    mBackground.SetBackground(7, false);
    EXPECT_EQ(mBackground.Current(), 0);
    RecordingGraphics g;
    for (int i = 0; i < 50; ++i) {
        mBackground.Update(1.0f);
        mBackground.Draw(g.mGraphics);
    }
    EXPECT_TRUE(LogHas("ERROR: no background 7"));
}

} // namespace
} // namespace GameTest
