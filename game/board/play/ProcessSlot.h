#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// What a process of the game processor does; its follow-up runs when the
// process's track finishes.
enum ProcessKind : int32_t {
    kProcessCellHover = 1,
    kProcessBlockBump = 2,
    kProcessLinePlacement = 3,
    kProcessBlockFall = 4,
    kProcessLineStart = 5,
    kProcessBlockRemoval = 6,
    kProcessBonusTimer = 7,
    kProcessBonusFade = 8,
    kProcessBonusLifetime = 9,
    kProcessSniper = 10,
    kProcessRandomizeRing = 11,
    kProcessRandomizeColours = 12,
    kProcessShadowBall = 13,
    kProcessShell = 14,
    kProcessShellFrame = 15,
    kProcessPowerBall = 16,
    kProcessBomb = 17,
    kProcessTimeBonus = 18,
    kProcessSuperBonus = 19,
    kProcessHidePanelPiece = 20,
    kProcessShowPanelPiece = 21,
    kProcessIntroOutro = 22,
    kProcessFinalOutro = 23,
    kProcessComboWindow = 24,
    kProcessHazardCheck = 25,
    kProcessScorePopup = 26,
    kProcessBonusBanner = 27,
    kProcessCrazyLevel = 28,
    kProcessDelay = 29,
    kProcessTimeWarning = 30,
    kProcessEnergyWarning = 31,
    kProcessHazardBall = 32,
    kProcessArrows = 33,
    kProcessUndo = 34,
    kProcessPhaseHold = 35,
    kProcessFree = 36,
};

// One running process: word 1 is its kind, words 2 to 5 are the starter's
// (objects the process works on, a second track, a count or a value).
struct ProcessSlot {
    int32_t mKind = kProcessFree;
    std::array<intptr_t, 4> mWords{};

    // Word n, 2 to 5.
    intptr_t Word(int32_t n) const { return mWords[std::size_t(n - 2)]; }
    void SetWord(int32_t n, intptr_t value) { mWords[std::size_t(n - 2)] = value; }
    template <typename T>
    T* Object(int32_t n) const
    {
        return reinterpret_cast<T*>(Word(n));
    }
    template <typename T>
    void SetObject(int32_t n, T* object)
    {
        SetWord(n, reinterpret_cast<intptr_t>(object));
    }
};
