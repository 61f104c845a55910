#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/board/ColourTrack.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CFieldDrawLink.h"
#include "game/board/field/CGameField.h"
#include "game/board/field/SlotDrawing.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "game/data/effects/CParticleSystem.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/ImageDrawing.h"

#include <algorithm>
#include <cstring>

namespace {

int32_t Level(float value) { return std::clamp(TruncateToInt(value * 255.0f), 0, 255); }

// The track's integer offset; none without a track.
void Offset(const CAnimTrack* track, int32_t* x, int32_t* y)
{
    *x = 0;
    *y = 0;
    if (track)
        SampleCurve2DInt(*track, x, y);
}

} // namespace

int32_t CGameField::FrameOf(const CAnimInstance* anim) const
{
    return anim && mTables.mAnims ? mTables.mAnims->GetFrameImage(*anim) : kNone;
}

int32_t CGameField::ColourSprite(const CFieldBlock& block) const
{
    if (block.mColourAnim)
        return FrameOf(block.mColourAnim);
    return DefinitionSprite(block.mColour);
}

int32_t CGameField::DefinitionSprite(int32_t colour) const
{
    return colour >= 0 && size_t(colour) < mBlockDefs.size() ? mBlockDefs[size_t(colour)].mSprite : kNone;
}

int32_t CGameField::OwnSprite(const CFieldBlock& block) const
{
    return block.mOwnAnim ? FrameOf(block.mOwnAnim) : block.mSprite;
}

void CGameField::DrawSlot(Lumo::Graphics& g, int32_t slot, int32_t x, int32_t y) const
{
    if (mTables.mImages)
        DrawImageCel(slot, *mTables.mImages, g, x, y);
}

void CGameField::DrawSlotTinted(Lumo::Graphics& g, int32_t slot, int32_t x, int32_t y, const Lumo::Color& colour,
                                int32_t drawMode) const
{
    g.SetTintImages(true);
    g.SetColor(colour);
    g.SetDrawMode(drawMode);
    DrawSlot(g, slot, x, y);
    g.SetDrawMode(0);
    g.SetTintImages(false);
}

void CGameField::Draw(Lumo::Graphics& g, int32_t x, int32_t y)
{
    if (mEffects.mShakeTrack) {
        float shake[2];
        SampleCurve2D(mEffects.mShakeTrack->mCurve, shake, mEffects.mShakeTrack->mTime);
        const float a = mEffects.mShakeAmplitude
                            ? SampleCurve1D(mEffects.mShakeAmplitude->mCurve, mEffects.mShakeAmplitude->mTime)
                            : 0.0f;
        x += TruncateToInt(shake[0] * a);
        y += TruncateToInt(shake[1] * a);
    }
    if (mEffects.mBonusInAction && mDrawLink) {
        const CAnimTrack* fade = mDrawLink->BonusFadeTrack();
        mEffects.mBonusAlpha = Level(fade ? SampleCurve1D(fade->mCurve, fade->mTime) : 0.0f);
    }
    switch (mBlockDisplayMode) {
    case 0:
    case 2:
        // Play moves the border with its track; under the shadow ball it stands.
        DrawPlain(g, x, y, mBlockDisplayMode == 0);
        break;
    case 1:
        DrawRandomize(g, x, y);
        break;
    case 3:
        DrawShell(g, x, y);
        break;
    default:
        break;
    }
}

void CGameField::StepShownBlocks()
{
    if (mBlockDisplayMode == 1)
        return;
    StepLineEntries();
    if (mBlockDisplayMode == 2)
        LightShadowBlocks();
    else if (mBlockDisplayMode == 3)
        LightShellBlocks();
}

void CGameField::LightShadowBlocks()
{
    int32_t levels[3] = {0, 0, 0};
    int32_t turn = 0;
    const bool lit = mDrawLink && mDrawLink->ShadowPassCount() == 1;
    if (mDrawLink) {
        mDrawLink->ShadowLevels(&levels[0], &levels[1], &levels[2]);
        turn = mDrawLink->TakeShadowTurn();
    }
    for (int32_t cell = 0; cell < mCellCount; ++cell) {
        const CellRecord& record = mRecords[size_t(cell)];
        const int32_t dc = std::abs(cell % mW - mExcludedColumn);
        const int32_t dr = std::abs(cell / mW - mExcludedRow);
        int32_t level = -1;
        if (dc + dr == 0)
            level = 0;
        else if (dc + dr == 1)
            level = levels[0];
        else if (dc == 1 && dr == 1)
            level = levels[1];
        else if ((dc == 2 && dr == 0) || (dc == 0 && dr == 2))
            level = levels[2];
        for (CFieldBlock* block : {record.mBlock, record.mLeaving, record.mArriving}) {
            if (!block)
                continue;
            if (lit && level >= 0)
                block->mLightLevel = level;
            else if (turn != 0)
                block->mLightLevel = std::clamp(block->mLightLevel + turn, 0, 255);
        }
    }
}

void CGameField::LightShellBlocks()
{
    const int32_t phase = mDrawLink ? mDrawLink->ShellPhase() : 1;
    if (phase != 0 && phase != 2)
        return;
    const CAnimTrack* track = mDrawLink ? mDrawLink->ShellTrack() : nullptr;
    const int32_t v = track ? Level(SampleCurve1D(track->mCurve, track->mTime)) : 0;
    for (const CellRecord& record : mRecords)
        for (CFieldBlock* block : {record.mBlock, record.mLeaving, record.mArriving})
            if (block && block->mShellState == 0)
                block->mLightLevel = v;
}

void CGameField::DrawBorder(Lumo::Graphics& g, int32_t object, int32_t x, int32_t y, bool moved) const
{
    if (!mTables.mObjects || !mTables.mImages)
        return;
    x += mOfsX;
    y += mOfsY;
    const bool tinted = moved && mEffects.mBorderColourTrack;
    if (moved && mEffects.mBorderMotionTrack) {
        float offset[2];
        SampleCurve2D(mEffects.mBorderMotionTrack->mCurve, offset, mEffects.mBorderMotionTrack->mTime);
        x += TruncateToInt(offset[0]);
        y += TruncateToInt(offset[1]);
    }
    if (tinted) {
        g.SetTintImages(true);
        g.SetColor(ColourTrackToColour(*mEffects.mBorderColourTrack));
    }
    DrawObject(*mTables.mObjects, *mTables.mImages, object, g, x, y);
    if (tinted)
        g.SetTintImages(false);
}

void CGameField::DrawPlain(Lumo::Graphics& g, int32_t x, int32_t y, bool borderMoved)
{
    DrawBorder(g, mEffects.mBorderBefore, x, y, borderMoved);
    DrawDetachedBlocks(g, x, y);
    for (const CellRecord& record : mRecords)
        DrawCellRecord(g, record, x, y, true);
    DrawBorder(g, mEffects.mBorderAfter, x, y, borderMoved);
    DrawPopupList(g, x, y);
}

void CGameField::DrawShell(Lumo::Graphics& g, int32_t x, int32_t y)
{
    DrawBorder(g, mEffects.mBorderBefore, x, y, false);
    DrawDetachedBlocks(g, x, y);
    for (const CellRecord& record : mRecords) {
        const bool opening = record.mBlock && (record.mBlock->mShellState == 1 || record.mBlock->mShellState == 2);
        DrawCellRecord(g, record, x, y, !opening);
    }
    DrawBorder(g, mEffects.mBorderAfter, x, y, false);
    DrawPopupList(g, x, y);
}

void CGameField::DrawRandomize(Lumo::Graphics& g, int32_t x, int32_t y)
{
    DrawBorder(g, mEffects.mBorderBefore, x, y, false);
    DrawBorder(g, mEffects.mBorderAfter, x, y, false);
    for (auto ring = mSpinRings.rbegin(); ring != mSpinRings.rend(); ++ring) {
        PlaceSpinRing(*ring);
        for (int32_t j = ring->mElementCount - 1; j >= 0; --j) {
            const CFieldBlock* block = mRecords[size_t(mSpinElements[size_t(ring->mFirstElement + j)].mCell)].mBlock;
            if (block)
                DrawSlot(g, DefinitionSprite(block->mColour), block->mDrawX + x, block->mDrawY + y);
        }
    }
    DrawFieldBonuses(g, x, y);
    DrawPopupList(g, x, y);
}

void CGameField::DrawDetachedBlocks(Lumo::Graphics& g, int32_t x, int32_t y)
{
    for (const CellRecord& record : mDetached)
        if (record.mBlock)
            DrawCellRecord(g, record, x, y, false);
}

void CGameField::DrawLitBlock(Lumo::Graphics& g, const CFieldBlock& block, int32_t x, int32_t y) const
{
    if (block.mLightLevel >= 255) {
        DrawSlot(g, OwnSprite(block), x, y);
        return;
    }
    DrawSlot(g, ColourSprite(block), x, y);
    if (block.mLightLevel > 0)
        DrawSlotTinted(g, OwnSprite(block), x, y, Lumo::Color(255, 255, 255, block.mLightLevel), 0);
}

void CGameField::DrawCellRecord(Lumo::Graphics& g, const CellRecord& record, int32_t x, int32_t y,
                                bool hoverAllowed)
{
    if (CFieldBlock* b = record.mBlock) {
        int32_t mx, my;
        Offset(b->mMotionTrack, &mx, &my);
        b->mDrawX = record.mScreenX + mx;
        b->mDrawY = record.mScreenY + my;
        const int32_t px = b->mDrawX + x;
        const int32_t py = b->mDrawY + y;
        const int32_t k = ColourSprite(*b);
        const int32_t s = OwnSprite(*b);
        const CAnimTrack* highlight = b->mHighlightTrack;
        const Lumo::Color colour = highlight ? ColourTrackToColour(*highlight) : Lumo::Color();
        if (b->mLightLevel >= 255) {
            if (highlight && b->mHighlightMode == 0)
                DrawSlotTinted(g, s, px, py, colour, 0);
            else
                DrawSlot(g, s, px, py);
        } else {
            if (!highlight) {
                DrawSlot(g, k, px, py);
            } else if (b->mHighlightMode == 0) {
                DrawSlotTinted(g, k, px, py, colour, 1);
            } else if (b->mHighlightMode == 1) {
                DrawSlot(g, k, px, py);
                DrawSlotTinted(g, k, px, py, colour, 1);
            } else if (b->mHighlightMode == 2) {
                DrawSlot(g, k, px, py);
                DrawSlotTinted(g, s, px, py, colour, 1);
            } else {
                Lumo::Color faded = colour;
                faded.mAlpha = 255 - colour.mAlpha;
                DrawSlotTinted(g, k, px, py, faded, 0);
                DrawSlotTinted(g, s, px, py, colour, 1);
            }
            if (b->mLightLevel != 0)
                DrawSlotTinted(g, s, px, py, Lumo::Color(255, 255, 255, b->mLightLevel), 0);
        }
        if (hoverAllowed && b->mHover.mAnim)
            DrawBlockHover(g, *b, x, y);
        if (b->mBonus)
            DrawBlockBonus(g, *b, x, y);
    }

    if (const CFieldBlock* a = record.mArriving) {
        if (record.mArrival && mScratch && mTables.mImages) {
            std::memset(mScratch->GetPixelBits(), 0,
                        size_t(mScratch->GetWidth()) * size_t(mScratch->GetHeight()) * sizeof(uint32_t));
            mScratch->MarkBitsChanged();
            const int32_t maskX = mStencilX + record.mScreenX - record.mArrivingX;
            const int32_t maskY = mStencilY + record.mScreenY - record.mArrivingY;
            Lumo::Graphics& scratch = *mScratchGraphics;
            if (a->mLightLevel >= 255) {
                DrawSlotMasked(*mTables.mImages, scratch, OwnSprite(*a), 0, 0, mStencil, maskX, maskY);
            } else {
                DrawSlotMasked(*mTables.mImages, scratch, ColourSprite(*a), 0, 0, mStencil, maskX, maskY);
                if (a->mLightLevel > 0) {
                    scratch.SetTintImages(true);
                    scratch.SetColor(Lumo::Color(255, 255, 255, a->mLightLevel));
                    DrawSlotMasked(*mTables.mImages, scratch, OwnSprite(*a), 0, 0, mStencil, maskX, maskY);
                    scratch.SetTintImages(false);
                }
            }
            g.DrawImage(mScratch.get(), record.mArrivingX + x, record.mArrivingY + y);
        } else {
            DrawLitBlock(g, *a, record.mArrivingX + x, record.mArrivingY + y);
        }
    }

    if (CFieldBlock* l = record.mLeaving) {
        int32_t mx, my;
        Offset(l->mMotionTrack, &mx, &my);
        l->mDrawX = record.mLeavingX + mx;
        l->mDrawY = record.mLeavingY + my;
        DrawLitBlock(g, *l, l->mDrawX + x, l->mDrawY + y);
        if (l->mHover.mAnim)
            DrawBlockHover(g, *l, x, y);
        if (l->mBonus)
            DrawBlockBonus(g, *l, x, y);
    }
}

void CGameField::DrawBlockHover(Lumo::Graphics& g, const CFieldBlock& block, int32_t x, int32_t y) const
{
    const BlockHover& hover = block.mHover;
    const int32_t px = block.mDrawX + mHoverX + x;
    const int32_t py = block.mDrawY + mHoverY + y;
    if (hover.mColourTrack)
        DrawSlotTinted(g, FrameOf(hover.mAnim), px, py, ColourTrackToColour(*hover.mColourTrack), 0);
    else
        DrawSlot(g, FrameOf(hover.mAnim), px, py);
}

void CGameField::DrawBlockBonus(Lumo::Graphics& g, const CFieldBlock& block, int32_t x, int32_t y) const
{
    if (!mDrawLink || !block.mBonus)
        return;
    const BonusAppearance look = mDrawLink->DescribeBonus(*block.mBonus);
    Lumo::Color colour(255, 255, 255, 255);
    bool tinted = false;
    if (look.mColourTrack) {
        colour = ColourTrackToColour(*look.mColourTrack);
        tinted = true;
    }
    if (mEffects.mBonusInAction) {
        tinted = true;
        colour.mAlpha = look.mVisible ? std::min(colour.mAlpha, mEffects.mBonusAlpha) : mEffects.mBonusAlpha;
    }
    const int32_t px = block.mDrawX + look.mOffsetX + x;
    const int32_t py = block.mDrawY + look.mOffsetY + y;
    if (tinted)
        DrawSlotTinted(g, FrameOf(look.mAnim), px, py, colour, 0);
    else
        DrawSlot(g, FrameOf(look.mAnim), px, py);
}

void CGameField::DrawFieldBonuses(Lumo::Graphics& g, int32_t x, int32_t y) const
{
    if (!mDrawLink)
        return;
    for (int32_t i = 0; i < mDrawLink->FieldBonusCount(); ++i) {
        const CFieldBlock* block = mDrawLink->FieldBonusBlock(i);
        if (block && block->mBonus)
            DrawBlockBonus(g, *block, x, y);
    }
}

void CGameField::DrawPopupList(Lumo::Graphics& g, int32_t x, int32_t y)
{
    for (PopupRecord& r : mPopups) {
        switch (r.mType) {
        case PopupRecord::kScore: {
            if (r.mHidden != 0)
                break;
            int32_t ox, oy;
            Offset(r.mMoveTrack, &ox, &oy);
            if (r.mColourTrack)
                DrawSlotTinted(g, r.mSlot, r.mX + ox + x, r.mY + oy + y, ColourTrackToColour(*r.mColourTrack), 0);
            else
                DrawSlot(g, r.mSlot, r.mX + ox + x, r.mY + oy + y);
            break;
        }
        case PopupRecord::kMovingImage:
            if (r.mHidden == 0)
                DrawMovingImage(g, r, x, y);
            break;
        case PopupRecord::kBeam:
            DrawBeam(g, r, x, y);
            break;
        case PopupRecord::kEmitter:
            if (r.mEmitter)
                CParticleSystem::Get().Draw(g, *r.mEmitter, x, y);
            break;
        case PopupRecord::kAnimation:
            DrawSlot(g, FrameOf(r.mAnim), r.mX + x, r.mY + y);
            break;
        default:
            break;
        }
        g.SetTintImages(false);
    }
}

void CGameField::DrawMovingImage(Lumo::Graphics& g, const PopupRecord& r, int32_t x, int32_t y) const
{
    int32_t px = r.mX;
    int32_t py = r.mY;
    if (r.mMoveTrack) {
        float move[2];
        SampleCurve2D(r.mMoveTrack->mCurve, move, r.mMoveTrack->mTime);
        px += TruncateToInt(float(r.mAmplitudeX) * move[0]);
        py += TruncateToInt(float(r.mAmplitudeY) * move[1]);
    }
    if (r.mColourTrack) {
        g.SetTintImages(true);
        g.SetColor(ColourTrackToColour(*r.mColourTrack));
    }
    const CImageSlot* slot = mTables.mImages ? mTables.mImages->Slot(r.mSlot) : nullptr;
    if (!r.mScaleTrack || !slot || !slot->mImage) {
        DrawSlot(g, r.mSlot, px + x, py + y);
        return;
    }
    const Lumo::Rect source = mTables.mImages->SourceRect(r.mSlot);
    const float k = SampleCurve1D(r.mScaleTrack->mCurve, r.mScaleTrack->mTime) - 1.0f;
    const int32_t dw = TruncateToInt(float(source.mWidth) * k);
    const int32_t dh = TruncateToInt(float(source.mHeight) * k);
    if (r.mZoomPosition) {
        px += TruncateToInt(float(px) * k);
        py += TruncateToInt(float(py) * k);
    }
    g.DrawImageStretched(slot->mImage, Lumo::Rect{px + x, py + y, source.mWidth + dw, source.mHeight + dh},
                         source);
}

void CGameField::DrawBeam(Lumo::Graphics& g, PopupRecord& r, int32_t x, int32_t y) const
{
    const int32_t frame = FrameOf(r.mBeamAnim);
    for (int32_t i = 0; i < r.mPieceCount; ++i)
        DrawSlot(g, frame, r.mX + r.mStepX * i + x, r.mY + r.mStepY * i + y);
    CImageSlot* tip = mTables.mImages ? mTables.mImages->Slot(r.mTipSlot) : nullptr;
    if (tip) {
        if (r.mCachedFrame != frame && tip->mImage) {
            // The tip is cleared, not filled: what shows is the frame through the mask only.
            const Lumo::Rect rect = mTables.mImages->SourceRect(r.mTipSlot);
            Lumo::Graphics page(tip->mImage);
            page.SetClipRectR(rect);
            page.ClearRectArea(rect);
            DrawSlotMasked(*mTables.mImages, page, frame, rect.mX, rect.mY, r.mMaskSlot, rect.mX, rect.mY);
            r.mCachedFrame = frame;
        }
        DrawSlot(g, r.mTipSlot, r.mX + r.mStepX * r.mPieceCount + x, r.mY + r.mStepY * r.mPieceCount + y);
    }
    if (r.mGlowAnim)
        DrawSlot(g, FrameOf(r.mGlowAnim), r.mGlowX + x, r.mGlowY + y);
}

void CGameField::DrawPieceMask(int32_t colour, int32_t rows, Lumo::Graphics& g, const uint8_t* mask,
                               int32_t columns, int32_t x, int32_t y) const
{
    const int32_t shift = -TruncateToInt(FieldToScreen({0.0f, float(rows - 1) * mStepY}).mX);
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t k = 0; k < columns; ++k) {
            if (mask[r * columns + k] == 0)
                continue;
            const FieldPoint p = FieldToScreen({float(k) * mStepX, float(r) * mStepY});
            DrawSlot(g, DefinitionSprite(colour), TruncateToInt(p.mX) + x + shift, TruncateToInt(p.mY) + y);
        }
}

int32_t CGameField::AddPopupRecord(const PopupRecord& record)
{
    for (size_t i = 0; i < mPopups.size(); ++i)
        if (mPopups[i].mType == PopupRecord::kFree) {
            mPopups[i] = record;
            return int32_t(i);
        }
    mPopups.push_back(record);
    return int32_t(mPopups.size()) - 1;
}

void CGameField::RemovePopupRecord(int32_t index)
{
    if (index >= 0 && size_t(index) < mPopups.size())
        mPopups[size_t(index)] = PopupRecord{};
}
