#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/data/JukeBox.h"
#include "game/screens/menus/CGameCommands.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"

namespace {

using namespace GUIWindowId;

// The count-ups of the tally, one per step: the info slot, what it counts, the step that follows.
enum class Counted { kCombo, kSupercombo, kBonus, kLevelGain };

struct TallyStep {
    int32_t mStep;
    int32_t mSlot;
    Counted mValue;
    int32_t mNext;
    bool mLast;
};

constexpr TallyStep kSteps[] = {
    {2, 10, Counted::kCombo, 3, false},   {3, 11, Counted::kSupercombo, 4, false},
    {4, 12, Counted::kBonus, 5, false},   {5, 13, Counted::kLevelGain, 0, true},
    {6, 22, Counted::kBonus, 7, false},   {7, 23, Counted::kLevelGain, 0, true},
};

constexpr int32_t kTallyReference = 1000;
// Counting, then a zoom; the last count of a chain only stays.
constexpr int32_t kCountMode = 3;
constexpr int32_t kStayMode = 2;

} // namespace

void CGameCommands::ShowScorePopup(int32_t step)
{
    if (step == 8) {
        JukeBox::Get().StopLoopSample();
        return;
    }
    if (step == 9) {
        ContinueAfterLevel();
        return;
    }
    const CLevelController& levels = *mServices.mLevels;
    for (const TallyStep& row : kSteps) {
        if (row.mStep != step)
            continue;
        if (row.mLast)
            JukeBox::Get().StopLoopSample();
        int32_t value = 0;
        switch (row.mValue) {
        case Counted::kCombo:
            value = levels.ComboGain();
            break;
        case Counted::kSupercombo:
            value = levels.SupercomboGain();
            break;
        case Counted::kBonus:
            value = EntryBonus();
            break;
        case Counted::kLevelGain:
            value = levels.LevelGain();
            break;
        }
        mServices.mGui->StartCountUp(row.mSlot, value, kTallyReference, row.mNext, row.mLast ? kStayMode : kCountMode);
        return;
    }
}

void CGameCommands::SkipTallyOrContinue()
{
    CGUIController& gui = *mServices.mGui;
    mNextPosition = mServices.mLevels->CurrentPosition() + 1;
    if (gui.SkipCountUps()) {
        // The fade's end continues with step 9.
        gui.StartWindowFade(gui.PointsStaySpeed());
        return;
    }
    gui.StopWindowTrack();
    ShowScorePopup(9);
}

void CGameCommands::ContinueAfterLevel()
{
    CLevelController& levels = *mServices.mLevels;
    const int32_t graph = levels.CurrentGraph();
    if (mNextPosition >= mServices.mGraphs->GraphAt(graph).mEntryCount) {
        levels.CompleteGraph();
        mNextPosition = 0;
        levels.SaveProgress();
        mPhaseFlag = false;
        mServices.mPanel->SlideOnOff(false);
        SetPaused(true);
        Open(kHappyEnd);
        return;
    }
    if (CLevelController::IsOtherStage(graph, levels.CurrentPosition(), graph, mNextPosition)) {
        levels.RequestNextMap(mNextPosition);
        // The new map is shown from its first position once it has loaded.
        levels.SetLevelMapWanted(true);
        mServices.mPanel->SlideOnOff(false);
        SetPaused(true);
        FillPhaseLabels();
        Open(kPhaseEnd);
        return;
    }
    if (!mPhaseFlag) {
        StartLevelAtOnce(mNextPosition);
        SetPaused(false);
    }
    Close();
}
