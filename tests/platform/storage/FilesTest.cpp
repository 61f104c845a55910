#include "platform/storage/Files.h"
#include "platform/storage/MappedFile.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UnprivilegedChild.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>

using namespace Platform;
using LumoTest::TempFolder;

TEST(Files, NativePathFindsNamesWithoutRegardToCaseOrSeparator)
{
    TempFolder dir;
    dir.Write("Res/Gui.xml", "x");
    EXPECT_EQ(NativePath(dir.Path() + "\\res\\GUI.XML"), dir / "Res/Gui.xml");
    EXPECT_EQ(NativePath(dir.Path() + "/RES//gui.xml"), dir / "Res/Gui.xml");
    // A missing leaf keeps its spelling, so files can be created through it.
    EXPECT_EQ(NativePath(dir.Path() + "\\res\\New.txt"), dir / "Res/New.txt");
    FILE* f = OpenFile((dir.Path() + "\\RES\\gui.XML").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fgetc(f), 'x');
    std::fclose(f);
}

// Every reader of a file by name comes here: a FIFO would hold it until a
// writer came, a folder reads as an empty file.
TEST(Files, ReadingOpensPlainFilesOnly)
{
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "users.dat").c_str(), 0600), 0);
    dir.Write("folder/x", "");
    for (const char* name : {"users.dat", "folder"}) {
        EXPECT_EQ(OpenFile((dir / name).c_str(), "rb"), nullptr) << name;
        std::string bytes;
        EXPECT_EQ(ReadWholeFile(dir / name, 100, &bytes), WholeFile::NotAFile) << name;
    }
    dir.Write("plain.txt", "line one\nline two\n");
    FILE* plain = OpenFile((dir / "plain.txt").c_str(), "r");
    ASSERT_NE(plain, nullptr);
    char line[32];
    ASSERT_NE(std::fgets(line, sizeof line, plain), nullptr);
    EXPECT_STREQ(line, "line one\n");
    std::fclose(plain);
}

// A file the player may not read is still there: taken for a missing one, it
// was written over with nothing kept. Only what is not there is Missing.
TEST(Files, AFileThatCannotBeReadIsNoMissingOne)
{
    TempFolder dir;
    dir.Write("locked.dat", "four players");
    ASSERT_EQ(::chmod((dir / "locked.dat").c_str(), 0), 0);
    dir.Write("file", "in the way of a folder");
    const LumoTest::ChildEnd end = LumoTest::RunAsOrdinaryUser(dir.Path(), [&] {
        const struct {
            const char* name;
            WholeFile result;
            int cause;
        } cases[] = {
            {"missing.dat", WholeFile::Missing, ENOENT},
            {"file/users.dat", WholeFile::Missing, ENOTDIR},
            {"locked.dat", WholeFile::Unreadable, EACCES},
        };
        for (const auto& test : cases) {
            std::string bytes = "left over";
            errno = 0;
            EXPECT_EQ(ReadWholeFile(dir / test.name, 100, &bytes), test.result) << test.name;
            EXPECT_EQ(errno, test.cause) << test.name;
            EXPECT_EQ(bytes, "") << test.name;
            WholeFile opened = WholeFile::Read;
            EXPECT_EQ(OpenPlainFile(dir / test.name, &opened), -1) << test.name;
            EXPECT_EQ(opened, test.result) << test.name;
        }
    });
    EXPECT_FALSE(end.timedOut);
    EXPECT_EQ(end.exitCode, 0);
}

// What was read before a read failed is not the file: settings cut short so
// were once taken whole and saved over the rest.
TEST(Files, AReadThatFailsGivesNothing)
{
    // A plain file whose reading fails at its first byte.
    std::string bytes = "left over";
    EXPECT_EQ(ReadWholeFile("/proc/self/mem", 100, &bytes), WholeFile::Unreadable);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(bytes, "");
}

// Every mode that writes refuses a link by the file's name, dangling or not;
// a plain name opens as fopen opens it.
TEST(Files, WritingNeverFollowsALink)
{
    for (const char* mode : {"wb", "w+", "ab", "a+", "r+", "wx"}) {
        SCOPED_TRACE(mode);
        TempFolder dir;
        dir.Write("letter.txt", "keep me");
        std::filesystem::create_symlink(dir / "letter.txt", dir / "linked");
        std::filesystem::create_symlink(dir / "made", dir / "dangling");
        EXPECT_EQ(OpenFile((dir / "linked").c_str(), mode), nullptr);
        EXPECT_EQ(OpenFile((dir / "dangling").c_str(), mode), nullptr);
        EXPECT_EQ(LumoTest::ReadFile(dir / "letter.txt"), "keep me");
        EXPECT_FALSE(std::filesystem::exists(dir / "made"));

        // "r+" needs the file; the others make it.
        if (mode[0] == 'r')
            dir.Write("plain", "old");
        FILE* file = OpenFile((dir / "plain").c_str(), mode);
        ASSERT_NE(file, nullptr);
        EXPECT_GE(std::fputs("new", file), 0);
        EXPECT_EQ(std::fclose(file), 0);
        EXPECT_EQ(LumoTest::ReadFile(dir / "plain"), "new");
    }
}

TEST(Files, FindListsMatchesWithSizesAndAttributes)
{
    TempFolder dir;
    dir.Write("a.dmo", "12345");
    dir.Write("B.DMO", "");
    dir.Write("c.txt", "");
    dir.Write("sub/x", "");
    WIN32_FIND_DATAA data;
    std::set<std::string> names;
    HANDLE find = FindFirstFileA((dir.Path() + "\\*.dmo").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        names.insert(data.cFileName);
        if (std::string(data.cFileName) == "a.dmo") {
            EXPECT_EQ(data.nFileSizeLow, 5u);
        }
    } while (FindNextFileA(find, &data));
    EXPECT_TRUE(FindClose(find));
    EXPECT_EQ(names, (std::set<std::string>{"a.dmo", "B.DMO"}));

    names.clear();
    find = FindFirstFileA((dir.Path() + "/*.*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        names.insert(data.cFileName);
        if (std::string(data.cFileName) == "sub") {
            EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "a.dmo", "B.DMO", "c.txt", "sub"}));

    EXPECT_EQ(FindFirstFileA((dir.Path() + "/*.none").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA((dir.Path() + "/missing/*").c_str(), &data), INVALID_HANDLE_VALUE);
}

TEST(Files, FileTimeConvertsToAndFromUnixTime)
{
    FILETIME t = UnixTimeToFileTime(0);
    EXPECT_EQ(FileTimeToU64(t), 116444736000000000ULL);
    EXPECT_EQ(FileTimeToUnixTime(UnixTimeToFileTime(1700000000)), 1700000000);
}

TEST(Files, MappedFileViewsTheWholeFile)
{
    TempFolder dir;
    dir.Write("data.bin", std::string("\x01\x02\x03", 3));
    dir.Write("empty.bin", "");
    auto mapped = MappedFile::Open(dir / "DATA.BIN");
    ASSERT_TRUE(mapped);
    ASSERT_EQ(mapped->Size(), 3u);
    EXPECT_EQ(mapped->Data()[2], 3);
    auto empty = MappedFile::Open(dir / "empty.bin");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Size(), 0u);
    EXPECT_FALSE(MappedFile::Open(dir / "missing.bin"));
    EXPECT_FALSE(MappedFile::Open(dir.Path()));
}
