#include "tests/resources/PakTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using LumoTest::TempFolder;

namespace {

class PakRead : public testing::Test {
protected:
    void SetUp() override
    {
        PakWriter writer;
        writer.Add("crlf.txt", std::string("a\r\nb", 4));
        writer.Add("ten.bin", "0123456789");
        writer.Add("six.txt", "abcdef");
        writer.Add("lines.txt", "one\r\n\r\r\ntwo\n\r");
        writer.Add("empty.txt", "");
        ASSERT_TRUE(mPak.MountArchive(PakTest::WriteArchive(mDir, "main.pak", writer)));
    }

    PakFileHandle* Open(const char* name)
    {
        PakFileHandle* handle = mPak.Open(name, "rb");
        EXPECT_NE(handle, nullptr) << name;
        EXPECT_NE(handle ? handle->entry : nullptr, nullptr) << name;
        return handle;
    }

    TempFolder mDir;
    PakInterface mPak;
};

} // namespace

TEST_F(PakRead, ReadCountsWholeElementsOnly)
{
    PakFileHandle* handle = Open("ten.bin");
    char buffer[16] = {};
    EXPECT_EQ(mPak.Read(buffer, 4, 3, handle), 2);
    EXPECT_EQ(std::string(buffer), "0123456789");
    EXPECT_EQ(mPak.Tell(handle), 10);
    EXPECT_EQ(mPak.Read(buffer, 1, 1, handle), 0);
    EXPECT_EQ(mPak.AtEnd(handle), 1);

    EXPECT_EQ(mPak.Seek(handle, 4, 0), 0);
    EXPECT_EQ(mPak.AtEnd(handle), 0);
    EXPECT_EQ(mPak.Read(buffer, 0, 5, handle), 0);
    EXPECT_EQ(mPak.Read(buffer, 5, 0, handle), 0);
    EXPECT_EQ(mPak.Read(buffer, -1, 5, handle), 0);
    EXPECT_EQ(mPak.Tell(handle), 4);
    // A request far beyond 32 bits still copies only what is left.
    EXPECT_EQ(mPak.Read(buffer, INT_MAX, INT_MAX, handle), 0);
    EXPECT_EQ(mPak.Tell(handle), 10);
    mPak.Close(handle);
}

TEST_F(PakRead, SeekClampsToTheEntry)
{
    const struct {
        long start;
        long offset;
        int origin;
        long position;
    } cases[] = {
        {3, 0, 2, 10},   {3, -4, 2, 6},    {3, 5, 2, 10},   {3, -20, 0, 0},  {3, 25, 0, 10},
        {3, 2, 1, 5},    {3, -5, 1, 0},    {3, 9, 1, 10},   {3, 1, 7, 3},    {3, LONG_MAX, 1, 10},
        {3, LONG_MIN, 2, 0},
    };
    PakFileHandle* handle = Open("ten.bin");
    for (const auto& c : cases) {
        mPak.Seek(handle, c.start, 0);
        EXPECT_EQ(mPak.Seek(handle, c.offset, c.origin), 0);
        EXPECT_EQ(mPak.Tell(handle), c.position) << c.offset << " from " << c.origin;
    }
    char c = 0;
    mPak.Seek(handle, -1, 2);
    EXPECT_EQ(mPak.Read(&c, 1, 1, handle), 1);
    EXPECT_EQ(c, '9');
    mPak.Close(handle);
}

TEST_F(PakRead, GetCharSkipsCarriageReturns)
{
    PakFileHandle* handle = Open("crlf.txt");
    EXPECT_EQ(mPak.GetChar(handle), 'a');
    EXPECT_EQ(mPak.GetChar(handle), '\n');
    EXPECT_EQ(mPak.GetChar(handle), 'b');
    EXPECT_EQ(mPak.GetChar(handle), -1);
    EXPECT_EQ(mPak.GetChar(handle), -1);
    mPak.Close(handle);

    // A trailing carriage return is no character at all.
    handle = Open("lines.txt");
    mPak.Seek(handle, -1, 2);
    EXPECT_EQ(mPak.GetChar(handle), -1);
    mPak.Close(handle);
}

TEST_F(PakRead, UngetCharStepsBackOverTheArchivedByte)
{
    PakFileHandle* handle = Open("six.txt");
    EXPECT_EQ(mPak.UngetChar('x', handle), 'x');
    EXPECT_EQ(mPak.Tell(handle), 0);
    EXPECT_EQ(mPak.GetChar(handle), 'a');
    EXPECT_EQ(mPak.GetChar(handle), 'b');
    EXPECT_EQ(mPak.UngetChar('z', handle), 'z');
    EXPECT_EQ(mPak.GetChar(handle), 'b');
    mPak.Close(handle);
}

TEST_F(PakRead, GetLineReadsLikeFgetsWithoutCarriageReturns)
{
    char buffer[80];
    PakFileHandle* handle = Open("crlf.txt");
    ASSERT_EQ(mPak.GetLine(buffer, sizeof(buffer), handle), buffer);
    EXPECT_STREQ(buffer, "a\n");
    ASSERT_EQ(mPak.GetLine(buffer, sizeof(buffer), handle), buffer);
    EXPECT_STREQ(buffer, "b");
    EXPECT_EQ(mPak.GetLine(buffer, sizeof(buffer), handle), nullptr);
    EXPECT_STREQ(buffer, "b");
    mPak.Close(handle);

    handle = Open("six.txt");
    char small[3];
    ASSERT_EQ(mPak.GetLine(small, sizeof(small), handle), small);
    EXPECT_STREQ(small, "ab");
    EXPECT_EQ(mPak.GetLine(small, 1, handle), small);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(mPak.GetLine(small, 0, handle), nullptr);
    EXPECT_EQ(mPak.Tell(handle), 2);
    mPak.Close(handle);

    // Lines of carriage returns only are empty lines; a last run of them is no line.
    handle = Open("lines.txt");
    std::strcpy(buffer, "untouched");
    const char* expected[] = {"one\n", "\n", "two\n"};
    for (const char* line : expected) {
        ASSERT_EQ(mPak.GetLine(buffer, sizeof(buffer), handle), buffer);
        EXPECT_STREQ(buffer, line);
    }
    EXPECT_EQ(mPak.GetLine(buffer, sizeof(buffer), handle), nullptr);
    mPak.Close(handle);

    handle = Open("empty.txt");
    EXPECT_EQ(mPak.AtEnd(handle), 1);
    EXPECT_EQ(mPak.GetLine(buffer, sizeof(buffer), handle), nullptr);
    EXPECT_EQ(mPak.GetChar(handle), -1);
    mPak.Close(handle);
}

TEST_F(PakRead, DiskFilesUseStdio)
{
    mDir.Write("Loose/File.TXT", "x\r\ny");
    PakFileHandle* handle = mPak.Open((mDir.Path() + "\\loose\\file.txt").c_str(), "rb");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->entry, nullptr);
    // stdio keeps the carriage return that archive reads drop.
    char buffer[16];
    ASSERT_EQ(mPak.GetLine(buffer, sizeof(buffer), handle), buffer);
    EXPECT_STREQ(buffer, "x\r\n");
    EXPECT_EQ(mPak.Tell(handle), 3);
    EXPECT_EQ(mPak.UngetChar('Q', handle), 'Q');
    EXPECT_EQ(mPak.GetChar(handle), 'Q');
    EXPECT_EQ(mPak.Seek(handle, 0, 2), 0);
    EXPECT_EQ(mPak.Tell(handle), 4);
    EXPECT_EQ(mPak.GetChar(handle), EOF);
    EXPECT_NE(mPak.AtEnd(handle), 0);
    EXPECT_EQ(mPak.Close(handle), 0);
}
