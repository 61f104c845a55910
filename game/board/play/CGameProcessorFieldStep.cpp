#include "game/board/play/CGameProcessor.h"

#include "game/board/RunnableSpeed.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelFlow.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CBoardHost.h"
#include "game/board/play/CBonusHooks.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

namespace {

constexpr int32_t kShellDone = 3;

} // namespace

void CGameProcessor::ProcessGroups(int32_t group, bool withoutTimer)
{
    CGameField& field = *mLinks.mField;
    CCellGrid& grid = field.Grid();
    CTrackBase& tracks = *mLinks.mTracks;
    const BallDef& ball = mLinks.mBall->Def();
    field.CollectBlocks();
    mNewBlocks.clear();

    CAnimTrack* removal = nullptr;
    size_t first = field.DetachedBlocks().size();
    if (!withoutTimer) {
        CAnimTrack* lineStart = nullptr;
        const float delaySpeed = RunnableSpeed(ball.mDelaySpeed);
        tracks.StartTimer(lineStart, 0.0f, delaySpeed, 1, true, &mPlayer);
        lineStart->mTurnBack = 0;
        StartProcess(kProcessLineStart, lineStart, true);
        mSettleTimer = mLinks.mBall->Times().mSettle;
        mStepDelaySpeed = delaySpeed;
        mLinks.mBall->SetBounce(ball.mGMatched, ball.mPMatched);
        removal = tracks.NewIdleInstance();
        first = field.DetachedBlocks().size();
        grid.ClearGroupCells(group);
    }

    grid.UpdateQueue();
    const int32_t direction = grid.Direction();
    mPendingBlockMoves = 0;
    CCellRuns* runs = CCellRuns::Current();
    const bool recording = runs && runs->Recording();
    if (recording)
        runs->PushRun(direction);

    const bool columns = direction == 0 || direction == 2;
    for (int32_t line = 0; line < grid.LineCount(); ++line) {
        if (!(columns ? grid.CheckColumn(line) : grid.CheckRow(line)))
            continue;
        const std::vector<CFieldBlock*> emptied = grid.EmptiedBlocks();
        LinePlacement* placement = mGroupStore.Acquire();
        placement->mMoves = mChainStore.Acquire();
        placement->mMoves->mMoves.clear();
        placement->mMoves->mMoves.reserve(16);
        placement->mBlocks.clear();
        grid.ShiftQueue(line, &placement->mMoves->mMoves, &placement->mBlocks);
        mNewBlocks.insert(mNewBlocks.end(), placement->mBlocks.begin(), placement->mBlocks.end());
        if (recording) {
            runs->OpenLine(line);
            for (CFieldBlock* block : emptied)
                if (block)
                    runs->AddEntry(*block);
        }
        placement->mNewBlocks = uint32_t(placement->mBlocks.size());
        ProcessSlot record;
        record.mKind = kProcessLinePlacement;
        record.SetObject(3, placement);
        PlanLineTiming(*placement);
        PutPiece(record);
        if (!withoutTimer)
            for (CFieldBlock* block : emptied) {
                if (!block)
                    continue;
                if (block->mShellState != kShellDone)
                    ++mLandingCount;
                FinishHover(*block);
                block->mHighlightTrack = removal;
                StartBlockFall(*block);
                block->mHighlightMode = 0;
                field.DetachBlock(block);
            }
        mPlacementList.push_back(record);
    }

    CBonusHooks* bonuses = mLinks.mBonuses;
    if (!mNewBlocks.empty() && bonuses && bonuses->ShellActive()) {
        for (CFieldBlock* block : mNewBlocks)
            block->mShellState = kShellDone;
        if (mLandingCount >= field.CellCount())
            bonuses->ShellFinish();
    }

    if (!withoutTimer) {
        if (const CAnimTrack* fading = tracks.Definition(field.FadingTrack()))
            CAnimTrack::CopyDefinition(removal, *fading);
        removal->mTime = 0.0f;
        removal->mRunning = 1;
        ProcessSlot& slot = StartProcess(kProcessBlockRemoval, removal, false);
        slot.SetWord(3, intptr_t(first));
        slot.SetWord(4, intptr_t(field.DetachedBlocks().size()));
        if (removal->mRepeatCount < 1)
            removal->mRepeatCount = 1;
        mPlayer.Attach(removal);
    }

    grid.MarkPlacedBlocks(mNewBlocks);
    ShowFieldCompletion();
    if (recording)
        runs->RefreshFromField(grid);
    if (withoutTimer)
        FinishGroupStep(0.0f);
}

void CGameProcessor::ShowFieldCompletion()
{
    if (mLinks.mLevel && mLinks.mLevel->ScoringMode() == 1 && mLinks.mHost)
        mLinks.mHost->SetCompletion(mLinks.mField->Grid().ColourShare(mLinks.mField->ReservedColour()));
}

void CGameProcessor::SetStepTiming(float settleTimer, float delaySpeed)
{
    mSettleTimer = settleTimer;
    mStepDelaySpeed = delaySpeed;
}

void CGameProcessor::StepAfterBonus(float settleTimer, float delaySpeed)
{
    SetStepTiming(settleTimer, delaySpeed);
    ProcessGroups(0, true);
}

void CGameProcessor::StartBlockFall(CFieldBlock& block)
{
    CGameField& field = *mLinks.mField;
    CAnimTrack* track = mLinks.mTracks->NewIdleInstance();
    if (const CAnimTrack* falling = mLinks.mTracks->Definition(field.FallingTrack()))
        CAnimTrack::CopyDefinition(track, *falling);
    track->mTime = 0.0f;
    track->mRunning = 1;
    track->mSpeed = field.RandomFallSpeed();
    block.mMotionTrack = track;

    const std::vector<BlockDef>& defs = field.BlockDefs();
    CAnimInstance* fall = nullptr;
    if (block.mColour >= 0 && size_t(block.mColour) < defs.size()) {
        const BlockDef& def = defs[size_t(block.mColour)];
        fall = mLinks.mAnims->CreateInstance(block.mColour == 0 || block.mColour == 2 ? def.mFallAnim2
                                                                                       : def.mFallAnim1,
                                             &mPlayer);
    }
    block.mColourAnim = fall;

    ProcessSlot& slot = StartProcess(kProcessBlockFall, track, true);
    slot.SetObject(2, &block);
    slot.SetObject(3, track);
    slot.SetObject(4, fall);
    if (fall && fall->mTrack) {
        fall->mTrack->mRunning = 1;
        fall->mTrack->mTime = 0.0f;
        fall->mTrack->mOwnerTag = track->mOwnerTag;
        mPlayer.Attach(fall->mTrack);
    }
}

void CGameProcessor::FinishBlockFall(int32_t slot)
{
    const ProcessSlot& process = mSlots[size_t(slot)];
    CAnimTrack* track = process.Object<CAnimTrack>(3);
    CAnimInstance* fall = process.Object<CAnimInstance>(4);
    for (CAnimTrack* owned : {track, fall ? fall->mTrack : nullptr})
        if (owned) {
            mPlayer.Detach(owned);
            owned->mOwnerTag = kNone;
        }
    FreeSlot(slot);
}

void CGameProcessor::FinishBlockRemoval(int32_t first, int32_t end)
{
    CGameField& field = *mLinks.mField;
    for (int32_t r = first; r < end; ++r) {
        CFieldBlock* block = field.TakeDetachedBlock(r);
        if (!block)
            continue;
        if (CAnimTrack* fall = block->mMotionTrack) {
            if (fall->mAttached)
                StopProcess(fall);
            mLinks.mTracks->FreeInstance(fall);
        }
        if (block->mColourAnim)
            mLinks.mAnims->ReleaseInstance(block->mColourAnim);
        block->mMotionTrack = nullptr;
        block->mHighlightTrack = nullptr;
        block->mColourAnim = nullptr;
        field.RemoveBlock(block);
    }
}

void CGameProcessor::SettleNewBlocks()
{
    CGameField& field = *mLinks.mField;
    for (CFieldBlock* block : mNewBlocks) {
        block->mMotionTrack = nullptr;
        block->mHighlightTrack = nullptr;
        field.Record(block->mRow * field.Width() + block->mColumn).mBlock = block;
    }
}

void CGameProcessor::PlanLineTiming(LinePlacement& placement) const
{
    const size_t n = placement.mMoves->mMoves.size();
    float duration = mSettleTimer - 1.0f / mStepDelaySpeed;
    if (!(duration >= 1.0f))
        duration = 1.0f;
    placement.mDuration = duration;
    placement.mStepInterval = n > 1 ? duration / float(n - 1) : duration;
    placement.mStepSpeed = 1.0f / placement.mStepInterval;
    placement.mCarried = 0.0f;
    placement.mSkipped = 0;
}

void CGameProcessor::PutPiece(ProcessSlot& record)
{
    CGameField& field = *mLinks.mField;
    LinePlacement& placement = *record.Object<LinePlacement>(3);
    const std::vector<MoveRecord>& moves = placement.mMoves->mMoves;
    const MoveRecord& entry = moves.back();
    placement.mAppearTrack = mLinks.mTracks->NewIdleInstance();
    field.MakeBlockAt(entry.mC, entry.mD, entry.mE, entry.mF, int32_t(placement.mNewBlocks), placement.mAppearTrack,
                      true);
    for (uint32_t i = placement.mNewBlocks; i > 0; --i)
        field.AttachPieceBlocks(placement.mBlocks[i - 1]);
    record.mKind = kProcessLinePlacement;
    placement.mNextMove = 0;
    const int32_t index = NewSlot(kProcessLinePlacement);
    if (moves.size() > 1) {
        CAnimTrack* track = mLinks.mTracks->NewIdleInstance();
        track->mTime = 0.0f;
        track->mRepeatCount = 1;
        track->mRestart = 0;
        track->mRunning = 1;
        track->mSpeed = placement.mStepSpeed;
        track->mOwnerTag = index;
        track->mPlayer = &mPlayer;
        placement.mMoveTrack = track;
        placement.mAppearDone = 0;
    } else {
        placement.mMoveTrack = nullptr;
    }
    CAnimTrack* appear = placement.mAppearTrack;
    appear->mTime = 0.0f;
    appear->mRepeatCount = 1;
    appear->mRestart = 0;
    appear->mRunning = 1;
    appear->mSpeed = 1.0f / placement.mDuration;
    appear->mOwnerTag = index;
    appear->mPlayer = &mPlayer;
    mSlots[size_t(index)] = record;
    ++mPendingBlockMoves;
}

void CGameProcessor::FinishGroupStep(float overshoot)
{
    CGameField& field = *mLinks.mField;
    for (const ProcessSlot& record : mPlacementList) {
        LinePlacement& placement = *record.Object<LinePlacement>(3);
        const MoveRecord& entry = placement.mMoves->mMoves.back();
        if (placement.mMoveTrack) {
            placement.mCarried = overshoot;
            mPlayer.Attach(placement.mMoveTrack);
            const int32_t length = entry.mE != 0 ? field.Width() : field.Height();
            LineEntry* moving = field.MakeBlockAt(0, 0, entry.mE, entry.mF, length - int32_t(placement.mNewBlocks),
                                                  placement.mMoveTrack, false);
            moving->mStartColumn = int32_t(placement.mNewBlocks);
            moving->mStartRow = 0;
            placement.mLineEntry = int32_t(field.LineEntries().size()) - 1;
            StepPieceBlocks(placement);
        }
        placement.mAppearTrack->mTime = overshoot;
        mPlayer.Attach(placement.mAppearTrack);
    }
    mPlacementList.clear();
}

void CGameProcessor::StepPieceBlocks(LinePlacement& placement)
{
    CGameField& field = *mLinks.mField;
    const std::vector<MoveRecord>& moves = placement.mMoves->mMoves;
    const uint32_t n = uint32_t(moves.size());
    std::vector<MovingBlock>& movingBlocks = field.MovingBlocks();
    for (;;) {
        if (placement.mNextMove >= n)
            return;
        LineEntry& entry = field.LineEntryAt(placement.mLineEntry);
        if (placement.mNextMove > 0) {
            size_t record = size_t(entry.mFirstMoving);
            for (size_t i = placement.mNewBlocks; i < placement.mBlocks.size(); ++i, ++record) {
                CFieldBlock* block = placement.mBlocks[i];
                MovingBlock& moving = movingBlocks[record];
                if (moving.mCell >= 0 && field.Record(moving.mCell).mLeaving == block)
                    field.Record(moving.mCell).mLeaving = nullptr;
                block->mMotionTrack = nullptr;
                field.Record(block->mRow * field.Width() + block->mColumn).mBlock = block;
            }
        }
        ++placement.mNextMove;
        placement.mSkipped = 0;
        if (placement.mNextMove >= n)
            return;
        const MoveRecord& run = moves[placement.mNextMove - 1];
        entry.mEntered = 0;
        placement.mBlocks.resize(placement.mNewBlocks);
        for (int32_t c = run.mA; c < run.mC; ++c)
            for (int32_t r = run.mB; r < run.mD; ++r) {
                const int32_t cell = r * field.Width() + c;
                CellRecord& source = field.Record(cell);
                CFieldBlock* block = source.mBlock;
                if (!block)
                    continue;
                block->mColumn = c + run.mE;
                block->mRow = r + run.mF;
                source.mLeaving = block;
                source.mBlock = nullptr;
                MovingBlock& moving = movingBlocks[size_t(entry.mFirstMoving + entry.mEntered)];
                moving = MovingBlock{cell, block, source.mScreenX, source.mScreenY};
                ++entry.mEntered;
                placement.mBlocks.push_back(block);
            }
        if (placement.mCarried > placement.mStepInterval) {
            placement.mSkipped = 1;
            placement.mCarried -= placement.mStepInterval;
            continue;
        }
        CAnimTrack* track = placement.mMoveTrack;
        track->mRunning = 1;
        track->mRepeatCount = 1;
        track->mTime = placement.mCarried;
        track->mSpeed = placement.mStepSpeed;
        const FieldPoint offset =
            field.FieldToScreen({float(run.mE) * field.StepX(), float(run.mF) * field.StepY()});
        entry.mStepper.Init(TruncateToInt(offset.mX), TruncateToInt(offset.mY));
        return;
    }
}

void CGameProcessor::FinishLinePlacement(CAnimTrack& track, int32_t slot)
{
    LinePlacement& placement = *mSlots[size_t(slot)].Object<LinePlacement>(3);
    if (&track == placement.mMoveTrack) {
        placement.mCarried = track.mOvershoot;
        if (placement.mNextMove < placement.mMoves->mMoves.size())
            StepPieceBlocks(placement);
        if (placement.mNextMove >= placement.mMoves->mMoves.size()) {
            mLinks.mTracks->FreeInstance(placement.mMoveTrack);
            placement.mMoveTrack = nullptr;
        }
    } else if (&track == placement.mAppearTrack) {
        placement.mAppearDone = 1;
    }
    if (!placement.mAppearDone || placement.mMoveTrack)
        return;
    mLinks.mTracks->FreeInstance(placement.mAppearTrack);
    placement.mAppearTrack = nullptr;
    mChainStore.Release(placement.mMoves);
    placement.mMoves = nullptr;
    mGroupStore.Release(&placement);
    FreeSlot(slot);
    if (--mPendingBlockMoves != 0)
        return;
    mLinks.mBall->RestoreBounce();
    SettleNewBlocks();
    mLinks.mField->CollectBlocks();
    if (mLinks.mLevel)
        mLinks.mLevel->OnFieldSettled();
    if (mUndoRequest && !StartUndo())
        DropUndo();
    mBlockLinksCleared = false;
    mUndoRequest = false;
}
