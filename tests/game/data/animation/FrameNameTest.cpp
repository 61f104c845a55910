#include "game/data/animation/FrameName.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameNameTest, FormatsOneIntegerConversionAndRefusesEverythingElse)
{
    struct Case {
        const char* pattern;
        int32_t number;
        const char* result;
    };
    const Case cases[] = {
        {"res\\star%02d.png", 1, "res\\star01.png"},
        {"f%d", -7, "f-7"},
        {"f%4i|", 42, "f  42|"},
        {"f%-4d|", 42, "f42  |"},
        {"f%+.3d", 5, "f+005"},
        {"100%%_%d", 3, "100%_3"},
        {"f%05d", -12, "f-0012"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_TRUE(FormatFrameNumber(c.pattern, c.number, &out)) << c.pattern;
        EXPECT_EQ(out, c.result) << c.pattern;
    }
    for (const char* bad : {"%s", "%n", "%d%d", "plain", "%", "%123d", "%ld", "%x", "a%%b"}) {
        std::string out;
        EXPECT_FALSE(FormatFrameNumber(bad, 1, &out)) << bad;
    }
}

} // namespace
