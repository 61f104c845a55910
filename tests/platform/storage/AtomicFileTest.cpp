#include "platform/storage/AtomicFile.h"
#include "tests/support/FileSystemWithoutLinks.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>

using namespace Platform;

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat status = {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// The permissions a file made now gets.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The name of the copy KeepDamagedCopy kept, "" when nothing was there to
// keep, "refused" when it could keep none.
std::string Kept(const std::string& path)
{
    std::string copy;
    return KeepDamagedCopy(path, &copy) ? copy : "refused";
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissionsAndANewOneGetsTheUsualOnes)
{
    LumoTest::TempFolder folder;
    std::string error;
    const std::string fresh = folder / "fresh.txt";
    ASSERT_TRUE(WriteFileAtomically(fresh, "one", &error)) << error;
    EXPECT_EQ(ModeOf(fresh), NewFileMode());

    // A mode under which the owner may not read the file would keep the
    // program from reading back what it wrote.
    const struct {
        mode_t old;
        mode_t kept;
    } modes[] = {{0444, 0444}, {0640, 0640}, {0604, 0604}, {0200, 0600}, {0000, 0400}, {0044, 0444}};
    for (const auto& mode : modes) {
        const std::string path = folder / "kept.txt";
        folder.Write("kept.txt", "old");
        ASSERT_EQ(::chmod(path.c_str(), mode.old), 0);
        ASSERT_TRUE(WriteFileAtomically(path, "new", &error)) << error;
        EXPECT_EQ(LumoTest::ReadFile(path), "new");
        EXPECT_EQ(ModeOf(path), mode.kept) << std::oct << mode.old;
    }

    // Through a link the target's permissions count.
    folder.Write("target.txt", "old");
    ASSERT_EQ(::chmod((folder / "target.txt").c_str(), 0440), 0);
    std::filesystem::create_symlink(folder / "target.txt", folder / "link.txt");
    ASSERT_TRUE(WriteFileAtomically(folder / "link.txt", "new", &error)) << error;
    EXPECT_EQ(ModeOf(folder / "target.txt"), mode_t(0440));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.txt"));
}

TEST(AtomicFile, DamagedCopiesAreNumberedAndNoneIsLost)
{
    LumoTest::TempFolder folder;
    const std::string path = folder / "registry.txt";
    std::string error;
    for (const char* expected : {".damaged", ".damaged.1", ".damaged.2"}) {
        folder.Write("registry.txt", std::string("copy") + expected);
        EXPECT_EQ(Kept(path), path + expected);
        ASSERT_TRUE(WriteFileAtomically(path, "repaired", &error)) << error;
    }
    for (const char* suffix : {".damaged", ".damaged.1", ".damaged.2"})
        EXPECT_EQ(LumoTest::ReadFile(path + suffix), std::string("copy") + suffix);
    EXPECT_EQ(LumoTest::ReadFile(path), "repaired");

    // A gap is filled; with no file there is nothing to keep.
    std::filesystem::remove(path + ".damaged.1");
    EXPECT_EQ(Kept(path), path + ".damaged.1");
    std::filesystem::remove(path);
    EXPECT_EQ(Kept(path), "");
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged.3"));
}

// The damaged file stays where it is until its replacement is there: a full
// disk after it was set aside once left no file at all.
TEST(AtomicFile, WithoutLinksTheDamagedFileIsCopiedAndStaysInPlace)
{
    LumoTest::TempFolder folder;
    const std::string path = folder / "users.dat";
    folder.Write("users.dat", "damaged");
    std::string error;
    {
        LumoTest::FileSystemWithoutLinks full(LumoTest::FileSystemWithoutLinks::kFull);
        EXPECT_EQ(Kept(path), "refused");
        EXPECT_FALSE(WriteFileAtomically(path, "repaired", &error));
    }
    EXPECT_EQ(LumoTest::ReadFile(path), "damaged");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "nothing left behind";

    LumoTest::FileSystemWithoutLinks roomy(LumoTest::FileSystemWithoutLinks::kRoomy);
    EXPECT_EQ(Kept(path), path + ".damaged");
    // A copy already there is never written over.
    EXPECT_EQ(Kept(path), path + ".damaged.1");
    for (const char* name : {"", ".damaged", ".damaged.1"})
        EXPECT_EQ(LumoTest::ReadFile(path + name), "damaged") << name;
    ASSERT_TRUE(WriteFileAtomically(path, "repaired", &error)) << error;
    EXPECT_EQ(LumoTest::ReadFile(path), "repaired");
}

// Whether a file that is to be written over is kept first: a second name
// needs no right to read it, a copy needs that and room. Of one that could
// not be kept, no copy is claimed and none is left half made.
TEST(AtomicFile, AFileIsKeptByLinkOrCopyOrNotClaimedKept)
{
    LumoTest::TempFolder folder;
    const std::string bytes(4000, 'd');
    const struct {
        const char* name;
        mode_t mode;
        bool links;
        size_t room;
        bool kept;
    } cases[] = {
        {"plain", 0600, false, LumoTest::FileSystemWithoutLinks::kRoomy, true},
        {"unreadable", 0, true, LumoTest::FileSystemWithoutLinks::kRoomy, true},
        {"unreadable-without-links", 0, false, LumoTest::FileSystemWithoutLinks::kRoomy, false},
        {"write-only-without-links", 0200, false, LumoTest::FileSystemWithoutLinks::kRoomy, false},
        {"without-room", 0600, false, 1000, false},
    };
    for (const auto& test : cases) {
        folder.Write(test.name, bytes);
        ASSERT_EQ(::chmod((folder / test.name).c_str(), test.mode), 0);
    }
    const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(folder.Path(), [&] {
        for (const auto& test : cases) {
            std::optional<LumoTest::FileSystemWithoutLinks> withoutLinks;
            if (!test.links)
                withoutLinks.emplace(test.room);
            const std::string path = folder / test.name;
            EXPECT_EQ(Kept(path), test.kept ? path + ".damaged" : "refused") << test.name;
        }
    });
    ASSERT_FALSE(end.timedOut);
    EXPECT_EQ(end.exitCode, 0);
    for (const auto& test : cases) {
        EXPECT_EQ(LumoTest::ReadFile(folder / test.name), bytes) << test.name;
        const std::string copy = folder / (std::string(test.name) + ".damaged");
        EXPECT_EQ(std::filesystem::exists(copy), test.kept) << test.name;
        EXPECT_EQ(LumoTest::ReadFile(copy), test.kept ? bytes : "") << test.name;
    }
}

// Where a file cannot have a second name, its copy once stopped at 64 MiB:
// a larger damaged file was then written over with nothing kept.
TEST(AtomicFile, WithoutLinksAFileOfAnySizeIsCopied)
{
    LumoTest::TempFolder folder;
    const std::string path = folder / "registry.txt";
    const uint64_t size = (64u << 20) + 3;
    {
        std::ofstream file(path, std::ios::binary);
        file << "head";
        file.seekp(std::streamoff(size - 4));
        file << "tail";
    }
    ASSERT_EQ(std::filesystem::file_size(path), size);
    LumoTest::FileSystemWithoutLinks withoutLinks(LumoTest::FileSystemWithoutLinks::kRoomy);
    EXPECT_EQ(Kept(path), path + ".damaged");
    ASSERT_EQ(std::filesystem::file_size(path + ".damaged"), size);
    const std::string copy = LumoTest::ReadFile(path + ".damaged");
    EXPECT_EQ(copy.substr(0, 4), "head");
    EXPECT_EQ(copy.substr(size - 4), "tail");
}

} // namespace
