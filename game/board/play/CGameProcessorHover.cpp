#include "game/board/play/CGameProcessor.h"

#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CBoardHost.h"
#include "game/board/play/CBonusHooks.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

void CGameProcessor::SpawnHover(CFieldBlock& block, int32_t animation, bool fadeIn, int32_t slot)
{
    BlockHover& hover = block.mHover;
    if (hover.mAnim)
        mLinks.mAnims->ResetInstance(animation, hover.mAnim);
    else
        hover.mAnim = mLinks.mAnims->CreateInstance(animation, &mPlayer);
    hover.mTrack = hover.mAnim ? hover.mAnim->mTrack : nullptr;
    const std::vector<BlockDef>& defs = mLinks.mField->BlockDefs();
    if (block.mColour >= 0 && size_t(block.mColour) < defs.size()) {
        const BlockDef& def = defs[size_t(block.mColour)];
        mLinks.mTracks->StartTrack(hover.mColourTrack, fadeIn ? def.mHoverFadeIn : def.mHoverFadeOut, true,
                                   &mPlayer);
    }
    for (CAnimTrack* track : {hover.mTrack, hover.mColourTrack})
        if (track) {
            mPlayer.ClearFinished(track);
            track->mTime = 0.0f;
            track->mRunning = 1;
            track->mRepeatCount = 1;
            track->mOwnerTag = slot;
            mPlayer.Attach(track);
        }
}

bool CGameProcessor::OnLandingCell(const CFieldBlock& block) const
{
    return block.mColumn == mLinks.mField->ExcludedColumn() && block.mRow == mLinks.mField->ExcludedRow();
}

void CGameProcessor::StartCellHover(CFieldBlock& block)
{
    if (OnLandingCell(block) || mState != 0)
        return;
    BlockHover& hover = block.mHover;
    if (hover.mPhase == 0) {
        hover.mPhase = 1;
        const int32_t slot = NewSlot(kProcessCellHover);
        mSlots[size_t(slot)].SetObject(2, &block);
        SpawnHover(block, mLinks.mField->StartHoverAnim(), true, slot);
    } else if (hover.mPhase == 3) {
        hover.mPhase = 1;
        SpawnHover(block, mLinks.mField->StartHoverAnim(), true, hover.mTrack ? hover.mTrack->mOwnerTag : kNone);
    }
}

void CGameProcessor::StartHoverLoop(CFieldBlock& block)
{
    BlockHover& hover = block.mHover;
    if (hover.mPhase != 1 || !hover.mTrack)
        return;
    hover.mPhase = 2;
    const int32_t slot = hover.mTrack->mOwnerTag;
    mLinks.mAnims->ResetInstance(mLinks.mField->OnHoverAnim(), hover.mAnim);
    mPlayer.ClearFinished(hover.mTrack);
    hover.mTrack->mTime = 0.0f;
    hover.mTrack->mRunning = 1;
    hover.mTrack->mRepeatCount = 1;
    hover.mTrack->mOwnerTag = slot;
    mPlayer.Attach(hover.mTrack);
}

void CGameProcessor::StartHoverEnd(CFieldBlock& block)
{
    BlockHover& hover = block.mHover;
    if (hover.mPhase == 0)
        return;
    hover.mPhase = 3;
    SpawnHover(block, mLinks.mField->EndHoverAnim(), false, hover.mTrack ? hover.mTrack->mOwnerTag : kNone);
}

void CGameProcessor::FinishHover(CFieldBlock& block)
{
    BlockHover& hover = block.mHover;
    if (hover.mPhase == 0)
        return;
    if (hover.mTrack)
        FreeSlot(hover.mTrack->mOwnerTag);
    ReleaseHover(block);
    hover.mPhase = 0;
}

void CGameProcessor::RemoveBonusFromBlock(CFieldBlock& block)
{
    if (mLinks.mBonuses)
        mLinks.mBonuses->TakeOffWithBlock(block);
}

void CGameProcessor::ReleasePooledPair(CFieldBlock& block)
{
    FinishHover(block);
}

void CGameProcessor::ReleaseHover(CFieldBlock& block)
{
    BlockHover& hover = block.mHover;
    if (hover.mAnim)
        mLinks.mAnims->ReleaseInstance(hover.mAnim);
    if (hover.mColourTrack)
        mLinks.mTracks->FreeInstance(hover.mColourTrack);
    hover.mAnim = nullptr;
    hover.mTrack = nullptr;
    hover.mColourTrack = nullptr;
}

void CGameProcessor::FinishHoverTrack(CAnimTrack& track, int32_t slot)
{
    CFieldBlock* block = mSlots[size_t(slot)].Object<CFieldBlock>(2);
    if (!block || &track != block->mHover.mTrack)
        return;
    int32_t column = 0;
    int32_t row = 0;
    const bool over = mLinks.mHost && mLinks.mHost->PointerCell(&column, &row);
    const bool ending = !over || column != block->mColumn || row != block->mRow || OnLandingCell(*block);
    switch (block->mHover.mPhase) {
    case 1:
        if (ending)
            StartHoverEnd(*block);
        else
            StartHoverLoop(*block);
        break;
    case 2:
        if (ending)
            StartHoverEnd(*block);
        else
            RestartTimer(&track, 0.0f);
        break;
    case 3:
        if (!ending)
            StartCellHover(*block);
        // A restart refused (the ball's cell, or play stopped) must not leave the hover ended but alive.
        if (block->mHover.mPhase == 3)
            FinishHover(*block);
        break;
    default:
        break;
    }
}
