#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/MousePlayer.h"
#include "tests/app/SavedGameTest.h"
#include "tests/app/WindowCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace AppTest {
namespace {

using namespace GUIWindowId;

constexpr int32_t kPointsType = 0;
// The info label of "Endless run" that shows the run's score.
constexpr int32_t kRunScoreSlot = 5;

// What a person sees of the endless game at a moment: where it is, which
// level, and the score.
struct Seen {
    int32_t mPosition = -1;
    int32_t mLevel = -1;
    int32_t mScore = -1;
};

// The endless game closed and continued, on the program with the archive it
// ships, with a person-paced player at the mouse.
class EndlessContinueTest : public SavedGameTest {
protected:
    Seen Now() const
    {
        const CLevelController& levels = *mGame->LevelController();
        return {levels.CurrentPosition(), int32_t(&levels.Level() - &levels.Table().Level(0)), levels.Score()};
    }

    // From the menu into the endless game, through "Continue" when it is
    // saved; the person plays on until done says so, and the game is closed.
    // ready, when given, runs once the game is loaded.
    Seen PlayUntil(const std::function<bool()>& done, const std::function<void()>& ready = {})
    {
        ScriptedGame& game = *mGame;
        MousePlayer player(game, Mouse(), "Ada", MousePlayer::kWin);
        player.SetReaction(kPersonReaction);
        Seen seen;
        bool loaded = false;
        int32_t waitUntil = 0;
        mRunScore.clear();
        mStarted = Seen();
        game.mScript = [&](int update) {
            if (update == kGiveUpAt) {
                ADD_FAILURE() << player.Report();
                game.RequestShutdown();
            }
            if (game.LoadingStateNow() != CGameApp::kLoadHandled || update < waitUntil)
                return;
            if (!loaded && ready)
                ready();
            loaded = true;
            const int32_t window = Mouse().ShownWindow();
            if (window == kScoreStart && mRunScore.empty()) {
                CGUIController& gui = *game.GuiController();
                mRunScore = gui.Label(gui.InfoLabelIndex(kRunScoreSlot))->mText;
            }
            if (window == kScoreGameover || window == kScoreGameoverHiscore) {
                ADD_FAILURE() << "lost at " << game.LevelController()->CurrentPosition();
                game.RequestShutdown();
                return;
            }
            if (window == kMenu || window == kGameContinue) {
                if (Mouse().PressButton(window == kMenu ? Command::kMenuEndless : Command::kContinueGame))
                    waitUntil = update + kAfterPress;
                return;
            }
            if (window < 0 && game.LevelController()->State() == CLevelController::kPlaying) {
                if (mStarted.mPosition < 0)
                    mStarted = Now();
                if (done()) {
                    seen = Now();
                    game.RequestShutdown();
                    return;
                }
            }
            player.Update(update);
        };
        game.Run();
        EXPECT_TRUE(game.mFatalErrors.empty());
        mGame.reset();
        return seen;
    }

    // The next start of the program, with the players it saved.
    void StartAgain() { Start(std::make_unique<ScriptedGame>()); }

    // The last game continued with the level it was closed on, and its
    // "Endless run" said the score the panel then showed.
    void ExpectContinued(const Seen& closed)
    {
        EXPECT_EQ(mStarted.mPosition, closed.mPosition);
        EXPECT_EQ(mStarted.mLevel, closed.mLevel) << "at " << closed.mPosition;
        EXPECT_EQ(mRunScore, "Score " + std::to_string(mStarted.mScore));
    }

    bool At(int32_t position) const { return mGame->LevelController()->CurrentPosition() == position; }

    // "Endless run"'s score line as last shown.
    std::string mRunScore;
    // The game when play began.
    Seen mStarted;

private:
    static constexpr int32_t kGiveUpAt = 60000;
};

// A game begun with "Go" and closed at a listed level goes on with that
// level and its score.
TEST_F(EndlessContinueTest, ClosedAtAListedLevelItGoesOnThere)
{
    StartWith(CUserProfile());
    const Seen closed = PlayUntil([this] { return At(2) && mGame->LevelController()->LevelGain() > 0; });
    ASSERT_EQ(closed.mPosition, 2);
    StartAgain();
    PlayUntil([] { return true; });
    ExpectContinued(closed);
}

// Played on into the cycles and closed at a cycle's first level and at the
// next one, the game goes on with the level it was playing each time, in the
// order it was playing; a game saved before its cycles kept their order
// goes on and keeps the order from then on.
TEST_F(EndlessContinueTest, ClosedInACycleItGoesOnWithTheLevelItWasPlaying)
{
    // A saved game at the last listed level whose first cycle begins with two
    // points levels, which a person wins without planning.
    StartWith(SavedEndlessGame(kListed - 1));
    const auto pointsFirst = [this] {
        CLevelGraphs& graphs = *mGame->LevelGraphs();
        for (uint32_t seed = CLevelGraphs::kFirstSeed;; ++seed) {
            graphs.SetCycleSeed(seed);
            bool points = true;
            for (int32_t position = kListed; position < kListed + 2; ++position) {
                int32_t onload = -1;
                const int32_t level = graphs.PickNext(kEndlessGraph, position, &onload);
                points = points && mGame->LevelController()->Table().Level(level).mLevelType == kPointsType;
            }
            if (points) {
                mGame->Profiles()->SetRecordB({int32_t(seed), kListed - 1, 0, 1000, 0});
                return;
            }
        }
    };
    const Seen first = PlayUntil([this] { return At(kListed); }, pointsFirst);
    ASSERT_EQ(first.mPosition, kListed);

    StartAgain();
    const Seen second = PlayUntil([this] { return At(kListed + 1); });
    ExpectContinued(first);
    ASSERT_EQ(second.mPosition, kListed + 1);
    StartAgain();
    PlayUntil([] { return true; });
    ExpectContinued(second);

    // Saved by an earlier build, which kept no order: the level the game
    // gives there stays the level after a close.
    std::filesystem::remove(DataFile("users.dat"));
    StartWith(SavedEndlessGame(kListed + kCycle + 1));
    const Seen old = PlayUntil([] { return true; });
    EXPECT_EQ(old.mPosition, kListed + kCycle + 1);
    StartAgain();
    PlayUntil([] { return true; });
    ExpectContinued(old);
}

} // namespace
} // namespace AppTest
