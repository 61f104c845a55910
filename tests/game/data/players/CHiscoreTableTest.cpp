#include "game/data/players/CHiscoreTable.h"

#include "framework/core/PathUtils.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/effects/CTextLabels.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/players/PlayerFile.h"
#include "tests/game/data/players/PlayerFileFixture.h"
#include "tests/support/PlantedTemporaries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

namespace GameTest {
namespace {

struct Row {
    const char* name;
    int32_t score;
};

std::string TableBytes(const std::vector<Row>& rows, int32_t extra = 0)
{
    std::string bytes;
    for (const Row& row : rows) {
        std::string name(16, '\0');
        std::memcpy(name.data(), row.name, std::strlen(row.name));
        bytes += name;
        PlayerFile::PutInt32(bytes, row.score);
        PlayerFile::PutInt32(bytes, extra);
    }
    bytes.resize(size_t(CHiscoreTable::kTableBytes), '\0');
    return bytes;
}

std::vector<std::string> Names(const CHiscoreTable& table, int32_t index)
{
    std::vector<std::string> names;
    for (const HiscoreEntry& entry : table.GetTable(index))
        names.emplace_back(entry.name);
    return names;
}

using HiscoreTableTest = PlayerFileFixture;

TEST_F(HiscoreTableTest, RankPutsANewScoreAboveAnEqualScoreOfAnotherName)
{
    WriteData("scores.dat", TableBytes({{"ann", 500}, {"bob", 400}, {"cid", 400}, {"dan", 300}}) +
                                TableBytes({{"full", 7}, {"full", 7}, {"full", 7}, {"full", 7}, {"full", 7},
                                            {"full", 7}, {"full", 7}, {"full", 7}}));
    CHiscoreTable table;
    table.Load();
    const struct {
        int32_t table;
        int32_t score;
        const char* name;
        bool enters;
        int32_t rank;
    } cases[] = {
        {1, 400, "bob", true, 2},  {1, 400, "zed", true, 1},   {1, 400, nullptr, true, 3},
        {1, 600, "ann", true, 0},  {1, 0, "zed", true, 4},     {0, 7, nullptr, false, 0},
        {0, 7, "full", false, 0},  {0, 7, "other", true, 0},   {0, 6, "other", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.table << " " << c.score << " " << (c.name ? c.name : "(none)"));
        int32_t rank = -1;
        EXPECT_EQ(table.FindRank(c.table, c.score, &rank, c.name), c.enters);
        if (c.enters) {
            EXPECT_EQ(rank, c.rank);
        }
    }
}

TEST_F(HiscoreTableTest, InsertingShiftsTheTableAndMarksTheEntry)
{
    CHiscoreTable table;
    for (int32_t i = 0; i < 8; ++i)
        table.InsertWithExtra(("p" + std::to_string(i)).c_str(), 100 - i * 10, i);
    EXPECT_EQ(table.CurrentEntry(), 7);

    table.InsertWithExtra("top", 1000, 9);
    EXPECT_EQ(table.CurrentEntry(), 0);
    EXPECT_EQ(Names(table, 0), (std::vector<std::string>{"top", "p0", "p1", "p2", "p3", "p4", "p5", "p6"}));
    EXPECT_EQ(table.GetTable(0)[1].extra, 0);
    EXPECT_EQ(table.GetTable(0)[0].extra, 9);

    table.InsertWithExtra("last", 45, 1);
    EXPECT_EQ(table.CurrentEntry(), 7);
    EXPECT_EQ(Names(table, 0).back(), "last");
    table.InsertWithExtra("low", 1, 1);
    EXPECT_EQ(Names(table, 0).back(), "last");
    EXPECT_EQ(table.CurrentEntry(), 7);

    EXPECT_TRUE(table.Insert("a name of twenty chars", 50));
    EXPECT_EQ(table.CurrentEntry(), 8);
    EXPECT_EQ(std::string(table.GetTable(1)[0].name), "a name of twent");
    EXPECT_TRUE(table.Insert("b", 60));
    EXPECT_EQ(table.CurrentEntry(), 8);
    EXPECT_TRUE(table.Insert("c", 55));
    EXPECT_EQ(table.CurrentEntry(), 9);
    EXPECT_EQ(table.GetTable(1)[1].extra, 0);
}

TEST_F(HiscoreTableTest, SaveWritesTheTablesInTheFileOrderAndReloadsThemExactly)
{
    const std::string t0 = TableBytes({{"zero", 300}}, 4);
    const std::string t1 = TableBytes({{"one", 200}, {"one b", 100}});
    const std::string t2 = TableBytes({{"two", 50}}, 9);
    const std::string t3 = TableBytes({{"three", 30}});
    WriteData("scores.dat", t1 + t0 + t3 + t2);
    CHiscoreTable table;
    table.Load();
    EXPECT_EQ(std::string(table.GetTable(0)[0].name), "zero");
    EXPECT_EQ(table.GetTable(0)[0].extra, 4);
    EXPECT_EQ(std::string(table.GetTable(2)[0].name), "two");

    table.ResetTables();
    table.Save();
    EXPECT_EQ(ReadData("scores.dat"), t3 + t2 + t3 + t2);

    table.InsertWithExtra("new", 400, 2);
    table.Save();
    CHiscoreTable again;
    again.Load();
    for (int32_t i = 0; i < CHiscoreTable::kTableCount; ++i)
        EXPECT_EQ(Names(again, i), Names(table, i)) << i;
    EXPECT_EQ(again.GetTable(0)[0].extra, 2);
}

// The names of the entries that hold one.
std::vector<std::string> Entries(const CHiscoreTable& table, int32_t index)
{
    std::vector<std::string> names = Names(table, index);
    names.erase(std::remove(names.begin(), names.end(), ""), names.end());
    return names;
}

// Every sound entry stays; a file not read whole is kept as it was until a
// change is saved, and then aside as a copy.
TEST_F(HiscoreTableTest, DamagedFilesKeepEverySoundEntryAndAreKeptAsideAtTheNextSave)
{
    const std::string t0 = TableBytes({{"zero", 300}});
    const std::string t1 = TableBytes({{"one", 200}});
    std::string unterminated = TableBytes({{"ann", 300}, {"bad", 250}, {"cid", 200}});
    std::memset(unterminated.data() + 24, 'x', 16);
    const std::string unsorted = TableBytes({{"low", 1}, {"high", 2}});
    const std::string three = TableBytes({{"ann", 300}, {"bob", 200}, {"cid", 100}});
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> table0;
        std::vector<std::string> table1;
        std::vector<std::string> table2;
        bool damaged;
    } cases[] = {
        {"384 bytes", t1 + t0, {"zero"}, {"one"}, {}, true},
        // The third entry is cut inside its score.
        {"cut inside table 0", t1 + three.substr(0, 60), {"ann", "bob"}, {"one"}, {}, true},
        {"unterminated name in table 1", unterminated + t0 + t1 + t0, {"zero"}, {"ann", "cid"}, {"zero"}, true},
        {"unsorted table 0", t1 + unsorted + t1 + t0, {"high", "low"}, {"one"}, {"zero"}, true},
        {"oversized", t1 + t0 + t1 + t0 + "trailing junk", {"zero"}, {"one"}, {"zero"}, true},
        {"empty", "", {}, {}, {}, true},
        {"sound", t1 + t0 + t1 + t0, {"zero"}, {"one"}, {"zero"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteData("scores.dat", c.bytes);
        std::filesystem::remove(DataPath("scores.dat.damaged"));
        CHiscoreTable table;
        table.Load();
        EXPECT_EQ(Entries(table, 0), c.table0);
        EXPECT_EQ(Entries(table, 1), c.table1);
        EXPECT_EQ(Entries(table, 2), c.table2);
        EXPECT_TRUE(table.Save());
        EXPECT_EQ(ReadData("scores.dat"), c.bytes);
        table.Insert("me", 5);
        EXPECT_TRUE(table.Save());
        EXPECT_EQ(ReadData("scores.dat").size(), 768u);
        EXPECT_EQ(std::filesystem::exists(DataPath("scores.dat.damaged")), c.damaged);
        if (c.damaged) {
            EXPECT_EQ(ReadData("scores.dat.damaged"), c.bytes);
        }
    }
}

// An insert that copies a shorter name over a longer one leaves the longer
// one's rest after the terminator: such a file is sound, and the rest goes.
TEST_F(HiscoreTableTest, NamesWithBytesAfterTheTerminatorAreReadAndTheRestIsZeroed)
{
    std::string t1 = TableBytes({{"BOBANDER", 200}, {"ann", 100}});
    t1[3] = '\0';
    const std::string t0 = TableBytes({{"zero", 300}});
    WriteData("scores.dat", t1 + t0 + t1 + t0);
    CHiscoreTable table;
    table.Load();
    EXPECT_EQ(Entries(table, 1), (std::vector<std::string>{"BOB", "ann"}));
    EXPECT_EQ(Entries(table, 3), (std::vector<std::string>{"BOB", "ann"}));
    table.Insert("me", 5);
    table.Save();
    EXPECT_EQ(ReadData("scores.dat").substr(0, 16), std::string("BOB") + std::string(13, '\0'));
    EXPECT_FALSE(std::filesystem::exists(DataPath("scores.dat.damaged")));
}

// A copy that once looked like a temporary of ours ("scores.dat." and six
// letters or digits) is the player's and stays.
TEST_F(HiscoreTableTest, SavingClearsTemporariesOfKilledWritesButNotOfRunningOnesNorCopies)
{
    WriteData("scores.dat.Ab12Cd", "the player's");
    std::filesystem::last_write_time(DataPath("scores.dat.Ab12Cd"),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    LumoTest::PlantedTemporaries planted(std::filesystem::path(DataPath("scores.dat")).parent_path(), "scores.dat");
    CHiscoreTable table;
    table.InsertWithExtra("new", 400, 2);
    table.Save();
    planted.ExpectSwept();
    EXPECT_EQ(ReadData("scores.dat.Ab12Cd"), "the player's");
}

TEST_F(HiscoreTableTest, MissingFileLeavesEmptyTables)
{
    CHiscoreTable table;
    table.Load();
    int32_t rank = -1;
    EXPECT_TRUE(table.FindRank(0, 1, &rank, "me"));
    EXPECT_EQ(rank, 0);
    EXPECT_FALSE(table.FindRank(0, 0, &rank, nullptr));
    table.Save();
    EXPECT_FALSE(Lumo::FileExistsOnDisk(DataPath("scores.dat")));
}

TEST_F(HiscoreTableTest, TheNewEntryIsDrawnByItsLabelsAndRanksStayWithinTheNames)
{
    FixedWidthFont entryFont(10), rankFont(7);
    CGameConfig::live.fonts[CGameConfig::kNormal] = &entryFont;
    CGameConfig::live.fonts[CGameConfig::kService] = &rankFont;
    CGameConfig::HiscoreLayout& layout = CGameConfig::hiscoreLayout;
    layout.entryFont = CGameConfig::kNormal;
    layout.rankFont = CGameConfig::kService;
    layout.line1P = {170, 170};
    layout.line2P = {460, 170};
    layout.rowSpacing = 34;
    layout.textOffset = {40, 22};
    layout.scoreOffset = {170, 22};
    layout.digitOffset = {12, 22};
    layout.rankOffset = {40, 38};
    layout.highlightRect = {-4, -18, 256, 32};
    layout.highlightColor = Lumo::Color(255, 200, 60, 96);
    CTrackBase tracks;
    CTextLabels::Get().Attach(&tracks, nullptr);

    // A file from elsewhere may hold ranks beyond the names, or below 0.
    std::string t0 = TableBytes({{"ann", 500}}, -3).substr(0, 24) + TableBytes({{"bob", 400}}, 42).substr(0, 24);
    t0.resize(size_t(CHiscoreTable::kTableBytes), '\0');
    WriteData("scores.dat", TableBytes({{"cid", 90}}) + t0);
    CHiscoreTable table;
    table.Load();
    ASSERT_TRUE(table.Insert("dan", 95));
    table.SetShowHighlight(true);
    table.ShowHighlight();

    RecordingGraphics g;
    CImageTable images(&App());
    table.Draw(g.mGraphics, 80, images, {"r0", "r1", "r2"});
    std::vector<std::string> texts;
    for (const GraphicsTests::TextDraw& draw : entryFont.mDraws)
        texts.push_back(draw.mText + "@" + std::to_string(draw.mX) + "," + std::to_string(draw.mY));
    // Row 0 of the second table is the new entry: its name and score come from the labels.
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "dan@500,192"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "d@500,192"), 1) << "typing starts with one character";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "95@630,192"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "0@630,192"), 1) << "counting starts from 0";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "ann@210,192"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "cid@500,226"), 1);
    std::vector<std::string> ranks;
    for (const GraphicsTests::TextDraw& draw : rankFont.mDraws)
        ranks.push_back(draw.mText);
    EXPECT_EQ(ranks, (std::vector<std::string>{"r0", "r2"}));
    ASSERT_FALSE(g.Ops().empty());
    EXPECT_EQ(g.Ops()[0].mOp, "FillRect");
    EXPECT_EQ(g.Ops()[0].mDestRect, (Lumo::Rect{460 + 12 - 4, 170 + 22 - 18, 256, 32}));
    EXPECT_EQ(g.Ops()[0].mColor.mAlpha, 80);

    table.ReleaseHandles();
    EXPECT_EQ(tracks.Running().Used(), 0u);
    CTextLabels::Get().Attach(nullptr, nullptr);
    CGameConfig::live = CGameConfig::Values();
    CGameConfig::hiscoreLayout = CGameConfig::HiscoreLayout();
}

} // namespace
} // namespace GameTest
