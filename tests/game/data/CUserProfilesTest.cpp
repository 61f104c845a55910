#include "game/data/CUserProfiles.h"

#include "framework/core/PathUtils.h"
#include "framework/core/UserDataFolder.h"
#include "game/data/PlayerFile.h"
#include "tests/game/data/PlayerFileFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace GameTest {
namespace {

std::string Record(const std::string& name, int32_t fill = 0)
{
    std::string bytes(16, '\0');
    name.copy(bytes.data(), name.size());
    for (int i = 0; i < 18; ++i)
        PlayerFile::PutInt32(bytes, fill + i);
    return bytes;
}

std::vector<std::string> Names(const CUserProfiles& profiles)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < profiles.Count(); ++i)
        names.emplace_back(profiles.Record(i).name);
    return names;
}

class UserProfilesTest : public PlayerFileFixture {
protected:
    // Reads the data folder's "users.dat" as the game does at start.
    void Init(CUserProfiles& profiles) { profiles.Init(App()); }
};

TEST_F(UserProfilesTest, SaveAndReloadKeepEveryByteAndTheCurrentProfile)
{
    CUserProfiles profiles;
    Init(profiles);
    profiles.Add("ann");
    profiles.Add("bob");
    profiles.Add("cid");
    profiles.SelectByName("bob");
    const int32_t a[12] = {1, 2, 130, 4, 5, 6, 7, 8, 9, 10, 11, -12};
    const int32_t b[5] = {21, 22, 23, 24, -25};
    profiles.SetRecordA(a);
    profiles.SetRecordB(b);
    profiles.Save(App());

    const std::string bytes = ReadData("users.dat");
    ASSERT_EQ(bytes.size(), 3u * 88u);
    EXPECT_EQ(std::string(bytes.data() + 88), "bob");
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 16), 1);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 24), 130);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 60), -12);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 64), 13);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 68), 21);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 84), -25);
    EXPECT_EQ(StoredString("currentprofile"), "bob");

    CUserProfiles again;
    Init(again);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"ann", "bob", "cid"}));
    EXPECT_EQ(again.CurrentName(), "bob");
    again.Add("dan");
    again.Remove(3);
    again.Save(App());
    EXPECT_EQ(ReadData("users.dat"), bytes);
}

TEST_F(UserProfilesTest, FirstRunMarksTheDataFolderAndMakesItTheUserFolder)
{
    Lumo::SetUserDataFolder("");
    std::filesystem::remove_all(mFolder / "xdg");
    CUserProfiles profiles;
    Init(profiles);
    EXPECT_FALSE(profiles.HasRunBefore());
    EXPECT_EQ(Lumo::GetUserDataFolder(), App().AppDataFolder());
    EXPECT_TRUE(std::filesystem::exists(mFolder / "xdg/TestCompany/ZentrovaTest/run.txt"));
    EXPECT_EQ(profiles.CurrentIndex(), -1);
    EXPECT_EQ(profiles.CurrentName(), "UNKNOWN\n");

    CUserProfiles second;
    Init(second);
    EXPECT_TRUE(second.HasRunBefore());
}

TEST_F(UserProfilesTest, DamagedFilesKeepTheSoundRecordsAndAreNotOverwrittenUnchanged)
{
    std::string unterminated = Record("x");
    std::memset(unterminated.data(), 'x', 16);
    std::string tail = Record("ok");
    tail[10] = 'z';
    std::string oversized;
    for (int32_t i = 0; i <= CUserProfiles::kMaxRecords; ++i)
        oversized += Record("p" + std::to_string(i));
    const struct {
        const char* what;
        std::string bytes;
        int32_t count;
    } cases[] = {
        {"partial record at the end", Record("ann") + Record("bob") + std::string(24, 'q'), 2},
        {"name without terminator", Record("ann") + unterminated + Record("bob"), 1},
        {"bytes after the name", tail + Record("bob"), 0},
        {"empty name", Record("ann") + Record(""), 1},
        {"shorter than a record", "junk", 0},
        {"too many records", oversized, CUserProfiles::kMaxRecords},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteData("users.dat", c.bytes);
        CUserProfiles profiles;
        Init(profiles);
        EXPECT_EQ(profiles.Count(), c.count);
        EXPECT_EQ(profiles.CurrentIndex(), c.count > 0 ? 0 : -1);
        profiles.Save(App());
        EXPECT_EQ(ReadData("users.dat"), c.bytes);
        profiles.Add("new");
        profiles.Save(App());
        EXPECT_EQ(ReadData("users.dat").size(), size_t(c.count + 1) * 88u);
    }
}

TEST_F(UserProfilesTest, TheBufferDoublesWhenFull)
{
    std::string bytes;
    for (int i = 0; i < 17; ++i)
        bytes += Record("p" + std::to_string(i));
    WriteData("users.dat", bytes);
    CUserProfiles profiles;
    EXPECT_EQ(profiles.Capacity(), 16);
    Init(profiles);
    EXPECT_EQ(profiles.Count(), 17);
    EXPECT_EQ(profiles.Capacity(), 32);
}

TEST_F(UserProfilesTest, StoredCurrentProfileIsSelectedElseTheFirst)
{
    WriteData("users.dat", Record("ann") + Record("bob"));
    for (const auto& [stored, expected] : {std::pair{"bob", 1}, {"nobody", 0}}) {
        App().RegistryWriteString("currentprofile", stored);
        CUserProfiles profiles;
        Init(profiles);
        EXPECT_EQ(profiles.CurrentIndex(), expected) << stored;
    }
}

TEST_F(UserProfilesTest, RemovingKeepsTheCurrentPlayer)
{
    const struct {
        int32_t current;
        int32_t removed;
        std::vector<std::string> names;
        std::string currentName;
    } cases[] = {
        {2, 0, {"cid", "bob"}, "cid"},
        {0, 2, {"ann", "bob"}, "ann"},
        {1, 1, {"ann", "cid"}, "ann"},
        {2, 2, {"ann", "bob"}, "ann"},
        {1, 3, {"ann", "bob", "cid"}, "bob"},
        {1, -1, {"ann", "bob", "cid"}, "bob"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "current " << c.current << ", removed " << c.removed);
        CUserProfiles profiles;
        profiles.Add("ann");
        profiles.Add("bob");
        profiles.Add("cid");
        profiles.SetCurrentIndex(c.current);
        profiles.Remove(c.removed);
        EXPECT_EQ(Names(profiles), c.names);
        EXPECT_EQ(profiles.CurrentName(), c.currentName);
    }

    CUserProfiles single;
    single.Add("ann");
    single.SetCurrentIndex(0);
    single.Remove(0);
    EXPECT_EQ(single.CurrentIndex(), -1);
}

TEST_F(UserProfilesTest, ProgressGoesOnlyToTheCurrentProfile)
{
    CUserProfiles profiles;
    profiles.Add("a twenty char name!");
    EXPECT_EQ(std::string(profiles.Record(0).name), "a twenty char n");

    int32_t a[12] = {};
    const int32_t b[5] = {1, 2, 3, 4, 5};
    a[2] = 500;
    profiles.SetRecordA(a);
    profiles.SetRecordB(b);
    EXPECT_EQ(profiles.Record(0).bestTenth, 0);
    EXPECT_EQ(profiles.Record(0).progressB[0], 0);
    profiles.Save(App());
    EXPECT_EQ(StoredString("currentprofile"), "<none>");

    profiles.SetCurrentIndex(0);
    for (const auto& [value, best] : {std::pair{120, 12}, {95, 12}, {130, 13}, {-5, 13}}) {
        a[2] = value;
        profiles.SetRecordA(a);
        EXPECT_EQ(profiles.Record(0).bestTenth, best) << value;
        EXPECT_EQ(profiles.Record(0).progressA[2], value);
    }
}

} // namespace
} // namespace GameTest
