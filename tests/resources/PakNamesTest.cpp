#include "tests/resources/PakTestSupport.h"

#include "platform/storage/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using LumoTest::TempFolder;
using PakTest::ReadFile;

namespace {

std::string Normalized(const std::string& name)
{
    char out[PakInterface::kNameBufferSize];
    EXPECT_TRUE(PakInterface::NormalizePath(name.c_str(), out)) << name;
    return out;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

} // namespace

TEST(PakNames, NormalizedForms)
{
    const struct {
        const char* name;
        const char* normalized;
    } cases[] = {
        {"res\\gui.xml", "RES\\GUI.XML"},
        {"res/gui.xml", "RES\\GUI.XML"},
        {"res\\/\\\\gui.xml", "RES\\GUI.XML"},
        {"Res\\Extra\\..\\Gui.Xml", "RES\\GUI.XML"},
        {"res/a/b/../../gui.xml", "RES\\GUI.XML"},
        {"res\\a\\..//gui.xml", "RES\\GUI.XML"},
        // A leading separator survives any number of "..".
        {"\\..\\..\\gui.xml", "\\GUI.XML"},
        // "." is an ordinary component, and ".." counts only after a separator.
        {".\\res\\gui.xml", ".\\RES\\GUI.XML"},
        {"..\\gui.xml", "..\\GUI.XML"},
        {"res\\gui..xml", "RES\\GUI..XML"},
        // Bytes above 127 stay as they are.
        {"caf\xe9.xml", "CAF\xe9.XML"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Normalized(c.name), c.normalized) << c.name;
}

TEST(PakNames, AbsoluteNamesInsideTheCurrentFolderLoseItsPrefix)
{
    TempFolder dir;
    PakTest::ScopedCurrentFolder inside(dir.Path());
    const std::string cwd = Platform::GetCurrentDirectoryA();
    EXPECT_EQ(Normalized(cwd + "/res/gui.xml"), "RES\\GUI.XML");
    EXPECT_EQ(Normalized(Upper(cwd) + "\\res\\gui.xml"), "RES\\GUI.XML");
    // A folder that only begins like the current one is not inside it.
    std::string outside = Upper(cwd + "x/gui.xml");
    std::replace(outside.begin(), outside.end(), '/', '\\');
    EXPECT_EQ(Normalized(cwd + "x/gui.xml"), outside);
    EXPECT_EQ(Normalized("/elsewhere/gui.xml"), "\\ELSEWHERE\\GUI.XML");
}

TEST(PakNames, LongNamesNeverOverflowTheBuffer)
{
    char out[PakInterface::kNameBufferSize + 16];
    std::fill(std::begin(out), std::end(out), '#');

    const std::string longest(255, 'a');
    EXPECT_TRUE(PakInterface::NormalizePath(longest.c_str(), out));
    EXPECT_EQ(std::string(out), std::string(255, 'A'));

    // Separator runs and ".." shrink a name before it is measured.
    const std::string shrinking = std::string(200, 'b') + "\\x\\..\\\\\\" + std::string(54, 'c');
    EXPECT_TRUE(PakInterface::NormalizePath(shrinking.c_str(), out));
    EXPECT_EQ(std::string(out).size(), 255u);

    const std::string tooLong(4000, 'z');
    EXPECT_FALSE(PakInterface::NormalizePath(tooLong.c_str(), out));
    EXPECT_EQ(std::string(out).size(), 255u);
    EXPECT_EQ(out[PakInterface::kNameBufferSize], '#');
}

class PakNameLookup : public testing::Test {
protected:
    void SetUp() override
    {
        PakWriter writer;
        writer.Add("res\\gui.xml", "archive");
        ASSERT_TRUE(mPak.MountArchive(PakTest::WriteArchive(mDir, "main.pak", writer)));
        mDir.Write("res/gui.xml", "disk");
    }

    TempFolder mDir;
    PakTest::ScopedCurrentFolder mInside{mDir.Path()};
    PakInterface mPak;
};

TEST_F(PakNameLookup, SpellingsOfOneNameOpenTheSameEntry)
{
    const std::string cwd = Platform::GetCurrentDirectoryA();
    for (const std::string& name : {std::string("res\\gui.xml"), std::string("res/gui.xml"),
                                    std::string("res\\\\gui.xml"), std::string("RES\\GUI.XML"),
                                    std::string("res\\extra\\..\\gui.xml"), cwd + "/res/gui.xml",
                                    Upper(cwd) + "\\res\\gui.xml"})
        EXPECT_EQ(ReadFile(mPak, name), "archive") << name;
    // The "." stays in the key, so the name is looked for on disk.
    EXPECT_EQ(ReadFile(mPak, ".\\res\\gui.xml"), "disk");
    EXPECT_EQ(ReadFile(mPak, ".\\RES\\GUI.XML"), "disk");
}

TEST_F(PakNameLookup, OnlyPlainReadModesLookIntoTheArchives)
{
    const struct {
        const char* mode;
        bool archive;
    } cases[] = {
        {"r", true}, {"rb", true}, {"rt", true}, {"RB", true}, {"Rt", true},
        {"r+", false}, {"rb+", false}, {"a+", false}, {"", false},
    };
    for (const auto& c : cases) {
        PakFileHandle* handle = mPak.Open("res\\gui.xml", c.mode);
        if (c.archive) {
            ASSERT_NE(handle, nullptr) << c.mode;
            EXPECT_NE(handle->entry, nullptr) << c.mode;
        } else if (handle) {
            EXPECT_EQ(handle->entry, nullptr) << c.mode;
        }
        if (handle)
            mPak.Close(handle);
    }

    // Writing always reaches the disk, even under an archived name.
    PakFileHandle* written = mPak.Open("RES\\GUI.XML", "wb");
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->entry, nullptr);
    std::fputs("new", written->file);
    EXPECT_EQ(mPak.Close(written), 0);
    EXPECT_EQ(LumoTest::ReadFile(mDir / "res/gui.xml"), "new");
    EXPECT_EQ(ReadFile(mPak, "res\\gui.xml"), "archive");
}

TEST_F(PakNameLookup, NamesTooLongForAKeyFallBackToTheDisk)
{
    const std::string folder(300, 'd');
    EXPECT_EQ(ReadFile(mPak, folder + "\\..\\res\\gui.xml"), "<missing>");
    EXPECT_EQ(mPak.Open(std::string(5000, 'n').c_str(), "rb"), nullptr);
}
