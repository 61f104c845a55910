#include "game/data/JukeBox.h"
#include "game/data/players/CUserProfile.h"
#include "tests/game/screens/menus/GameCommandsFixture.h"

#include <algorithm>
#include <functional>

#include <tinyxml.h>

namespace CommandsTest {
namespace {

using namespace GUIWindowId;

class GameFlowTest : public CommandsFixture {
protected:
    void SetUp() override
    {
        CommandsFixture::SetUp();
        mWindows.mForward = mCommands.get();
    }

    // A level of graph 0 at the position, played to a win with a combo.
    void WinLevel(int32_t position)
    {
        PlayAt(0, position);
        Settle();
        Land(0, 0);
        Land(4, 0);
        mLevels.ApplyCombo();
    }

    int32_t ClickSounds()
    {
        return int32_t(std::count(App().mSoundsPlayed.begin(), App().mSoundsPlayed.end(),
                                  CGameCommands::kSoundClick));
    }

    bool Counting()
    {
        for (int32_t slot = 0; slot < CGUIController::kInfoSlots; ++slot) {
            const GUILabel* label = mGui->Label(mGui->InfoLabelIndex(slot));
            if (label != nullptr && (label->mTrack != nullptr || label->Has(GUILabel::kCounting)))
                return true;
        }
        return false;
    }

    // Runs the window system until the count-ups of the tally have ended.
    void RunTally()
    {
        Settle();
        for (int i = 0; i < 5000 && Counting(); ++i)
            Step(1);
        ASSERT_FALSE(Counting());
    }
};

TEST_F(GameFlowTest, StatusWindowsPauseAndFillTheirLabels)
{
    struct Row {
        int32_t mWindow;
        int32_t mPosition;
        std::vector<std::pair<int32_t, std::string>> mLabels;
    };
    const Row rows[] = {
        {kLevelStart, 12, {{0, "Level 3"}, {1, "Stage 2"}, {2, "Desc 1"}, {3, "Kind 0"}, {4, "Type 0"}}},
        {kLevelStart, 1, {{0, "Level 2"}, {2, "Desc 0"}, {3, "Kind 1"}}},
        {kGameoverContinue, 0, {{25, "Score 0"}, {26, "Attempt 3"}}},
        {kGameover, 0, {{24, "Score 0"}}},
        {kPauseScore, 0, {{34, "Player: ann"}}},
        {kPauseBasic, 1, {{29, "Level 2"}, {30, "Player: ann"}, {31, "timed"}, {32, "Result 0"}, {33, "Stage 1"}}},
        {kLevelEndClassic, 12, {{6, "Level 3"}, {7, "Stage 2"}, {8, "Result 1"}, {9, ""}, {13, ""}}},
        {kLevelEndPuzzle, 2, {{14, "Level 3"}, {15, "Stage 1"}, {16, "Result 0"}, {17, ""}}},
        {kLevelEndCrazy, 3, {{18, "Level 4"}, {19, "Stage 1"}, {20, "Result 0"}, {21, ""}, {23, ""}}},
        {kScoreStart, 0, {{5, "Score 0"}}},
        // The map done and the next one, the first again after the graph's last map.
        {kPhaseEnd, 9, {{27, "Map 1 done"}, {28, "Next: map 2"}}},
        {kPhaseEnd, 11, {{27, "Map 2 done"}, {28, "Next: map 1"}}},
        {kGameoverHiscore, 0, {{38, "Score 0"}}},
        // Windows without labels open all the same.
        {kScoreGameover, 0, {}},
        {kHiscoreShow, 0, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mWindow);
        PlayAt(0, row.mPosition);
        Settle();
        for (int32_t slot = 6; slot < 24; ++slot)
            mGui->SetInfoLabelText(slot, "stale");
        const int32_t score = mLevels.Score();
        mFlow.mPaused = false;
        mPanel->SlideOnOff(true);
        mCommands->OpenStatusWindow(row.mWindow);
        EXPECT_TRUE(mFlow.mPaused);
        EXPECT_EQ(mPanel->SlideState(), CGamePanel::kHidden);
        for (const auto& [slot, text] : row.mLabels)
            EXPECT_EQ(Slot(slot), text) << "slot " << slot;
        // A level-end window adds the graph entry's bonus to the points.
        const bool levelEnd = row.mWindow >= kLevelEndClassic && row.mWindow <= kLevelEndCrazy;
        const int32_t bonus = mGraphs.GetEntryBonus(0, row.mPosition);
        EXPECT_EQ(mLevels.Score(), score + (levelEnd ? bonus : 0));
        Settle();
        EXPECT_EQ(Shown(), row.mWindow);
    }
}

TEST_F(GameFlowTest, TheMenuShowsTheMapOfTheSavedGame)
{
    struct Row {
        std::vector<int32_t> mSaved;
        std::string mStage;
    };
    // Once a game has been played, the record's second value is the result index.
    const Row rows[] = {{{}, "Stage 1"}, {{1, 1, 10}, "Stage 2"}, {{1, 8, 14}, "Stage 2"}, {{1, 0, 9}, "Stage 1"}};
    for (const Row& row : rows) {
        SaveA(row.mSaved);
        mGui->OpenWindow(kMenu, false);
        Settle();
        EXPECT_EQ(Slot(36), row.mStage);
        mGui->CloseWindow(true);
    }
}

TEST_F(GameFlowTest, EscapeActsOnTheWindowShown)
{
    struct Row {
        int32_t mOpen;
        bool mPaused;
        int32_t mAfter;
        bool mPausedAfter;
        int32_t mSounds;
    };
    const Row rows[] = {
        {kLevelStart, true, -1, false, 1}, {kPauseScore, true, -1, false, 1}, {kPauseBasic, true, -1, false, 1},
        // As its button: no count-up runs, so play goes on at the next position.
        {kLevelEndClassic, true, -1, false, 1}, {kGameoverContinue, true, kGameoverContinue, true, 0},
        {kGameover, true, kGameover, true, 0},
        // No window: Esc pauses the map game with its pause window.
        {-1, false, kPauseBasic, true, 0},
        {-1, true, -1, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mOpen);
        PlayAt(0, 0);
        mGui->CloseWindow(true);
        if (row.mOpen >= 0)
            OpenNow(row.mOpen);
        mFlow.mPaused = row.mPaused;
        App().mSoundsPlayed.clear();
        mCommands->OnEscapeKey();
        Settle();
        EXPECT_EQ(Shown(), row.mAfter);
        EXPECT_EQ(mFlow.mPaused, row.mPausedAfter);
        EXPECT_EQ(ClickSounds(), row.mSounds);
        if (row.mOpen == kLevelStart) {
            EXPECT_EQ(mLevels.State(), CLevelController::kPlaying);
        }
        if (row.mOpen == kLevelEndClassic) {
            EXPECT_EQ(mLevels.CurrentPosition(), 1);
        }
    }
}

TEST_F(GameFlowTest, PauseButtonAndLostFocusOpenThePauseWindow)
{
    PlayAt(1, 0);
    mGui->CloseWindow(true);
    mFlow.mPaused = false;
    mCommands->TogglePause();
    Settle();
    EXPECT_EQ(Shown(), kPauseScore);
    EXPECT_EQ(Slot(34), "Player: ann");
    EXPECT_TRUE(mFlow.mPaused);
    // The button, not the keyboard: no click of its own.
    App().mSoundsPlayed.clear();
    mCommands->TogglePause();
    Settle();
    EXPECT_EQ(Shown(), -1);
    EXPECT_FALSE(mFlow.mPaused);
    EXPECT_EQ(ClickSounds(), 0);

    PlayAt(0, 1);
    mGui->CloseWindow(true);
    mFlow.mPaused = false;
    mPanel->SlideOnOff(true);
    mCommands->OpenPauseWindow();
    EXPECT_EQ(mPanel->SlideState(), CGamePanel::kHidden);
    EXPECT_EQ(mGui->State(), CGUIController::kShown);
    EXPECT_EQ(mGui->CurrentWindow(), kPauseBasic);
    EXPECT_EQ(Slot(31), "timed");
    EXPECT_TRUE(mFlow.mPaused);
    // Over a window already open it does nothing.
    OpenNow(kMenuConfirm);
    mCommands->OpenPauseWindow();
    EXPECT_EQ(mGui->CurrentWindow(), kMenuConfirm);
}

TEST_F(GameFlowTest, ReturnToMenuSavesTheGameAndBringsBackTheMenuMusic)
{
    JukeBox& jukebox = JukeBox::Get();
    jukebox.SetPlayers(&App().Music(), nullptr);
    TiXmlDocument songs;
    songs.Parse("<root><media src='title.mod'><song start='0'/></media><media src='map.mod'><song start='0'/>"
                "</media></root>");
    jukebox.LoadFromXml(songs.RootElement());
    struct Row {
        int32_t mSong;
        std::string mMusic;
    };
    // Song 2 is not in the jukebox: the title song starts without a fade from it.
    const Row rows[] = {{1, "FadeOutThenFadeIn 1 0.005 0 0.005 0"}, {2, "FadeIn 0 0 0.005 0"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mSong);
        PlayAt(0, 2);
        mLevels.SetSong(row.mSong);
        mFlow.mCalls.clear();
        mFlow.mScreenShown = true;
        mCommands->ReturnToMenu();
        EXPECT_EQ(mFlow.Calls(), "");
        mFlow.mScreenShown = false;
        App().Music().mCalls.clear();
        mBoard->SetFadeState(CBoardWidget::kFadeNone);
        mPanel->SlideOnOff(true);
        mCommands->ReturnToMenu();
        EXPECT_EQ(mFlow.Calls(), "menu");
        EXPECT_EQ(mBoard->FadeState(), CBoardWidget::kFadeOut);
        EXPECT_EQ(mPanel->SlideState(), CGamePanel::kHidden);
        EXPECT_EQ(mLevels.Song(), 0);
        EXPECT_EQ(mProfiles.Record(mProfiles.CurrentIndex()).progressA[2], 2);
        EXPECT_NE(std::find(App().Music().mCalls.begin(), App().Music().mCalls.end(), row.mMusic),
                  App().Music().mCalls.end());
    }
    jukebox.Clear();
    jukebox.SetPlayers(nullptr, nullptr);
}

TEST_F(GameFlowTest, TheTallyCountsEachLevelEndToItsEnd)
{
    struct Row {
        int32_t mPosition;
        int32_t mWindow;
        std::function<std::vector<std::pair<int32_t, int32_t>>(const CLevelController&, int32_t bonus)> mCounts;
    };
    const Row rows[] = {
        {0, kLevelEndClassic,
         [](const CLevelController& levels, int32_t bonus) {
             return std::vector<std::pair<int32_t, int32_t>>{
                 {9, levels.LevelGain() - bonus - levels.ComboGain() - levels.SupercomboGain()},
                 {10, levels.ComboGain()},
                 {11, levels.SupercomboGain()},
                 {12, bonus},
                 {13, levels.LevelGain()}};
         }},
        {2, kLevelEndPuzzle,
         [](const CLevelController&, int32_t bonus) { return std::vector<std::pair<int32_t, int32_t>>{{17, bonus}}; }},
        {3, kLevelEndCrazy,
         [](const CLevelController& levels, int32_t bonus) {
             return std::vector<std::pair<int32_t, int32_t>>{
                 {21, levels.LevelGain() - bonus}, {22, bonus}, {23, levels.LevelGain()}};
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mWindow);
        WinLevel(row.mPosition);
        mCommands->OpenStatusWindow(row.mWindow);
        RunTally();
        if (row.mWindow == kLevelEndClassic) {
            EXPECT_GT(mLevels.ComboGain(), 0);
        }
        const int32_t bonus = mGraphs.GetEntryBonus(0, row.mPosition);
        for (const auto& [slot, value] : row.mCounts(mLevels, bonus)) {
            const std::string format = mGui->Label(mGui->InfoLabelIndex(slot))->mFormat;
            EXPECT_EQ(Slot(slot), format.substr(0, format.find("{}")) + std::to_string(value)) << "slot " << slot;
        }
        EXPECT_EQ(Shown(), row.mWindow);
    }
}

TEST_F(GameFlowTest, AfterTheTallyPlayGoesToTheMapTheNextLevelANewMapOrTheEnd)
{
    struct Row {
        const char* mName;
        int32_t mPosition;
        bool mPhase;
        bool mSkipCounting;
        int32_t mAfter;
        std::string mFlow;
        int32_t mPositionAfter;
    };
    const Row rows[] = {
        // The map game: the level map leads on from the level won.
        // Without the map, the next level starts at once.
        {"next level", 0, false, false, -1, "map 0 0 1", 1},
        {"map", 0, true, false, -1, "map 0 0 1", 0},
        {"map after skipping the count", 4, true, true, -1, "map 0 4 5", 4},
        {"new map", 9, true, false, kPhaseEnd, "", 9},
        {"graph done", 11, true, false, kHappyEnd, "", 11},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mName);
        WinLevel(row.mPosition);
        if (row.mPhase)
            mCommands->OnWindowShowing(kPhaseEnd);
        mCommands->OpenStatusWindow(kLevelEndClassic);
        Settle();
        if (!row.mSkipCounting)
            RunTally();
        mFlow.mCalls.clear();
        Click(8);
        // A skipped count fades out before play goes on.
        Step(200);
        Settle();
        EXPECT_EQ(Shown(), row.mAfter);
        EXPECT_EQ(mFlow.Calls(), row.mFlow);
        EXPECT_EQ(mLevels.CurrentPosition(), row.mPositionAfter);
        EXPECT_EQ(mFlow.mPaused, row.mAfter >= 0 || row.mPhase);
        if (row.mAfter == kPhaseEnd) {
            EXPECT_TRUE(mLevels.StageChanged());
            EXPECT_TRUE(mLevels.LevelMapWanted());
            EXPECT_EQ(Slot(27), "Map 1 done");
            // The map's end darkens the board behind the window.
            EXPECT_TRUE(mBoard->OverlayOn());
            EXPECT_NE(mBoard->OverlayTrack(), nullptr);
            // The reload takes over the first position of the new map.
            mLevels.NextLevelInGraph();
            EXPECT_EQ(mLevels.CurrentPosition(), 10);
        }
        if (row.mAfter == kHappyEnd) {
            EXPECT_EQ(mLevels.GraphsCompleted(), 1);
            EXPECT_EQ(mCommands->NextPosition(), 0);
            EXPECT_FALSE(mCommands->PhaseFlag());
        }
        mGui->CloseWindow(true);
    }
}

TEST_F(GameFlowTest, TheOverlayEndReloadsANewMapThenStartsItsLevel)
{
    // An endless run from the menu: the stage window's overlay ends at once
    // and the new map loads behind it.
    SaveB({0, 4, 900, 700, 3});
    OpenNow(kMenu);
    Click(18);
    Settle();
    ASSERT_EQ(Shown(), kPhaseStart);
    EXPECT_EQ(mFlow.Calls(), "reload");
    EXPECT_EQ(mGui->mOwner, mBoard.get());
    EXPECT_EQ(mBoard->FadeState(), CBoardWidget::kCovered);
    EXPECT_FALSE(mBoard->FieldShown());
    // The overlay played after the load ends: the level starts.
    mLevels.NextLevelInGraph();
    mLevels.RestartAfterLoad();
    mCommands->OnWindowAction(CBoardWidget::kOverlayAction);
    Settle();
    EXPECT_EQ(mLevels.CurrentGraph(), 1);
    EXPECT_EQ(mLevels.State(), CLevelController::kIntro);
    EXPECT_EQ(Shown(), -1);
    EXPECT_FALSE(mFlow.mPaused);
    EXPECT_TRUE(mBoard->FieldShown());
    EXPECT_EQ(mBoard->OverlayTrack(), nullptr);
    // The level that starts shows the ball.
    EXPECT_EQ(mFlow.Calls(), "reload, ball");

    // The map game loads its first map, then shows it instead of starting.
    SaveA({1, 0, 3});
    OpenNow(kMenu);
    mCommands->OnGuiCommand(17, 0);
    OpenNow(kGameContinue);
    mFlow.mCalls.clear();
    Click(36);
    Settle();
    // Play has run: the processor's delay hands the request to the controller.
    EXPECT_EQ(Shown(), -1);
    mLevels.HandleState();
    Settle();
    ASSERT_EQ(Shown(), kPhaseStart);
    mLevels.NextLevelInGraph();
    mLevels.RestartAfterLoad();
    mCommands->OnWindowAction(CBoardWidget::kOverlayAction);
    EXPECT_EQ(mFlow.Calls(), "reload, map 0 3 3");
    EXPECT_EQ(mLevels.CurrentPosition(), 3);
    EXPECT_EQ(mCommands->NextPosition(), 3);
}

} // namespace
} // namespace CommandsTest
