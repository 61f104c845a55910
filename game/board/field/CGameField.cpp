#include "game/board/field/CGameField.h"

#include "framework/core/AppLog.h"
#include "framework/core/RuntimeRandom.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/board/field/CBlockReleaseHandler.h"
#include "game/board/field/CFieldBase.h"
#include "game/board/field/CFieldBlock.h"
#include "game/data/animation/CCurve.h"

#include <algorithm>
#include <cmath>
#include <numbers>

CGameField::CGameField() : mGrid(*this) {}

CGameField::~CGameField() = default;

void CGameField::SetCentre(int32_t x, int32_t y)
{
    mOfsX = x;
    mOfsY = y;
}

void CGameField::Build(int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0)
        return;
    if (int64_t(w) * h > CCellGrid::kMaxCells) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR field of %d x %d cells refused", w, h);
        return;
    }
    while (mActiveBlocks > 0)
        RemoveBlock(mPool.front().get());

    mGrid.Resize(w, h);
    mW = w;
    mH = h;
    mCellCount = w * h;
    mLineEntries.clear();
    mLineEntries.reserve(size_t(2 * std::max(w, h)));
    mMovingBlocks.clear();
    mMovingBlocks.reserve(size_t(mCellCount));
    mRecords.assign(size_t(mCellCount), CellRecord{});
    mDetached.clear();
    mDetached.reserve(size_t(mCellCount));

    const float a = float(mShape.mHIndent);
    const float b = float(mShape.mVIndent);
    const float bw = float(mShape.mWidth);
    const float bh = float(mShape.mHeight);
    const float side = float(mShape.mSideHeight);
    mLy = std::sqrt(a * a + b * b);
    mLx = std::sqrt((bw - a) * (bw - a) + (bh - side - b) * (bh - side - b));
    mMatrix = {(bw - a) / mLx, (bh - side - b) / mLx, -a / mLy, b / mLy};
    mStepX = mLx + mShape.mHSpacing;
    mStepY = mLy + mShape.mVSpacing;
    mInvStepX = 1.0f / mStepX;
    mInvStepY = 1.0f / mStepY;
    mCx = float(w) * mStepX / 2.0f;
    mCy = float(h) * mStepY / 2.0f;
    const FieldPoint centre = FieldToScreen({mCx, mCy});
    mOrigin = {float(mOfsX) - centre.mX, float(mOfsY) - centre.mY};
    mOriginX = TruncateToInt(mOrigin.mX);
    mOriginY = TruncateToInt(mOrigin.mY);
    mCorners[0] = {mStepX * mMatrix[0] - mStepY * mMatrix[2], mStepY * mMatrix[3] - mStepX * mMatrix[1]};
    mCorners[1] = {-mStepY * mMatrix[2], mStepY * mMatrix[3]};
    const float det = mMatrix[0] * mMatrix[3] - mMatrix[2] * mMatrix[1];
    mInverse = {mMatrix[3] / det, -mMatrix[1] / det, -mMatrix[2] / det, mMatrix[0] / det};

    for (int32_t row = 0; row < h; ++row)
        for (int32_t column = 0; column < w; ++column) {
            CellRecord& record = mRecords[size_t(row * w + column)];
            CellToScreen(column, row, &record.mScreenX, &record.mScreenY);
        }
    BuildSpinRings();
    SetupSpinPoints();
}

void CGameField::ResetForLevel()
{
    Build(mW, mH);
    mGrid.FillRandom();
    for (int32_t cell = 0; cell < mCellCount; ++cell) {
        CellRecord& record = mRecords[size_t(cell)];
        if (record.mBlock)
            RemoveBlock(record.mBlock);
        CFieldBlock* block = AcquireBlock();
        block->mColumn = cell % mW;
        block->mRow = cell / mW;
        block->mColour = CCellGrid::ColourOf(mGrid.Cell(cell));
        record.mBlock = block;
    }
}

bool CGameField::SetupFromLevel(const CFieldBase& shapes, int32_t shapeIndex)
{
    const FieldShape* shape = shapes.Shape(shapeIndex);
    if (!shape) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR field shape %d unknown", shapeIndex);
        return false;
    }
    if (!ControllersCover(shape->mW, shape->mH)) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile,
                                            "ERROR field shape %d needs %d queue controllers, the field has %d",
                                            shapeIndex, RingCount(shape->mW, shape->mH),
                                            int32_t(mControllers.size()));
        return false;
    }
    for (int32_t i = 0; i < shape->mCount; ++i) {
        if (shapes.Colour(*shape, i) >= mGrid.ColourCount()) {
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile,
                                                "ERROR field shape %d has a colour beyond the field's %d", shapeIndex,
                                                mGrid.ColourCount());
            return false;
        }
    }
    Build(shape->mW, shape->mH);
    for (int32_t cell = 0; cell < mCellCount; ++cell)
        mGrid.Cell(cell) = CCellGrid::kOccupied;
    for (int32_t i = 0; i < mCellCount; ++i) {
        const int32_t colour = shapes.Colour(*shape, i);
        CFieldBlock* block = AcquireBlock();
        block->mColour = colour;
        block->mColumn = i % mW;
        block->mRow = i / mW;
        mRecords[size_t(i)].mBlock = block;
        mGrid.Cell(i) = (uint32_t(colour) << CCellGrid::kColourShift) | CCellGrid::kOccupied;
    }
    mGrid.Rebuild();
    mGrid.CountColours();
    return true;
}

FieldPoint CGameField::FieldToScreen(FieldPoint p) const
{
    return {mMatrix[0] * p.mX + mMatrix[2] * p.mY, mMatrix[1] * p.mX + mMatrix[3] * p.mY};
}

void CGameField::CellToScreen(int32_t column, int32_t row, int32_t* x, int32_t* y) const
{
    const FieldPoint p = FieldToScreen({float(column) * mStepX, float(row) * mStepY});
    *x = TruncateToInt(p.mX + mOrigin.mX) - mShape.mHIndent;
    *y = TruncateToInt(p.mY + mOrigin.mY);
}

FieldPoint CGameField::CellCenterToScreen(int32_t column, int32_t row) const
{
    return FieldToScreen({(float(column) + 0.5f) * mStepX, (float(row) + 0.5f) * mStepY});
}

FieldPoint CGameField::CellCentre(int32_t column, int32_t row) const
{
    const FieldPoint p = CellCenterToScreen(column, row);
    return {p.mX + mOrigin.mX, p.mY + mOrigin.mY};
}

void CGameField::CellPolar(int32_t column, int32_t row, float* distance, float* angle) const
{
    const float dx = float(column) * mStepX - mCx;
    const float dy = float(row) * mStepY - mCy;
    float d = std::sqrt(dx * dx + dy * dy);
    float a = std::acos(dx / d);
    if (dy < 0.0f)
        a = 2.0f * std::numbers::pi_v<float> - a;
    *distance = std::isfinite(d) ? d : 0.0f;
    *angle = std::isfinite(a) ? a : 0.0f;
}

FieldPoint CGameField::ScreenToField(float x, float y) const
{
    const float px = x - mOrigin.mX;
    const float py = y - mOrigin.mY;
    return {mInverse[0] * px + mInverse[2] * py, mInverse[1] * px + mInverse[3] * py};
}

bool CGameField::HitTest(float x, float y, int32_t* column, int32_t* row) const
{
    // Until a level sets the field up it has no cells to hit.
    if (mRecords.empty())
        return false;
    const FieldPoint p = ScreenToField(x, y);
    // Floored, not truncated: a point just outside the top or left edge is outside.
    const float fx = std::floor(p.mX * mInvStepX);
    const float fy = std::floor(p.mY * mInvStepY);
    if (!(fx >= 0.0f && fy >= 0.0f && fx < float(mW) && fy < float(mH)))
        return false;
    *column = int32_t(fx);
    *row = int32_t(fy);
    return true;
}

CFieldBlock* CGameField::AcquireBlock()
{
    if (size_t(mActiveBlocks) == mPool.size()) {
        mPool.push_back(std::make_unique<CFieldBlock>());
        mPool.back()->mPoolIndex = mActiveBlocks;
    }
    CFieldBlock* block = mPool[size_t(mActiveBlocks++)].get();
    const int32_t index = block->mPoolIndex;
    *block = CFieldBlock{};
    block->mPoolIndex = index;
    block->mSprite = mReservedSprite;
    return block;
}

void CGameField::RemoveBlock(CFieldBlock* block)
{
    if (!block || block->mPoolIndex >= mActiveBlocks || mPool[size_t(block->mPoolIndex)].get() != block)
        return;
    if (block->mBonus) {
        if (mReleaseHandler)
            mReleaseHandler->RemoveBonusFromBlock(*block);
        block->mBonus = nullptr;
    }
    // A hovered block taken off by a bonus ends its hover with it.
    if (block->mHover.mPhase != 0 && mReleaseHandler)
        mReleaseHandler->ReleasePooledPair(*block);
    block->mHighlightMode = 0;
    const int32_t index = block->mPoolIndex;
    const int32_t last = mActiveBlocks - 1;
    std::swap(mPool[size_t(index)], mPool[size_t(last)]);
    mPool[size_t(index)]->mPoolIndex = index;
    mPool[size_t(last)]->mPoolIndex = last;
    --mActiveBlocks;
}

CFieldBlock* CGameField::TakeDetachedBlock(int32_t record)
{
    if (record < 0 || size_t(record) >= mDetached.size())
        return nullptr;
    CFieldBlock* block = mDetached[size_t(record)].mBlock;
    mDetached[size_t(record)].mBlock = nullptr;
    if (std::none_of(mDetached.begin(), mDetached.end(), [](const CellRecord& r) { return r.mBlock != nullptr; }))
        mDetached.clear();
    return block;
}

void CGameField::DetachBlock(CFieldBlock* block)
{
    if (block->mColumn < 0 || block->mRow < 0 || block->mColumn >= mW || block->mRow >= mH)
        return;
    const int32_t cell = block->mRow * mW + block->mColumn;
    CellRecord& record = mRecords[size_t(cell)];
    if (record.mLeaving == block)
        record.mLeaving = nullptr;
    if (record.mBlock == block)
        record.mBlock = nullptr;
    if (record.mArriving == block)
        record.mArriving = nullptr;
    CellRecord copy = record;
    copy.mLeaving = nullptr;
    copy.mArriving = nullptr;
    copy.mBlock = block;
    mDetached.push_back(copy);
    block->mShellState = 0;
}

CFieldBlock* CGameField::PickRandomBlock() const
{
    if (mCellCount <= 0)
        return nullptr;
    for (int32_t attempt = 0; attempt < 32; ++attempt) {
        const int32_t cell = Lumo::Rand() % mCellCount;
        CFieldBlock* block = mRecords[size_t(cell)].mBlock;
        if (block && !block->mBonus && !(cell % mW == mExcludedColumn && cell / mW == mExcludedRow))
            return block;
    }
    return nullptr;
}

void CGameField::ClearBlockLinks()
{
    for (CellRecord& record : mRecords)
        if (record.mBlock) {
            record.mBlock->mHighlightTrack = nullptr;
            record.mBlock->mHighlightMode = 0;
        }
}

void CGameField::SyncBlockColours()
{
    for (int32_t cell = 0; cell < mCellCount; ++cell)
        if (CFieldBlock* block = mRecords[size_t(cell)].mBlock)
            block->mColour = CCellGrid::ColourOf(mGrid.Cell(cell));
}

void CGameField::ResetBlockStates(int32_t mode)
{
    if (mode == mBlockDisplayMode)
        return;
    const auto reset = [this](bool ownSprite) {
        for (CellRecord& record : mRecords) {
            for (CFieldBlock* block : {record.mLeaving, record.mBlock, record.mArriving}) {
                if (!block)
                    continue;
                block->mLightLevel = 0;
                block->mShellState = 0;
                if (ownSprite)
                    block->mSprite = mReservedSprite;
            }
            if (record.mBlock)
                record.mBlock->mOwnAnim = nullptr;
        }
    };
    if (mBlockDisplayMode >= 2)
        reset(false);
    if (mode >= 2)
        reset(true);
    mBlockDisplayMode = mode;
}

void CGameField::SetStencilImages(int32_t upLeft, int32_t downRight) { mStencilImages = {upLeft, downRight}; }

void CGameField::SetStencilOffset(int32_t direction, int32_t x, int32_t y)
{
    mStencilOffsets[size_t(2 * direction)] = x;
    mStencilOffsets[size_t(2 * direction + 1)] = y;
}

void CGameField::SetStencilDirection(int32_t direction)
{
    mStencil = mStencilImages[direction < 2 ? 0 : 1];
    mStencilX = mStencilOffsets[size_t(2 * direction)];
    mStencilY = mStencilOffsets[size_t(2 * direction + 1)];
}

void CGameField::SetExcludedCell(int32_t column, int32_t row)
{
    mExcludedColumn = column;
    mExcludedRow = row;
}
