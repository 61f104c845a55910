#include "game/board/field/CCellGrid.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/SavedGameTest.h"
#include "tests/app/WindowCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// Ada's map game stands at stage 1 level 5, "Treasure Hunt", a points level.
constexpr int32_t kAdaPosition = 4;
constexpr int32_t kSavedScore = 5;
constexpr int32_t kLives = 10;
constexpr int32_t kEnergy = 11;
constexpr int32_t kEndlessScore = 2;

struct Player {
    const char* mName;
    int32_t mMapGame[CUserProfile::kProgressACount];
    int32_t mEndlessGame[CUserProfile::kProgressBCount];
};

// Each with a map game and an endless game of their own.
constexpr Player kPlayers[] = {
    {"Ada", {1, 0, kAdaPosition, 0, 0, 1500, 0, 0, 0, 0, 2, 1000}, {1, 2, 700, 1000, 0}},
    {"Bob", {1, 6, 17, 4321, 321, 54321, 20, 30, 5, 2, 1, 800}, {1, 7, 98765, 450, 12}},
    {"Cid", {1, 1, 12, 100, 100, 2500, 0, 0, 3, 0, 3, 900}, {0, 0, 0, 1000, 0}},
};

// Each record of users.dat by name, as a new game object reads them at its start.
std::map<std::string, CUserProfile> NextStart()
{
    const ScriptedGame next;
    std::map<std::string, CUserProfile> records;
    for (int32_t i = 0; i < next.Profiles()->Count(); ++i)
        records[next.Profiles()->Record(i).name] = next.Profiles()->Record(i);
    return records;
}

bool SameRecord(const CUserProfile& a, const CUserProfile& b)
{
    return std::memcmp(&a, &b, sizeof(CUserProfile)) == 0;
}

// The players' records in users.dat, the game's own or another's, seen on
// the program with the archive it ships: Ada plays a game and leaves it to
// the menu, another player is chosen, made or deleted there, and the game
// closes; the next start reads every record as its player left it.
class PlayerRecordsTest : public SavedGameTest {
protected:
    // The first players of kPlayers, Ada current; on her last try Ada has
    // no life left and energy for one miss.
    ScriptedGame& StartWithPlayers(size_t count, bool lastTry)
    {
        auto game = std::make_unique<ScriptedGame>();
        CUserProfiles& profiles = *game->Profiles();
        for (size_t i = 0; i < count; ++i) {
            profiles.Add(kPlayers[i].mName);
            profiles.SelectByName(kPlayers[i].mName);
            int32_t mapGame[CUserProfile::kProgressACount];
            std::copy(std::begin(kPlayers[i].mMapGame), std::end(kPlayers[i].mMapGame), mapGame);
            if (lastTry && i == 0) {
                mapGame[kLives] = 0;
                mapGame[kEnergy] = 1;
            }
            profiles.SetRecordA(mapGame);
            profiles.SetRecordB(kPlayers[i].mEndlessGame);
            mBefore[kPlayers[i].mName] = profiles.Record(profiles.CurrentIndex());
        }
        profiles.SelectByName("Ada");
        return Start(std::move(game));
    }

    // From the menu to the player list, and a line of it clicked.
    std::vector<Step> ToListLine(int32_t line, bool twice)
    {
        return {Press(kMenu, Command::kMenuPlayers),
                {"the player list", [this] { return Showing(kPlayerList); },
                 [this, line, twice] { Mouse().ClickListLine(line, twice); }}};
    }

    // The map game on its last try lost with a miss, then through the game
    // over's windows to the menu; no hiscore is won, so that the way there
    // leads through the hiscores shown, past the leaving that saves.
    std::vector<Step> LoseToMenu(int32_t* score)
    {
        std::vector<Step> steps = ToMapGame();
        steps.push_back({"a cell that takes nothing", [] { return true; },
                         [this] {
                             for (int32_t i = 0; i < CHiscoreTable::kEntryCount; ++i)
                                 mGame->Hiscores()->InsertWithExtra("Zed", 1'000'000, 0);
                             const int32_t cell = Mouse().PickCell(false);
                             ASSERT_GE(cell, 0);
                             Mouse().ClickCell(cell % mGame->Field()->Width(), cell / mGame->Field()->Width());
                         }});
        steps.push_back({"the menu, through the windows after the game",
                         [this] {
                             const int32_t window = Mouse().ShownWindow();
                             if (window >= 0 && window != kMenu && OnwardCommand(window) >= 0 &&
                                 mUpdate >= mNextPress && Mouse().PressButton(OnwardCommand(window)))
                                 mNextPress = mUpdate + kAfterPress;
                             return window == kMenu;
                         },
                         [this, score] { *score = mGame->LevelController()->Score(); }});
        return steps;
    }

    // The game in play left to the menu, where the score it had is noted.
    std::vector<Step> PlayAndLeave(bool endless, int32_t* score)
    {
        std::vector<Step> steps = endless ? ToEndlessGame() : ToMapGame();
        steps.push_back({"a group to take", [] { return true; },
                         [this] {
                             int32_t column = 0, row = 0;
                             ASSERT_TRUE(ScoringCell(&column, &row));
                             Mouse().ClickCell(column, row);
                         }});
        const std::vector<Step> leave = endless ? LeaveToMenu(kPauseScore, Command::kPauseScoreLeave)
                                                : LeaveToMenu(kPauseBasic, Command::kPauseBasicLeave);
        steps.insert(steps.end(), leave.begin(), leave.end());
        steps.push_back({"the menu", [this] { return Showing(kMenu); },
                         [this, score] { *score = mGame->LevelController()->Score(); }});
        return steps;
    }

    std::map<std::string, CUserProfile> mBefore;
    int32_t mNextPress = 0;
};

// The ways a player is made current, made or deleted at the menu after Ada
// left her game there, by the pause window or by losing it; the close then
// saved her game into whoever was current. Two cases play the chosen
// player's own game after the change.
TEST_F(PlayerRecordsTest, AGameLeftToTheMenuStaysItsPlayersWhoeverIsCurrentThen)
{
    enum class Way { kChoose, kChooseTwice, kMake, kDelete };
    struct Case {
        const char* mWhat;
        size_t mPlayers;
        bool mEndless;
        Way mWay;
        // The list's line chosen or deleted.
        int32_t mLine;
        // The player made current then plays their own game of that kind and leaves it.
        bool mThenPlays;
        // Ada's map game is lost to its end instead of left by the pause window.
        bool mLost = false;
    };
    const Case cases[] = {
        {"two players, the map game, Bob chosen", 2, false, Way::kChoose, 1, false},
        {"two players, the endless game, Bob chosen by a double click", 2, true, Way::kChooseTwice, 1, false},
        {"two players, the map game, a new player made", 2, false, Way::kMake, 0, false},
        {"two players, the endless game, a new player made", 2, true, Way::kMake, 0, false},
        {"three players, the map game, Ada deleted", 3, false, Way::kDelete, 0, false},
        {"three players, the endless game, Bob deleted", 3, true, Way::kDelete, 1, false},
        {"three players, the map game, Cid chosen by a double click, who plays", 3, false, Way::kChooseTwice, 2,
         true},
        {"three players, the endless game, Bob chosen, who plays", 3, true, Way::kChoose, 1, true},
        {"two players, the map game lost, Bob chosen", 2, false, Way::kChoose, 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mWhat);
        std::filesystem::remove(DataFile("users.dat"));
        mBefore.clear();
        StartWithPlayers(c.mPlayers, c.mLost);
        int32_t adaScore = -1;
        int32_t otherScore = -1;
        std::vector<Step> steps = c.mLost ? LoseToMenu(&adaScore) : PlayAndLeave(c.mEndless, &adaScore);
        std::string current = kPlayers[size_t(c.mLine)].mName;
        switch (c.mWay) {
        case Way::kChoose: {
            const std::vector<Step> choose = ToListLine(c.mLine, false);
            steps.insert(steps.end(), choose.begin(), choose.end());
            steps.push_back(Press(kPlayerList, Command::kPlayerListOk));
            break;
        }
        case Way::kChooseTwice: {
            const std::vector<Step> choose = ToListLine(c.mLine, true);
            steps.insert(steps.end(), choose.begin(), choose.end());
            break;
        }
        case Way::kMake:
            current = "Dan";
            steps.push_back(Press(kMenu, Command::kMenuPlayers));
            steps.push_back(Press(kPlayerList, Command::kPlayerListNew));
            steps.push_back({"the new player's name", [this] { return Showing(kCreatePlayer2); },
                             [this] { Mouse().Type("Dan"); }, 5});
            steps.push_back(Press(kCreatePlayer2, Command::kNewPlayerOk));
            break;
        case Way::kDelete: {
            const std::vector<Step> choose = ToListLine(c.mLine, false);
            steps.insert(steps.end(), choose.begin(), choose.end());
            steps.push_back(Press(kPlayerList, Command::kPlayerListDelete));
            steps.push_back(Press(kDeletePlayer, Command::kDeletePlayerYes));
            steps.push_back(Press(kPlayerList, Command::kPlayerListBack));
            break;
        }
        }
        steps.push_back({"the menu again", [this] { return Showing(kMenu); },
                         [this, &current] { current = mGame->Profiles()->CurrentName(); }});
        if (c.mThenPlays) {
            const std::vector<Step> plays = PlayAndLeave(c.mEndless, &otherScore);
            steps.insert(steps.end(), plays.begin(), plays.end());
        }
        Play(steps);
        mGame.reset();

        const std::map<std::string, CUserProfile> saved = NextStart();
        for (const auto& [name, before] : mBefore) {
            SCOPED_TRACE(name);
            const bool deleted = c.mWay == Way::kDelete && name == kPlayers[size_t(c.mLine)].mName;
            ASSERT_EQ(saved.count(name), deleted ? 0u : 1u);
            if (deleted)
                continue;
            const CUserProfile& record = saved.at(name);
            const bool played = name == "Ada" || (c.mThenPlays && name == current);
            if (!played) {
                EXPECT_TRUE(SameRecord(record, before));
                continue;
            }
            EXPECT_EQ(record.progressA[0], c.mLost ? 0 : 1) << "a game still to play";
            // Its game as it was left, the other game as it was.
            const int32_t score = name == "Ada" ? adaScore : otherScore;
            if (c.mEndless) {
                EXPECT_EQ(record.progressB[kEndlessScore], score);
                EXPECT_TRUE(std::equal(std::begin(record.progressA), std::end(record.progressA), before.progressA));
            } else {
                EXPECT_EQ(record.progressA[kSavedScore], score);
                EXPECT_EQ(record.progressA[2], before.progressA[2]);
                EXPECT_TRUE(std::equal(std::begin(record.progressB), std::end(record.progressB), before.progressB));
            }
        }
        if (c.mWay == Way::kMake) {
            ASSERT_EQ(saved.count("Dan"), 1u);
            CUserProfile fresh;
            std::strcpy(fresh.name, "Dan");
            EXPECT_TRUE(SameRecord(saved.at("Dan"), fresh));
        }
    }
}

// What the HUD shows of a level in play, and what it does not.
struct LevelShown {
    int32_t mScore = -1;
    int32_t mLevelPoints = -1;
    int32_t mCompletion = -1;
    int32_t mEnergy = -1;
    int32_t mEnergyBar = -1;
    int32_t mProgress = -1;
    int32_t mLives = -1;
    std::vector<int32_t> mField;

    bool operator==(const LevelShown& o) const
    {
        return mScore == o.mScore && mLevelPoints == o.mLevelPoints && mCompletion == o.mCompletion &&
               mEnergy == o.mEnergy && mEnergyBar == o.mEnergyBar && mProgress == o.mProgress && mLives == o.mLives;
    }
};

void PrintTo(const LevelShown& l, std::ostream* out)
{
    *out << "score " << l.mScore << ", level points " << l.mLevelPoints << ", goal bar " << l.mCompletion
         << ", energy " << l.mEnergy << ", energy bar " << l.mEnergyBar << ", turns " << l.mProgress << ", lives "
         << l.mLives;
}

class LevelLeftTest : public SavedGameTest {
protected:
    Step Note(LevelShown* shown)
    {
        return {"the field at rest", [this] { return FieldTakesClick(); },
                [this, shown] {
                    const CLevelController& levels = *mGame->LevelController();
                    const CGamePanel& panel = *mGame->Panel();
                    *shown = {levels.Score(),  levels.LevelPoints(), panel.Completion(), levels.Energy(),
                              panel.Energy(), levels.Progress(),    levels.Lives(),     Colours()};
                }};
    }

    Step ClickScoring()
    {
        return {"a group to take", [this] { return FieldTakesClick(); },
                [this] {
                    int32_t column = 0, row = 0;
                    ASSERT_TRUE(ScoringCell(&column, &row));
                    Mouse().ClickCell(column, row);
                }};
    }

    // The saved map game continued at the next start, up to play.
    LevelShown Continued()
    {
        Start(std::make_unique<ScriptedGame>());
        LevelShown shown;
        std::vector<Step> steps = ToMapGame();
        steps.push_back(Note(&shown));
        Play(steps);
        mGame.reset();
        return shown;
    }
};

// A close in the middle of a level keeps the try: Continue deals a new field,
// and the score, the level's points towards its goal, the energy and the turns
// (with them the level's stage of difficulty) are those of the close.
TEST_F(LevelLeftTest, ALevelClosedInPlayComesBackWithItsPointsAndEnergyOnANewField)
{
    StartWith(SavedMapGame(kAdaPosition));
    LevelShown closed;
    std::vector<Step> steps = ToMapGame();
    for (int32_t i = 0; i < 4; ++i)
        steps.push_back(ClickScoring());
    steps.push_back(Note(&closed));
    Play(steps);
    mGame.reset();
    ASSERT_GT(closed.mProgress, 0);

    const LevelShown continued = Continued();
    EXPECT_EQ(continued, closed);
    EXPECT_NE(continued.mField, closed.mField);
}

// A level lost is lost with its life whenever the game is closed after: in
// its outro or on its window, the record holds the retry that window's
// "Continue" starts, a life fewer, the level begun afresh and the score run
// on, not the lost try, which a close once revived with its life.
TEST_F(LevelLeftTest, ALevelLostAndClosedComesBackAsItsRetry)
{
    enum class Then { kRetryButton, kCloseInOutro, kCloseOnWindow };
    // The retry the button started, its score the one at the loss: each run deals its own field.
    LevelShown retry;
    for (const Then then : {Then::kRetryButton, Then::kCloseInOutro, Then::kCloseOnWindow}) {
        SCOPED_TRACE(int(then));
        std::filesystem::remove(DataFile("users.dat"));
        // Energy for one miss.
        StartWith(SavedMapGame(kAdaPosition, 0, 1));
        int32_t lostWith = -1;
        std::vector<Step> steps = ToMapGame();
        steps.push_back(ClickScoring());
        steps.push_back({"a cell that takes nothing", [this] { return FieldTakesClick(); },
                         [this] {
                             const int32_t cell = Mouse().PickCell(false);
                             ASSERT_GE(cell, 0);
                             Mouse().ClickCell(cell % mGame->Field()->Width(), cell / mGame->Field()->Width());
                         }});
        const auto noteLoss = [this, &lostWith] { lostWith = mGame->LevelController()->Score(); };
        if (then == Then::kCloseInOutro) {
            steps.push_back({"the loss",
                             [this] { return mGame->LevelController()->State() == CLevelController::kFailed; },
                             noteLoss, 0});
        } else {
            steps.push_back({"the window after the loss", [this] { return Showing(kGameoverContinue); }, noteLoss, 0});
        }
        if (then == Then::kRetryButton) {
            steps.push_back(Press(kGameoverContinue, OnwardCommand(kGameoverContinue)));
            steps.push_back(Press(kLevelStart, Command::kLevelStartGo));
            steps.push_back(Note(&retry));
        }
        Play(steps);
        mGame.reset();
        if (then == Then::kRetryButton) {
            EXPECT_EQ(retry.mScore, lostWith);
        } else {
            LevelShown expected = retry;
            expected.mScore = lostWith;
            EXPECT_EQ(Continued(), expected);
        }
    }
    EXPECT_EQ(retry.mLives, 1);
    EXPECT_EQ(retry.mProgress, 0);
}

// The same in the endless game: one lost with energy left, as when no group
// is left to take, is over when the game is closed in its outro.
TEST_F(LevelLeftTest, AnEndlessGameLostAndClosedInItsOutroIsOver)
{
    StartWith(SavedEndlessGame(2));
    std::vector<Step> steps = ToEndlessGame();
    steps.push_back({"no group left to take", [this] { return FieldTakesClick(); },
                     [this] {
                         CCellGrid& grid = mGame->Field()->Grid();
                         grid.SetMatchCount(grid.CellCount() + 1);
                         grid.Rebuild();
                         const int32_t cell = Mouse().PickCell(false);
                         ASSERT_GE(cell, 0);
                         Mouse().ClickCell(cell % grid.Width(), cell / grid.Width());
                     }});
    int32_t energy = -1;
    steps.push_back({"the loss", [this] { return mGame->LevelController()->State() == CLevelController::kFailed; },
                     [this, &energy] { energy = mGame->LevelController()->Energy(); }, 0});
    Play(steps);
    mGame.reset();
    EXPECT_GT(energy, 0);
    EXPECT_EQ(NextStart().at("Ada").progressB[0], 0);
}

} // namespace
} // namespace AppTest
