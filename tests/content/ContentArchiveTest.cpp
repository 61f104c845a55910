#include "tests/content/ContentFiles.h"
#include "tests/resources/PakTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>

namespace ContentTest {
namespace {

std::string ArchiveName(std::string name)
{
    for (char& c : name)
        c = c == '/' ? '\\' : c;
    return name;
}

TEST(ContentArchive, EveryFileReadsBackByteEqualInAnyLetterCase)
{
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(LUMO_GAME_FOLDER "/res.pak"));
    int files = 0;
    for (const char* root : {LUMO_CONTENT_WRITTEN, LUMO_CONTENT_MADE})
        for (const std::string& name : ContentFiles::List(root)) {
            const std::string expected = LumoTest::ReadFile(std::string(root) + "/" + name);
            std::string upper = ArchiveName(name), mixed = upper;
            for (size_t i = 0; i < upper.size(); ++i) {
                upper[i] = char(std::toupper(uint8_t(upper[i])));
                if (i % 2 == 1)
                    mixed[i] = upper[i];
            }
            EXPECT_EQ(PakTest::ReadFile(pak, ArchiveName(name)), expected) << name;
            EXPECT_EQ(PakTest::ReadFile(pak, upper), expected) << upper;
            EXPECT_EQ(PakTest::ReadFile(pak, mixed), expected) << mixed;
            ++files;
        }
    EXPECT_GT(files, 90);
}

// Built twice, the content must be the same bytes: run each generator again.
TEST(ContentArchive, TheGeneratorsWriteTheSameBytesAgain)
{
    LumoTest::TempFolder dir;
    const std::string again = dir / "again";
    const std::string fonts = again + "/res/fonts";
    const std::string commands[] = {
        "mkdir -p " + fonts + " " + again + "/res/sfx " + again + "/res/music",
        std::string(LUMO_MAKEPICTURES) + " " + again,
        std::string(LUMO_MAKEFONT) + " " + fonts + " f16 16 regular --shadow 1,1,0.5",
        std::string(LUMO_MAKEFONT) + " " + fonts + " f16y 16 regular --strip f16 --tint 1,0.85,0.3,1 --shadow 1,1,0.5",
        std::string(LUMO_MAKEFONT) + " " + fonts + " f24 24 bold --shadow 2,2,0.6",
        std::string(LUMO_MAKEFONT) + " " + fonts + " f48 44 bold --shadow 2,2,0.6",
        std::string(LUMO_MAKESOUNDS) + " " + again + "/res/sfx",
        std::string(LUMO_MAKEMODULE) + " " + again + "/res/music/zentrova.mod",
    };
    for (const std::string& command : commands)
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(ContentFiles::List(again), ContentFiles::List(LUMO_CONTENT_MADE));
    for (const std::string& name : ContentFiles::List(LUMO_CONTENT_MADE))
        EXPECT_TRUE(LumoTest::ReadFile(again + "/" + name) == LumoTest::ReadFile(ContentFiles::Made(name))) << name;
}

} // namespace
} // namespace ContentTest
