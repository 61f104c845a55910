#include "game/board/levels/CLevelController.h"

#include "framework/core/RandomNumber.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/board/levels/CLevelHost.h"
#include "game/board/levels/CLevelWindows.h"
#include "game/data/CGameConfig.h"
#include "game/data/JukeBox.h"

#include <algorithm>

namespace {

constexpr float kSongFade = 0.005f;
constexpr int32_t kEndlessSong = 4;
constexpr int32_t kStageSize = 10;

} // namespace

CLevelController::CLevelController(const Parts& parts)
    : mGrid(parts.mGrid), mPieces(parts.mPieces), mGraphs(parts.mGraphs), mProfiles(parts.mProfiles),
      mHiscores(parts.mHiscores), mHost(parts.mHost), mWindows(parts.mWindows),
      mReservedColour(parts.mReservedColour)
{
}

bool CLevelController::LoadFromXml(const TiXmlElement* root, const CFieldBase& shapes)
{
    const bool loaded = mTable.LoadFromXml(root, mPieces, shapes);
    mActive = mTable.Defaults();
    return loaded;
}

int32_t CLevelController::RequestLevel(const Request& request)
{
    const int32_t other = IsOtherStage(request.mGraph, request.mPosition, mGraph, mPosition) ? 4 : 0;
    mRequest = request;
    mHasRequest = true;
    mGameLeft = false;
    // The endless game goes on in the cycle order it was playing.
    if (mGraphs.GraphAt(request.mGraph).mHasRanges)
        mGraphs.SetCycleSeed(uint32_t(std::max(0, request.mCycleSeed)));
    const bool fromNothing = mState == kNothing;
    mState = kRequested;
    if (fromNothing) {
        HandleState();
        return 2 + other;
    }
    mHost.SetBoardBusy(true);
    mHost.SetProcessorState(kRequested);
    return 1 + other;
}

bool CLevelController::IsOtherStage(int32_t graphA, int32_t positionA, int32_t graphB, int32_t positionB)
{
    return graphA != graphB || positionA / kStageSize != positionB / kStageSize;
}

int32_t CLevelController::GetResultIndex() const { return ResultIndex(mResult, mStage); }

int32_t CLevelController::ResultIndex(int32_t result, int32_t stage)
{
    return result < 1 ? stage : std::min(result + 4, kTopRank);
}

void CLevelController::HandleRequest()
{
    mHost.ClearBallState();
    const bool otherStage = IsOtherStage(mRequest.mGraph, mRequest.mPosition, mGraph, mPosition);
    mStage = mRequest.mPosition / kStageSize;
    mLevelInStage = mRequest.mPosition % kStageSize;
    mLives = mRequest.mLives;
    mResult = mRequest.mResult;
    if (otherStage) {
        // A new map loads behind the stage window; the level starts after the reload.
        mStageChanged = true;
        mChanged = false;
        mHost.SetBoardBusy(false);
        mHost.HidePanelNow();
        mWindows.OpenWindow(11, 0);
        return;
    }
    if (mLevelMapWanted) {
        mWindows.ShowLevelMap(mRequest.mPosition);
        return;
    }
    mHost.SetBoardActive(true);
    mHost.ShowBoard();
    StartLevel(mRequest.mGraph, mRequest.mPosition);
}

void CLevelController::StartLevel(int32_t graph, int32_t position)
{
    const int32_t mode = mGraphs.GraphAt(graph).mHasRanges ? 2 : 1;
    // A game begun from the menu starts afresh, as after a change of mode: the
    // endless game carries its field, ball and energy only from one of its
    // levels to the next, not from the last game into the next one.
    mModeChanged = mode != mGameMode || mFirstStart || (mode == 2 && mHasRequest);
    mFirstStart = false;
    if (mModeChanged) {
        mGameMode = mode;
        mOnload = -1;
    }
    const bool carryOver = mode == 2 && !mModeChanged;
    if (graph != mGraph) {
        mGraphs.PrepareGraph(graph);
        mDamageScale = mGraphs.GraphAt(graph).mDamageScale;
    }
    mStage = position / kStageSize;
    mLevelInStage = position % kStageSize;
    mHost.SetPanelLabels(mStage + 1, mLevelInStage + 1);
    const int32_t song = mode == 1 ? mStage + 1 : kEndlessSong;
    if (mSong != song) {
        JukeBox::Get().CrossFade(mSong, song, kSongFade, kSongFade);
        mSong = song;
    }

    mHost.SetHazards(false, 0);
    mGraph = graph;
    mPosition = position;
    int32_t onload = -1;
    const int32_t index = mGraphs.PickNext(graph, position, &onload);
    if (index < 0)
        return;
    const LevelRecord* previous = mLevel;
    mLevel = &mTable.Level(index);
    const LevelRecord& level = *mLevel;
    // The endless game plays on over the field the last level left, except
    // where that field cannot serve: a puzzle is its own field, and the grey a
    // solved puzzle leaves holds nothing for the next level to take or turn.
    mFieldLaid = !carryOver || level.mLevelType == 1 || (previous != nullptr && previous->mLevelType == 1);
    mHost.SetPanelLayout(mode, level.mLevelType == 1);
    if (onload != -1 && onload != mOnload)
        ApplyOnload(onload);
    mActive = mTable.Defaults();
    mActive.mSwitchSide = level.mSwitchSide;

    if (mHasRequest)
        mEnergy = mRequest.mEnergy < 1 ? LevelRecord::kFullEnergy : mRequest.mEnergy;
    else if (!carryOver)
        mEnergy = level.StartEnergy();
    mHost.StopPendingProcess();

    mHost.SetBonusGeneration(level.mHasBonuses != 0, level.mGenerationSpeedMin, level.mGenerationSpeedMax);
    for (int32_t bonus = 0; bonus < LevelRecord::kBonusValues; ++bonus)
        mHost.SetBonusAmount(bonus, level.mHasBonuses ? mTable.BonusAmount(level, bonus) : 0);
    if (level.mHasBonuses)
        mHost.SetBonusActionSpeeds(level.mShellActionSpeed, level.mShadowBallActionSpeed);

    mMatches.clear();
    mHighestMatch = 0;
    for (int32_t k = 0; k < level.mMatchCount; ++k) {
        SetMatch(mTable.MatchCount(level, k), mTable.MatchPoints(level, k));
        mHighestMatch = std::max(mHighestMatch, mTable.MatchPoints(level, k));
    }

    if (mHasRequest) {
        mLevelPoints = mRequest.mPoints == 0 ? level.mStartPoints : mRequest.mPoints;
        mLevelGain = mRequest.mLevelGain;
        mScore = mRequest.mScore;
        mSupercomboPoints = mRequest.mSupercomboPoints;
        mComboPoints = mRequest.mComboPoints;
    } else {
        mLevelPoints = level.mStartPoints;
        mLevelGain = 0;
        mSupercomboPoints = 0;
        mComboPoints = 0;
    }
    mTimeHazard = level.mPointsToComplete * CGameConfig::live.onTimePercLessThan / 100;
    mDrain = mode != 2 && level.mPointsDecreaseSpeed > 0.0001f;
    mHost.SetDrain(mDrain, mDrain ? level.mPointsDecreaseSpeed : 0.0f);

    if (level.mSwitchSide == 0)
        mGrid.SetQueueDirection(level.mShiftSide);
    mCheckpoint = -1;
    if (mHasRequest) {
        SetProgress(mRequest.mProgress);
    } else {
        SetProgress(0);
        ApplyCheckpoint(0);
    }
    // The random fill draws from the checkpoint's colours and queue side, so
    // they are set before it.
    if (mFieldLaid) {
        // A click aimed at the old field has no cell on the new one.
        mHost.SetBoardActive(false);
        mHost.SetUpField(level.mContentCount > 0
                             ? mTable.ContentShape(level, Lumo::RandomNumber(level.mContentCount))
                             : -1);
    }

    mHost.ResetBall(mFieldLaid, level.mBallColumn, level.mBallRow);
    PickSuperbonusPiece();
    mComboCount = 0;
    mHost.ResetComboWindow(mTable.Combos().mComboSpeed);
    if (level.mLevelType == 2)
        // The level's colours, not the field's: the field also holds the reserved colour.
        mHost.CrazyNewTurn(mColourCount);
    else if (level.mLevelType == 1)
        mHost.SetPanelCompletion(mGrid.ColourShare(mReservedColour));
    RunLevelCommands(*this, mTable.CommandWords(), level.mFirstCommand, level.mCommandCount);

    if (carryOver) {
        BeginPlay();
    } else {
        mState = kIntro;
        // The processor's intro state plays the intro.
        mHost.SetProcessorState(kIntro);
        mHost.SetBoardActive(false);
        mHost.StopPendingProcess();
        mHost.CenterBoardOnField();
    }
    mHost.StartCellRuns(level.mLevelType == 1);
    if (level.mLevelType != 1)
        mHost.SetArrows(true, false, true, false, false);

    mLevelKind = mode == 2 ? kEndlessKind : kPointsKind;
    if (mDrain)
        mLevelKind = kTimedKind;
    else if (level.mLevelType == 1)
        mLevelKind = kPuzzleKind;
    else if (level.mLevelType == 2)
        mLevelKind = kCrazyKind;
}

void CLevelController::BeginPlay()
{
    mHost.SetProcessorState(kPlaying);
    mHost.ClearProcessorHold();
    mHost.StopPendingProcess();
    const bool fresh = mGameMode == 1 || mState == kNothing || mState == kFailed || mFieldLaid;
    if (fresh)
        mHost.SetBoardActive(true);
    mState = kPlaying;
    mHost.RestartBonusTimer();
    if (mLevel && mLevel->mLevelType == 2)
        mHost.CrazyPhaseAnim();
    else if (mGameMode == 1 || mFieldLaid)
        mHost.ClearBallState();
    if (mLevel && mLevel->mLevelType == 1)
        mHost.SetArrows(false, true, false, false, false);
    UpdateProgressBar();
    ShowEnergy();
    SaveProgress();
    mHost.SaveFiles();
    mHasRequest = false;
    mModeChanged = false;
}

void CLevelController::HandleState()
{
    switch (mState) {
    case kRequested:
        HandleRequest();
        break;
    case kIntro:
        if (mGameMode == 1)
            OpenStatus(0);
        else if (mGameMode == 2)
            OpenStatus(8);
        else {
            mHost.SlidePanel(true);
            BeginPlay();
        }
        break;
    case kCompleted:
        if (mGameMode == 2) {
            // The next level may lay a field of its own: not under blocks still on the move.
            if (mHost.FieldMoving()) {
                mHost.SetProcessorState(kCompleted);
                break;
            }
            SetProgress(0);
            StartLevel(mGraph, mPosition + 1);
            break;
        }
        if (mPosition % kStageSize == kStageSize - 1) {
            mLevelMapWanted = false;
            JukeBox::Get().FadeOutSong(mSong, 0.003f);
            mHost.PlaySample(19);
        } else {
            mHost.PlaySample(17);
        }
        EnterResultState(kCompletedDone);
        break;
    case kCompletedDone:
        mHost.SetBoardBusy(false);
        OpenStatus(mLevelKind == kPuzzleKind ? 6 : mLevelKind == kCrazyKind ? 7 : 5);
        break;
    case kFailed:
        EnterResultState(kFailedDone);
        break;
    case kFailedDone: {
        mHost.SetBoardBusy(false);
        if (mGrid.MatchedGroups() == 0)
            mFailReason = 2;
        else if (mDrain && mLevelPoints < 1)
            mFailReason = 1;
        else if (mEnergy <= 0)
            mFailReason = 0;
        int32_t window = 0;
        if (mGameMode == 2) {
            window = mHiscoreQualified ? 25 : 9;
        } else {
            // The life went as the level was lost.
            window = mLives >= 0 ? 1 : mHiscoreQualified ? 26 : 2;
        }
        SaveProgress();
        OpenStatus(window);
        break;
    }
    default:
        break;
    }
}

void CLevelController::EnterResultState(int32_t state)
{
    if (mLevel && mLevel->mLevelType == 1)
        mHost.SetArrows(false, false, true, false, false);
    mState = state;
    mHost.SetProcessorState(state);
}

void CLevelController::OpenStatus(int32_t id) { mWindows.OpenStatusWindow(id); }

void CLevelController::NextLevelInGraph()
{
    if (mRequest.mGraph != mGraph) {
        mGraphs.PrepareGraph(mRequest.mGraph);
        mDamageScale = mGraphs.GraphAt(mRequest.mGraph).mDamageScale;
        mOnload = -1;
    }
    mGraph = mRequest.mGraph;
    mPosition = mRequest.mPosition;
    int32_t onload = -1;
    mGraphs.PickNext(mGraph, mPosition, &onload);
    if (onload != -1)
        ApplyOnload(onload);
}

void CLevelController::RestartAfterLoad()
{
    mStageChanged = false;
    mHost.RestartBoard();
    if (mLevelMapWanted)
        mWindows.ShowLevelMap(mPosition);
}

void CLevelController::RequestNextMap(int32_t position)
{
    mRequest.mGraph = mGraph;
    mRequest.mPosition = position;
    mStageChanged = true;
    mChanged = false;
}

void CLevelController::ApplyOnload(int32_t onload)
{
    const CLevelGraphs::Onload& entry = mGraphs.OnloadAt(onload);
    mHost.ApplyOnload(entry.mGameBorder, entry.mBackground, entry.mBall);
    mOnload = onload;
}

void CLevelController::StartIntro(int32_t variant) { mHost.StartPhase(variant); }

void CLevelController::StartOutro(int32_t variant) { mHost.StartPhase(variant); }

void CLevelController::StartFinalOutro() { mHost.StartPhase(kFinalOutro); }

void CLevelController::SetBallSpeeds(float first, float second) { mHost.SetBallSpeeds(first, second); }
