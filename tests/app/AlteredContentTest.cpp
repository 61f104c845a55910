#include "game/data/players/CUserProfiles.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/LevelPlayScript.h"
#include "tests/app/ShippedGameTest.h"
#include "tests/support/ArchiveEntries.h"

#include <gtest/gtest.h>

#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace AppTest {
namespace {

// The shipped game with one of its data files changed, played by a player.
class AlteredContentTest : public ShippedGameTest {
protected:
    // The shipped file with every match of pattern replaced.
    void ShipChanged(const std::string& name, const std::string& pattern, const std::string& replacement)
    {
        const std::string text = ShippedFile(name);
        ASSERT_FALSE(text.empty()) << name;
        const std::string changed = std::regex_replace(text, std::regex(pattern), replacement);
        ASSERT_NE(changed, text) << pattern;
        ShipWith(name, changed);
    }
};

struct PlayCase {
    const char* mWhat;
    const char* mFile;
    const char* mPattern;
    std::string mReplacement;
    std::vector<std::string> mLines;
};

void PrintTo(const PlayCase& c, std::ostream* out) { *out << c.mWhat; }

class RefusedValueTest : public AlteredContentTest, public ::testing::WithParamInterface<PlayCase> {};

// A value the game cannot take is refused at load with one line naming the
// file, the element and the value; the game plays on into a level, and the
// level's field steps run to their end.
TEST_P(RefusedValueTest, IsLoggedAndTheLevelPlays)
{
    const PlayCase& c = GetParam();
    ShipChanged(c.mFile, c.mPattern, c.mReplacement);
    auto made = std::make_unique<ScriptedGame>();
    made->Profiles()->Add("Ada");
    made->Profiles()->SelectByName("Ada");
    ScriptedGame& game = Start(std::move(made));
    LevelPlayScript script(game, Mouse(), 600, 5000);
    game.mScript = [&script](int update) { script(update); };
    game.Run();

    EXPECT_TRUE(game.mFatalErrors.empty());
    EXPECT_TRUE(game.LoadedOk());
    EXPECT_TRUE(script.ReachedLevel());
    EXPECT_GT(script.Clicks(), 0);
    for (const std::string& line : c.mLines)
        EXPECT_TRUE(LogHas(line)) << line;
}

std::string ManyGroups()
{
    const std::string group = "<group min=\"1\" max=\"2\" grid=\"40\" spawn_interval_speed=\"0.5\" "
                              "track_speed=\"0.05\" "
                              "x_right=\"850\" x_left=\"-150\"><obj src=\"bg_cloud\"/></group>";
    std::string groups;
    for (int i = 0; i < 300; ++i)
        groups += group;
    return groups + "</background>";
}

const PlayCase kPlayCases[] = {
    {"backgrounds", "res\\backgrounds.xml", "</background>", ManyGroups(),
     {"ERROR: backgrounds - more than 256 groups, the rest left out"}},
    {"stars", "res\\backgrounds.xml", "amount=\"8\"", "amount=\"2147483647\"",
     {"ERROR res\\backgrounds.xml: <stars> amount=2147483647 is outside 0..4096"}},
    {"group", "res\\backgrounds.xml", "max=\"3\"", "max=\"2147483647\"",
     {"ERROR res\\backgrounds.xml: <group> max=2147483647 is outside 0..1024"}},
    {"delayspeed", "res\\balls.xml", "delayspeed=\"0.05\"", "delayspeed=\"0\"",
     {"ERROR res\\balls.xml: <ball> delayspeed=0 is outside 0.0001..10000"}},
    {"bgfadespeed", "res\\globals.xml", "loadscreen_bgfadespeed=\"0.02\"", "loadscreen_bgfadespeed=\"0\"",
     {"ERROR res\\globals.xml: <properties> loadscreen_bgfadespeed=0 is outside 0.0001..10000"}},
    {"particlecount", "res\\globals.xml", "particlecount=\"8\"", "particlecount=\"2147483647\"",
     {"ERROR res\\globals.xml: <outro_gameover_particleconfig> particlecount=2147483647 is outside 0..1024"}},
    {"typer", "res\\levelmap.xml", "typer_maxlength=\"9\"", "typer_maxlength=\"2147483647\"",
     {"ERROR res\\levelmap.xml: <levelmap> typer_maxlength=2147483647 is outside 0..1024"}},
    {"fieldsides", "res\\fields.xml", "w=\"8\" h=\"8\"", "w=\"-2147483648\" h=\"-2147483648\"",
     {"ERROR res\\fields.xml: <field> w=-2147483648 is outside 1..32768"}},
    {"energyspeed", "res\\globals.xml", "properties energyspeed=\"0.02\"", "properties energyspeed=\"-1\"",
     {"ERROR res\\globals.xml: <properties> energyspeed=-1 is outside 0.0001..10000"}},
    {"ballspeed", "res\\levels.xml", "params=\"0.025;0.012\"", "params=\"0.025;0\"",
     {"ERROR res\\levels.xml: <cmd> params=0 is outside 0.0001..10000"}},
    {"fieldspeed", "res\\gamefields.xml", "speed=\"1.0\" matchcount", "speed=\"0\" matchcount",
     {"ERROR res\\gamefields.xml: <gamefield1> speed=0 is outside 0.0001..10000"}},
    {"colours", "res\\gamepanel.xml", "fn_color=\"255,255,255\"", "fn_color=\"2147483647,255,255\"",
     {"ERROR res\\gamepanel.xml: <gamepanel> fn_color=2147483647 is outside 0..255"}},
};

INSTANTIATE_TEST_SUITE_P(Content, RefusedValueTest, ::testing::ValuesIn(kPlayCases),
                         [](const ::testing::TestParamInfo<PlayCase>& info) { return std::string(info.param.mWhat); });

// An edit box whose font the file does not know keeps the service font, and
// the first player's name can be typed into it.
TEST_F(AlteredContentTest, AnUnknownFontKeepsTheServiceFontAndThePlayerIsCreated)
{
    ShipChanged("res\\gui.xml", "editbox font=\"normal\"", "editbox font=\"Normal\"");
    ScriptedGame& game = Start(std::make_unique<ScriptedGame>());
    int typedAt = -1;
    game.mScript = [&](int update) {
        if (update == 6000 || game.Profiles()->Contains("Bob"))
            return game.RequestShutdown();
        if (typedAt < 0 && game.GuiController() && Mouse().Showing(GUIWindowId::kCreatePlayer1)) {
            Mouse().Type("Bob");
            typedAt = update;
        } else if (typedAt >= 0 && update == typedAt + 20) {
            Mouse().ClickButton(25);
        }
    };
    game.Run();

    EXPECT_TRUE(game.mFatalErrors.empty());
    EXPECT_TRUE(game.Profiles()->Contains("Bob"));
    EXPECT_EQ(game.GuiController()->EditBox(0)->mFont, 0);
    EXPECT_TRUE(LogHas("ERROR CGUIController - <editbox> font=\"Normal\" is no font"));
}

// A font that cannot draw a letter is said to be refused, whether its file
// is empty or missing; the game goes on to its title all the same.
TEST_F(AlteredContentTest, AFontFileWithNothingInItIsLoggedAsRefused)
{
    std::vector<LumoTest::ArchiveEntry> entries = LumoTest::ReadArchiveEntries(ZENTROVA_RES_PAK);
    for (LumoTest::ArchiveEntry& entry : entries) {
        if (entry.mName == "res\\fonts\\f48.txt")
            entry.mData.clear();
    }
    const std::string globals = std::regex_replace(ShippedFile("res\\globals.xml"), std::regex("f16y\\.txt"),
                                                   "none.txt");
    ASSERT_TRUE(LumoTest::WriteArchiveWith(entries, mFolder / "res.pak", "res\\globals.xml", globals));
    ScriptedGame& game = Start(std::make_unique<ScriptedGame>());
    game.StartLoadingThread();
    game.WaitForLoadingThread();

    EXPECT_TRUE(game.LoadedOk());
    EXPECT_TRUE(LogHas("[ERROR] ImageFont - res\\fonts\\f48.txt defines no layer, the font draws nothing"));
    EXPECT_TRUE(LogHas("[ERROR] ImageFont - res\\fonts\\none.txt cannot be opened, the font draws nothing"));
}

} // namespace
} // namespace AppTest
