#pragma once

#include <cstdint>

// What the game processor asks of the level in play: its points, combos,
// hazards, the phases of its start and end, and the handing over when the
// field settles or a state's delay ends.
class CLevelFlow {
public:
    virtual ~CLevelFlow() = default;

    // 1 the level-map game, 2 the endless game.
    virtual int32_t GameMode() const = 0;
    // "do_scoring": 1 the completion follows the field, 0 the points.
    virtual int32_t ScoringMode() const = 0;
    virtual int32_t Points() const = 0;
    virtual void SetPoints(int32_t points) = 0;
    virtual void UpdateProgressBar() = 0;
    // Marks the level's values as changed for the panel and the end test.
    virtual void SetChanged() = 0;

    // Scores the pending combo and returns its level, 0 (none) to 4.
    virtual int32_t ApplyCombo() = 0;
    // The points of a combo level from the level's combo table.
    virtual int32_t ComboValue(int32_t level) const = 0;
    // 0x1 time, 0x2 energy; false when no level watches them.
    virtual bool GetHazardFlags(int32_t* flags) = 0;
    // The next superbonus piece, once the panel has faded the old one out.
    virtual void PickSuperbonusPiece() = 0;

    // A field step has settled.
    virtual void OnFieldSettled() = 0;
    // The delay of a state switch has ended with no busy process left.
    virtual void HandleState() = 0;

    virtual void StartIntro(int32_t variant) = 0;
    virtual void StartOutro(int32_t variant) = 0;
    virtual void StartFinalOutro() = 0;
};
