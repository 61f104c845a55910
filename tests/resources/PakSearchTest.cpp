#include "tests/resources/PakTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using LumoTest::TempFolder;
using Platform::WIN32_FIND_DATAA;

namespace {

struct Found {
    std::string name;
    uint32_t size;
    uint32_t attributes;

    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& f)
{
    return out << "{" << f.name << ", " << f.size << ", " << f.attributes << "}";
}

class PakSearch : public testing::Test {
protected:
    void SetUp() override
    {
        PakWriter writer;
        writer.Add("res\\img\\Logo.png", "12345", 77);
        writer.Add("res\\gui.xml", "<root/>", 66);
        writer.Add("res\\Balls.xml", "12", 55);
        writer.Add("other.txt", "o");
        PakTest::WriteArchive(mDir, "main.pak", writer);
        ASSERT_TRUE(mPak.MountArchive("main.pak"));
        mDir.Write("res/disk.xml", "disk");
    }

    std::vector<Found> Search(const char* pattern)
    {
        std::vector<Found> found;
        WIN32_FIND_DATAA data;
        Platform::HANDLE find = mPak.FindFirst(pattern, &data);
        if (find == Platform::INVALID_HANDLE_VALUE)
            return found;
        do {
            std::string name = data.cFileName;
            if (name != "." && name != "..")
                found.push_back(Found{name, data.nFileSizeLow, data.dwFileAttributes});
        } while (mPak.FindNext(find, &data));
        EXPECT_TRUE(mPak.FindEnd(find));
        return found;
    }

    TempFolder mDir;
    PakTest::ScopedCurrentFolder mInside{mDir.Path()};
    PakInterface mPak;
};

constexpr uint32_t kFile = 0;
constexpr uint32_t kDiskFile = Platform::FILE_ATTRIBUTE_NORMAL;
constexpr uint32_t kFolder = Platform::FILE_ATTRIBUTE_DIRECTORY;

} // namespace

TEST_F(PakSearch, ArchiveEntriesInKeyOrderThenDiskFiles)
{
    const std::vector<Found> expected = {
        {"Balls.xml", 2, kFile}, {"gui.xml", 7, kFile}, {"Logo.png", 5, kFile}, {"disk.xml", 4, kDiskFile}};
    EXPECT_EQ(Search("res\\*"), expected);
    EXPECT_EQ(Search("RES/*"), expected);
    EXPECT_EQ(Search("res\\*.*"), expected);

    const std::vector<Found> xml = {{"Balls.xml", 2, kFile}, {"gui.xml", 7, kFile}, {"disk.xml", 4, kDiskFile}};
    EXPECT_EQ(Search("res\\*.xml"), xml);
}

TEST_F(PakSearch, EntryDataCarriesTheStoredTime)
{
    WIN32_FIND_DATAA data;
    Platform::HANDLE find = mPak.FindFirst("res\\img\\*", &data);
    ASSERT_NE(find, Platform::INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "Logo.png");
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_EQ(Platform::FileTimeToU64(data.ftCreationTime), 77u);
    EXPECT_EQ(Platform::FileTimeToU64(data.ftLastAccessTime), 77u);
    EXPECT_EQ(Platform::FileTimeToU64(data.ftLastWriteTime), 77u);
    // Nothing on disk below res\img: the search ends with the archive.
    EXPECT_FALSE(mPak.FindNext(find, &data));
    EXPECT_TRUE(mPak.FindEnd(find));
}

TEST_F(PakSearch, PatternsAreAPrefixAndATail)
{
    const struct {
        const char* pattern;
        std::vector<Found> found;
    } cases[] = {
        // Everything, the archive's own entry included.
        {"*", {{"main.pak", 0, kFile}, {"other.txt", 1, kFile}, {"Balls.xml", 2, kFile}, {"gui.xml", 7, kFile},
               {"Logo.png", 5, kFile}, {"main.pak", 0, kDiskFile}, {"res", 0, kFolder}}},
        // A tail holding a separator marks what it ends as a folder.
        {"*\\logo.png", {{"Logo.png", 5, kFolder}}},
        // Only the first "*" counts and "?" is an ordinary character.
        {"res\\*a*", {}},
        {"res\\*?ui.xml", {}},
        // A pattern without "*" goes only to the disk.
        {"res\\gui.xml", {}},
        {"res\\disk.xml", {{"disk.xml", 4, kDiskFile}}},
        {"nothing*", {}},
    };
    for (const auto& c : cases) {
        std::vector<Found> found = Search(c.pattern);
        // The archive file's size depends on the writer; the disk's own listing too.
        for (Found& f : found) {
            if (f.name == "main.pak")
                f.size = 0;
        }
        EXPECT_EQ(found, c.found) << c.pattern;
    }
}

TEST_F(PakSearch, TooLongPatternsSearchTheDiskOnly)
{
    EXPECT_TRUE(Search((std::string(300, 'x') + "\\*").c_str()).empty());
    WIN32_FIND_DATAA data;
    EXPECT_EQ(mPak.FindFirst("missing\\*", &data), Platform::INVALID_HANDLE_VALUE);
}

TEST(PakSearchNames, AnEntryWithoutANameIsListedOnce)
{
    TempFolder dir;
    PakWriter writer;
    writer.Add("", "nameless");
    writer.Add("a", "a");
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(PakTest::WriteArchive(dir, "names.pak", writer)));
    WIN32_FIND_DATAA data;
    Platform::HANDLE find = pak.FindFirst("*", &data);
    ASSERT_NE(find, Platform::INVALID_HANDLE_VALUE);
    std::vector<std::string> names = {data.cFileName};
    // The archive's three entries, then the disk's listing of the current folder.
    while (names.size() < 4 && pak.FindNext(find, &data))
        names.push_back(data.cFileName);
    pak.FindEnd(find);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "");
    EXPECT_EQ(names[1], "a");
    EXPECT_EQ(names[2], "names.pak");
    EXPECT_EQ(names[3], ".");
}
