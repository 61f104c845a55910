#include "game/board/levels/LevelCommands.h"
#include "tests/game/support/GameFixture.h"

#include <tinyxml.h>

#include <vector>

namespace {

struct Word {
    bool mFloat;
    float mValue;
};

class RecordingTarget : public CLevelCommandTarget {
public:
    void SetBallSpeeds(float first, float second) override { mSpeeds.push_back({first, second}); }
    std::vector<std::pair<float, float>> mSpeeds;
};

class LevelCommandsTest : public GameTest::GameFixture {
protected:
    void SetUp() override { RegisterLevelCommands(); }

    static bool Append(std::vector<uint32_t>& words, const char* name, const char* params)
    {
        TiXmlElement cmd("cmd");
        cmd.SetAttribute("name", name);
        cmd.SetAttribute("params", params);
        return AppendLevelCommand(words, &cmd);
    }
};

} // namespace

TEST(LevelCommandTokens, ParsesFloatsAndIntegersByTheirPoint)
{
    struct Case {
        const char* mText;
        std::vector<Word> mWords;
    };
    const Case cases[] = {
        {"1.5;2.0", {{true, 1.5f}, {true, 2.0f}}},
        {"1.5 2", {{true, 1.5f}, {false, 2.0f}}},
        {"3,,4", {{false, 3.0f}, {false, 4.0f}}},
        {"\t7\t;8 ", {{false, 7.0f}, {false, 8.0f}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> words;
        ParseCommandArgs(words, c.mText);
        ASSERT_EQ(words.size(), c.mWords.size()) << c.mText;
        for (size_t i = 0; i < words.size(); ++i) {
            if (c.mWords[i].mFloat)
                EXPECT_EQ(WordFloat(words[i]), c.mWords[i].mValue) << c.mText;
            else
                EXPECT_EQ(int32_t(words[i]), int32_t(c.mWords[i].mValue)) << c.mText;
        }
    }
}

TEST(LevelCommandTokens, CountsTokensWithoutTabs)
{
    EXPECT_EQ(CountTokens("a b;c"), 3);
    EXPECT_EQ(CountTokens(""), 0);
    EXPECT_EQ(CountTokens("3,,4"), 2);
    EXPECT_EQ(CountTokens("1\t2"), 1);
}

TEST_F(LevelCommandsTest, RunsEachCommandAndStepsPastItsArguments)
{
    std::vector<uint32_t> words{99};
    ASSERT_TRUE(Append(words, "set_ballspeed", "0.025;0.012"));
    ASSERT_TRUE(Append(words, "set_ballspeed", "0.5, 0.25"));
    EXPECT_EQ(words.size(), 7u);
    RecordingTarget target;
    RunLevelCommands(target, words, 1, 2);
    ASSERT_EQ(target.mSpeeds.size(), 2u);
    EXPECT_FLOAT_EQ(target.mSpeeds[0].first, 0.025f);
    EXPECT_FLOAT_EQ(target.mSpeeds[0].second, 0.012f);
    EXPECT_FLOAT_EQ(target.mSpeeds[1].first, 0.5f);
    EXPECT_FLOAT_EQ(target.mSpeeds[1].second, 0.25f);
}

TEST_F(LevelCommandsTest, SkipsUnknownNamesAndCommandsOfTheWrongLength)
{
    std::vector<uint32_t> words;
    EXPECT_FALSE(Append(words, "set_gravity", "1.0;2.0"));
    EXPECT_TRUE(LogText().find("set_gravity") == std::string::npos);
    EXPECT_FALSE(Append(words, "set_ballspeed", "0.5"));
    EXPECT_FALSE(Append(words, "set_ballspeed", "0.5;0.5;0.5"));
    // A speed of 0 would hold the ball in flight for ever.
    EXPECT_FALSE(Append(words, "set_ballspeed", "0.5;0.0"));
    EXPECT_TRUE(words.empty());
    EXPECT_TRUE(LogHas("ERROR level command set_ballspeed - 1 arguments, needs 2"));
    EXPECT_TRUE(LogHas("ERROR : <cmd> params=0 is outside 0.0001..10000"));

    // A list cut short never makes a command read past its end.
    RecordingTarget target;
    const std::vector<uint32_t> cut{0, FloatWord(1.0f)};
    RunLevelCommands(target, cut, 0, 1);
    EXPECT_TRUE(target.mSpeeds.empty());
}
