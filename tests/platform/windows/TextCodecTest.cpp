#include "platform/windows/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

using namespace Platform;

namespace {

TEST(TextCodec, CodePage1252AndUtf8Agree)
{
    struct Pair {
        const char* cp1252;
        const char* utf8;
    };
    const Pair pairs[] = {
        {"plain", "plain"},
        {"\xE9", "\xC3\xA9"},
        {"\x80", "\xE2\x82\xAC"},
        {"\x9F", "\xC5\xB8"},
        {"\x81", "\xC2\x81"}, // unassigned: kept as the C1 control
        {"\xFF", "\xC3\xBF"},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(Utf8FromCp1252(p.cp1252), p.utf8);
        EXPECT_EQ(Cp1252FromUtf8(p.utf8), p.cp1252);
    }
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += char(c);
    EXPECT_EQ(Cp1252FromUtf8(Utf8FromCp1252(every)), every);
}

TEST(TextCodec, WhatCannotBeSaidBecomesAQuestionMark)
{
    const std::pair<std::string, std::string> cases[] = {
        {"\xCE\xA9", "?"},             // a letter code page 1252 lacks
        {"\xF0\x9F\x99\x82!", "?!"},   // beyond the basic plane
        {"a\xC3", "a?"},               // cut short
        {"\xC0\xAF", "??"},            // an overlong "/"
        {"\xED\xA0\x80", "???"},       // a surrogate
        {"\xF5\x80\x80\x80", "????"},  // beyond U+10FFFF
        {"\x80x", "?x"},               // a lone continuation byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp1252FromUtf8(c.first), c.second);
    EXPECT_EQ(Utf8FromWide(L"Caf\u00E9 \u20AC"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Utf8FromWide(std::wstring(1, wchar_t(0xD800))), "?");
}

} // namespace
