#include "platform/storage/AtomicFile.h"
#include "tests/support/FileSystemWithoutLinks.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

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
        EXPECT_EQ(KeepDamagedCopy(path), path + expected);
        ASSERT_TRUE(WriteFileAtomically(path, "repaired", &error)) << error;
    }
    for (const char* suffix : {".damaged", ".damaged.1", ".damaged.2"})
        EXPECT_EQ(LumoTest::ReadFile(path + suffix), std::string("copy") + suffix);
    EXPECT_EQ(LumoTest::ReadFile(path), "repaired");

    // A gap is filled; with no file there is nothing to keep.
    std::filesystem::remove(path + ".damaged.1");
    EXPECT_EQ(KeepDamagedCopy(path), path + ".damaged.1");
    std::filesystem::remove(path);
    EXPECT_EQ(KeepDamagedCopy(path), "");
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
        LumoTest::FileSystemWithoutLinks full(true);
        EXPECT_EQ(KeepDamagedCopy(path), "");
        EXPECT_FALSE(WriteFileAtomically(path, "repaired", &error));
    }
    EXPECT_EQ(LumoTest::ReadFile(path), "damaged");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "nothing left behind";

    LumoTest::FileSystemWithoutLinks roomy(false);
    EXPECT_EQ(KeepDamagedCopy(path), path + ".damaged");
    // A copy already there is never written over.
    EXPECT_EQ(KeepDamagedCopy(path), path + ".damaged.1");
    for (const char* name : {"", ".damaged", ".damaged.1"})
        EXPECT_EQ(LumoTest::ReadFile(path + name), "damaged") << name;
    ASSERT_TRUE(WriteFileAtomically(path, "repaired", &error)) << error;
    EXPECT_EQ(LumoTest::ReadFile(path), "repaired");
}

} // namespace
