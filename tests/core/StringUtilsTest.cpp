#include "framework/core/StringUtils.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Lumo;

TEST(StringUtils, ParseInt)
{
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"0x1F", true, 31},
        {"0X1f", true, 31},
        {"-x1F", true, -31},
        {"-12", true, -12},
        {"2147483647", true, INT_MAX},
        {"4294967295", true, -1}, // 32-bit wrap-around
        {"-", true, 0},
        {"0x", true, 0},
        {"-0x10", false, 0},
        {"12a", false, 0},
        {"x1F", false, 0},
        {"5x1", false, 0},
        {"0x1G", false, 0},
        {"1 ", false, 0},
        {"+1", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        int32_t value = 99;
        EXPECT_EQ(ParseInt(c.text, &value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(StringUtils, ParseDouble)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"-1.25", true, -1.25}, {"3.", true, 3.0},  {".5", true, 0.5},    {"0.125", true, 0.125},
        {"42", true, 42.0},     {"1e3", false, 0.0}, {"+1", false, 0.0},  {"1.2.3", false, 0.0},
        {"", false, 0.0},       {"1,5", false, 0.0}, {"--1", false, 0.0},
    };
    for (const Case& c : cases) {
        double value = 99.0;
        EXPECT_EQ(ParseDouble(c.text, &value), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

TEST(StringUtils, CommaSeparate)
{
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0"},           {7, "7"},
        {999, "999"},       {1000, "1,000"},
        {1234567, "1,234,567"}, {100000, "100,000"},
        {INT_MAX, "2,147,483,647"}, {-1234, "-1,234"},
        {INT_MIN, "-2,147,483,648"}, {5000000000, "5,000,000,000"},
        {INT64_MIN, "-9,223,372,036,854,775,808"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(CommaSeparate(value), text) << value;
}

TEST(StringUtils, FindNoCase)
{
    EXPECT_EQ(FindNoCase("Hello World", "WORLD"), 6);
    EXPECT_EQ(FindNoCase("Hello World", "o w"), 4);
    EXPECT_EQ(FindNoCase("Hello World", "planet"), -1);
    EXPECT_EQ(FindNoCase("Hello", ""), 0);
    EXPECT_EQ(FindNoCase("", ""), -1);
    EXPECT_EQ(FindNoCase("", "a"), -1);
}

TEST(StringUtils, CaseAndSpace)
{
    EXPECT_EQ(MakeUpperCase("res\\Fonts-1.txt \xE9"), "RES\\FONTS-1.TXT \xE9");
    EXPECT_EQ(StringToLower("ABC def \xC9"), "abc def \xC9");
    EXPECT_EQ(TrimSpace(" \t\r\n\v\fa b\t \n"), "a b");
    EXPECT_EQ(TrimSpace("    "), "");
    EXPECT_EQ(TrimSpace(""), "");
    EXPECT_EQ(TrimSpace("x"), "x");
}

TEST(StringUtils, WideningKeepsByteValues)
{
    const std::string bytes = "A\xE9\xFF";
    EXPECT_EQ(WidenString(bytes), (std::wstring{L'A', wchar_t(0xE9), wchar_t(0xFF)}));
    EXPECT_EQ(NarrowString(WidenString(bytes)), bytes);
    EXPECT_EQ(NarrowString(std::wstring{L'A', wchar_t(0x20AC)}), "");
}

TEST(StringUtils, FormatStringOfAnyLength)
{
    EXPECT_EQ(FormatString("%s=%d", "count", 12), "count=12");
    EXPECT_EQ(FormatString("%s", ""), "");
    // Both sides of the first buffer's size, and far past the growth limit.
    for (size_t length : {159u, 160u, 161u, 5000u, 2000000u}) {
        std::string text(length, 'k');
        EXPECT_EQ(FormatString("%s", text.c_str()), text) << length;
        EXPECT_EQ(FormatString("<%s>", text.c_str()), "<" + text + ">") << length;
    }
}
