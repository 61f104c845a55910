#include "game/data/NumberLists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct PointCase {
    const char* text;
    int x, y;
};

TEST(NumberListsTest, PointsSkipEmptyTokensAndEndAtBarOrLineBreak)
{
    const PointCase cases[] = {
        {"10,20", 10, 20},
        {" 10 ; 20 ", 10, 20},
        {",,10,,\t20,", 10, 20},
        {"1,2|3,4", 1, 2},
        {"1,2\n3,4", 1, 2},
        {"1,2\r\n3,4", 1, 2},
        {"-7x,+3", -7, 3},
        {"abc,5", 0, 5},
        // Too few numbers: the missing ones read as 0.
        {"9", 9, 0},
        {"", 0, 0},
        {"99999999999,-99999999999", INT32_MAX, INT32_MIN},
    };
    for (const PointCase& c : cases) {
        int x = -1, y = -1;
        ParsePoint(c.text, &x, &y);
        EXPECT_EQ(x, c.x) << c.text;
        EXPECT_EQ(y, c.y) << c.text;
    }
}

TEST(NumberListsTest, ColourTakesAlphaOnlyFromExactlyFourNumbers)
{
    struct Case {
        const char* text;
        Lumo::Color color;
    };
    const Case cases[] = {
        {"255,0,0", {255, 0, 0, 255}},
        {"255,0,0,128", {255, 0, 0, 128}},
        {"255,0,0,128,7", {255, 0, 0, 255}},
        {"255; 128 0 255", {255, 128, 0, 255}},
        {"12", {12, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        Lumo::Color color(1, 1, 1, 1);
        ParseColor(c.text, &color);
        EXPECT_EQ(color, c.color) << c.text;
    }
}

TEST(NumberListsTest, RectTakesFourNumbersAndFillsMissingWithZero)
{
    Lumo::Rect rect{};
    ParseRect("1, 2, 30, 40, 50", &rect);
    EXPECT_EQ(rect, (Lumo::Rect{1, 2, 30, 40}));
    ParseRect("5,6", &rect);
    EXPECT_EQ(rect, (Lumo::Rect{5, 6, 0, 0}));
}

TEST(NumberListsTest, IntListReportsTheCharactersItConsumed)
{
    const std::string text = "0,1,0,0|1,1\r\n0,0";
    std::vector<int32_t> numbers;
    size_t used = ParseIntList(text.c_str(), &numbers);
    EXPECT_EQ(used, 8u);
    EXPECT_EQ(numbers, (std::vector<int32_t>{0, 1, 0, 0}));

    numbers.clear();
    used += ParseIntList(text.c_str() + used, &numbers);
    EXPECT_EQ(numbers, (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(text[used], '\n');

    numbers.clear();
    EXPECT_EQ(ParseIntList("3 4", &numbers), 3u);
    EXPECT_EQ(numbers, (std::vector<int32_t>{3, 4}));
}

TEST(NumberListsTest, FloatListStopsAfterTwoWhileTheVectorTakesAll)
{
    float pair[3] = {9.0f, 9.0f, 9.0f};
    EXPECT_EQ(ParseFloatList(pair, "0.5 0.25 0.125"), 2);
    EXPECT_EQ(pair[0], 0.5f);
    EXPECT_EQ(pair[1], 0.25f);
    EXPECT_EQ(pair[2], 9.0f);

    std::vector<float> all;
    ParseFloatVector(&all, "0.5 0.25 0.125");
    EXPECT_EQ(all, (std::vector<float>{0.5f, 0.25f, 0.125f}));

    float one[2] = {7.0f, 7.0f};
    EXPECT_EQ(ParseFloatList(one, " 3 "), 1);
    EXPECT_EQ(one[1], 7.0f);
}

} // namespace
