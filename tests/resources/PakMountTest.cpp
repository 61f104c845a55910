#include "tests/resources/PakTestSupport.h"

#include "framework/resources/PakFormat.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>

using LumoTest::TempFolder;
using PakTest::ReadFile;

namespace {

std::string ArchiveWith(const std::string& name, const std::string& data)
{
    PakWriter writer;
    writer.Add(name, data);
    return writer.PlainBytes();
}

void PutU32(std::string* bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[offset + i] = char(value >> (8 * i));
}

} // namespace

TEST(PakMount, LaterArchivesOverrideEarlierOnes)
{
    TempFolder dir;
    PakWriter main;
    main.Add("res\\both.txt", "from main");
    main.Add("res\\main.txt", "only main");
    PakWriter res;
    res.Add("RES\\BOTH.TXT", "from res", 0x0123456789ABCDEFull);
    // Within one directory the later record wins as well.
    res.Add("res\\twice.txt", "first");
    res.Add("res\\Twice.txt", "second");

    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(PakTest::WriteArchive(dir, "main.pak", main)));
    ASSERT_TRUE(pak.MountArchive(PakTest::WriteArchive(dir, "res.pak", res)));
    EXPECT_EQ(ReadFile(pak, "res\\both.txt"), "from res");
    EXPECT_EQ(ReadFile(pak, "res\\main.txt"), "only main");
    EXPECT_EQ(ReadFile(pak, "res\\twice.txt"), "second");

    Platform::WIN32_FIND_DATAA data;
    Platform::HANDLE find = pak.FindFirst("res\\both*", &data);
    ASSERT_NE(find, Platform::INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "BOTH.TXT");
    EXPECT_EQ(Platform::FileTimeToU64(data.ftLastWriteTime), 0x0123456789ABCDEFull);
    pak.FindEnd(find);
}

TEST(PakMount, ArchivesMountFromAnyPathAndOpenByIt)
{
    TempFolder dir;
    PakWriter writer;
    writer.Add("a.txt", "A");
    std::filesystem::create_directory(dir / "Sub");
    const std::string absolute = PakTest::WriteArchive(dir, "Sub/Game.pak", writer);
    PakTest::ScopedCurrentFolder inside(dir.Path());

    const struct {
        std::string mountAs;
        std::string openAs;
    } cases[] = {
        {absolute, absolute},
        {dir.Path() + "\\SUB\\game.PAK", absolute},
        {"sub/game.pak", "Sub\\Game.pak"},
        {"./Sub//Game.pak", "./sub/game.pak"},
    };
    for (const auto& c : cases) {
        PakInterface pak;
        ASSERT_TRUE(pak.MountArchive(c.mountAs)) << c.mountAs;
        EXPECT_EQ(ReadFile(pak, "a.txt"), "A");
        // The archive itself opens unscrambled, whole.
        std::string whole = ReadFile(pak, c.openAs);
        EXPECT_EQ(whole, writer.PlainBytes()) << c.openAs;
    }
}

TEST(PakMount, EmptyDirectoryMounts)
{
    TempFolder dir;
    PakInterface pak;
    EXPECT_TRUE(pak.MountArchive(PakTest::WriteArchive(dir, "empty.pak", PakWriter())));
    EXPECT_EQ(PakWriter().PlainBytes().size(), PakFormat::kHeaderSize + 1);
}

TEST(PakMount, StoredNamesOfEveryLengthAreFound)
{
    TempFolder dir;
    PakWriter writer;
    const std::string longest = "res\\" + std::string(251, 'n');
    ASSERT_TRUE(writer.Add(longest, "long"));
    ASSERT_TRUE(writer.Add("", "nameless"));
    EXPECT_FALSE(writer.Add(longest + "x", "too long for a record"));
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(PakTest::WriteArchive(dir, "names.pak", writer)));
    EXPECT_EQ(ReadFile(pak, longest), "long");
    EXPECT_EQ(ReadFile(pak, "res/" + std::string(251, 'N')), "long");
    EXPECT_EQ(ReadFile(pak, ""), "nameless");
}

TEST(PakMount, DamagedArchivesAreRefusedAndChangeNothing)
{
    const std::string good = ArchiveWith("res\\damaged.txt", "0123456789");
    const size_t directoryLength = good.size() - 10;
    const size_t sizeField = PakFormat::kHeaderSize + 2 + 15;

    std::string badMagic = good;
    badMagic[0] = 0;
    std::string version1 = good;
    PutU32(&version1, 4, 1);
    std::string sizePastEnd = good;
    PutU32(&sizePastEnd, sizeField, 11);
    std::string hugeSize = good;
    PutU32(&hugeSize, sizeField, 0xFFFFFFFF);
    std::string nameRunsOff = good.substr(0, PakFormat::kHeaderSize);
    nameRunsOff += '\0';
    nameRunsOff += char(255);
    nameRunsOff += "short";
    std::string secondRecordPastEnd = good;
    secondRecordPastEnd.insert(directoryLength - 1, std::string("\0\1x\1\0\0\0\0\0\0\0\0\0\0\0", 15));

    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty file", "", "header truncated"},
        {"magic only", good.substr(0, 4), "header truncated"},
        {"bad magic", badMagic, "bad magic"},
        {"version 1", version1, "unsupported version 1"},
        {"no directory", good.substr(0, PakFormat::kHeaderSize), "directory truncated"},
        {"record cut short", good.substr(0, PakFormat::kHeaderSize + 9), "directory truncated"},
        {"name runs off the end", nameRunsOff, "directory truncated"},
        {"no end byte", good.substr(0, directoryLength - 1), "directory truncated"},
        {"data cut short", good.substr(0, good.size() - 1), "runs past the end"},
        {"size past the end", sizePastEnd, "runs past the end"},
        {"size of 4 GiB", hugeSize, "runs past the end"},
        {"second record past the end", secondRecordPastEnd, "runs past the end"},
    };

    TempFolder dir;
    PakWriter earlier;
    earlier.Add("res\\kept.txt", "kept");
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(PakTest::WriteArchive(dir, "main.pak", earlier)));
    for (const auto& c : cases) {
        const std::string path = PakTest::WritePlainBytes(dir, "damaged.pak", c.bytes);
        PakTest::LogCapture log;
        EXPECT_FALSE(pak.MountArchive(path)) << c.what;
        EXPECT_NE(log.Text().find("refused"), std::string::npos) << c.what;
        EXPECT_NE(log.Text().find(c.reason), std::string::npos) << c.what << ": " << log.Text();
        EXPECT_EQ(ReadFile(pak, "res\\kept.txt"), "kept") << c.what;
        EXPECT_EQ(ReadFile(pak, "res\\damaged.txt"), "<missing>") << c.what;
        // The refused archive left no entry of its own: its name reads from disk, scrambled.
        EXPECT_EQ(ReadFile(pak, path), PakWriter::Scramble(c.bytes)) << c.what;
    }

    PakTest::LogCapture log;
    EXPECT_FALSE(pak.MountArchive(dir / "missing.pak"));
    EXPECT_NE(log.Text().find("missing.pak"), std::string::npos);
    // A FIFO has no writer to wait for: it is refused at once.
    ASSERT_EQ(::mkfifo((dir / "fifo.pak").c_str(), 0600), 0);
    EXPECT_FALSE(pak.MountArchive(dir / "fifo.pak"));
    ASSERT_TRUE(pak.MountArchive(PakTest::WritePlainBytes(dir, "good.pak", good)));
    EXPECT_EQ(ReadFile(pak, "res\\damaged.txt"), "0123456789");
}

// Links planted by the archive's name and by its old temporary's name lead
// elsewhere: the archive takes its name, and what they lead to stays.
TEST(PakWriter, NeverWritesThroughALink)
{
    for (const char* link : {"main.pak.tmp", "main.pak"}) {
        SCOPED_TRACE(link);
        TempFolder dir;
        dir.Write("elsewhere/letter.txt", "keep me");
        std::filesystem::create_symlink(dir / "elsewhere/letter.txt", dir / link);
        PakWriter writer;
        writer.Add("a.txt", "archived");
        std::string error;
        ASSERT_TRUE(writer.WriteFile(dir / "main.pak", &error)) << error;
        EXPECT_EQ(LumoTest::ReadFile(dir / "elsewhere/letter.txt"), "keep me");
        EXPECT_FALSE(std::filesystem::is_symlink(dir / "main.pak"));
        EXPECT_EQ(LumoTest::ReadFile(dir / "main.pak"), writer.Bytes());
    }
}
