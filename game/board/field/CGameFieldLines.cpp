#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"

#include <algorithm>

LineEntry* CGameField::MakeBlockAt(int32_t column, int32_t row, int32_t dx, int32_t dy, int32_t count,
                                   CAnimTrack* track, bool sliding)
{
    mLineEntries.emplace_back();
    LineEntry& entry = mLineEntries.back();
    entry.mSliding = sliding ? 1 : 0;
    entry.mCount = count;
    entry.mStartColumn = column;
    entry.mStartRow = row;
    entry.mStepX = dx;
    entry.mStepY = dy;
    entry.mTrack = track;
    entry.mFirstMoving = int32_t(mMovingBlocks.size());
    entry.mRightward = dx > 0 || dy < 0 ? 1 : 0;
    if (!sliding) {
        entry.mIndexStep = dx != 0 ? dx : (dy > 0 ? mW : -mW);
        mMovingBlocks.resize(mMovingBlocks.size() + size_t(std::max(count, 0)));
        return &entry;
    }
    const FieldPoint span = FieldToScreen({float(dx * count) * mStepX, float(dy * count) * mStepY});
    entry.mStepper.Init(TruncateToInt(span.mX), TruncateToInt(span.mY));
    const int32_t targetColumn = column + dx;
    const int32_t targetRow = row + dy;
    if (targetColumn >= 0 && targetRow >= 0 && targetColumn < mW && targetRow < mH)
        entry.mTargetCell = targetRow * mW + targetColumn;
    int32_t y = 0;
    CellToScreen(targetColumn, targetRow, &entry.mTargetX, &y);
    CellToScreen(column, row, &entry.mEdgeX, &y);
    return &entry;
}

void CGameField::AttachPieceBlocks(CFieldBlock* block)
{
    if (mLineEntries.empty() || !mLineEntries.back().mSliding)
        return;
    const LineEntry& entry = mLineEntries.back();
    const int32_t k = int32_t(mMovingBlocks.size()) - entry.mFirstMoving;
    MovingBlock moving;
    moving.mBlock = block;
    CellToScreen(entry.mStartColumn - entry.mStepX * k, entry.mStartRow - entry.mStepY * k, &moving.mStartX,
                 &moving.mStartY);
    if (k == 0 && entry.mTargetCell >= 0) {
        CellRecord& target = mRecords[size_t(entry.mTargetCell)];
        target.mArrival = 1;
        target.mArriving = block;
        target.mArrivingX = moving.mStartX;
        target.mArrivingY = moving.mStartY;
    }
    if (block->mColumn >= 0 && block->mRow >= 0 && block->mColumn < mW && block->mRow < mH)
        moving.mCell = block->mRow * mW + block->mColumn;
    mMovingBlocks.push_back(moving);
}

void CGameField::CollectBlocks()
{
    mLineEntries.clear();
    for (const MovingBlock& moving : mMovingBlocks) {
        if (moving.mCell < 0)
            continue;
        CellRecord& record = mRecords[size_t(moving.mCell)];
        record.mArriving = nullptr;
        record.mLeaving = nullptr;
        record.mArrival = 0;
    }
    mMovingBlocks.clear();
}

namespace {

float TrackTime(const CAnimTrack* track) { return track ? track->mTime : 0.0f; }

} // namespace

void CGameField::StepLineEntries()
{
    const auto recordOf = [this](int32_t moving) -> CellRecord* {
        if (moving < 0 || size_t(moving) >= mMovingBlocks.size() || mMovingBlocks[size_t(moving)].mCell < 0)
            return nullptr;
        return &mRecords[size_t(mMovingBlocks[size_t(moving)].mCell)];
    };
    for (LineEntry& entry : mLineEntries) {
        const int32_t n = entry.mCount;
        const int32_t f = entry.mFirstMoving;
        if (entry.mSliding) {
            if (entry.mTargetCell < 0 || n <= 0)
                continue;
            CellRecord& target = mRecords[size_t(entry.mTargetCell)];
            const int32_t x = target.mArrivingX;
            const auto passed = [&](int32_t t) { return (x > t) == (entry.mRightward != 0); };
            if (entry.mState < 3) {
                if (entry.mState == 0 && passed(entry.mEdgeX))
                    entry.mState = 1;
                if (entry.mState == 1 && passed(entry.mTargetX))
                    entry.mState = 2;
                if (entry.mState == 2) {
                    ++entry.mEntered;
                    if (entry.mEntered == n) {
                        entry.mState = 3;
                        target.mArrival = 0;
                    } else {
                        for (int32_t j = entry.mEntered - 1; j >= 0; --j) {
                            CellRecord* to = recordOf(f + n - j - 2);
                            const CellRecord* from = recordOf(f + n - j - 1);
                            if (to && from)
                                to->mArriving = from->mArriving;
                        }
                        entry.mState = 0;
                        if (size_t(f + entry.mEntered) < mMovingBlocks.size())
                            target.mArriving = mMovingBlocks[size_t(f + entry.mEntered)].mBlock;
                    }
                }
            }
            int32_t ox = 0, oy = 0;
            entry.mStepper.StepTo(TrackTime(entry.mTrack), &ox, &oy);
            const int32_t e = entry.mEntered;
            const int32_t m = std::min(e + 1, n);
            const int32_t o = n - std::min(e, n - 1) - 1;
            for (int32_t i = 0; i < m; ++i) {
                if (CellRecord* record = recordOf(f + i + o)) {
                    const MovingBlock& moving = mMovingBlocks[size_t(f + i)];
                    record->mArrivingX = moving.mStartX + ox;
                    record->mArrivingY = moving.mStartY + oy;
                }
            }
            continue;
        }

        const int32_t m = std::min(entry.mEntered, int32_t(mMovingBlocks.size()) - f);
        if (m <= 0)
            continue;
        int32_t ox = 0, oy = 0;
        entry.mStepper.StepTo(TrackTime(entry.mTrack), &ox, &oy);
        const bool backwards = entry.mStepX > 0 || entry.mStepY > 0;
        bool handed = false;
        for (int32_t walk = 0; walk < m; ++walk) {
            MovingBlock& moving = mMovingBlocks[size_t(backwards ? f + m - 1 - walk : f + walk)];
            if (moving.mCell < 0)
                continue;
            CellRecord* record = &mRecords[size_t(moving.mCell)];
            record->mLeavingX = moving.mStartX + ox;
            record->mLeavingY = moving.mStartY + oy;
            if (walk == 0) {
                const bool past = entry.mRightward ? record->mLeavingX > record->mScreenX
                                                   : record->mLeavingX < record->mScreenX;
                if (past && entry.mStartRow < entry.mStartColumn) {
                    ++entry.mStartRow;
                    handed = true;
                }
            }
            const int32_t next = moving.mCell + entry.mIndexStep;
            if (!handed || next < 0 || next >= mCellCount)
                continue;
            CellRecord& to = mRecords[size_t(next)];
            record->mLeaving = nullptr;
            to.mLeaving = moving.mBlock;
            to.mLeavingX = record->mLeavingX;
            to.mLeavingY = record->mLeavingY;
            moving.mCell = next;
        }
    }
}
