#include "tests/resources/PakTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

using LumoTest::TempFolder;
using PakTest::ReadFile;

namespace {

int RunPakPack(const std::string& arguments)
{
    int status = std::system((std::string(LUMO_PAKPACK) + " " + arguments + " 2>/dev/null").c_str());
    // The wait status of a shell: the exit code in the second byte.
    return status == -1 ? -1 : (status >> 8) & 0xFF;
}

std::vector<std::string> ListEntries(PakInterface& pak, const char* pattern)
{
    std::vector<std::string> names;
    Platform::WIN32_FIND_DATAA data;
    Platform::HANDLE find = pak.FindFirst(pattern, &data);
    if (find == Platform::INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(data.cFileName);
    while (pak.FindNext(find, &data));
    pak.FindEnd(find);
    return names;
}

} // namespace

TEST(PakPack, PacksAFolderThatOpensAndListsThroughTheInterface)
{
    TempFolder dir;
    dir.Write("content/res/gui.xml", "<root/>");
    dir.Write("content/res/Fonts/big.txt", "font");
    dir.Write("content/res/a.png", std::string("\0\xff\r\n", 4));
    dir.Write("content/top.txt", "top");
    ASSERT_EQ(RunPakPack(dir / "content " + dir / "first.pak"), 0);

    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(dir / "first.pak"));
    EXPECT_EQ(ReadFile(pak, "res\\gui.xml"), "<root/>");
    EXPECT_EQ(ReadFile(pak, "res/fonts/BIG.TXT"), "font");
    EXPECT_EQ(ReadFile(pak, "res\\a.png"), std::string("\0\xff\r\n", 4));
    EXPECT_EQ(ReadFile(pak, "top.txt"), "top");
    EXPECT_EQ(ListEntries(pak, "res\\*"), (std::vector<std::string>{"a.png", "big.txt", "gui.xml"}));

    // Times are 0, so packing the same folder again gives the same bytes.
    ASSERT_EQ(RunPakPack(dir / "content " + dir / "second.pak"), 0);
    EXPECT_EQ(LumoTest::ReadFile(dir / "first.pak"), LumoTest::ReadFile(dir / "second.pak"));
    Platform::WIN32_FIND_DATAA data;
    Platform::HANDLE find = pak.FindFirst("top*", &data);
    ASSERT_NE(find, Platform::INVALID_HANDLE_VALUE);
    EXPECT_EQ(Platform::FileTimeToU64(data.ftLastWriteTime), 0u);
    pak.FindEnd(find);
}

TEST(PakPack, RealTimesOnRequest)
{
    TempFolder dir;
    dir.Write("content/a.txt", "a");
    std::filesystem::last_write_time(dir / "content/a.txt",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    ASSERT_EQ(RunPakPack("--real-times " + dir / "content " + dir / "timed.pak"), 0);
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(dir / "timed.pak"));
    Platform::WIN32_FIND_DATAA data;
    Platform::HANDLE find = pak.FindFirst("a*", &data);
    ASSERT_NE(find, Platform::INVALID_HANDLE_VALUE);
    const int64_t packed = Platform::FileTimeToUnixTime(data.ftLastWriteTime);
    const int64_t now = std::time(nullptr);
    EXPECT_NEAR(double(packed), double(now - 3600), 60.0);
    pak.FindEnd(find);
}

TEST(PakPack, JoinsFoldersAndRefusesANameInTwo)
{
    TempFolder dir;
    dir.Write("written/res/gui.xml", "<root/>");
    dir.Write("made/res/blocks.png", "png");
    ASSERT_EQ(RunPakPack(dir / "written " + dir / "made " + dir / "joined.pak"), 0);
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(dir / "joined.pak"));
    EXPECT_EQ(ReadFile(pak, "res\\gui.xml"), "<root/>");
    EXPECT_EQ(ReadFile(pak, "res\\blocks.png"), "png");

    dir.Write("made/RES/Gui.xml", "<other/>");
    EXPECT_EQ(RunPakPack(dir / "written " + dir / "made " + dir / "twice.pak"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "twice.pak"));
}

TEST(PakPack, RefusesWhatItCannotPack)
{
    TempFolder dir;
    EXPECT_EQ(RunPakPack(""), 2);
    EXPECT_EQ(RunPakPack(dir / "content"), 2);
    EXPECT_EQ(RunPakPack(dir / "missing " + dir / "out.pak"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pak"));
    dir.Write("content/" + std::string(240, 'f') + "/" + std::string(20, 'g'), "x");
    EXPECT_EQ(RunPakPack(dir / "content " + dir / "out.pak"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pak"));
}

TEST(PakPack, ContentArchivesOpen)
{
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(LUMO_GAME_FOLDER "/main.pak"));
    ASSERT_TRUE(pak.MountArchive(LUMO_GAME_FOLDER "/res.pak"));
    EXPECT_EQ(ReadFile(pak, "res\\jukebox.xml").substr(0, 5), "<?xml");
}
