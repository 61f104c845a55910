#include "game/screens/windows/GUIWindowTable.h"

namespace {

constexpr int32_t kRb = GUIWindowSpec::kRunningButton;
constexpr int32_t kNs = GUIWindowSpec::kNoSlot;

// name, first command, checkbox, slider, edit box, list box, first slot
constexpr std::array<GUIWindowSpec, GUIWindowId::kCount> kWindows = {{
    {"levelstart", 0, 2, 2, 2, 1, 0},
    {"gameover_continue", 11, 2, 2, 2, 1, 25},
    {"gameover", 13, 2, 2, 2, 1, 24},
    {"pause_score", 2, 2, 2, 2, 1, 34},
    {"pause_basic", 5, 2, 2, 2, 1, 29},
    {"levelend_classic_time", 8, 2, 2, 2, 1, 6},
    {"levelend_puzzle", 9, 2, 2, 2, 1, 14},
    {"levelend_crazy", 10, 2, 2, 2, 1, 18},
    {"score_start", 1, 2, 2, 2, 1, 5},
    {"score_gameover", 14, 2, 2, 2, 1, kNs},
    {"phase_end", kRb, 2, 2, 2, 1, 27},
    {"phase_start", kRb, 2, 2, 2, 1, kNs},
    {"happyend", 15, 2, 2, 2, 1, 27},
    {"menu", 16, 2, 2, 2, 1, 35},
    {"options", 23, 0, 0, 2, 1, kNs},
    {"createplayer1", 25, 2, 2, 0, 1, kNs},
    {"createplayer1_empty", 26, 2, 2, 2, 1, kNs},
    {"playerlist", 27, 2, 2, 2, 0, kNs},
    {"createplayer2", 31, 2, 2, 1, 1, kNs},
    {"createplayer2_identical", 33, 2, 2, 2, 1, kNs},
    {"deleteplayer", 34, 2, 2, 2, 1, 37},
    {"gamecontinue", 36, 2, 2, 2, 1, kNs},
    {"gamerestart_score", 39, 2, 2, 2, 1, kNs},
    {"gamerestart_basic", 41, 2, 2, 2, 1, kNs},
    {"stageselect", 43, 2, 2, 2, 1, 39},
    {"score_gameover_hiscore", 45, 2, 2, 2, 1, kNs},
    {"gameover_hiscore", 46, 2, 2, 2, 1, 38},
    {"hiscore_show", 48, 2, 2, 2, 1, kNs},
    {"hiscore_hit", 47, 2, 2, 2, 1, kNs},
    {"hiscore_show_gameover", 61, 2, 2, 2, 1, kNs},
    {"hiscore_reset_confirm", 50, 2, 2, 2, 1, kNs},
    {"menu_confirm", 52, 2, 2, 2, 1, kNs},
    {"quit_confirm", 54, 2, 2, 2, 1, kNs},
    {"levelmap", 56, 2, 2, 2, 1, kNs},
    {"", kRb, 2, 2, 2, 1, kNs},
    {"", kRb, 2, 2, 2, 1, kNs},
    {"", kRb, 2, 2, 2, 1, kNs},
    {"", kRb, 2, 2, 2, 1, kNs},
    {"", kRb, 2, 2, 2, 1, kNs},
    {"", kRb, 2, 2, 2, 1, kNs},
    {"", kRb, 2, 2, 2, 1, kNs},
    {"", kRb, 2, 2, 2, 1, kNs},
    {"prize", kRb, 2, 2, 2, 1, kNs},
    {"credits", 57, 2, 2, 2, 1, kNs},
    {"creditsbody", kRb, 2, 2, 2, 1, kNs},
    {"start_last", 58, 2, 2, 2, 1, kNs},
}};

constexpr std::array<int32_t, GUIWindowId::kCount> kReadingOrder = {
    0, 8, 1, 2, 9, 3, 4, 5, 6, 7, 11, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
    23, 24, 26, 25, 29, 27, 28, 30, 31, 32, 33, 42, 43, 44, 45, 34, 35, 36, 37, 38, 39, 40, 41,
};

} // namespace

const GUIWindowSpec& GUIWindowSpecOf(int32_t id)
{
    return kWindows[static_cast<size_t>(id)];
}

std::string GUIWindowName(int32_t id)
{
    if (id >= GUIWindowId::kFirstAward && id < GUIWindowId::kFirstAward + 8)
        return "award" + std::to_string(id - GUIWindowId::kFirstAward + 1);
    return kWindows[static_cast<size_t>(id)].mName;
}

const std::array<int32_t, GUIWindowId::kCount>& GUIWindowReadingOrder()
{
    return kReadingOrder;
}
