#pragma once

#include <cstdint>

// What the level controller drives in the game around it: the game processor,
// the ball, the bonuses, the field and the board widget with its HUD panel.
class CLevelHost {
public:
    virtual ~CLevelHost() = default;

    // Game processor.
    // Switches the processor's state; its delay ends in the controller's HandleState.
    virtual void SetProcessorState(int32_t state) = 0;
    virtual void SetHazards(bool on, int32_t flags) = 0;
    // The points drain of a timed level, its accumulator set to 0.
    virtual void SetDrain(bool on, float rate) = 0;
    virtual void StopPendingProcess() = 0;
    // Play starts again: bonuses may come on.
    virtual void ClearProcessorHold() = 0;
    // Plays a sequence of the intro and outro phases (1 to 3, 6 to 8, 10).
    virtual void StartPhase(int32_t sequence) = 0;
    virtual void RestartBonusTimer() = 0;
    // Removes the group in a field step.
    virtual void ProcessGroup(int32_t group) = 0;
    // A points popup of kind at the ball's landing (0 points, -1 superbonus).
    virtual void ShowPopup(int32_t kind, int32_t value) = 0;
    virtual void StartHazardBall() = 0;
    virtual bool BlockMovesPending() const = 0;
    // Blocks of the field still on the move: a group leaving, lines closing up, a superbonus rising.
    virtual bool FieldMoving() const = 0;
    // Arrow markers of a puzzle level: stop and hide removes them.
    virtual void SetArrows(bool stop, bool dim, bool hide, bool show, bool flash) = 0;
    // A level starts: a combo still pending is dropped, and the next one closes at speed.
    virtual void ResetComboWindow(float speed) = 0;
    // A level starts: the undo record emptied, recording only on a puzzle
    // level, and a ball the last level's undo set down plays again.
    virtual void StartCellRuns(bool record) = 0;

    // Ball.
    virtual void BallCell(int32_t* column, int32_t* row) const = 0;
    // Ball speeds back to the definition's; placed, the ball stands on its cell
    // at the level start and counts as landed there.
    virtual void ResetBall(bool placeOnCell, int32_t column, int32_t row) = 0;
    virtual void SetBallSpeeds(float first, float second) = 0;
    virtual void ClearBallState() = 0;

    // Bonuses.
    virtual void SetBonusGeneration(bool present, float minimum, float maximum) = 0;
    virtual void SetBonusAmount(int32_t bonus, int32_t amount) = 0;
    virtual void SetBonusActionSpeeds(float shell, float shadowBall) = 0;
    virtual void SetCheckpointBonuses(int32_t simultaneous, int32_t energy, float time) = 0;
    // Whether the shell is active and the landing block still closed.
    virtual bool ClosedShellUnderBall() const = 0;

    // Field.
    // A fixed shape, or a random fill when shape is -1.
    virtual void SetUpField(int32_t shape) = 0;
    virtual void ApplyOnload(int32_t gameBorder, int32_t background, int32_t ball) = 0;
    // The crazy level's turn counter: blocks not yet showing the crazy colour.
    virtual int32_t CrazyBlocksToTurn() const = 0;
    virtual void CrazyNewTurn(int32_t colours) = 0;
    virtual void CrazyPhaseAnim() = 0;
    virtual void CrazyPhaseStep(int32_t cell) = 0;
    // Starts the superbonus effect of the group; false while one still runs,
    // so that the group is scored the normal way.
    virtual bool StartSuperbonus(int32_t group) = 0;

    // Board widget and HUD panel.
    virtual void SetBoardActive(bool active) = 0;
    virtual void SetBoardBusy(bool busy) = 0;
    // After a reload: the board's flags set again and its overlay played.
    virtual void RestartBoard() = 0;
    // A level that starts without a reload: the board, faded out for the
    // request, shows the field again.
    virtual void ShowBoard() = 0;
    // The ball is aimed at the cell it stands on.
    virtual void CenterBoardOnField() = 0;
    // A level starts on the panel: the layout of the game mode (1 basic, 2 score), the undo button
    // on puzzle levels, the centre area off.
    virtual void SetPanelLayout(int32_t mode, bool undoButton) = 0;
    virtual void SetPanelLabels(int32_t stage, int32_t level) = 0;
    virtual void SetPanelScore(int32_t score) = 0;
    virtual void SetPanelCompletion(int32_t percent) = 0;
    // The energy bar in percent; immediate jumps, else it counts at speed.
    virtual void SetPanelEnergy(int32_t percent, bool immediate, float speed) = 0;
    virtual void SlidePanel(bool on) = 0;
    virtual void HidePanelNow() = 0;
    virtual void ShowPanelPiece(bool on) = 0;
    // The superbonus was awarded: the panel's piece fades out and a new one is picked and fades in.
    virtual void ChangePanelPiece() = 0;
    virtual void PlaySample(int32_t sample) = 0;
    // Writes the profiles and the hiscore tables.
    virtual void SaveFiles() = 0;
};
