#include "tests/app/SavedGameTest.h"

#include "game/board/bonuses/CGameBonuses.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "platform/windows/VirtualKeys.h"
#include "tests/app/WindowCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace AppTest {
namespace {

using namespace GUIWindowId;

constexpr int32_t kGiveUpAt = 30000;

} // namespace

CUserProfile SavedMapGame(int32_t position, int32_t result, int32_t energy)
{
    CUserProfile record;
    const int32_t values[CUserProfile::kProgressACount] = {1, 0, position, 0, 0, 0, 0, 0, 0, result, 2, energy};
    std::copy(std::begin(values), std::end(values), record.progressA);
    return record;
}

CUserProfile SavedEndlessGame(int32_t position)
{
    CUserProfile record;
    const int32_t values[CUserProfile::kProgressBCount] = {1, position, 0, 1000, 0};
    std::copy(std::begin(values), std::end(values), record.progressB);
    return record;
}

ScriptedGame& SavedGameTest::StartWith(const CUserProfile& saved)
{
    auto game = std::make_unique<ScriptedGame>();
    CUserProfiles& profiles = *game->Profiles();
    profiles.Add("Ada");
    profiles.SelectByName("Ada");
    profiles.SetRecordA(saved.progressA);
    profiles.SetRecordB(saved.progressB);
    return Start(std::move(game));
}

void SavedGameTest::Play(const std::vector<Step>& steps)
{
    ScriptedGame& game = *mGame;
    size_t next = 0;
    int32_t waitUntil = 0;
    game.mScript = [&](int update) {
        mUpdate = update;
        if (update == kGiveUpAt) {
            ADD_FAILURE() << "still waiting for " << steps[next].mWhat;
            game.RequestShutdown();
        }
        if (next == steps.size() || update < waitUntil || game.LoadingStateNow() != CGameApp::kLoadHandled ||
            !steps[next].mReady())
            return;
        steps[next].mAct();
        waitUntil = update + steps[next].mPause;
        mStepSince = waitUntil;
        if (++next == steps.size())
            game.RequestShutdown();
    };
    game.Run();
    EXPECT_TRUE(game.mFatalErrors.empty()) << testing::PrintToString(game.mFatalErrors);
}

Step SavedGameTest::Press(int32_t window, int32_t command)
{
    return {"window " + std::to_string(window), [this, window] { return Showing(window); },
            [this, command] { Mouse().ClickButton(command); }};
}

std::vector<Step> SavedGameTest::ToMapGame()
{
    return {Press(kMenu, Command::kMenuPlay), Press(kGameContinue, Command::kContinueGame),
            {"the map at its position",
             [this] { return Showing(kLevelMap) && mGame->LevelMap()->HighlightState() == CLevelMap::kAtPosition; },
             [this] { Mouse().ClickButton(Command::kMapPlay); }},
            Press(kLevelStart, Command::kLevelStartGo), Ready()};
}

std::vector<Step> SavedGameTest::ToEndlessGame()
{
    return {Press(kMenu, Command::kMenuEndless), Press(kGameContinue, Command::kContinueGame),
            Press(kScoreStart, Command::kScoreStartGo), Ready()};
}

std::vector<Step> SavedGameTest::LeaveToMenu(int32_t pauseWindow, int32_t leave)
{
    return {{"play to leave", [this] { return FieldTakesClick(); }, [this] { Mouse().PressKey(Platform::VK_ESCAPE); }},
            Press(pauseWindow, leave), Press(kMenuConfirm, Command::kLeaveConfirmed)};
}

Step SavedGameTest::Ready()
{
    return {"the field to take a click", [this] { return FieldTakesClick(); }, [] {}, 0};
}

std::vector<int32_t> SavedGameTest::Colours() const
{
    const CCellGrid& grid = mGame->Field()->Grid();
    std::vector<int32_t> colours;
    for (int32_t cell = 0; cell < grid.CellCount(); ++cell)
        colours.push_back(CCellGrid::ColourOf(grid.Cell(cell)));
    return colours;
}

bool SavedGameTest::ScoringCell(int32_t* column, int32_t* row) const
{
    const CGameField& field = *mGame->Field();
    const CCellGrid& grid = field.Grid();
    const CBoardWidget& board = *mGame->Board();
    for (int32_t cell = 0; cell < grid.CellCount(); ++cell) {
        const int32_t group = CCellGrid::GroupOf(grid.Cell(cell));
        const bool takes = group < grid.GroupIdCounter() && grid.Group(group).Count() >= grid.MatchCount() &&
                           CCellGrid::ColourOf(grid.Cell(cell)) != field.ReservedColour();
        *column = cell % grid.Width();
        *row = cell / grid.Width();
        if (takes && (*column != board.TargetColumn() || *row != board.TargetRow()))
            return true;
    }
    return false;
}

void SavedGameTest::ClickTaking(const int32_t (&at)[2])
{
    EXPECT_GT(Mouse().GroupTaken(at[1] * mGame->Field()->Width() + at[0]), 0) << at[0] << "," << at[1];
    Mouse().ClickCell(at[0], at[1]);
}

int32_t SavedGameTest::ProcessesOfKind(int32_t kind) const
{
    int32_t count = 0;
    for (const ProcessSlot& slot : mGame->Processor()->Slots())
        count += slot.mKind == kind;
    return count;
}

CBonusBomb& SavedGameTest::Bomb() const { return mGame->Bonuses()->Bomb(); }

} // namespace AppTest
