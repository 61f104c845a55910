#include "game/screens/map/CLevelMap.h"

#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"
#include "tests/game/screens/windows/GUIFixtureXml.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int32_t kStartButton = 56;

// Speeds of 0.5 make every wait end on its third update (0.5, 1.0, 1.5).
const char* const kSpeeds =
    R"(showspeed="0.5" hidespeed="0.5" hidedelay="0.5" actiondelay="0.5" hl_wheelwait="0.5" hl_movespeed="0.25"
       light_off_delay="0.5" light_prefade_spd="0.5" light_fadein_spd="0.5" highlightcup_slackness="0.5"
       screen_prize_presense="0.5" screen_prize_hide="0.5" screen_cup_show="0.5" screen_cup_hide="0.5"
       screen_prizecup_presense="0.5" screen_prizecup_hide="0.5" screen_map_show="0.5" screen_map_hide="0.5")";

std::string Cups(int count)
{
    static const int kLevels[] = {0, 4, 8, 20, 30, 40, 50, 60};
    std::string xml = "<cups>";
    for (int i = 0; i < count; ++i)
        xml += "<cup level=\"" + std::to_string(kLevels[i]) + "\" pos=\"10," + std::to_string(100 + 40 * i) +
               "\" img=\"res\\cups.png|1\" imghover=\"res\\cups.png|2\"/>";
    return xml + "</cups>";
}

std::string MapXml(int cups = 8)
{
    std::string positions;
    for (int i = 0; i < 10; ++i)
        positions += "<pos p=\"" + std::to_string(100 * i) + ",0\"/>";
    return std::string("<levelmap ") + kSpeeds + "><maps><map p=\"50,40\">" + positions + "</map></maps>" +
           Cups(cups) + "</levelmap>";
}

class CLevelMapTest : public GUITest::GUIFixture {
protected:
    // Curves of the curve file (beside the working folder) and the level map file.
    void Make(const std::string& curves, const std::string& mapXml)
    {
        Load(GUITest::FixtureXml());
        WriteFile("res\\curves.xml", "<root>" + curves + "</root>");
        // A cup is opaque on its right half only.
        std::vector<uint32_t> pixels(40 * 20, 0);
        for (int y = 0; y < 20; ++y)
            for (int x = 10; x < 40; ++x)
                pixels[size_t(y * 40 + x)] = 0xFFFFFFFF;
        App().AddImage("res\\cups.png", 40, 20, pixels);
        TiXmlDocument images;
        images.Parse(R"(<root><img src="res\cups.png" start="1" end="2" w="20" h="20" dx="20" dy="0"/></root>)");
        mImages.LoadFromXml(images.RootElement());
        MakeMap(mapXml);
        int32_t cup = -2;
        mImages.FindByName("res\\cups.png|1", &cup);
        mImages.FetchSlotImage(cup);
    }

    // The map on the images loaded so far, the curve file written and the
    // track and animation files given.
    void MakeMap(const std::string& mapXml, const std::string& tracks = "", const std::string& animations = "")
    {
        mMap.reset();
        mCurves = std::make_unique<CCurveBase>();
        TiXmlDocument trackDocument;
        trackDocument.Parse(tracks.c_str());
        if (!tracks.empty())
            mTracks.LoadFromXml(trackDocument.RootElement(), *mCurves);
        mAnims = std::make_unique<CAnimBase>(mImages, mTracks, *mCurves);
        TiXmlDocument animDocument;
        animDocument.Parse(animations.c_str());
        if (!animations.empty())
            mAnims->LoadFromXml(animDocument.RootElement());
        CLevelMapServices services;
        services.mApp = &App();
        services.mImages = &mImages;
        services.mAnims = mAnims.get();
        services.mTracks = &mTracks;
        services.mCurves = mCurves.get();
        services.mGui = mGui.get();
        mMap = std::make_unique<CLevelMap>(services);
        TiXmlDocument document;
        document.Parse(mapXml.c_str());
        mMap->LoadFromXml(document.RootElement());
        mMap->SetMap(0);
    }

    // Shows the map and runs past its start delay (three updates).
    void Show()
    {
        mMap->Reset();
        Run(3);
    }

    void Run(int updates)
    {
        for (int i = 0; i < updates; ++i)
            mMap->Update();
    }

    // Updates until the condition holds; the number of updates, or -1.
    template <typename Condition> int RunUntil(Condition condition, int limit = 100)
    {
        for (int i = 1; i <= limit; ++i) {
            mMap->Update();
            if (condition())
                return i;
        }
        return -1;
    }

    bool StartEnabled() { return mGui->Button(kStartButton)->mEnabled; }

    CImageTable mImages{&App()};
    CTrackBase mTracks;
    std::unique_ptr<CCurveBase> mCurves;
    std::unique_ptr<CAnimBase> mAnims;
    std::unique_ptr<CLevelMap> mMap;
};

TEST_F(CLevelMapTest, FindsTheCupOfALevelAndCountsTheCupsBelowIt)
{
    Make("", MapXml());
    struct Case {
        int32_t mLevel;
        bool mFound;
        int32_t mCount;
    };
    const Case cases[] = {{0, true, 1}, {3, false, 1}, {4, true, 2}, {9, false, 3}, {60, true, 8}, {99, false, 8}};
    for (const Case& c : cases) {
        int32_t count = -1;
        EXPECT_EQ(mMap->FindCupForLevel(c.mLevel, &count), c.mFound) << c.mLevel;
        EXPECT_EQ(count, c.mCount) << c.mLevel;
    }
}

TEST_F(CLevelMapTest, FewerCupsInTheFileAreNeverWon)
{
    Make("", MapXml(3));
    EXPECT_TRUE(LogHas("levelmap: 3 of 8 cups"));
    int32_t count = -1;
    EXPECT_FALSE(mMap->FindCupForLevel(1000000, &count));
    EXPECT_EQ(count, 3);
    mMap->SelectCup(1000000, 1000001, false, false);
    EXPECT_EQ(mMap->AwardWindow(), -1);
}

TEST_F(CLevelMapTest, SelectCupSettlesTheCupsAndTheAward)
{
    Make("", MapXml());
    struct Case {
        int32_t mFrom;
        int32_t mTo;
        bool mAllCups;
        int32_t mUnlocked;
        int32_t mAward;
    };
    // Leaving position 4 wins its cup; standing on it does not count it yet.
    const Case cases[] = {{4, 5, false, 2, 42}, {4, 4, false, 1, -1}, {5, 6, false, 2, -1}, {4, 5, true, 8, -1}};
    for (const Case& c : cases) {
        mMap->SelectCup(c.mFrom, c.mTo, false, c.mAllCups);
        EXPECT_EQ(mMap->UnlockedCups(), c.mUnlocked) << c.mFrom << " " << c.mTo;
        EXPECT_EQ(mMap->AwardWindow(), c.mAward) << c.mFrom << " " << c.mTo;
        EXPECT_EQ(mMap->ChoiceMade(), c.mAward == 42);
        EXPECT_EQ(StartEnabled(), c.mAward != 42);
        EXPECT_EQ(mMap->ScreenSwitch().mTarget, c.mAward);
        EXPECT_EQ(mMap->ScreenSwitch().mState, CLevelMap::kScreenShown);
    }
}

TEST_F(CLevelMapTest, AnAwardShowsThePrizeThenTheNewCupThenTheMapAndFreesTheStartButton)
{
    Make("", MapXml());
    mMap->SelectCup(4, 5, false, false);
    Show();
    EXPECT_EQ(mMap->HighlightState(), CLevelMap::kWaiting);

    // The prize stays, leaves, and the window of the second cup comes in with the award sample.
    std::vector<int32_t> shown;
    const int updates = RunUntil([&] {
        const CLevelMap::Screens& s = mMap->ScreenSwitch();
        if (s.mState == CLevelMap::kScreenShown && (shown.empty() || shown.back() != s.mTarget))
            shown.push_back(s.mTarget);
        return !mMap->ChoiceMade();
    });
    ASSERT_GT(updates, 0);
    EXPECT_EQ(shown, (std::vector<int32_t>{42, 35, -1}));
    EXPECT_EQ(App().mSoundsPlayed, (std::vector<int>{22}));
    EXPECT_TRUE(StartEnabled());
    // The highlight waited for the award before it set off.
    EXPECT_EQ(mMap->HighlightState(), CLevelMap::kWaiting);
}

TEST_F(CLevelMapTest, TheScreenSwitcherTurnsBackHalfWay)
{
    Make("", MapXml());
    mMap->SwitchScreen(true, 34, 0.25f, 0.25f);
    mMap->SwitchScreen(false, 35, 0.25f, 0.25f);
    EXPECT_EQ(mMap->ScreenSwitch().mState, CLevelMap::kLeaving);
    EXPECT_EQ(mMap->ScreenSwitch().mCurrent, 34);
    Show();
    Run(1);
    const float left = mMap->ScreenSwitch().mTimer;
    ASSERT_GT(left, 0.0f);

    // Back to the window being left: it comes in again from where it was.
    mMap->SwitchScreen(false, 34, 0.25f, 0.25f);
    EXPECT_EQ(mMap->ScreenSwitch().mState, CLevelMap::kEntering);
    EXPECT_EQ(mMap->ScreenSwitch().mTarget, 34);
    EXPECT_FLOAT_EQ(mMap->ScreenSwitch().mTimer, 1.0f - left);

    // Another target while entering: the entered one is left from the mirrored time.
    mMap->SwitchScreen(false, -1, 0.25f, 0.25f);
    EXPECT_EQ(mMap->ScreenSwitch().mState, CLevelMap::kLeaving);
    EXPECT_EQ(mMap->ScreenSwitch().mCurrent, 34);
    EXPECT_EQ(mMap->ScreenSwitch().mTarget, -1);
    EXPECT_FLOAT_EQ(mMap->ScreenSwitch().mTimer, left);
}

TEST_F(CLevelMapTest, TheHighlightFollowsThePathIntoItsTargetOrArrivesInPlaceWithoutOne)
{
    for (const bool withCurve : {true, false}) {
        SCOPED_TRACE(withCurve);
        // map1_1 leads from position 1 to position 2, in map coordinates.
        Make(withCurve ? "<map1_1><x src=\"100 150 200\"/><y src=\"0 -30 0\"/></map1_1>" : "", MapXml());
        EXPECT_EQ(LogHas("failed to load curve: map1_1"), !withCurve);
        mMap->SelectCup(1, 2, false, false);
        EXPECT_FLOAT_EQ(mMap->HighlightX(), 150.0f);
        Show();

        EXPECT_EQ(RunUntil([&] { return mMap->HighlightState() == CLevelMap::kMoving; }), 3);
        EXPECT_EQ(RunUntil([&] { return mMap->HighlightState() == CLevelMap::kArrived; }), 5);
        // Without its path the highlight stays put for the move time.
        EXPECT_FLOAT_EQ(mMap->HighlightX(), withCurve ? 250.0f : 150.0f);
        EXPECT_EQ(RunUntil([&] { return mMap->HighlightState() == CLevelMap::kAtPosition; }), 3);
        EXPECT_EQ(mMap->CurrentPosition(), 2);
        EXPECT_EQ(mMap->TargetPosition(), -1);
        EXPECT_FLOAT_EQ(mMap->HighlightX(), 250.0f);
        EXPECT_FLOAT_EQ(mMap->HighlightY(), 40.0f);
    }
}

TEST_F(CLevelMapTest, WithNoIndicatorsTheLightsStillTakeOnePeriodOfEachPhase)
{
    for (const bool waiting : {false, true}) {
        SCOPED_TRACE(waiting);
        Make("", MapXml());
        mMap->SetIndicatorsToLight(0);
        if (waiting)
            mMap->SelectCup(1, 2, false, false);
        else
            mMap->SelectCup(2, 2, false, false);
        Show();
        EXPECT_EQ(RunUntil([&] { return mMap->LightState() != CLevelMap::kLightsOff; }), 3);
        EXPECT_EQ(RunUntil([&] { return mMap->LightState() != CLevelMap::kPreFade; }), 3);
        if (waiting) {
            EXPECT_EQ(mMap->LightState(), CLevelMap::kAwaitArrival);
            RunUntil([&] { return mMap->LightState() != CLevelMap::kAwaitArrival; });
            EXPECT_EQ(mMap->HighlightState(), CLevelMap::kAtPosition);
        }
        EXPECT_EQ(mMap->LightState(), CLevelMap::kFadeIn);
        EXPECT_EQ(RunUntil([&] { return mMap->LightState() == CLevelMap::kLightsDone; }), 3);
        EXPECT_EQ(mMap->LightCount(), 0);
    }
}

TEST_F(CLevelMapTest, ShowsOpensTheMapWindowHidesAndLeavesTheManager)
{
    Make("", MapXml());
    mMap->SetMap(7);
    EXPECT_EQ(mMap->CurrentMap(), 4);
    mMap->Reset();
    Run(1);
    EXPECT_EQ(mGui->LastOpenedWindow(), -1);
    Run(1);
    EXPECT_EQ(mGui->LastOpenedWindow(), CLevelMap::kLevelMapWindow);
    EXPECT_EQ(mMap->VisibilityState(), CLevelMap::kShown);

    mMap->Hide();
    EXPECT_EQ(RunUntil([&] { return mMap->VisibilityState() == CLevelMap::kGone; }), 5);
    EXPECT_FLOAT_EQ(mMap->Alpha(), 0.0f);
}

TEST_F(CLevelMapTest, OnlyUnlockedCupsAnswerThePointerOnTheirOpaquePixels)
{
    Make("", MapXml());
    mMap->SelectCup(5, 5, false, false);
    ASSERT_EQ(mMap->UnlockedCups(), 2);
    EXPECT_EQ(mMap->CupAt(25, 105), 0);
    EXPECT_EQ(mMap->CupAt(15, 105), -1);
    EXPECT_EQ(mMap->CupAt(25, 145), 1);
    EXPECT_EQ(mMap->CupAt(25, 185), -1);

    // Hovering a cup shows its award window.
    mMap->MouseMove(25, 145);
    Show();
    EXPECT_EQ(mMap->HoveredCup(), 1);
    EXPECT_EQ(mMap->ScreenSwitch().mTarget, 35);
}

TEST_F(CLevelMapTest, TheSampleMapFindsEveryPathCupAndAnimation)
{
    const auto content = [](const std::string& name) {
        return LumoTest::ReadFile(std::string(ZENTROVA_CONTENT_DIR) + "/res/" + name);
    };
    Load(GUITest::FixtureXml());
    WriteFile("res\\curves.xml", content("curves.xml"));
    TiXmlDocument images;
    images.Parse(content("imgsplats.xml").c_str());
    mImages.LoadFromXml(images.RootElement());
    MakeMap(content("levelmap.xml"), content("trackbase.xml"), content("animations.xml"));

    EXPECT_FALSE(LogHas("failed to load curve: map1_0"));
    EXPECT_EQ(LogText().find("failed to load curve"), std::string::npos);
    EXPECT_EQ(LogText().find("cups"), std::string::npos);
    ASSERT_EQ(mMap->Maps().size(), 2u);
    for (const CLevelMap::Map& map : mMap->Maps()) {
        EXPECT_GE(map.mImage, 0);
        for (int32_t i = 0; i < CLevelMap::kPositions; ++i)
            EXPECT_EQ(map.mPositions[size_t(i)].mCurve != nullptr, i < CLevelMap::kPositions - 1) << i;
    }
    for (const CLevelMap::Cup& cup : mMap->Cups()) {
        EXPECT_GE(cup.mImage, 0);
        EXPECT_GE(cup.mHoverImage, 0);
    }
    for (const CLevelMap::Monitor& monitor : mMap->Monitors())
        EXPECT_GE(monitor.mSource, 0);

    // The first finished level wins the first cup; the map then plays through to its end.
    mMap->SetIndicatorsToLight(3);
    mMap->SelectCup(0, 1, false, false);
    EXPECT_EQ(mMap->AwardWindow(), CLevelMap::kPrizeWindow);
    mMap->Reset();
    EXPECT_GT(RunUntil([&] { return mMap->HighlightState() == CLevelMap::kAtPosition; }, 2000), 0);
    EXPECT_EQ(mMap->CurrentPosition(), 1);
    EXPECT_GT(RunUntil([&] { return mMap->LightState() == CLevelMap::kLightsDone; }, 2000), 0);
    EXPECT_EQ(mMap->LightCount(), 3);
    GameTest::RecordingGraphics g;
    mMap->Draw(g.mGraphics);
}

} // namespace
