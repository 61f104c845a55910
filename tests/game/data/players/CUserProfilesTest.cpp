#include "game/data/players/CUserProfiles.h"

#include "framework/core/PathUtils.h"
#include "framework/core/UserDataFolder.h"
#include "game/data/players/PlayerFile.h"
#include "tests/game/data/players/PlayerFileFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace GameTest {
namespace {

// A record in every range, saved at the position.
std::string Record(const std::string& name, int32_t position = 0)
{
    std::string bytes(16, '\0');
    name.copy(bytes.data(), name.size());
    for (int i = 0; i < 18; ++i)
        PlayerFile::PutInt32(bytes, i == 2 ? position : 0);
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
    const int32_t a[12] = {1, 2, 130, 4, 5, -6, 7, 8, 9, 3, 2, 750};
    const int32_t b[5] = {1, 22, -23, 24, 25};
    profiles.SetRecordA(a);
    profiles.SetRecordB(b);
    profiles.Save(App());

    const std::string bytes = ReadData("users.dat");
    ASSERT_EQ(bytes.size(), 3u * 88u);
    EXPECT_EQ(std::string(bytes.data() + 88), "bob");
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 16), 1);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 24), 130);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 36), -6);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 60), 750);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 64), 13);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 68), 1);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 76), -23);
    EXPECT_EQ(PlayerFile::GetInt32(bytes.data() + 88 + 84), 25);
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

// Only the damaged record goes; the file is kept as it was until a change is
// saved, and then aside as a copy, so nothing it held is lost.
TEST_F(UserProfilesTest, DamagedRecordsAreSkippedAndTheFileIsKeptAsideAtTheNextSave)
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
        std::vector<std::string> names;
    } cases[] = {
        {"partial record at the end", Record("ann") + Record("bob") + std::string(24, 'q'), {"ann", "bob"}},
        {"name without terminator",
         Record("ann") + unterminated + Record("bob") + Record("cid"),
         {"ann", "bob", "cid"}},
        {"bytes after the name", tail + Record("bob"), {"bob"}},
        {"empty name", Record("ann") + Record("") + Record("bob"), {"ann", "bob"}},
        {"shorter than a record", "junk", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteData("users.dat", c.bytes);
        std::filesystem::remove(DataPath("users.dat.damaged"));
        CUserProfiles profiles;
        Init(profiles);
        EXPECT_EQ(Names(profiles), c.names);
        EXPECT_EQ(profiles.CurrentIndex() >= 0, !c.names.empty());
        EXPECT_TRUE(profiles.Save(App()));
        EXPECT_EQ(ReadData("users.dat"), c.bytes);
        EXPECT_FALSE(std::filesystem::exists(DataPath("users.dat.damaged")));

        profiles.Add("new");
        EXPECT_TRUE(profiles.Save(App()));
        EXPECT_EQ(ReadData("users.dat").size(), (c.names.size() + 1) * 88u);
        EXPECT_EQ(ReadData("users.dat.damaged"), c.bytes);
    }

    WriteData("users.dat", oversized);
    std::filesystem::remove(DataPath("users.dat.damaged"));
    CUserProfiles profiles;
    Init(profiles);
    EXPECT_EQ(profiles.Count(), CUserProfiles::kMaxRecords);
    profiles.Add("new");
    profiles.Save(App());
    EXPECT_EQ(ReadData("users.dat.damaged"), oversized);
}

// Out-of-range progress would overflow the level controller's arithmetic
// (the next position, a life lost, the energy shown).
TEST_F(UserProfilesTest, ProgressValuesAreClampedToTheirRangesOnLoad)
{
    std::string bytes = Record("ann");
    const struct {
        int32_t offset;
        int32_t stored;
        int32_t loaded;
    } values[] = {
        {16, 7, 1},                                         // saved flag
        {24, INT32_MAX, CUserProfile::kMaxPosition},        // position
        {36, INT32_MIN, -CUserProfile::kMaxPoints},         // score
        {52, INT32_MAX, CUserProfile::kMaxPoints},          // result value
        {56, INT32_MIN, -1},                                // lives
        {60, 5000, CUserProfile::kMaxEnergy},               // energy
        {64, -3, 0},                                        // best tenth
        {72, -1, 0},                                        // endless position
        {80, INT32_MIN, -CUserProfile::kMaxPoints},         // endless energy
        {84, -5, 0},                                        // endless progress
    };
    for (const auto& value : values) {
        std::string field;
        PlayerFile::PutInt32(field, value.stored);
        bytes.replace(size_t(value.offset), 4, field);
    }
    // A game lost as the level controller saves it: no lives, energy below 0.
    std::string sound = Record("bob", 102);
    std::string lost;
    PlayerFile::PutInt32(lost, -1);
    PlayerFile::PutInt32(lost, -200);
    sound.replace(56, 8, lost);
    WriteData("users.dat", bytes + sound);
    CUserProfiles profiles;
    Init(profiles);
    ASSERT_EQ(profiles.Count(), 2);
    const CUserProfile& ann = profiles.Record(0);
    const int32_t* fields = ann.progressA;
    for (const auto& value : values) {
        const int32_t index = (value.offset - 16) / 4;
        const int32_t loaded = index < 12 ? fields[index] : index == 12 ? ann.bestTenth : ann.progressB[index - 13];
        EXPECT_EQ(loaded, value.loaded) << "offset " << value.offset;
    }
    // Values in range stay.
    EXPECT_EQ(profiles.Record(1).progressA[2], 102);
    EXPECT_EQ(profiles.Record(1).progressA[10], -1);
    EXPECT_EQ(profiles.Record(1).progressA[11], -200);

    profiles.Add("cid");
    profiles.Save(App());
    EXPECT_EQ(ReadData("users.dat.damaged"), bytes + sound);
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
