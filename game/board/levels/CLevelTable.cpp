#include "game/board/levels/CLevelTable.h"

#include "framework/core/AppLog.h"
#include "game/board/field/CFieldBase.h"
#include "game/board/levels/LevelCommands.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"
#include "game/data/pictures/CPieceBase.h"

#include <tinyxml.h>

namespace {

// Bounds of the file's numbers: points a level gives or asks for, counts of
// groups, turns, blocks and bonuses, and the level kinds.
constexpr int32_t kMaxPoints = 1'000'000;
constexpr int32_t kMaxCount = 10'000;
constexpr int32_t kMaxLevelType = 4;

void LogError(const char* text) { Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", text); }

int32_t Points(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, 0, 0, kMaxPoints);
}

int32_t Count(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, 0, 0, kMaxCount);
}

// A switch or kind numbered 0 to most.
int32_t Flag(const TiXmlElement* element, const char* name, int32_t most)
{
    return XmlRangedAttribute(element, name, 0, 0, most);
}

float Speed(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, 0.0f, 0.0f, kMaxSpeed);
}

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
        mDefaults.mSwitchSide = Count(defaults, "do_switchside");
        mDefaults.mPreventAutoCombo = Flag(defaults, "do_preventautocombo", 1);
        mDefaults.mAntiComboSwitch = Flag(defaults, "do_anticomboswitch", 1);
        mDefaults.mGenerationsPerTurn = Count(defaults, "generations_per_turn");
        mDefaults.mCheckPieceColour = Flag(defaults, "do_checkpiececolor", 1) == 1;
        mDefaults.mTestPlayMusic = Flag(defaults, "test_playmusic", 1);
    }
    if (const TiXmlElement* combos = root->FirstChildElement("combos")) {
        mCombos.mMatch2 = Points(combos, "match2");
        mCombos.mMatch3 = Points(combos, "match3");
        mCombos.mMatch4 = Points(combos, "match4");
        mCombos.mSupercombo = Points(combos, "supercombo");
        mCombos.mComboSpeed = Speed(combos, "combospeed");
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
    level.mInitialEnergy = XmlRangedAttribute(element, "initial_energy", -1, -1, LevelRecord::kFullEnergy);
    level.mPointsToComplete = Points(element, "points_to_complete");
    level.mPointsDecreaseSpeed = Speed(element, "points_decrease_speed");
    level.mStartPoints = Points(element, "start_points");
    level.mLevelType = Flag(element, "do_generation", kMaxLevelType);
    level.mSwitchSide = XmlRangedAttribute(element, "do_switchside", mDefaults.mSwitchSide, 0, kMaxCount);
    level.mShiftSide = Flag(element, "set_shiftside", 3);
    level.mMajorColourPercent = XmlRangedAttribute(element, "major_color_perc", 50, 0, 100);
    level.mScoringMode = Count(element, "do_scoring");
    level.mShellActionSpeed = Speed(element, "bonus_shell_actionspeed");
    level.mShadowBallActionSpeed = Speed(element, "bonus_shadowball_actionspeed");
    int column = 0;
    int row = 0;
    if (const char* position = element->Attribute("ball_position")) {
        ParsePoint(position, &column, &row);
        if (!XmlValueInRange(element, "ball_position", column, 0, kMaxCount) ||
            !XmlValueInRange(element, "ball_position", row, 0, kMaxCount))
            column = row = 0;
    }
    level.mBallColumn = column;
    level.mBallRow = row;

    level.mFirstCommand = int32_t(mCommandWords.size());
    ForEachChild(element, "commands", "cmd", [&](const TiXmlElement* cmd) {
        if (AppendLevelCommand(mCommandWords, cmd))
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
        AppendInt(Points(piece, "points"));
        ++level.mPieceCount;
    });

    level.mFirstCheckpoint = int32_t(mPool.size());
    ForEachChild(element, "checkpoints", "checkpoint", [&](const TiXmlElement* checkpoint) {
        for (const char* name : {"blocktypes", "maxgroups", "mingroups", "maxgroupsize", "turns", "damage",
                                 "simultaneous_bonuscount", "bonus_energy"})
            AppendInt(Count(checkpoint, name));
        AppendFloat(XmlRangedAttribute(checkpoint, "bonus_time", 0.0f, 0.0f, kMaxMagnitude));
        ++level.mCheckpointCount;
    });
    // Without a checkpoint the level would play with no colours, groups or damage.
    if (level.mCheckpointCount == 0) {
        LogError("ERROR LevelController::LoadFromXml - no checkpoints");
        return false;
    }

    if (const TiXmlElement* bonuses = element->FirstChildElement("bonuses")) {
        level.mHasBonuses = 1;
        level.mGenerationSpeedMin = Speed(bonuses, "generation_speed_min");
        level.mGenerationSpeedMax = Speed(bonuses, "generation_speed_max");
        int32_t amounts = 0;
        for (const TiXmlElement* bonus = bonuses->FirstChildElement(); bonus; bonus = bonus->NextSiblingElement()) {
            AppendInt(Count(bonus, "amount"));
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
        AppendInt(Count(match, "count"));
        AppendInt(Points(match, "points"));
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
