#include "platform/storage/AtomicFile.h"
#include "platform/storage/TemporaryFiles.h"
#include "tests/support/PlantedTemporaries.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace Platform;

namespace {

enum class Kind { kFile, kFolder, kLink, kFifo };

// Made an hour old, as what a killed process left long ago would be.
void MakeOld(const std::string& path)
{
    const timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW), 0) << path;
}

bool IsThere(const std::string& path)
{
    struct stat there;
    return ::lstat(path.c_str(), &there) == 0;
}

TEST(TemporaryFiles, TheSweepTakesOnlyStaleFilesOfOurNamesAndLogsEach)
{
    const struct {
        const char* name;
        Kind kind;
        bool old;
        bool taken;
    } entries[] = {
        {".users.dat.~lumo-tmp-Ab12Cd", Kind::kFile, true, true},
        // Another writer's in the same folder.
        {".image1.png.~lumo-tmp-zZ9900", Kind::kFile, true, true},
        // A write going on now.
        {".users.dat.~lumo-tmp-Ef34Gh", Kind::kFile, false, false},
        // The player's copies, under the names a person gives them.
        {"users.dat.backup", Kind::kFile, true, false},
        {"registry.txt.backup", Kind::kFile, true, false},
        {"users.dat.laptop", Kind::kFile, true, false},
        {"scores.dat.abc123", Kind::kFile, true, false},
        // Near misses of the mark.
        {"users.dat.~lumo-tmp-Ab12Cd", Kind::kFile, true, false},
        {".users.dat.~lumo-tmp-Ab12C", Kind::kFile, true, false},
        {".users.dat.~lumo-tmp-Ab12Cd7", Kind::kFile, true, false},
        {".users.dat.~lumo-tmp-Ab_2Cd", Kind::kFile, true, false},
        {".users.dat.~lumo-tmp-Ab12Cd.png", Kind::kFile, true, false},
        {"..~lumo-tmp-Ab12Cd", Kind::kFile, true, false},
        // Marked names of what no write of ours makes: looked at, never
        // opened, followed or removed.
        {".folder.~lumo-tmp-Dd0000", Kind::kFolder, true, false},
        {".link.~lumo-tmp-Ll0000", Kind::kLink, true, false},
        {".fifo.~lumo-tmp-Ff0000", Kind::kFifo, true, false},
    };
    LumoTest::TempFolder folder;
    const std::string data = folder / "data";
    folder.Write("elsewhere/letter.txt", "keep me");
    MakeOld(folder / "elsewhere/letter.txt");
    for (const auto& entry : entries) {
        const std::string path = data + "/" + entry.name;
        switch (entry.kind) {
        case Kind::kFile: folder.Write(std::string("data/") + entry.name, "bytes"); break;
        case Kind::kFolder: folder.Write(std::string("data/") + entry.name + "/inside.txt", "inside"); break;
        case Kind::kLink: std::filesystem::create_symlink(folder / "elsewhere/letter.txt", path); break;
        case Kind::kFifo: ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); break;
        }
        if (entry.old)
            MakeOld(path);
    }

    const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(folder.Path(), [&] {
        std::vector<std::string> logged;
        const LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(data + "/users.dat", "saved", &error)) << error;
        SetLogHook(previous);

        std::set<std::string> taken;
        for (const auto& entry : entries) {
            EXPECT_NE(IsThere(data + "/" + entry.name), entry.taken) << entry.name;
            if (entry.taken)
                taken.insert("Removed \"" + data + "/" + entry.name + "\", left by a write that was cut off");
        }
        EXPECT_EQ(std::set<std::string>(logged.begin(), logged.end()), taken);
        EXPECT_EQ(logged.size(), taken.size());
        EXPECT_EQ(LumoTest::ReadFile(data + "/users.dat"), "saved");
        EXPECT_EQ(LumoTest::ReadFile(data + "/.folder.~lumo-tmp-Dd0000/inside.txt"), "inside");
        EXPECT_EQ(LumoTest::ReadFile(folder / "elsewhere/letter.txt"), "keep me");
    });
    ASSERT_FALSE(end.timedOut);
    EXPECT_EQ(end.exitCode, 0);
}

// A synced folder's files may carry another machine's times, and a write
// going on there may be another machine's: it is not ours to sweep, wherever
// the link that leads there stands on the way (DravikGames is the natural
// one to link: the game makes Zentrova itself). Nor is a marked file another
// user's, or one with a second name: no write of ours leaves such a file.
TEST(TemporaryFiles, TheSweepTakesOnlyOurOwnFilesInAFolderReachedThroughNoLink)
{
    enum class Odd { kNothing, kAnotherUsers, kSecondName };
    const std::string file = "home/.local/share/DravikGames/Zentrova/users.dat";
    const struct {
        const char* name;
        // The part of the path that is a link to its like under "synced".
        const char* link;
        // The path named from the working folder.
        bool relative;
        Odd odd;
        bool swept;
    } cases[] = {
        {"no link", "", false, Odd::kNothing, true},
        {"the file a link", "home/.local/share/DravikGames/Zentrova/users.dat", false, Odd::kNothing, false},
        {"the data folder a link", "home/.local/share/DravikGames/Zentrova", false, Odd::kNothing, false},
        {"its folder a link", "home/.local/share/DravikGames", false, Odd::kNothing, false},
        {"a link higher up", "home/.local", false, Odd::kNothing, false},
        {"the first folder a link", "home", false, Odd::kNothing, false},
        {"a link named from the working folder", "home/.local/share/DravikGames", true, Odd::kNothing, false},
        {"another user's file", "", false, Odd::kAnotherUsers, false},
        {"a file with a second name", "", false, Odd::kSecondName, false},
    };
    const bool root = ::geteuid() == 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Another user's file can be made only by root.
        if (c.odd == Odd::kAnotherUsers && !root)
            continue;
        LumoTest::TempFolder top;
        const std::string link = c.link;
        // The link's last name and what follows it, under "synced".
        const std::string real = link.empty() ? file : "synced/" + file.substr(link.rfind('/') + 1);
        top.Write(real, "from the laptop");
        if (!link.empty()) {
            std::filesystem::create_directories(std::filesystem::path(top / link).parent_path());
            std::filesystem::create_symlink(top / ("synced/" + link.substr(link.rfind('/') + 1)), top / link);
        }
        LumoTest::PlantedTemporaries planted(std::filesystem::path(top / real).parent_path(), "users.dat");
        if (c.odd == Odd::kSecondName)
            std::filesystem::create_hard_link(planted.Stale(), top / "kept");
        if (root)
            LumoTest::GiveToOrdinaryUser(top.Path());
        if (c.odd == Odd::kAnotherUsers) {
            ASSERT_EQ(::lchown(planted.Stale().c_str(), 0, 0), 0);
        }

        LumoTest::TempFolder working;
        const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(working.Path(), [&] {
            ASSERT_TRUE(!c.relative || ::chdir(top.Path().c_str()) == 0);
            std::string error;
            ASSERT_TRUE(WriteFileAtomically(c.relative ? file : top / file, "saved", &error)) << error;
            EXPECT_EQ(LumoTest::ReadFile(top / real), "saved");
            if (c.swept) {
                planted.ExpectSwept();
            } else {
                planted.ExpectLeft();
            }
        });
        ASSERT_FALSE(end.timedOut);
        EXPECT_EQ(end.exitCode, 0);
    }
}

// The signal handler names its temporary by the process: each number gives
// a name of its own, and every one is a name the sweep takes.
TEST(TemporaryFiles, EveryProcessNumberGivesATemporaryOfItsOwnThatTheSweepKnows)
{
    std::set<std::string> names;
    for (const uint64_t number : {0ull, 1ull, 61ull, 62ull, 4194304ull, 56800235583ull}) {
        char tag[kTemporaryTagLength];
        MakeTemporaryTag(number, tag);
        char name[64];
        ASSERT_TRUE(MakeTemporaryName("work/crash.txt", tag, name, sizeof name));
        const std::string path = name;
        ASSERT_EQ(path.rfind("work/.crash.txt.~lumo-tmp-", 0), 0u) << path;
        EXPECT_TRUE(IsTemporaryName(path.substr(5))) << path;
        EXPECT_TRUE(names.insert(path).second) << path;
    }
    char name[64];
    EXPECT_FALSE(MakeTemporaryName("work/", "Ab12Cd", name, sizeof name));
    EXPECT_FALSE(MakeTemporaryName("crash.txt", "Ab12Cd", name, std::strlen(".crash.txt.~lumo-tmp-Ab12Cd")));
    ASSERT_TRUE(MakeTemporaryName("crash.txt", "Ab12Cd", name, std::strlen(".crash.txt.~lumo-tmp-Ab12Cd") + 1));
    EXPECT_STREQ(name, ".crash.txt.~lumo-tmp-Ab12Cd");
}

} // namespace
