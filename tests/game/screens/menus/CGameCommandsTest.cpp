#include "game/data/players/CUserProfile.h"
#include "tests/game/screens/menus/GameCommandsFixture.h"

#include <algorithm>
#include <functional>

namespace CommandsTest {
namespace {

using namespace GUIWindowId;

class CommandTableTest;

// A button pressed on the window shown: what opens once the transitions have
// ended, the application's moves and what else changed.
struct CommandRow {
    const char* mName;
    int32_t mCommand;
    int32_t mBefore;
    std::function<void(CommandTableTest&)> mSetUp;
    int32_t mAfter;
    std::string mFlow;
    std::function<void(CommandTableTest&)> mCheck;
};

std::ostream& operator<<(std::ostream& out, const CommandRow& row)
{
    return out << row.mName;
}

class CommandTableTest : public CommandsFixture, public ::testing::WithParamInterface<CommandRow> {
public:
    using CommandsFixture::App;
    using CommandsFixture::mBackdrop;
    using CommandsFixture::mCommands;
    using CommandsFixture::mFlow;
    using CommandsFixture::mGui;
    using CommandsFixture::mHiscores;
    using CommandsFixture::mLevels;
    using CommandsFixture::mPanel;
    using CommandsFixture::mProfiles;
    using CommandsFixture::mSlots;
    using CommandsFixture::mWindows;
    using CommandsFixture::PlayAt;
    using CommandsFixture::SaveA;
    using CommandsFixture::SaveB;

    const CUserProfile& Current() { return mProfiles.Record(mProfiles.CurrentIndex()); }
    // The position the request leads to, as the reload takes it over.
    std::pair<int32_t, int32_t> Requested()
    {
        mLevels.NextLevelInGraph();
        return {mLevels.CurrentGraph(), mLevels.CurrentPosition()};
    }
};

void ExpectA(CommandTableTest& t, const std::vector<int32_t>& values)
{
    EXPECT_EQ(std::vector<int32_t>(t.Current().progressA, t.Current().progressA + CUserProfile::kProgressACount),
              values);
}

void ExpectB(CommandTableTest& t, const std::vector<int32_t>& values)
{
    EXPECT_EQ(std::vector<int32_t>(t.Current().progressB, t.Current().progressB + CUserProfile::kProgressBCount),
              values);
}

// A game started from the windows: the request is in, the stage window
// covers the load and play is no longer paused.
void ExpectStarted(CommandTableTest& t, int32_t graph, int32_t position)
{
    EXPECT_EQ(t.mCommands->PendingStart(), CGameCommands::kStartNone);
    EXPECT_FALSE(t.mFlow.mPaused);
    EXPECT_TRUE(t.mLevels.StageChanged());
    EXPECT_EQ(t.mLevels.LevelMapWanted(), graph == CGameCommands::kMapGraph);
    EXPECT_EQ(t.mCommands->PhaseFlag(), graph == CGameCommands::kMapGraph);
    EXPECT_EQ(t.Requested(), std::make_pair(graph, position));
}

void ChooseMapGame(CommandTableTest& t)
{
    t.SaveA({1, 0, 3});
    t.mCommands->OnGuiCommand(17, 0);
}

void ChooseEndlessGame(CommandTableTest& t)
{
    t.SaveB({1, 4, 900, 700, 3});
    t.mCommands->OnGuiCommand(18, 0);
}

const CommandRow kRows[] = {
    {"LevelStartPlays", 0, kLevelStart, nullptr, -1, "",
     [](CommandTableTest& t) {
         EXPECT_FALSE(t.mFlow.mPaused);
         EXPECT_EQ(t.mPanel->SlideState(), CGamePanel::kShown);
         EXPECT_EQ(t.mLevels.State(), CLevelController::kPlaying);
     }},
    {"PauseResumes", 2, kPauseScore, [](CommandTableTest& t) { t.mPanel->HideNow(); }, -1, "",
     [](CommandTableTest& t) {
         EXPECT_FALSE(t.mFlow.mPaused);
         EXPECT_EQ(t.mPanel->SlideState(), CGamePanel::kShown);
     }},
    {"PauseOptions", 6, kPauseBasic, nullptr, kOptions, "",
     [](CommandTableTest& t) { EXPECT_FALSE(t.mCommands->OptionsFromMenu()); }},
    {"PauseLeave", 4, kPauseScore, nullptr, kMenuConfirm, "", nullptr},
    {"LeaveConfirmed", 53, kMenuConfirm, nullptr, -1, "menu", nullptr},
    {"GiveUp", 12, kGameoverContinue, nullptr, -1, "menu", nullptr},
    {"TryAgain", 11, kGameoverContinue, [](CommandTableTest& t) { t.PlayAt(0, 2); }, -1, "",
     [](CommandTableTest& t) {
         EXPECT_EQ(t.mLevels.CurrentPosition(), 2);
         EXPECT_EQ(t.mLevels.State(), CLevelController::kIntro);
         EXPECT_FALSE(t.mFlow.mPaused);
     }},
    {"GameOverHiscores", 13, kGameover, nullptr, kHiscoreShowGameover, "", nullptr},
    {"Players", 16, kMenu, nullptr, kPlayerList, "",
     [](CommandTableTest& t) {
         const GUIListBox* list = t.mGui->ListBox(0);
         EXPECT_EQ(list->mLineCount, 1);
         EXPECT_EQ(list->mSelection, 0);
         std::string line;
         EXPECT_TRUE(list->mLines(0, &line));
         EXPECT_EQ(line, "ann");
         EXPECT_FALSE(list->mLines(1, &line));
     }},
    {"PlayWithASavedMapGame", 17, kMenu, [](CommandTableTest& t) { t.SaveA({1, 0, 3}); }, kGameContinue, "",
     [](CommandTableTest& t) { EXPECT_EQ(t.mCommands->ChosenMode(), 1); }},
    {"PlayAfterALostMapGame", 17, kMenu, [](CommandTableTest& t) { t.SaveA({0, 2, 25}); }, kStartLast, "",
     [](CommandTableTest& t) { EXPECT_EQ(t.mCommands->PendingStart(), CGameCommands::kStartNone); }},
    {"PlayAFirstGame", 17, kMenu, nullptr, kStageSelect, "", nullptr},
    {"EndlessWithASavedRun", 18, kMenu, [](CommandTableTest& t) { t.SaveB({1, 4, 900, 700, 3}); }, kGameContinue,
     "", [](CommandTableTest& t) { EXPECT_EQ(t.mCommands->ChosenMode(), 2); }},
    {"EndlessFromScratch", 18, kMenu,
     [](CommandTableTest& t) {
         t.SaveB({0, 4, 900, 700, 3});
         t.mBackdrop.FadeIn();
         t.mBackdrop.SetMenuOpened(true);
     },
     kPhaseStart, "reload",
     [](CommandTableTest& t) {
         ExpectB(t, {0, 0, 0, 1000, 0});
         ExpectStarted(t, 1, 0);
         // The menu's backdrop goes.
         EXPECT_EQ(t.mBackdrop.State(), CBackgroundWidget::kFadingOut);
         EXPECT_FALSE(t.mBackdrop.MenuOpened());
     }},
    {"Hiscores", 19, kMenu, nullptr, kHiscoreShow, "", nullptr},
    {"MenuOptions", 20, kMenu, nullptr, kOptions, "",
     [](CommandTableTest& t) { EXPECT_TRUE(t.mCommands->OptionsFromMenu()); }},
    {"Credits", 21, kMenu, nullptr, kCredits, "", nullptr},
    {"Quit", 22, kMenu, nullptr, kQuitConfirm, "", nullptr},
    {"QuitConfirmed", 55, kQuitConfirm, nullptr, kQuitConfirm, "",
     [](CommandTableTest& t) { EXPECT_TRUE(t.App().mShutdown); }},
    {"ContinueTheMapGame", 36, kGameContinue, ChooseMapGame, kPhaseStart, "reload",
     [](CommandTableTest& t) { ExpectStarted(t, 0, 3); }},
    {"ContinueTheEndlessRun", 36, kGameContinue, ChooseEndlessGame, kPhaseStart, "reload",
     [](CommandTableTest& t) { ExpectStarted(t, 1, 4); }},
    {"NewMapGameAsked", 37, kGameContinue, ChooseMapGame, kGameRestartBasic, "", nullptr},
    {"NewEndlessRunAsked", 37, kGameContinue, ChooseEndlessGame, kGameRestartScore, "", nullptr},
    {"NewEndlessRun", 39, kGameRestartScore, ChooseEndlessGame, kPhaseStart, "reload",
     [](CommandTableTest& t) {
         ExpectB(t, {0, 0, 0, 1000, 0});
         ExpectStarted(t, 1, 0);
     }},
    {"ChooseAStage", 41, kGameRestartBasic, nullptr, kStageSelect, "", nullptr},
    // Closing the stage select window starts the game chosen there.
    {"StageChosen", 43, kStageSelect, [](CommandTableTest& t) { t.mSlots->mSelected = 1; }, kPhaseStart, "reload",
     [](CommandTableTest& t) {
         ExpectA(t, {1, 1, 10, 0, 0, 0, 0, 0, 0, 0, 3, 1000});
         EXPECT_EQ(t.mSlots->HintTrack(), nullptr);
         ExpectStarted(t, 0, 10);
     }},
    {"StageSelectBack", 44, kStageSelect, nullptr, kMenu, "", nullptr},
    {"RestartTheSavedMap", 58, kStartLast,
     [](CommandTableTest& t) { t.SaveA({0, 1, 14, 500, 60, 900, 10, 20, 7, 1, -1, 0}); }, kPhaseStart, "reload",
     [](CommandTableTest& t) {
         ExpectA(t, {1, 1, 14, 0, 0, 0, 0, 0, 0, 1, 3, 1000});
         ExpectStarted(t, 0, 14);
     }},
    {"StartLastChoosesAStage", 59, kStartLast, nullptr, kStageSelect, "",
     [](CommandTableTest& t) { EXPECT_EQ(t.mCommands->ChosenMode(), 1); }},
    {"HiscoreTableShown", 45, kScoreGameoverHiscore, nullptr, kHiscoreHit, "",
     [](CommandTableTest& t) { EXPECT_TRUE(t.mHiscores.ShowsHighlight()); }},
    {"HiscoreHitLeaves", 47, kHiscoreHit, nullptr, -1, "menu", nullptr},
    {"HiscoreReset", 48, kHiscoreShow, nullptr, kHiscoreResetConfirm, "", nullptr},
    {"HiscoreResetConfirmed", 50, kHiscoreResetConfirm,
     [](CommandTableTest& t) { t.mHiscores.InsertWithExtra("ann", 5000, 0); }, kHiscoreShow, "",
     [](CommandTableTest& t) {
         for (int32_t rank = 0; rank < CHiscoreTable::kEntryCount; ++rank)
             EXPECT_EQ(t.mHiscores.GetTable(0)[size_t(rank)].score, t.mHiscores.GetTable(2)[size_t(rank)].score);
         EXPECT_FALSE(t.mHiscores.ShowsHighlight());
     }},
    {"StartTheLevelOnTheMap", 56, kLevelMap, nullptr, kLevelMap, "start", nullptr},
    {"CreditsBack", 57, kCredits, nullptr, kMenu, "", nullptr},
    {"GameOverTableBack", 61, kHiscoreShowGameover, nullptr, kMenu, "", nullptr},
};

TEST_P(CommandTableTest, OpensAndChanges)
{
    const CommandRow& row = GetParam();
    mWindows.mForward = mCommands.get();
    if (row.mSetUp)
        row.mSetUp(*this);
    mFlow.mCalls.clear();
    OpenNow(row.mBefore);
    App().mSoundsPlayed.clear();
    Click(row.mCommand);
    Settle();
    EXPECT_EQ(Shown(), row.mAfter);
    EXPECT_EQ(mFlow.Calls(), row.mFlow);
    EXPECT_EQ(std::count(App().mSoundsPlayed.begin(), App().mSoundsPlayed.end(), CGameCommands::kSoundClick), 1);
    if (row.mCheck)
        row.mCheck(*this);
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandTableTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<CommandRow>& info) { return info.param.mName; });

} // namespace
} // namespace CommandsTest
