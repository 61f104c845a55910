#pragma once

#include <cstdint>
#include <string>

class CAnimTrack;

// What the game processor asks of the screen that hosts the field: the board
// widget's input and view, the HUD panel's displays and the window system's
// names.
class CBoardHost {
public:
    virtual ~CBoardHost() = default;

    // Pointer off the field, input locked, field inactive, pending click dropped.
    virtual void PutToRest() = 0;
    // Input unlocked and the field active again.
    virtual void ResumePlay() = 0;
    // The cell under the pointer; false when the pointer is not over the field.
    virtual bool PointerCell(int32_t* column, int32_t* row) const = 0;
    virtual void CenterOnField() = 0;
    // The undo has set the ball down on the field's first cell: its bounces
    // there play no move until the player's next jump.
    virtual void BallSetDown() = 0;
    // Writes the prefix and the counts of running track instances to the log.
    virtual void LogInstanceStats(const char* prefix) = 0;

    // The panel's completion value (0 to 100) on a level scored by the field.
    virtual void SetCompletion(int32_t percent) = 0;
    // The panel's hazard warnings: 0 the time, 1 the energy; null for none.
    virtual void SetHazardTrack(int32_t hazard, CAnimTrack* track) = 0;
    // The undo has ended: the panel's undo button is free again.
    virtual void UndoFinished() = 0;
    // The panel's fades of its superbonus piece, out or in; null when missing.
    virtual CAnimTrack* PanelPieceTrack(bool show) const = 0;
    // 0 the piece at rest, 1 the old piece fading out, 2 the new one fading in.
    virtual void SetPanelPieceDisplay(int32_t display) = 0;

    // Entry index of the window system's "combonames" list.
    virtual std::string ComboName(int32_t index) const = 0;
};
