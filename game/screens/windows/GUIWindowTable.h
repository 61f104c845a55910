#pragma once

#include <array>
#include <cstdint>
#include <string>

// The fixed windows of the window file: id, name, first indices and reading order.
struct GUIWindowSpec {
    // Running first indices: a window that names these takes the next free ones.
    static constexpr int32_t kRunningButton = 62;
    static constexpr int32_t kRunningCheckbox = 2;
    static constexpr int32_t kRunningSlider = 2;
    static constexpr int32_t kRunningEditBox = 2;
    static constexpr int32_t kRunningListBox = 1;
    // The first info-label slot of a window whose info labels take no slot.
    static constexpr int32_t kNoSlot = 40;

    const char* mName;
    int32_t mFirstCommand;
    int32_t mFirstCheckbox;
    int32_t mFirstSlider;
    int32_t mFirstEditBox;
    int32_t mFirstListBox;
    int32_t mFirstSlot;
};

namespace GUIWindowId {
constexpr int32_t kLevelStart = 0;
constexpr int32_t kGameoverContinue = 1;
constexpr int32_t kGameover = 2;
constexpr int32_t kPauseScore = 3;
constexpr int32_t kPauseBasic = 4;
constexpr int32_t kLevelEndClassic = 5;
constexpr int32_t kLevelEndPuzzle = 6;
constexpr int32_t kLevelEndCrazy = 7;
constexpr int32_t kScoreStart = 8;
constexpr int32_t kScoreGameover = 9;
constexpr int32_t kPhaseEnd = 10;
constexpr int32_t kPhaseStart = 11;
constexpr int32_t kHappyEnd = 12;
constexpr int32_t kMenu = 13;
constexpr int32_t kOptions = 14;
constexpr int32_t kCreatePlayer1 = 15;
constexpr int32_t kCreatePlayer1Empty = 16;
constexpr int32_t kPlayerList = 17;
constexpr int32_t kCreatePlayer2 = 18;
constexpr int32_t kCreatePlayer2Identical = 19;
constexpr int32_t kDeletePlayer = 20;
constexpr int32_t kGameContinue = 21;
constexpr int32_t kGameRestartScore = 22;
constexpr int32_t kGameRestartBasic = 23;
constexpr int32_t kStageSelect = 24;
constexpr int32_t kScoreGameoverHiscore = 25;
constexpr int32_t kGameoverHiscore = 26;
constexpr int32_t kHiscoreShow = 27;
constexpr int32_t kHiscoreHit = 28;
constexpr int32_t kHiscoreShowGameover = 29;
constexpr int32_t kHiscoreResetConfirm = 30;
constexpr int32_t kMenuConfirm = 31;
constexpr int32_t kQuitConfirm = 32;
constexpr int32_t kLevelMap = 33;
constexpr int32_t kFirstAward = 34;
constexpr int32_t kCredits = 43;
constexpr int32_t kCreditsBody = 44;
constexpr int32_t kStartLast = 45;
constexpr int32_t kCount = 46;
} // namespace GUIWindowId

// The window of each id; award windows carry no name here (see GUIWindowName).
const GUIWindowSpec& GUIWindowSpecOf(int32_t id);
// "award1" to "award8" for ids 34 to 41, the table's name otherwise.
std::string GUIWindowName(int32_t id);
// Window ids in the order they are read.
const std::array<int32_t, GUIWindowId::kCount>& GUIWindowReadingOrder();
