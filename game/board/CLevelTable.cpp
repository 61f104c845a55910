#include "game/board/CLevelTable.h"

#include "framework/core/AppLog.h"
#include "game/board/CFieldBase.h"
#include "game/board/LevelCommands.h"
#include "game/data/CPieceBase.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"

#include <tinyxml.h>

namespace {

void LogError(const char* text) { Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", text); }

template <typename Visit>
void ForEachChild(const TiXmlElement* parent, const char* name, const char* childName, Visit visit)
{
    const TiXmlElement* list = parent->FirstChildElement(name);
    if (!list)
        return;
    for (const TiXmlElement* child = list->FirstChildElement(childName); child;
         child = child->NextSiblingElement(childName))
        visit(child);
}

} // namespace

bool CLevelTable::LoadFromXml(const TiXmlElement* root, const CPieceBase& pieces, const CFieldBase& shapes)
{
    mLevels.clear();
    mPool.clear();
    mCommandWords.clear();
    mNames.clear();
    if (!root) {
        LogError("ERROR LevelController::LoadFromXml - no levels");
        return false;
    }
    if (const TiXmlElement* defaults = root->FirstChildElement("defaults")) {
        mDefaults.mSwitchSide = XmlIntAttribute(defaults, "do_switchside", 0);
        mDefaults.mPreventAutoCombo = XmlIntAttribute(defaults, "do_preventautocombo", 0);
        mDefaults.mAntiComboSwitch = XmlIntAttribute(defaults, "do_anticomboswitch", 0);
        mDefaults.mGenerationsPerTurn = XmlIntAttribute(defaults, "generations_per_turn", 0);
        mDefaults.mCheckPieceColour = XmlIntAttribute(defaults, "do_checkpiececolor", 0) == 1;
        mDefaults.mTestPlayMusic = XmlIntAttribute(defaults, "test_playmusic", 0);
    }
    if (const TiXmlElement* combos = root->FirstChildElement("combos")) {
        mCombos.mMatch2 = XmlIntAttribute(combos, "match2", 0);
        mCombos.mMatch3 = XmlIntAttribute(combos, "match3", 0);
        mCombos.mMatch4 = XmlIntAttribute(combos, "match4", 0);
        mCombos.mSupercombo = XmlIntAttribute(combos, "supercombo", 0);
        mCombos.mComboSpeed = XmlFloatAttribute(combos, "combospeed", 0.0f);
    }

    // Reserve every list first so that the records' lists never move while filling.
    size_t levels = 0;
    size_t values = 0;
    size_t words = 0;
    for (const TiXmlElement* level = root->FirstChildElement("level"); level;
         level = level->NextSiblingElement("level")) {
        ++levels;
        ForEachChild(level, "superbonus_pieces", "piece", [&](const TiXmlElement*) { values += 2; });
        ForEachChild(level, "checkpoints", "checkpoint", [&](const TiXmlElement*) { values += 9; });
        ForEachChild(level, "match", "match", [&](const TiXmlElement*) { values += 2; });
        ForEachChild(level, "fieldcontent", "content", [&](const TiXmlElement*) { values += 1; });
        if (level->FirstChildElement("bonuses"))
            values += LevelRecord::kBonusValues;
        ForEachChild(level, "commands", "cmd", [&](const TiXmlElement* cmd) {
            words += 1 + size_t(CountTokens(XmlTextAttribute(cmd, "params")));
        });
    }
    mLevels.reserve(levels);
    mPool.reserve(values);
    mCommandWords.reserve(words);

    for (const TiXmlElement* element = root->FirstChildElement("level"); element;
         element = element->NextSiblingElement("level")) {
        const size_t poolSize = mPool.size();
        const size_t wordCount = mCommandWords.size();
        LevelRecord level;
        if (!ReadLevel(element, pieces, shapes, level)) {
            mPool.resize(poolSize);
            mCommandWords.resize(wordCount);
            continue;
        }
        mNames[XmlTextAttribute(element, "name")] = int32_t(mLevels.size());
        mLevels.push_back(level);
    }
    if (mLevels.empty()) {
        LogError("ERROR LevelController::LoadFromXml - no levels");
        return false;
    }
    return true;
}

bool CLevelTable::ReadLevel(const TiXmlElement* element, const CPieceBase& pieces, const CFieldBase& shapes,
                            LevelRecord& level)
{
    level.mInitialEnergy = XmlIntAttribute(element, "initial_energy", -1);
    level.mPointsToComplete = XmlIntAttribute(element, "points_to_complete", 0);
    level.mPointsDecreaseSpeed = XmlFloatAttribute(element, "points_decrease_speed", 0.0f);
    level.mStartPoints = XmlIntAttribute(element, "start_points", 0);
    level.mLevelType = XmlIntAttribute(element, "do_generation", 0);
    level.mSwitchSide = XmlIntAttribute(element, "do_switchside", mDefaults.mSwitchSide);
    level.mShiftSide = XmlIntAttribute(element, "set_shiftside", 0);
    level.mMajorColourPercent = XmlIntAttribute(element, "major_color_perc", 50);
    level.mScoringMode = XmlIntAttribute(element, "do_scoring", 0);
    level.mShellActionSpeed = XmlFloatAttribute(element, "bonus_shell_actionspeed", 0.0f);
    level.mShadowBallActionSpeed = XmlFloatAttribute(element, "bonus_shadowball_actionspeed", 0.0f);
    int column = 0;
    int row = 0;
    if (const char* position = element->Attribute("ball_position"))
        ParsePoint(position, &column, &row);
    level.mBallColumn = column;
    level.mBallRow = row;

    level.mFirstCommand = int32_t(mCommandWords.size());
    ForEachChild(element, "commands", "cmd", [&](const TiXmlElement* cmd) {
        if (AppendLevelCommand(mCommandWords, XmlTextAttribute(cmd, "name"), XmlTextAttribute(cmd, "params")))
            ++level.mCommandCount;
    });

    level.mFirstPiece = int32_t(mPool.size());
    ForEachChild(element, "superbonus_pieces", "piece", [&](const TiXmlElement* piece) {
        int32_t index = 0;
        if (!pieces.FindPiece(XmlTextAttribute(piece, "src"), &index)) {
            LogError("ERROR CLevelController - bad piece");
            return;
        }
        AppendInt(index);
        AppendInt(XmlIntAttribute(piece, "points", 0));
        ++level.mPieceCount;
    });

    level.mFirstCheckpoint = int32_t(mPool.size());
    ForEachChild(element, "checkpoints", "checkpoint", [&](const TiXmlElement* checkpoint) {
        for (const char* name : {"blocktypes", "maxgroups", "mingroups", "maxgroupsize", "turns", "damage",
                                 "simultaneous_bonuscount", "bonus_energy"})
            AppendInt(XmlIntAttribute(checkpoint, name, 0));
        AppendFloat(XmlFloatAttribute(checkpoint, "bonus_time", 0.0f));
        ++level.mCheckpointCount;
    });
    // Without a checkpoint the level would play with no colours, groups or damage.
    if (level.mCheckpointCount == 0) {
        LogError("ERROR LevelController::LoadFromXml - no checkpoints");
        return false;
    }

    if (const TiXmlElement* bonuses = element->FirstChildElement("bonuses")) {
        level.mHasBonuses = 1;
        level.mGenerationSpeedMin = XmlFloatAttribute(bonuses, "generation_speed_min", 0.0f);
        level.mGenerationSpeedMax = XmlFloatAttribute(bonuses, "generation_speed_max", 0.0f);
        int32_t amounts = 0;
        for (const TiXmlElement* bonus = bonuses->FirstChildElement(); bonus; bonus = bonus->NextSiblingElement()) {
            AppendInt(XmlIntAttribute(bonus, "amount", 0));
            ++amounts;
        }
        if (amounts != LevelRecord::kBonusValues) {
            LogError("ERROR LevelController::LoadFromXml - bad bonus count");
            return false;
        }
    }

    if (!element->FirstChildElement("match")) {
        LogError("ERROR LevelController::LoadFromXml - no match-list");
        return false;
    }
    ForEachChild(element, "match", "match", [&](const TiXmlElement* match) {
        AppendInt(XmlIntAttribute(match, "count", 0));
        AppendInt(XmlIntAttribute(match, "points", 0));
        ++level.mMatchCount;
    });

    level.mFirstContent = int32_t(mPool.size());
    ForEachChild(element, "fieldcontent", "content", [&](const TiXmlElement* content) {
        int32_t index = 0;
        if (!shapes.FindShape(XmlTextAttribute(content, "src"), &index))
            return;
        AppendInt(index);
        ++level.mContentCount;
    });
    return true;
}

bool CLevelTable::FindLevel(const std::string& name, int32_t* index) const
{
    const auto found = mNames.find(name);
    if (found == mNames.end())
        return false;
    *index = found->second;
    return true;
}

std::string CLevelTable::LevelName(int32_t index) const
{
    for (const auto& [name, level] : mNames) {
        if (level == index)
            return name;
    }
    return {};
}

Checkpoint CLevelTable::CheckpointOf(const LevelRecord& level, int32_t k) const
{
    const int32_t at = level.mFirstCheckpoint + k * LevelRecord::kCheckpointValues;
    Checkpoint checkpoint;
    checkpoint.mBlockTypes = PoolInt(at);
    checkpoint.mMaxGroups = PoolInt(at + 1);
    checkpoint.mMinGroups = PoolInt(at + 2);
    checkpoint.mMaxGroupSize = PoolInt(at + 3);
    checkpoint.mTurns = PoolInt(at + 4);
    checkpoint.mDamage = PoolInt(at + 5);
    checkpoint.mSimultaneousBonuses = PoolInt(at + 6);
    checkpoint.mBonusEnergy = PoolInt(at + 7);
    checkpoint.mBonusTime = PoolFloat(at + 8);
    return checkpoint;
}

void CLevelTable::AppendInt(int32_t value)
{
    TypedValue typed;
    typed.Store(TypedValue::kInt32, value);
    mPool.push_back(typed);
}

void CLevelTable::AppendFloat(float value)
{
    TypedValue typed;
    typed.Store(TypedValue::kFloat, value);
    mPool.push_back(typed);
}
