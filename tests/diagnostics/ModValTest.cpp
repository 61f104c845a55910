#include "framework/diagnostics/ModValRecord.h"
#include "framework/diagnostics/ModValRegistry.h"
#include "framework/diagnostics/ModValParse.h"
#include "framework/diagnostics/ModValReparse.h"
#include "platform/backends/headless/HeadlessSession.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Two tweakable values declared as the macro would, but naming a source file
// of the test's own folder so that the test can rewrite it.
char gSpeedRecord[] = LUMO_MODVAL_RECORD_TEXT("modval_fixture.cpp", 4, 3);
char gScaleRecord[] = LUMO_MODVAL_RECORD_TEXT("modval_fixture.cpp", 5, 3);
char gNameRecord[] = LUMO_MODVAL_RECORD_TEXT("modval_fixture.cpp", 6, 6);

int Speed() { return Lumo::ModValue(gSpeedRecord, 12); }
double Scale() { return Lumo::ModValue(gScaleRecord, 1.5); }
std::string Name() { return Lumo::ModValue(gNameRecord, "old"); }

TEST(ModValTest, LiteralParsers)
{
    Lumo::ModValNamedConstants()["kLimit"] = 99;
    const struct {
        const char* text;
        bool isString;
        bool isInt;
        bool isDouble;
        int32_t integer;
        double floating;
        const char* string;
    } cases[] = {
        {"0x10)", false, true, false, 16, 0.0, ""},
        {"-12)", false, true, true, -12, -12.0, ""},
        {"-0x10)", false, false, false, 0, 0.0, ""},
        {"2.5f)", false, false, true, 0, 2.5, ""},
        {"0.25) + 1", false, false, true, 0, 0.25, ""},
        {"kLimit)", false, true, false, 99, 0.0, ""},
        {"kOther)", false, false, false, 0, 0.0, ""},
        {"\"a\\tb\\\"\\\\\\n\")", true, false, false, 0, 0.0, "a\tb\"\\\n"},
        {"\"a\\qb\")", false, false, false, 0, 0.0, ""},
        {"\"open", false, false, false, 0, 0.0, ""},
        {"7 )", false, false, false, 0, 0.0, ""},
    };
    for (const auto& c : cases) {
        std::string string;
        int32_t integer = 1;
        double floating = 1.0;
        EXPECT_EQ(Lumo::ModValParseString(c.text, &string), c.isString) << c.text;
        EXPECT_EQ(Lumo::ModValParseInt(c.text, &integer), c.isInt) << c.text;
        EXPECT_EQ(Lumo::ModValParseDouble(c.text, &floating), c.isDouble) << c.text;
        if (c.isString) {
            EXPECT_EQ(string, c.string) << c.text;
        }
        if (c.isInt) {
            EXPECT_EQ(integer, c.integer) << c.text;
        }
        if (c.isDouble) {
            EXPECT_DOUBLE_EQ(floating, c.floating) << c.text;
        }
    }
    Lumo::ModValNamedConstants().clear();
}

TEST(ModValTest, MarkerTextsAndRecordsInMemory)
{
    const struct {
        const char* text;
        bool ok;
        const char* file;
        int order;
        int line;
    } cases[] = {{"src/a.cpp12,34", true, "src/a.cpp", 12, 34},
                 {"b,c.cpp1,2", true, "b,c.cpp", 1, 2},
                 {"12,34", false, "", 0, 0},
                 {"a.cpp", false, "", 0, 0},
                 {"a.cpp12", false, "", 0, 0},
                 {"a.cpp,12", false, "", 0, 0}};
    for (const auto& c : cases) {
        std::string file;
        int32_t order = 0;
        int32_t line = 0;
        EXPECT_EQ(Lumo::ModValSplitMarkerText(c.text, &file, &order, &line), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(file, c.file);
            EXPECT_EQ(order, c.order);
            EXPECT_EQ(line, c.line);
        }
    }

    // Two records among noise; the marker is put together here so that no
    // whole one stands in the test program's own constants.
    const std::string marker = std::string("LUMO") + "MODVAL";
    const std::string head(Lumo::kModValMarkerOffset, '\x01');
    std::string bytes = "noise" + marker + "nodigits" + '\0' + head + marker + "mem/one.cpp7,70" + '\0' + "xx" + head +
                        marker + "mem/one.cpp3,30" + '\0';
    ASSERT_TRUE(Lumo::ModValFindMarkers(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size()));
    const auto& entries = Lumo::ModValFileMap()["mem/one.cpp"].mEntries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.at(3).mLine, 30);
    EXPECT_EQ(entries.at(7).mLine, 70);
    EXPECT_EQ(entries.at(3).mRecord, bytes.data() + bytes.size() - 16 - marker.size() - head.size());
    Lumo::ModValFileMap().erase("mem/one.cpp");
}

class ModValReparseTest : public testing::Test {
protected:
    void SetUp() override
    {
        mPrevious = std::filesystem::current_path();
        std::filesystem::current_path(mFolder.Path());
    }
    void TearDown() override { std::filesystem::current_path(mPrevious); }

    // Writes the source and dates it later than anything read before.
    void WriteSource(const std::string& text, int secondsLater)
    {
        mFolder.Write("modval_fixture.cpp", text);
        const auto path = mFolder / "modval_fixture.cpp";
        std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) +
                                                   std::chrono::seconds(secondsLater));
    }
    std::string LastBox()
    {
        return mSession.Desktop().MessageBoxes().empty() ? "" : mSession.Desktop().MessageBoxes().back().caption;
    }

    LumoTest::TempFolder mFolder;
    std::filesystem::path mPrevious;
    Platform::HeadlessSession mSession;
};

TEST_F(ModValReparseTest, ChangedSourceIsPickedUpAndBrokenSourcesAreReported)
{
    EXPECT_EQ(Speed(), 12);
    EXPECT_DOUBLE_EQ(Scale(), 1.5);
    EXPECT_EQ(Name(), "old");

    // Sites in strings and comments, after a letter or at the start of a line
    // are no sites; two on one line fill their records in order.
    WriteSource("// M(1) is no site\n"
                "const char* t = \"M(2)\"; /* M(3)\n"
                "  */ int s = M(40) + XM(5) + M2(0.75f);\n"
                "M(6)\n"
                "int q = 1; // continued \\\n"
                "  M(7) still a comment\n"
                "const char* n = M(\"new\\tname\");\n",
                100);
    ASSERT_TRUE(Lumo::ModValReparse()) << LastBox();
    EXPECT_EQ(Speed(), 40);
    EXPECT_DOUBLE_EQ(Scale(), 0.75);
    EXPECT_EQ(Name(), "old") << "line 6 is a comment now";

    ASSERT_FALSE(Lumo::ModValReparse());
    EXPECT_EQ(LastBox(), "MODVAL WARNING!");
    EXPECT_NE(mSession.Desktop().MessageBoxes().back().text.find("\r\n  modval_fixture.cpp"), std::string::npos);

    const struct {
        const char* source;
        const char* message;
    } broken[] = {
        {"\n\nint s = M(-0x10);\n", "ERROR in modval_fixture.cpp on line 3.  Parsing Error."},
        {"\"open\n", "ERROR in modval_fixture.cpp on line 1: Error parsing quotes"},
        {"/* open\n\n", "ERROR in modval_fixture.cpp on line 2: Error parsing c comment"},
        {"\n// open \\", "ERROR in modval_fixture.cpp on line 2: Error parsing c++ comment"},
    };
    int later = 200;
    for (const auto& b : broken) {
        WriteSource(b.source, later += 100);
        EXPECT_FALSE(Lumo::ModValReparse()) << b.source;
        EXPECT_EQ(mSession.Desktop().MessageBoxes().back().text, b.message) << b.source;
    }
    std::filesystem::remove(mFolder / "modval_fixture.cpp");
    EXPECT_FALSE(Lumo::ModValReparse());
    EXPECT_EQ(LastBox(), "MODVAL ERROR!");
}

} // namespace
