#include "framework/core/AppLog.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/data/players/PlayerFile.h"
#include "tests/app/MousePlayer.h"
#include "tests/app/ShippedGameTest.h"
#include "tests/support/FileSystemWithoutLinks.h"
#include "tests/support/PlantedTemporaries.h"
#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace AppTest {
namespace {

// A record of users.dat: the name, then its progress values from the first, the rest 0.
std::string ProfileRecord(const std::string& name, const std::vector<int32_t>& values = {})
{
    std::string bytes(16, '\0');
    name.copy(bytes.data(), name.size());
    for (size_t i = 0; i < 18; ++i)
        PlayerFile::PutInt32(bytes, i < values.size() ? values[i] : 0);
    return bytes;
}

std::string HiscoreEntryBytes(const std::string& name, int32_t score)
{
    std::string bytes(16, '\0');
    name.copy(bytes.data(), std::min<size_t>(name.size(), 16));
    PlayerFile::PutInt32(bytes, score);
    PlayerFile::PutInt32(bytes, 0);
    return bytes;
}

std::vector<std::string> ProfileNames(const CUserProfiles& profiles)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < profiles.Count(); ++i)
        names.emplace_back(profiles.Record(i).name);
    return names;
}

// The player's files as the program on the archive it ships reads them at
// start and writes them during play and at exit.
class PlayerFilesTest : public ShippedGameTest {
protected:
    // The game's data folder below the data home, where the player's files live.
    std::string GameFolder() const { return mDataHome + "/DravikGames/Zentrova"; }
    std::string GameFile(const std::string& name) const { return GameFolder() + "/" + name; }
    void WriteGameFile(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::create_directories(GameFolder());
        std::ofstream(GameFile(name), std::ios::binary) << bytes;
    }
    void UseDataHome(const std::string& folder)
    {
        mDataHome = folder;
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }

    // The game constructed, initialised and loaded, as far as its title.
    ScriptedGame& StartAndLoad()
    {
        ScriptedGame& game = Start(std::make_unique<ScriptedGame>());
        game.StartLoadingThread();
        game.WaitForLoadingThread();
        return game;
    }

    std::string mDataHome = mFolder / "xdg";
};

// A session's save keeps every sound profile and hiscore of files that each
// held one damaged record, and keeps the damaged files beside them.
TEST_F(PlayerFilesTest, OneDamagedRecordCostsOnlyItselfAndTheDamagedFileIsKept)
{
    std::string damaged = ProfileRecord("Bob");
    std::memset(damaged.data(), 'x', 16);
    const std::string users = ProfileRecord("Ann", {0, 0, 12}) + damaged + ProfileRecord("Cid") + ProfileRecord("Dan");
    WriteGameFile("users.dat", users);
    std::string table;
    for (int32_t i = 0; i < 8; ++i)
        table += HiscoreEntryBytes(i == 3 ? std::string(16, 'x') : "P" + std::to_string(i), 800 - 100 * i);
    const std::string empty(size_t(CHiscoreTable::kTableBytes), '\0');
    const std::string scores = table + empty + empty + empty;
    WriteGameFile("scores.dat", scores);

    {
        ScriptedGame& game = StartAndLoad();
        EXPECT_EQ(ProfileNames(*game.Profiles()), (std::vector<std::string>{"Ann", "Cid", "Dan"}));
        EXPECT_EQ(game.Profiles()->Record(0).progressA[2], 12);
        const CHiscoreTable::Table& kept = game.Hiscores()->GetTable(1);
        EXPECT_EQ(std::string(kept[2].name), "P2");
        EXPECT_EQ(std::string(kept[3].name), "P4");
        EXPECT_EQ(kept[6].score, 100);
        EXPECT_EQ(kept[7].score, 0);
        // What a game started from the menu saves.
        game.Profiles()->Add("Eve");
        game.Hiscores()->Insert("Eve", 50);
        game.SavePlayerFiles();
    }

    const std::string saved = LumoTest::ReadFile(GameFile("users.dat"));
    ASSERT_EQ(saved.size(), 4u * 88u);
    EXPECT_EQ(std::string(saved.data() + 3 * 88), "Eve");
    EXPECT_EQ(LumoTest::ReadFile(GameFile("users.dat.damaged")), users);
    const std::string savedScores = LumoTest::ReadFile(GameFile("scores.dat"));
    ASSERT_EQ(savedScores.size(), 768u);
    EXPECT_EQ(std::string(savedScores.data() + 6 * 24), "P7");
    EXPECT_EQ(std::string(savedScores.data() + 7 * 24), "Eve");
    EXPECT_EQ(LumoTest::ReadFile(GameFile("scores.dat.damaged")), scores);
}

// A position of INT_MAX would overflow the next position the level
// controller counts; each progress value comes in its range.
TEST_F(PlayerFilesTest, ProgressOutOfRangeIsClampedWhenTheGameReadsIt)
{
    WriteGameFile("users.dat", ProfileRecord("Ann", {0, 0, INT32_MAX}));
    ScriptedGame& game = StartAndLoad();
    EXPECT_EQ(game.Profiles()->Record(0).progressA[2], CUserProfile::kMaxPosition);
    EXPECT_NE(LogText().find("users.dat - record 0 (Ann) has progress out of range"), std::string::npos);
}

// A saved game whose values lie beyond their ends is continued from the menu
// and played at the ends of their ranges: the level's points far below 0 once
// overflowed its completion bar, and points added to a score at its end the score.
TEST_F(PlayerFilesTest, ASavedGameAtTheEndsOfItsRangesPlaysOn)
{
    const int32_t most = INT32_MAX;
    const int32_t least = INT32_MIN;
    // Saved, stage, position, level points, level gain, score, supercombo and combo points, progress,
    // result, lives, energy.
    WriteGameFile("users.dat", ProfileRecord("Ann", {1, 0, 0, least, least, most, most, most, most, least, 1, 1000}));
    ScriptedGame& game = Start(std::make_unique<ScriptedGame>());
    MousePlayer player(game, Mouse(), "Ann", MousePlayer::kWin);
    game.mScript = [&](int update) {
        player.Update(update);
        if (update == 3000)
            game.RequestShutdown();
    };
    game.Run();

    EXPECT_TRUE(game.mFatalErrors.empty());
    ASSERT_FALSE(player.StartedPositions().empty()) << player.Report();
    const CUserProfile& saved = game.Profiles()->Record(0);
    EXPECT_LE(saved.progressA[5], CUserProfile::kMaxPoints);
}

// The data folder is the one place: a save that cannot go there goes nowhere
// else, is logged, and the player hears of it once.
TEST_F(PlayerFilesTest, AFailedSaveIsLoggedAndToldOnceAndWritesNowhereElse)
{
    mFolder.Write("blocked", "a file where the data home should be");
    UseDataHome(mFolder / "blocked/data");
    {
        ScriptedGame& game = StartAndLoad();
        game.Profiles()->Add("Ann");
        game.Hiscores()->Insert("Ann", 10);
        game.SavePlayerFiles();
        game.SavePlayerFiles();
        const auto& boxes = mSession.Desktop().MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Your progress could not be saved.");
    }
    // Nor again at exit.
    mGame.reset();
    EXPECT_EQ(mSession.Desktop().MessageBoxes().size(), 1u);
    for (const char* name : {"users.dat", "scores.dat"}) {
        EXPECT_FALSE(std::filesystem::exists(mFolder / name)) << name;
        EXPECT_NE(LogText().find(std::string("ERROR: can't write ") + name), std::string::npos) << name;
    }
}

// A data home longer than any fixed path buffer is still the data folder.
TEST_F(PlayerFilesTest, ALongDataHomeIsReadAndWritten)
{
    UseDataHome(mFolder / (std::string(100, 'a') + "/" + std::string(100, 'b') + "/" + std::string(100, 'c')));
    ASSERT_GE(GameFolder().size(), 300u);
    WriteGameFile("users.dat", ProfileRecord("Ann") + ProfileRecord("Bob") + ProfileRecord("Cid"));
    ScriptedGame& game = StartAndLoad();
    EXPECT_EQ(game.Profiles()->Count(), 3);
    game.Profiles()->Add("Dan");
    // The game saves as it ends.
    mGame.reset();
    EXPECT_EQ(LumoTest::ReadFile(GameFile("users.dat")).size(), 4u * 88u);
    EXPECT_FALSE(std::filesystem::exists(mFolder / "users.dat"));
}

TEST_F(PlayerFilesTest, ASavedFileKeepsItsPermissions)
{
    WriteGameFile("users.dat", ProfileRecord("Ann"));
    ASSERT_EQ(::chmod(GameFile("users.dat").c_str(), 0444), 0);
    StartAndLoad().Profiles()->Add("Bob");
    mGame.reset();
    EXPECT_EQ(LumoTest::ReadFile(GameFile("users.dat")).size(), 2u * 88u);
    struct stat status = {};
    ASSERT_EQ(::stat(GameFile("users.dat").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0444u);
}

// Where the file system takes no second name for a file and has no room, the
// damaged users.dat once went aside before the save that then failed: the
// next start found no profile at all.
TEST_F(PlayerFilesTest, ADamagedFileStaysUntilItsReplacementIsWritten)
{
    std::string damaged = ProfileRecord("Bob");
    std::memset(damaged.data(), 'x', 16);
    const std::string users = ProfileRecord("Ann") + ProfileRecord("Cid") + ProfileRecord("Dan") + damaged;
    WriteGameFile("users.dat", users);
    {
        LumoTest::FileSystemWithoutLinks full(LumoTest::FileSystemWithoutLinks::kFull);
        StartAndLoad().Profiles()->Add("Eve");
        mGame->SavePlayerFiles();
        mGame.reset();
    }
    EXPECT_EQ(LumoTest::ReadFile(GameFile("users.dat")), users);
    EXPECT_FALSE(std::filesystem::exists(GameFile("users.dat.damaged")));
    EXPECT_NE(LogText().find("ERROR: no copy of the damaged users.dat could be kept"), std::string::npos);

    LumoTest::FileSystemWithoutLinks roomy(LumoTest::FileSystemWithoutLinks::kRoomy);
    CUserProfiles& profiles = *StartAndLoad().Profiles();
    EXPECT_EQ(ProfileNames(profiles), (std::vector<std::string>{"Ann", "Cid", "Dan"}));
    profiles.Add("Eve");
    mGame.reset();
    EXPECT_EQ(LumoTest::ReadFile(GameFile("users.dat.damaged")), users);
    EXPECT_EQ(LumoTest::ReadFile(GameFile("users.dat")).size(), 4u * 88u);
}

// On a small disk without links, 3000 damaged records were written over by
// the one new player: the copy found no room where the new file did.
TEST_F(PlayerFilesTest, WhileNoCopyCanBeKeptADamagedFileIsNotWrittenOver)
{
    std::string damaged = ProfileRecord("Bob");
    std::memset(damaged.data(), 'x', 16);
    std::string users;
    for (int i = 0; i < 3000; ++i)
        users += damaged;
    WriteGameFile("users.dat", users);
    {
        LumoTest::FileSystemWithoutLinks smallDisk(16 * 1024);
        ScriptedGame& game = StartAndLoad();
        game.Profiles()->Add("Eve");
        game.SavePlayerFiles();
        // The game saves again as it ends; the player is told once.
        mGame.reset();
    }
    EXPECT_EQ(mSession.Desktop().MessageBoxes().size(), 1u);
    EXPECT_EQ(LumoTest::ReadFile(GameFile("users.dat")), users);
    EXPECT_FALSE(std::filesystem::exists(GameFile("users.dat.damaged")));
    EXPECT_NE(LogText().find("ERROR: no copy of the damaged users.dat could be kept; it is not written over"),
              std::string::npos);
}

// Files of mode 000, which the player may not read, were taken for missing
// ones: a save wrote the new player over the four players there and the new
// hiscore over 32, with no copy and the mode still 000. They are logged with
// the cause, kept by a second name, which needs no right to read them, and
// replaced by files the player may read; where no second name can be made,
// nothing replaces them and the player hears once that the progress could
// not be saved.
TEST_F(PlayerFilesTest, FilesThatMayNotBeReadAreKeptOrLeftInPlace)
{
    std::string users;
    for (const char* name : {"Ann", "Bob", "Cid", "Dan"})
        users += ProfileRecord(name);
    std::string scores;
    for (int32_t i = 0; i < 32; ++i)
        scores += HiscoreEntryBytes("P" + std::to_string(i), 3200 - 100 * i);
    const std::pair<const char*, std::string> files[] = {{"users.dat", users}, {"scores.dat", scores}};
    for (bool links : {true, false}) {
        UseDataHome(mFolder / (links ? "with-links" : "without-links"));
        for (const auto& [name, bytes] : files) {
            WriteGameFile(name, bytes);
            ASSERT_EQ(::chmod(GameFile(name).c_str(), 0), 0);
        }
        // The log is the child's to open: one process holds it at a time.
        Lumo::AppLog::GetInstance()->Close();
        const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(mFolder.Path(), [&] {
            std::optional<LumoTest::FileSystemWithoutLinks> withoutLinks;
            if (!links)
                withoutLinks.emplace(LumoTest::FileSystemWithoutLinks::kRoomy);
            ScriptedGame& game = StartAndLoad();
            EXPECT_EQ(game.Profiles()->Count(), 0);
            game.Profiles()->Add("Eve");
            game.Hiscores()->Insert("Eve", 50);
            game.SavePlayerFiles();
            mGame.reset();
            EXPECT_EQ(mSession.Desktop().MessageBoxes().size(), links ? 0u : 1u);
        });
        ASSERT_FALSE(end.timedOut);
        EXPECT_EQ(end.exitCode, 0) << "links " << links;
        for (const auto& [name, bytes] : files) {
            EXPECT_NE(LogText().find(std::string("ERROR: ") + name + " cannot be read (Permission denied)"),
                      std::string::npos)
                << name;
            EXPECT_EQ(LumoTest::ReadFile(GameFile(name) + (links ? ".damaged" : "")), bytes) << name;
            struct stat status = {};
            ASSERT_EQ(::stat(GameFile(name).c_str(), &status), 0);
            EXPECT_EQ(status.st_mode & 0777, links ? 0400u : 0u) << name;
        }
        EXPECT_EQ(LogText().find("ERROR: no copy of the damaged users.dat could be kept") != std::string::npos, !links);
    }
    const std::string saved = LumoTest::ReadFile(mFolder / "with-links/DravikGames/Zentrova/users.dat");
    EXPECT_EQ(saved, ProfileRecord("Eve"));
    EXPECT_FALSE(std::filesystem::exists(GameFile("users.dat.damaged")));
}

// A read that failed was taken for the end of the file: what came before it
// passed for the whole file, and the save wrote over the rest.
TEST_F(PlayerFilesTest, AReadThatFailsIsLoggedWithItsCauseAndTheFileIsKept)
{
    std::filesystem::create_directories(GameFolder());
    // A plain file whose reading fails at its first byte.
    ASSERT_EQ(::symlink("/proc/self/mem", GameFile("users.dat").c_str()), 0);
    StartAndLoad().Profiles()->Add("Ann");
    mGame.reset();
    EXPECT_NE(LogText().find("ERROR: users.dat cannot be read (Input/output error)"), std::string::npos);
    EXPECT_NE(LogText().find("ERROR: no copy of the damaged users.dat could be kept"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_symlink(GameFile("users.dat")));
}

// A FIFO waits for a writer that never comes: the start once hung on it.
TEST_F(PlayerFilesTest, WhatIsNoPlainFileIsLeftUnreadAndLogged)
{
    std::filesystem::create_directories(GameFolder());
    ASSERT_EQ(::mkfifo(GameFile("users.dat").c_str(), 0600), 0);
    std::filesystem::create_directory(GameFile("scores.dat"));
    ScriptedGame& game = StartAndLoad();
    EXPECT_EQ(game.Profiles()->Count(), 0);
    for (const char* name : {"users.dat", "scores.dat"})
        EXPECT_NE(LogText().find(std::string("ERROR: ") + name + " cannot be read (no plain file)"), std::string::npos)
            << name;
    game.Profiles()->Add("Ann");
    mGame.reset();
    EXPECT_EQ(LumoTest::ReadFile(GameFile("users.dat")).size(), 88u);
}

// The whole entries before the cut stay, as those of users.dat do.
TEST_F(PlayerFilesTest, AScoresFileCutInsideATableKeepsItsWholeEntries)
{
    std::string table;
    for (int32_t i = 0; i < 8; ++i)
        table += HiscoreEntryBytes("P" + std::to_string(i), 800 - 100 * i);
    // Table 1, then table 0 cut inside its fourth entry.
    const std::string scores = table + table.substr(0, 3 * 24 + 10);
    WriteGameFile("scores.dat", scores);
    ScriptedGame& game = StartAndLoad();
    const CHiscoreTable::Table& cut = game.Hiscores()->GetTable(0);
    EXPECT_EQ(std::string(cut[2].name), "P2");
    EXPECT_EQ(cut[2].score, 600);
    EXPECT_EQ(std::string(cut[3].name), "");
    ASSERT_TRUE(game.Hiscores()->Insert("Eve", 850));
    game.SavePlayerFiles();

    const std::string saved = LumoTest::ReadFile(GameFile("scores.dat"));
    ASSERT_EQ(saved.size(), 768u);
    EXPECT_EQ(std::string(saved.data() + 192 + 2 * 24), "P2");
    EXPECT_EQ(LumoTest::ReadFile(GameFile("scores.dat.damaged")), scores);
}

// A careful player's copies and a synced folder that users.dat leads to are
// the player's: a start and a save of the game leave them as they were, while
// what writes of ours cut off long ago left in our own folders goes, logged.
TEST_F(PlayerFilesTest, ThePlayersCopiesAndASyncedFolderOutlastAStartAndASave)
{
    const auto makeOld = [](const std::string& path) {
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    };
    const std::string settings = mFolder / "config/lumo";
    const std::string synced = mFolder / "synced";
    const std::string copies[] = {GameFile("users.dat.backup"), GameFile("scores.dat.abc123"),
                                  synced + "/users.dat.laptop", settings + "/registry.txt.backup"};
    for (const std::string& copy : copies) {
        std::filesystem::create_directories(std::filesystem::path(copy).parent_path());
        std::ofstream(copy) << "the player's";
        makeOld(copy);
    }
    std::ofstream(synced + "/users.dat", std::ios::binary) << ProfileRecord("Ann");
    std::filesystem::create_symlink(synced + "/users.dat", GameFile("users.dat"));
    LumoTest::PlantedTemporaries inData(GameFolder(), "scores.dat");
    LumoTest::PlantedTemporaries inSettings(settings, "registry.txt");
    LumoTest::PlantedTemporaries inSynced(synced, "users.dat");

    // The log is the child's to open: one process holds it at a time.
    Lumo::AppLog::GetInstance()->Close();
    const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(mFolder.Path(), [&] {
        Platform::RegistryStore store(settings + "/registry.txt");
        Platform::ScopedRegistryStore scope(&store);
        ScriptedGame& game = StartAndLoad();
        for (const std::string& copy : copies)
            EXPECT_TRUE(std::filesystem::exists(copy)) << "at the start: " << copy;
        EXPECT_EQ(ProfileNames(*game.Profiles()), std::vector<std::string>{"Ann"});
        game.Profiles()->Add("Bob");
        game.Hiscores()->Insert("Bob", 50);
        game.SavePlayerFiles();
        mGame.reset();

        for (const std::string& copy : copies)
            EXPECT_EQ(LumoTest::ReadFile(copy), "the player's") << "after a save: " << copy;
        EXPECT_TRUE(std::filesystem::is_symlink(GameFile("users.dat")));
        EXPECT_EQ(LumoTest::ReadFile(synced + "/users.dat").size(), 2u * 88u);
        EXPECT_TRUE(std::filesystem::is_regular_file(settings + "/registry.txt"));
        inData.ExpectSwept();
        inSettings.ExpectSwept();
        inSynced.ExpectLeft();
    });
    ASSERT_FALSE(end.timedOut);
    EXPECT_EQ(end.exitCode, 0);
}

} // namespace
} // namespace AppTest
