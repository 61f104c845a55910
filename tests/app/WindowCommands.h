#pragma once

#include "game/screens/windows/GUIWindowTable.h"

#include <cstdint>

namespace AppTest {

// The commands of the window file's buttons that a player clicks, by what they do.
namespace Command {
constexpr int32_t kLevelStartGo = 0;
constexpr int32_t kScoreStartGo = 1;
constexpr int32_t kPauseScoreResume = 2;
constexpr int32_t kPauseScoreLeave = 4;
constexpr int32_t kPauseBasicResume = 5;
constexpr int32_t kPauseBasicLeave = 7;
constexpr int32_t kMenuPlayers = 16;
constexpr int32_t kMenuPlay = 17;
constexpr int32_t kMenuEndless = 18;
constexpr int32_t kMenuQuit = 22;
constexpr int32_t kCreatePlayerOk = 25;
constexpr int32_t kPlayerListOk = 27;
constexpr int32_t kPlayerListNew = 28;
constexpr int32_t kPlayerListDelete = 29;
constexpr int32_t kPlayerListBack = 30;
constexpr int32_t kNewPlayerOk = 31;
constexpr int32_t kDeletePlayerYes = 34;
constexpr int32_t kContinueGame = 36;
constexpr int32_t kNewGame = 37;
constexpr int32_t kNewGameYes = 39;
constexpr int32_t kStayInGame = 52;
constexpr int32_t kHiscoreHitOk = 47;
constexpr int32_t kHiscoreReset = 48;
constexpr int32_t kLeaveConfirmed = 53;
constexpr int32_t kQuitYes = 55;
constexpr int32_t kMapPlay = 56;
constexpr int32_t kHiscoreGameoverMenu = 61;
} // namespace Command

// The button that goes on with the game in each window, or -1: from a pause
// or the panel's menu that is back to play, after a lost level the level again.
inline int32_t OnwardCommand(int32_t window)
{
    using namespace GUIWindowId;
    struct WindowButton {
        int32_t mWindow;
        int32_t mCommand;
    };
    constexpr WindowButton kOnwards[] = {
        {kLevelStart, Command::kLevelStartGo},
        {kScoreStart, Command::kScoreStartGo},
        {kPauseScore, Command::kPauseScoreResume},
        {kPauseBasic, Command::kPauseBasicResume},
        {kLevelEndClassic, 8},
        {kLevelEndPuzzle, 9},
        {kLevelEndCrazy, 10},
        {kGameoverContinue, 11},
        {kGameover, 13},
        {kScoreGameover, 14},
        {kScoreGameoverHiscore, 45},
        {kStageSelect, 43},
        {kGameContinue, Command::kContinueGame},
        {kGameoverHiscore, 46},
        {kHiscoreHit, 47},
        {kMenuConfirm, Command::kStayInGame},
        {kHiscoreShowGameover, 61},
        {kHappyEnd, 15},
    };
    for (const WindowButton& row : kOnwards) {
        if (row.mWindow == window)
            return row.mCommand;
    }
    return -1;
}

} // namespace AppTest
