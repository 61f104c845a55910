#pragma once

#include "game/board/levels/LevelRecord.h"
#include "game/data/TypedValue.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CFieldBase;
class CPieceBase;
class TiXmlElement;

// The "defaults" element of the levels file.
struct LevelDefaults {
    int32_t mSwitchSide = 0;
    int32_t mPreventAutoCombo = 0;
    int32_t mAntiComboSwitch = 0;
    int32_t mGenerationsPerTurn = 0;
    bool mCheckPieceColour = false;
    int32_t mTestPlayMusic = 0;
};

// The "combos" element: the points of combo levels 2x, 3x, 4x and the supercombo.
struct ComboPoints {
    int32_t mMatch2 = 0;
    int32_t mMatch3 = 0;
    int32_t mMatch4 = 0;
    int32_t mSupercombo = 0;
    float mComboSpeed = 0.0f;
};

// Every level definition of the levels file: the records, one flat value pool
// for their lists, the command words and the names.
class CLevelTable {
public:
    // Reads the whole file; false when it gives no playable level. The level
    // commands must be registered first.
    bool LoadFromXml(const TiXmlElement* root, const CPieceBase& pieces, const CFieldBase& shapes);

    bool FindLevel(const std::string& name, int32_t* index) const;
    // The name that leads to the level; empty when none does (a repeated name leads to its last level).
    std::string LevelName(int32_t index) const;
    const std::vector<LevelRecord>& Levels() const { return mLevels; }
    const LevelRecord& Level(int32_t index) const { return mLevels[size_t(index)]; }
    const std::vector<TypedValue>& Pool() const { return mPool; }
    const std::vector<uint32_t>& CommandWords() const { return mCommandWords; }
    const LevelDefaults& Defaults() const { return mDefaults; }
    const ComboPoints& Combos() const { return mCombos; }

    int32_t PoolInt(int32_t at) const { return ValueAsInt(mPool[size_t(at)]); }
    float PoolFloat(int32_t at) const { return float(ValueAsDouble(mPool[size_t(at)])); }
    Checkpoint CheckpointOf(const LevelRecord& level, int32_t k) const;
    int32_t BonusAmount(const LevelRecord& level, int32_t bonus) const { return PoolInt(level.FirstBonusAmount() + bonus); }
    // Entry k of the match list: {count, points}.
    int32_t MatchCount(const LevelRecord& level, int32_t k) const { return PoolInt(level.FirstMatch() + 2 * k); }
    int32_t MatchPoints(const LevelRecord& level, int32_t k) const { return PoolInt(level.FirstMatch() + 2 * k + 1); }
    int32_t ContentShape(const LevelRecord& level, int32_t k) const
    {
        return PoolInt(level.mFirstContent + k);
    }
    int32_t PieceIndex(const LevelRecord& level, int32_t k) const { return PoolInt(level.mFirstPiece + 2 * k); }
    int32_t PiecePoints(const LevelRecord& level, int32_t k) const { return PoolInt(level.mFirstPiece + 2 * k + 1); }

private:
    bool ReadLevel(const TiXmlElement* element, const CPieceBase& pieces, const CFieldBase& shapes, LevelRecord& level);
    void AppendInt(int32_t value);
    void AppendFloat(float value);

    LevelDefaults mDefaults;
    ComboPoints mCombos;
    std::vector<LevelRecord> mLevels;
    std::vector<TypedValue> mPool;
    std::vector<uint32_t> mCommandWords;
    std::unordered_map<std::string, int32_t> mNames;
};
