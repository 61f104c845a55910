#include "framework/core/PathUtils.h"
#include "framework/core/UserDataFolder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Lumo;
using LumoTest::TempFolder;

TEST(PathUtils, SlashesAndDirectoryPart)
{
    EXPECT_EQ(AddTrailingSlash(""), "");
    EXPECT_EQ(AddTrailingSlash("data"), "data\\");
    EXPECT_EQ(AddTrailingSlash("data/"), "data/");
    EXPECT_EQ(AddTrailingSlash("data\\"), "data\\");
    EXPECT_EQ(RemoveTrailingSlash("data/"), "data");
    EXPECT_EQ(RemoveTrailingSlash("data\\"), "data");
    EXPECT_EQ(RemoveTrailingSlash("data"), "data");
    EXPECT_EQ(RemoveTrailingSlash(""), "");
    EXPECT_EQ(PathDirectoryPart("res\\fonts/big.txt"), "res\\fonts");
    EXPECT_EQ(PathDirectoryPart("big.txt"), "");
    EXPECT_EQ(PathDirectoryPart("/big.txt"), "");
}

TEST(PathUtils, ResolveRelativePath)
{
    struct Case {
        const char* relative;
        const char* base;
        const char* result;
    };
    const Case cases[] = {
        {"..\\img\\a.png", "data\\fonts\\", "data\\img\\a.png"},
        {"../img/a.png", "data/fonts", "data/img/a.png"},
        {"c:\\img\\a.png", "data\\fonts", "c:\\img\\a.png"},
        {"./a.png", "data/fonts", "data/fonts/a.png"},
        {"a.png", "", "a.png"},
        {"a.png", "fonts", "fonts/a.png"},
        // Backslashes anywhere make the result use them throughout.
        {"../img/a.png", "data\\fonts", "data\\img\\a.png"},
        {"..\\..\\..\\a.png", "data\\fonts", "..\\a.png"},
        {"../../a.png", "../x/", "../../a.png"},
        {"../../a.png", "../", "../../../a.png"},
        // A named folder ends the walk; what follows is kept as written.
        {"sub/../a.png", "data/", "data/sub/../a.png"},
        // A leading separator starts from the root.
        {"/usr/share/a.png", "data/fonts", "/usr/share/a.png"},
        {"\\img\\a.png", "c:\\data\\", "c:\\img\\a.png"},
        {"../../a.png", "/home/x/data/fonts/", "/home/x/a.png"},
        {"../../a.png", "c:\\data\\", "c:\\a.png"},
        {"../a.png", "/", "/a.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveRelativePath(c.relative, c.base), c.result) << c.relative << " against " << c.base;
}

TEST(PathUtils, FolderTreeIsCreatedAndRemoved)
{
    TempFolder dir;
    CreateDirectoryPath(dir.Path() + "\\one\\Two/three");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "one/Two/three"));
    // Existing folders are left alone, and names match without regard to case.
    dir.Write("one/Two/keep.txt", "k");
    CreateDirectoryPath(dir.Path() + "/ONE/two/four/");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "one/Two/four"));
    EXPECT_EQ(LumoTest::ReadFile(dir / "one/Two/keep.txt"), "k");

    dir.Write("one/a.txt", "a");
    dir.Write("one/Two/three/b.txt", "b");
    EXPECT_TRUE(DeleteFolderTree(dir.Path() + "\\one"));
    EXPECT_FALSE(std::filesystem::exists(dir / "one"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path()));

    EXPECT_FALSE(DeleteFolderTree(dir.Path() + "/missing"));
    EXPECT_FALSE(DeleteFolderTree("/"));
    EXPECT_FALSE(DeleteFolderTree(""));
}

// A link inside the tree goes, but what it points at stays.
TEST(PathUtils, DeleteFolderTreeDoesNotFollowLinks)
{
    TempFolder dir;
    dir.Write("outside/precious.txt", "p");
    dir.Write("tree/file.txt", "f");
    std::filesystem::create_directory_symlink(dir / "outside", dir / "tree/link");
    EXPECT_TRUE(DeleteFolderTree(dir / "tree/"));
    EXPECT_FALSE(std::filesystem::exists(dir / "tree"));
    EXPECT_EQ(LumoTest::ReadFile(dir / "outside/precious.txt"), "p");
}

// A link given as the folder is refused whole: neither what it leads to nor
// the link itself goes, however the name ends.
TEST(PathUtils, DeleteFolderTreeRefusesALinkAsTheFolder)
{
    for (const char* ending : {"", "/", "\\"}) {
        TempFolder dir;
        dir.Write("documents/letter.txt", "l");
        dir.Write("documents/inner/notes.txt", "n");
        std::filesystem::create_directory_symlink(dir / "documents", dir / "_dump");
        EXPECT_FALSE(DeleteFolderTree(dir / "_dump" + ending)) << ending;
        EXPECT_TRUE(std::filesystem::is_symlink(dir / "_dump")) << ending;
        EXPECT_EQ(LumoTest::ReadFile(dir / "documents/letter.txt"), "l") << ending;
        EXPECT_EQ(LumoTest::ReadFile(dir / "documents/inner/notes.txt"), "n") << ending;
    }
}

TEST(PathUtils, ExistenceAndModifiedTime)
{
    TempFolder dir;
    dir.Write("Data/Scores.dat", "x");
    std::filesystem::last_write_time(dir / "Data/Scores.dat",
                                     std::filesystem::file_time_type::clock::from_sys(
                                         std::chrono::sys_seconds(std::chrono::seconds(1234567890))));
    EXPECT_TRUE(FileExistsOnDisk(dir.Path() + "\\data\\scores.dat"));
    EXPECT_TRUE(FileExistsOnDisk(dir / "Data"));
    EXPECT_FALSE(FileExistsOnDisk(dir / "Data/none.dat"));
    EXPECT_EQ(GetFileModifiedTime(dir.Path() + "\\DATA\\Scores.dat"), 1234567890);
    EXPECT_EQ(GetFileModifiedTime(dir / "none.dat"), 0);
}

TEST(UserDataFolder, EndsInASeparatorUnlessEmpty)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/home/x/Zentrova", "/home/x/Zentrova\\"},
        {"/home/x/Zentrova/", "/home/x/Zentrova/"},
        {"data\\", "data\\"},
        {"", ""},
    };
    for (const auto& [path, stored] : cases) {
        SetUserDataFolder(path);
        EXPECT_EQ(GetUserDataFolder(), stored) << path;
    }
}
