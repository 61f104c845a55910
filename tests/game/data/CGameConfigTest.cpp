#include "game/data/CGameConfig.h"

#include "tests/game/data/SampleTables.h"

#include <gtest/gtest.h>

namespace GameTest {
namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

class GameConfigTest : public SampleTables {
protected:
    ~GameConfigTest() override
    {
        FreeHudControls();
        CGameConfig::parsed = CGameConfig::Values();
        CGameConfig::live = CGameConfig::Values();
        CGameConfig::names = CGameConfig::Names();
        CGameConfig::hiscoreLayout = CGameConfig::HiscoreLayout();
        CGameConfig::gameOverEmitter = ParticleConfig();
        CGameConfig::HudControlsLoaded = false;
    }

    bool Load(const std::string& globals) { return LoadGameConfig(Parse(globals), mTracks, mAnims, mImages); }
    // Fonts whose characters are as wide as the descriptor name is long.
    bool Publish()
    {
        return LoadHudControls(
            [this](const std::string& name) {
                mMadeFonts.push_back(name);
                return new FixedWidthFont(int(name.size()), 8, int(name.size()));
            },
            mTracks, mAnims, mImages);
    }

    std::vector<std::string> mMadeFonts;
};

TEST_F(GameConfigTest, SampleFileLoadsAndPublishesEveryValue)
{
    LoadTables();
    ASSERT_TRUE(Load(ContentFile("globals.xml")));
    ASSERT_TRUE(Publish());
    const CGameConfig::Values& v = CGameConfig::live;
    const CGameConfig::HiscoreLayout& h = CGameConfig::hiscoreLayout;
    EXPECT_EQ(h.line2P.x, 460);
    EXPECT_EQ(h.rowSpacing, 40);
    EXPECT_EQ(h.entryFont, CGameConfig::kNormal);
    EXPECT_EQ(h.rankFont, CGameConfig::kRating);
    EXPECT_EQ(h.highlightRect, (Lumo::Rect{-4, -16, 220, 36}));
    EXPECT_EQ(h.highlightColor, Lumo::Color(255, 200, 60, 96));
    int32_t slot = -1;
    ASSERT_TRUE(mImages.FindByName("res\\hs_titles.png|score", &slot));
    EXPECT_EQ(h.scoreImg, slot);
    EXPECT_EQ(CGameConfig::titreWidth, 360);
    EXPECT_FLOAT_EQ(v.arrowOffset[0], -40.0f);
    EXPECT_FLOAT_EQ(v.arrowOffset[1], -45.0f);
    EXPECT_FLOAT_EQ(v.menubgSpd, -0.3f);
    EXPECT_EQ(v.onEnergyValueLessThan, 300);
    EXPECT_EQ(v.crazyAfterdumbCount, 3);
    EXPECT_EQ(v.maxCount, 8);
    EXPECT_FLOAT_EQ(CGameConfig::gameOverEmitter.energySpeed, -0.035f);
    EXPECT_EQ(CGameConfig::gameOverEmitter.flags, ParticleConfig::kAnimated);
    int32_t id = -1;
    ASSERT_TRUE(mTracks.FindTrack("ctrl_hazard_ball", &id));
    EXPECT_EQ(v.ctrlHazardBall, id);
    ASSERT_TRUE(mTracks.FindTrack("intro_var3_borderfall", &id));
    EXPECT_EQ(v.introVar3Borderfall, id);
    ASSERT_TRUE(mAnims.FindAnim("crazylevel_anim_4", &id));
    EXPECT_EQ(v.crazylevelAnim[3], id);
    ASSERT_TRUE(mImages.FindByName("res\\menu_back.png|1", &id));
    EXPECT_EQ(v.menubgImg, id);
    EXPECT_EQ(CGameConfig::parsed.ctrlHazardBall, v.ctrlHazardBall);

    // Eleven fonts; "input" is not named, so its slot stays empty and falls back to "service".
    EXPECT_EQ(mMadeFonts.size(), 11u);
    EXPECT_EQ(v.fonts[CGameConfig::kInput], nullptr);
    EXPECT_EQ(CGameConfig::FontAt(CGameConfig::kInput), v.fonts[CGameConfig::kService]);
    // " supercombo " in "res\fonts\f24.txt" (17 wide) beats "+ 123456".
    EXPECT_EQ(v.bannerWidth, 12 * 17);
    EXPECT_EQ(v.bannerHeight, 17 + 17 + 2);
}

TEST_F(GameConfigTest, BannerWidthComesFromTheGivenSizeOrTheWiderSampleText)
{
    LoadTables();
    std::string globals = Replace(ContentFile("globals.xml"), "combo=\"res\\fonts\\f24.txt\"", "combo=\"c\"");
    ASSERT_TRUE(Load(globals));
    ASSERT_TRUE(Publish());
    // " supercombo " in a 1-wide font is 12; "+ 123456" in the 17-wide score font is 136.
    EXPECT_EQ(CGameConfig::live.bannerWidth, 8 * 17);
    EXPECT_EQ(CGameConfig::live.bannerHeight, 17 + 1 + 2);

    ASSERT_TRUE(Load(Replace(globals, "titrewidth=\"360\"", "titrewidth=\"360\" comboimgsize=\"200,40\"")));
    ASSERT_TRUE(Publish());
    EXPECT_EQ(CGameConfig::live.bannerWidth, 200);
}

TEST_F(GameConfigTest, MissingPiecesFailTheLoadWithTheirLogLines)
{
    const struct {
        const char* what;
        std::string from, to;
        const char* line;
    } cases[] = {
        {"attribute", "period=\"0.02\"", "", "ERROR config - missing hazard_signal/period"},
        {"element", "<start ", "<begin ", "ERROR config - missing start"},
        {"emitter", "<outro_gameover_particleconfig", "<other",
         "ERROR config - missing intro_outro/outro_gameover_particleconfig"},
    };
    LoadTables();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(Load(Replace(ContentFile("globals.xml"), c.from, c.to)));
        EXPECT_TRUE(LogHas(c.line));
        EXPECT_TRUE(LogHas("ERROR config - loading from xml"));
    }
}

TEST_F(GameConfigTest, AMissingTrackStopsThePublishingButTheBlockIsStillPublished)
{
    std::string tracks = ContentFile("trackbase.xml");
    tracks = Replace(tracks, "<ctrl_hazard_ball ", "<ctrl_hazard_gone ");
    tracks = Replace(tracks, "</ctrl_hazard_ball>", "</ctrl_hazard_gone>");
    LoadTables(tracks);
    ASSERT_TRUE(Load(ContentFile("globals.xml")));
    EXPECT_FALSE(Publish());
    EXPECT_TRUE(LogHas("ERROR: cant load track ctrl_hazard_ball"));
    EXPECT_TRUE(LogHas("ERROR loading config"));
    EXPECT_EQ(CGameConfig::live.crazylevelAnim[0], 0) << "the animations are not looked up";
    EXPECT_EQ(CGameConfig::live.imgArrow, 0);
    EXPECT_NE(CGameConfig::live.ctrlHazardTime, 0);
    EXPECT_NE(CGameConfig::live.fonts[CGameConfig::kService], nullptr);
}

TEST_F(GameConfigTest, LookupsThatMissInTheFileKeepTheirValues)
{
    LoadTables();
    std::string globals = ContentFile("globals.xml");
    globals = Replace(globals, "entryfont=\"normal\"", "entryfont=\"Normal\"");
    globals = Replace(globals, "arrow_offset=\"-40,-45\"", "arrow_offset=\"1,2,3\"");
    globals = Replace(globals, "basic_img=\"res\\hs_titles.png|basic\"", "basic_img=\"nothing\"");
    globals = Replace(globals, "<fonts ", "<fonts input=\"res\\fonts\\input.txt\" ");
    ASSERT_TRUE(Load(globals));
    EXPECT_EQ(CGameConfig::hiscoreLayout.entryFont, 0);
    EXPECT_EQ(CGameConfig::hiscoreLayout.basicImg, 0);
    EXPECT_FLOAT_EQ(CGameConfig::parsed.arrowOffset[1], 2.0f);
    ASSERT_TRUE(Publish());
    EXPECT_EQ(mMadeFonts.size(), 12u);
    EXPECT_NE(CGameConfig::live.fonts[CGameConfig::kInput], nullptr);
}

TEST_F(GameConfigTest, ASecondPublishingFreesTheFirstFontsAndKeepsTheNewValues)
{
    LoadTables();
    ASSERT_TRUE(Load(ContentFile("globals.xml")));
    ASSERT_TRUE(Publish());
    ASSERT_TRUE(Load(Replace(ContentFile("globals.xml"), "maxcount=\"8\"", "maxcount=\"5\"")));
    ASSERT_TRUE(Publish());
    EXPECT_EQ(CGameConfig::live.maxCount, 5);
    EXPECT_EQ(CGameConfig::parsed.maxCount, 5);
    FreeHudControls();
    EXPECT_EQ(CGameConfig::live.fonts[0], nullptr);
    EXPECT_EQ(CGameConfig::parsed.fonts[0], nullptr);
    EXPECT_EQ(CGameConfig::parsed.maxCount, 5);
}

TEST_F(GameConfigTest, TheGameMakesBitmapFontsFromTheDescriptors)
{
    WriteFile("res\\fonts\\sample.txt", ContentFile("fonts/sample.txt"));
    WriteFile("res\\fonts\\sample.png", ContentFile("fonts/sample.png"));
    std::unique_ptr<Lumo::Font> font(CGameConfig::ImageFontMaker(App())("res\\fonts\\sample.txt"));
    ASSERT_NE(font, nullptr);
    EXPECT_GT(font->StringWidth("AB"), 0) << "a descriptor that failed would measure nothing";
}

TEST(FontIndexByName, NamesTheTwelveSlotsExactly)
{
    const char* names[] = {"service", "hud_score", "combo", "bonusbanner", "header", "big",
                           "gold",    "sky",       "sky_sel", "normal",    "rating", "input"};
    for (int32_t i = 0; i < 12; ++i) {
        int32_t index = -1;
        EXPECT_TRUE(FontIndexByName(names[i], &index));
        EXPECT_EQ(index, i);
    }
    int32_t index = 99;
    for (const char* other : {"Service", "sky_", "", "normal "})
        EXPECT_FALSE(FontIndexByName(other, &index)) << other;
    EXPECT_EQ(index, 99);
}

} // namespace
} // namespace GameTest
