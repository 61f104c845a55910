#pragma once

#include <cstdint>

// One level of the levels file. Its lists lie in the table's value pool in the
// order superbonus pieces (2 values each), checkpoints (9 each), bonus amounts
// (8, only with bonuses), match list (2 each), field contents (1 each).
struct LevelRecord {
    // "initial_energy": -1 when missing.
    int32_t mInitialEnergy = -1;
    int32_t mPointsToComplete = 0;
    float mPointsDecreaseSpeed = 0.0f;
    int32_t mStartPoints = 0;
    int32_t mFirstPiece = 0;
    int32_t mPieceCount = 0;
    int32_t mFirstCheckpoint = 0;
    int32_t mCheckpointCount = 0;
    int32_t mMatchCount = 0;
    int32_t mHasBonuses = 0;
    float mGenerationSpeedMin = 0.0f;
    float mGenerationSpeedMax = 0.0f;
    float mShellActionSpeed = 0.0f;
    float mShadowBallActionSpeed = 0.0f;
    // "do_generation": 0 points goal, 1 field goal (puzzle), 2 crazy level.
    int32_t mLevelType = 0;
    int32_t mSwitchSide = 0;
    int32_t mShiftSide = 0;
    int32_t mFirstContent = 0;
    int32_t mContentCount = 0;
    int32_t mMajorColourPercent = 50;
    // "do_scoring": 1 the completion follows the field, 0 the points.
    int32_t mScoringMode = 0;
    int32_t mBallColumn = 0;
    int32_t mBallRow = 0;
    int32_t mFirstCommand = 0;
    int32_t mCommandCount = 0;

    static constexpr int32_t kCheckpointValues = 9;
    static constexpr int32_t kBonusValues = 8;
    static constexpr int32_t kFullEnergy = 1000;

    // The energy a map game's level begins with.
    int32_t StartEnergy() const { return mInitialEnergy == -1 ? kFullEnergy : mInitialEnergy; }

    int32_t FirstBonusAmount() const { return mFirstCheckpoint + mCheckpointCount * kCheckpointValues; }
    int32_t FirstMatch() const { return FirstBonusAmount() + (mHasBonuses ? kBonusValues : 0); }
};

// The values of one checkpoint as they lie in the pool.
struct Checkpoint {
    int32_t mBlockTypes = 0;
    int32_t mMaxGroups = 0;
    int32_t mMinGroups = 0;
    int32_t mMaxGroupSize = 0;
    int32_t mTurns = 0;
    int32_t mDamage = 0;
    int32_t mSimultaneousBonuses = 0;
    int32_t mBonusEnergy = 0;
    float mBonusTime = 0.0f;
};
