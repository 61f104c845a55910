#include "game/board/play/CGameProcessor.h"

#include "game/board/play/CBall.h"
#include "game/board/play/CBoardHost.h"
#include "game/board/play/CBonusHooks.h"
#include "game/board/field/CGameField.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/levels/CLevelFlow.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CTrackBase.h"

void CGameProcessor::StartHazardBall()
{
    CAnimTrack* track = mHazardTracks[kHazardBall];
    if (mLinks.mBall)
        mLinks.mBall->SetHazardTrack(track);
    if (!track->mAttached)
        StartProcess(kProcessHazardBall, track, true);
    RestartTimer(track, 0.0f);
}

void CGameProcessor::StopHazard(int32_t hazard)
{
    CAnimTrack* track = mHazardTracks[size_t(hazard)];
    if (track->mAttached)
        StopProcess(track);
    if (mLinks.mHost)
        mLinks.mHost->SetHazardTrack(hazard == kHazardTime ? 0 : 1, nullptr);
}

void CGameProcessor::ShowHazard(int32_t hazard, int32_t kind)
{
    CAnimTrack* track = mHazardTracks[size_t(hazard)];
    if (mLinks.mHost)
        mLinks.mHost->SetHazardTrack(hazard == kHazardTime ? 0 : 1, track);
    if (!track->mAttached) {
        track->mRunning = 1;
        StartProcess(kind, track, true);
    }
}

void CGameProcessor::SetHazards(bool on, int32_t flags)
{
    if (!on) {
        StopHazard(kHazardTime);
        StopHazard(kHazardEnergy);
        return;
    }
    if (!mHazardCheck->mAttached) {
        mLinks.mTracks->StartTimer(mHazardCheck, 0.0f, CGameConfig::live.period, 1, true, &mPlayer);
        StartProcess(kProcessHazardCheck, mHazardCheck, true);
    }
    if (flags & kTimeHazard)
        ShowHazard(kHazardTime, kProcessTimeWarning);
    else
        StopHazard(kHazardTime);
    if (flags & kEnergyHazard)
        ShowHazard(kHazardEnergy, kProcessEnergyWarning);
    else
        StopHazard(kHazardEnergy);
}

void CGameProcessor::FinishHazardCheck(CAnimTrack& track)
{
    int32_t flags = 0;
    if (mLinks.mLevel && !mLinks.mLevel->GetHazardFlags(&flags))
        flags = 0;
    if (flags != 0) {
        SetHazards(true, flags);
        RestartTimer(&track, 0.0f);
    } else {
        SetHazards(false, 0);
        StopProcess(&track);
    }
}

void CGameProcessor::StartBlockBump(CFieldBlock& block, int32_t definition)
{
    if (block.mMotionTrack)
        return;
    if (!mLinks.mTracks->StartTrack(block.mMotionTrack, definition, true, &mPlayer))
        return;
    CAnimTrack* track = block.mMotionTrack;
    track->mTime = 0.0f;
    track->mRepeatCount = 1;
    ProcessSlot& process = StartProcess(kProcessBlockBump, track, true);
    process.SetObject(3, &block);
    process.SetObject(4, track);
}

void CGameProcessor::FinishBlockBump(CAnimTrack& track, int32_t slot)
{
    CFieldBlock* block = mSlots[size_t(slot)].Object<CFieldBlock>(3);
    FreeSlot(slot);
    track.mOwnerTag = kNone;
    if (block && block->mMotionTrack == &track)
        block->mMotionTrack = nullptr;
    mLinks.mTracks->FreeInstance(&track);
}

int32_t CGameProcessor::ApplyPendingCombo()
{
    const int32_t level = mLinks.mLevel ? mLinks.mLevel->ApplyCombo() : 0;
    if (level == 0)
        return 0;
    if (level == 4)
        PlaySound(1);
    ShowPopup(level, mLinks.mLevel->ComboValue(level), false, 0, 0);
    return level;
}

void CGameProcessor::OnBallLanded(CFieldBlock* block, bool scored)
{
    if (scored) {
        PlaySound(5);
        if (!mComboWindow->mAttached) {
            mComboWindow->mTime = 0.0f;
            mComboWindow->mRunning = 1;
            mPlayer.Attach(mComboWindow);
        }
    } else if (mComboWindow->mAttached) {
        const int32_t level = ApplyPendingCombo();
        mPlayer.Detach(mComboWindow);
        if (level != 4)
            PlaySound(4);
    } else {
        PlaySound(4);
    }

    const int32_t bump = mLinks.mField->SpringTrack();
    CBonusHooks* bonuses = mLinks.mBonuses;
    if (bonuses && bonuses->SniperRunning()) {
        CAnimTrack* aim = bonuses->SniperAimTrack();
        if (!mBlockLinksCleared) {
            mLinks.mField->ClearBlockLinks();
            mLinks.mField->Grid().MarkMatchedGroups(aim);
            mBlockLinksCleared = true;
        }
        if (aim) {
            aim->mTime = 0.0f;
            aim->mRunning = 1;
        }
    } else if (bonuses && bonuses->ShellActive() && !scored && block && !block->mMotionTrack &&
               block->mLightLevel > 10) {
        // A lit block opening under the shell bumps with the field's second block animation.
        StartBlockBump(*block, mLinks.mField->SpinTrack());
        bonuses->ShellLanding(*block);
        return;
    }
    if (!scored && block)
        StartBlockBump(*block, bump);
}

void CGameProcessor::ResetComboWindow(float speed)
{
    mPlayer.Detach(mComboWindow);
    mComboWindow->mTime = 0.0f;
    mComboWindow->mSpeed = speed;
}
