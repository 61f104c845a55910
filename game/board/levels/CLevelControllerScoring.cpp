#include "framework/core/AppLog.h"
#include "framework/core/RuntimeRandom.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/board/levels/CLevelHost.h"
#include "game/data/CGameConfig.h"
#include "game/data/pictures/CPieceBase.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"

#include <algorithm>

namespace {

constexpr int32_t kSuperbonusSample = 2;

// A running total with points added, held to the range a saved record keeps:
// a saved total near its end and a long game would overflow it.
int32_t Plus(int32_t total, int32_t points)
{
    return int32_t(std::clamp<int64_t>(int64_t(total) + points, -CUserProfile::kMaxPoints, CUserProfile::kMaxPoints));
}

} // namespace

void CLevelController::CheckLevelEnd()
{
    if (mState != kPlaying || !mLevel)
        return;
    int32_t state = kPlaying;
    const bool noGroupLeft = mGrid.MatchedGroups() == 0;
    switch (mLevel->mLevelType) {
    case 0:
        if (mLevelPoints >= mLevel->mPointsToComplete)
            state = kCompleted;
        else if ((mLevelPoints < 1 && mDrain) || noGroupLeft)
            state = kFailed;
        break;
    case 1:
        state = PuzzleSolved() ? kCompleted : noGroupLeft ? kFailed : kPlaying;
        break;
    case 2:
        if (mHost.CrazyBlocksToTurn() < 1)
            state = kCompleted;
        break;
    default:
        break;
    }
    if (state == kPlaying && mEnergy < 1)
        state = kFailed;
    if (state == kPlaying) {
        // The flags are read only once the test has written them.
        int32_t flags = 0;
        const bool hazard = GetHazardFlags(&flags);
        mHost.SetHazards(hazard, flags);
    } else {
        mState = state;
        mHost.SetProcessorState(state);
        if (state == kCompleted) {
            mFollowing = FollowingPosition();
            mWholeGameUncounted = mGameMode == 1 && mPosition + 1 >= mGraphs.GraphAt(mGraph).mEntryCount;
        }
        if (state == kFailed) {
            ShowEnergy();
            const std::string name = mProfiles.CurrentName();
            int32_t rank = 0;
            if (mGameMode == 2) {
                mHiscoreQualified = mHiscores.FindRank(1, mScore, &rank, name.c_str());
                if (mHiscoreQualified)
                    mHiscores.Insert(name.c_str(), mScore);
            } else {
                // The life goes with the level: a close before the window that
                // tells of it saves the game without it.
                --mLives;
                if (mLives < 0) {
                    mHiscoreQualified = mHiscores.FindRank(0, mScore, &rank, name.c_str());
                    if (mHiscoreQualified)
                        mHiscores.InsertWithExtra(name.c_str(), mScore, GetResultIndex());
                }
            }
        }
    }
    mChanged = false;
}

bool CLevelController::PuzzleSolved() const
{
    return mGrid.ColourHistogram(mReservedColour) == mGrid.CellCount();
}

bool CLevelController::GetHazardFlags(int32_t* flags)
{
    *flags = 0;
    if (mDrain && mLevelPoints < mTimeHazard)
        *flags |= 1;
    if (mEnergy < CGameConfig::live.onEnergyValueLessThan)
        *flags |= 2;
    return *flags != 0;
}

void CLevelController::OnBallLanded(bool countTurn, bool bonusFired, int32_t* taken)
{
    *taken = 0;
    int32_t column = 0;
    int32_t row = 0;
    mHost.BallCell(&column, &row);
    // A crazy block turns at every landing, bounces at rest included: waiting on a block is how it reaches
    // the level's colour. Elsewhere only the end of a jump is a move of the player, so only that can miss.
    if (mLevel->mLevelType == 2) {
        mHost.CrazyPhaseStep(row * mGrid.Width() + column);
    } else {
        if (!mHost.BlockMovesPending()) {
            const uint32_t cell = mGrid.Cell(column, row);
            const int32_t group = CCellGrid::GroupOf(cell);
            const bool matchable = CCellGrid::IsOccupied(cell) && group < mGrid.GroupIdCounter() &&
                                   mGrid.Group(group).Count() >= mGrid.MatchCount();
            if (matchable && CCellGrid::ColourOf(cell) != mReservedColour) {
                if (mLevel->mLevelType == 1)
                    mHost.SetArrows(false, false, false, true, false);
                *taken = mGrid.Group(group).Count();
                if (!TestSuperbonusShape(group))
                    mHost.ProcessGroup(group);
            }
        }
        if (mLevel->mLevelType == 1) {
            if (*taken > 0)
                mChanged = true;
        } else if (*taken >= 1) {
            const int32_t points = MatchPoints(*taken);
            AddPoints(points);
            ++mComboCount;
            mHost.ShowPopup(0, points);
        } else if (countTurn && !bonusFired && !mHost.ClosedShellUnderBall()) {
            AddEnergy(*this, -mDamage, false);
            mHost.StartHazardBall();
        }
    }
    if (countTurn) {
        ++mProgress;
        ++mCheckpointTurns;
        if (mCheckpointTurns >= mTurnLimit && mCheckpoint + 1 < mLevel->mCheckpointCount) {
            ApplyCheckpoint(mCheckpoint + 1);
            mCheckpointTurns = 0;
        }
    }
}

void CLevelController::OnFieldSettled()
{
    if (mLevel && mLevel->mLevelType == 1 && mState == kPlaying)
        mHost.SetArrows(false, false, false, false, true);
}

void CLevelController::AddPoints(int32_t points)
{
    mScore = Plus(mScore, points);
    mLevelPoints = Plus(mLevelPoints, points);
    mLevelGain = Plus(mLevelGain, points);
    UpdateProgressBar();
    mChanged = true;
}

int32_t CLevelController::ApplyCombo()
{
    if (mComboCount <= 1) {
        mComboCount = 0;
        return 0;
    }
    const int32_t count = std::min(mComboCount, 5);
    const int32_t value = ComboValue(count - 1);
    mScore = Plus(mScore, value);
    mLevelPoints = Plus(mLevelPoints, value);
    mLevelGain = Plus(mLevelGain, value);
    if (count == 5)
        mSupercomboPoints = Plus(mSupercomboPoints, value);
    else
        mComboPoints = Plus(mComboPoints, value);
    UpdateProgressBar();
    // A combo may carry the level past its goal: the end test runs.
    mChanged = true;
    mComboCount = 0;
    return count - 1;
}

int32_t CLevelController::ComboValue(int32_t level) const
{
    const ComboPoints& combos = mTable.Combos();
    switch (level) {
    case 1:
        return combos.mMatch2;
    case 2:
        return combos.mMatch3;
    case 3:
        return combos.mMatch4;
    case 4:
        return combos.mSupercombo;
    default:
        return 0;
    }
}

int32_t CLevelController::MatchPoints(int32_t count) const
{
    const auto found = mMatches.find(count);
    return found == mMatches.end() ? mHighestMatch : found->second;
}

void CLevelController::SetMatch(int32_t count, int32_t points)
{
    mMatches[count] = points;
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Set match[%d]=%d == %d", count, points,
                                        mMatches[count]);
}

void CLevelController::UpdateProgressBar()
{
    mHost.SetPanelScore(mScore);
    if (!mLevel || mLevel->mScoringMode != 0)
        return;
    // A level without a points goal shows its bar full instead of dividing by it. Saved points far below 0
    // leave many goals to go: counted wide, and the bar shows no less than empty.
    const int32_t goal = mLevel->mPointsToComplete;
    const int64_t left = std::max<int64_t>(0, int64_t(goal) - mLevelPoints);
    mHost.SetPanelCompletion(goal > 0 ? int32_t(std::max<int64_t>(0, 100 - left * 100 / goal)) : 100);
}

void CLevelController::ShowEnergy() { ShowEnergy(mEnergy / 10, true, 0.0f); }

void CLevelController::ShowEnergy(int32_t percent, bool immediate, float speed)
{
    mHost.SetPanelEnergy(percent, immediate, speed);
}

void CLevelController::PickSuperbonusPiece()
{
    mPieceActive = mLevel && mLevel->mPieceCount > 0 && mColourCount > 0;
    if (mPieceActive) {
        const int32_t r = Lumo::Rand() % mLevel->mPieceCount;
        mPiece = mTable.PieceIndex(*mLevel, r);
        mPiecePoints = mTable.PiecePoints(*mLevel, r);
        mPieceColour = Lumo::Rand() % mColourCount;
        if (mPieces.Image())
            mPieces.DrawSprite(mPiece, mPieceColour);
    }
    mHost.ShowPanelPiece(mPieceActive);
}

bool CLevelController::TestSuperbonusShape(int32_t group)
{
    if (!mPieceActive)
        return false;
    const std::vector<int32_t>& members = mGrid.Group(group).mMembers;
    if (members.empty())
        return false;
    const int32_t colour = CCellGrid::ColourOf(mGrid.Cell(members.front()));
    if (mTable.Defaults().mCheckPieceColour && colour != mPieceColour)
        return false;
    const CPiece& piece = mPieces.Pieces()[size_t(mPiece)];
    if (int32_t(members.size()) != piece.mCellCount)
        return false;
    const int32_t width = mGrid.Width();
    int32_t left = width;
    int32_t top = mGrid.Height();
    for (const int32_t cell : members) {
        left = std::min(left, cell % width);
        top = std::min(top, cell / width);
    }
    uint32_t mask = 0;
    for (const int32_t cell : members) {
        const int32_t dx = cell % width - left;
        const int32_t dy = cell / width - top;
        if (dx > 3 || dy > 3)
            return false;
        mask |= 1u << (dx + 4 * dy);
    }
    const uint16_t turns[4] = {piece.mMask, piece.mRotations[0], piece.mRotations[1], piece.mRotations[2]};
    if (std::find(std::begin(turns), std::end(turns), uint16_t(mask)) == std::end(turns))
        return false;
    if (!mHost.StartSuperbonus(group))
        return false;
    mScore = Plus(mScore, mPiecePoints);
    mLevelPoints = Plus(mLevelPoints, mPiecePoints);
    mLevelGain = Plus(mLevelGain, mPiecePoints);
    UpdateProgressBar();
    mHost.PlaySample(kSuperbonusSample);
    mHost.ShowPopup(-1, mPiecePoints);
    mHost.ChangePanelPiece();
    return true;
}

void CLevelController::ApplyCheckpoint(int32_t k)
{
    if (!mLevel || k >= mLevel->mCheckpointCount)
        return;
    mCheckpoint = k;
    const Checkpoint checkpoint = mTable.CheckpointOf(*mLevel, k);
    CGridParameters parameters;
    parameters.mBlockTypes = checkpoint.mBlockTypes;
    parameters.mMaxGroups = checkpoint.mMaxGroups;
    parameters.mMinGroups = checkpoint.mMinGroups;
    parameters.mGenerationsPerTurn = mActive.mGenerationsPerTurn;
    parameters.mSwitchSide = mActive.mSwitchSide;
    parameters.mPreventAutoCombo = mActive.mPreventAutoCombo;
    parameters.mAntiCombo = mActive.mAntiComboSwitch;
    parameters.mMaxGroupSize = checkpoint.mMaxGroupSize;
    parameters.mGenerationMode = mLevel->mLevelType;
    parameters.mMajorColourPercent = mLevel->mMajorColourPercent;
    mGrid.SetParameters(parameters);
    mDamage = int32_t(float(checkpoint.mDamage) * mDamageScale);
    mTurnLimit = checkpoint.mTurns;
    mColourCount = checkpoint.mBlockTypes;
    mHost.SetCheckpointBonuses(checkpoint.mSimultaneousBonuses, checkpoint.mBonusEnergy, checkpoint.mBonusTime);
}

void CLevelController::SetProgress(int32_t progress)
{
    mProgress = progress;
    if (!mLevel || mLevel->mCheckpointCount == 0)
        return;
    int32_t left = progress;
    int32_t k = 0;
    for (; k < mLevel->mCheckpointCount - 1; ++k) {
        const int32_t turns = mTable.CheckpointOf(*mLevel, k).mTurns;
        if (left < turns)
            break;
        left -= turns;
    }
    if (k != mCheckpoint)
        ApplyCheckpoint(k);
    mCheckpointTurns = left;
}

void CLevelController::SaveProgress()
{
    if (mGameLeft || mProfiles.CurrentIndex() < 0 || mGameMode == 0 || mState == kRequested || mState == kNothing)
        return;
    if (mGameMode == 2) {
        // A game lost with energy left (no group left to take) is over all the
        // same, its outro running or done.
        const bool alive = mEnergy > 0 && mState != kFailed && mState != kFailedDone;
        // The word that says the game goes on keeps its cycles' order too.
        const int32_t going = int32_t(std::max(1u, mGraphs.CycleSeed()));
        const int32_t values[CUserProfile::kProgressBCount] = {alive ? going : 0, mPosition, mScore, mEnergy,
                                                                mProgress};
        mProfiles.SetRecordB(values);
        return;
    }
    if (mState == kCompleted || mState == kCompletedDone) {
        // The level is won: the record points at the one it leads to; the map
        // or a reload may already stand there. A whole game won counts before
        // the tally's end does, so a close on it keeps it.
        SaveLevelAfresh(mFollowing, mWholeGameUncounted ? mResult + 1 : mResult);
        return;
    }
    if (mState == kFailed || mState == kFailedDone) {
        // The try is lost with its life: what comes back is the retry the
        // game-over window starts, not the lost try revived.
        SaveLevelAfresh(mPosition, mResult);
        return;
    }
    const int32_t values[CUserProfile::kProgressACount] = {
        mLives >= 0 ? 1 : 0, GetResultIndex(), mPosition, mLevelPoints, mLevelGain, mScore, mSupercomboPoints,
        mComboPoints,        mProgress,        mResult,   mLives,       mEnergy};
    mProfiles.SetRecordA(values);
}

void CLevelController::SaveLevelAfresh(int32_t position, int32_t result)
{
    const LevelRecord* level = LevelAt(position);
    const int32_t points = level ? level->mStartPoints : 0;
    const int32_t energy = level ? level->StartEnergy() : LevelRecord::kFullEnergy;
    const int32_t values[CUserProfile::kProgressACount] = {
        mLives >= 0 ? 1 : 0, ResultIndex(result, mStage), position, points, 0, mScore, 0, 0, 0, result, mLives, energy};
    mProfiles.SetRecordA(values);
}

void CLevelController::CompleteGraph()
{
    ++mResult;
    mWholeGameUncounted = false;
}

int32_t CLevelController::FollowingPosition() const
{
    return mPosition + 1 < mGraphs.GraphAt(mGraph).mEntryCount ? mPosition + 1 : 0;
}

const LevelRecord* CLevelController::LevelAt(int32_t position) const
{
    const int32_t level = mGraphs.GetEntryLevel(mGraph, position);
    return level >= 0 ? &mTable.Level(level) : nullptr;
}
