#include "game/board/play/CGameProcessor.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/core/RandomNumber.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelFlow.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CBoardHost.h"
#include "game/board/play/CBonusHooks.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

constexpr float kDelayStart = 0.9f;
constexpr float kDelaySpeed = 0.1f;
constexpr uint32_t kBallResetBits = CBall::kBouncing | CBall::kRising | CBall::kFalling | CBall::kFlying |
                                    CBall::kCarried | CBall::kLanded;

bool ValidKind(int32_t kind) { return kind >= kProcessCellHover && kind <= kProcessUndo; }

} // namespace

CGameProcessor::CGameProcessor(const ProcessorLinks& links) : mLinks(links) {}

CGameProcessor::~CGameProcessor() = default;

void CGameProcessor::Init()
{
    CTrackBase& tracks = *mLinks.mTracks;
    if (mLinks.mField)
        mLinks.mField->SetReleaseHandler(this);
    for (CAnimTrack** owned : {&mDelayTimer, &mHazardCheck, &mComboWindow})
        *owned = tracks.NewIdleInstance();
    const CGameConfig::Values& config = CGameConfig::live;
    const int32_t definitions[3] = {config.ctrlHazardEnergy, config.ctrlHazardTime, config.ctrlHazardBall};
    for (size_t i = 0; i < mHazardTracks.size(); ++i) {
        mHazardTracks[i] = tracks.NewIdleInstance();
        tracks.StartTrack(mHazardTracks[i], definitions[i], false, &mPlayer);
        mHazardTracks[i]->mRepeatCount = 1;
    }
    mComboWindow->mRepeatCount = 1;
    StartProcess(kProcessComboWindow, mComboWindow, false);
    mUndoCurve.mChannels = 4;
    mUndoCurve.mValues = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f};
    mNewBlocks.reserve(64);
    SetUpPopupStrip();
    RegisterOwnKinds();
}

void CGameProcessor::Shutdown()
{
    if (mLinks.mField)
        mLinks.mField->SetReleaseHandler(nullptr);
    RemoveArrows();
    CTrackBase& tracks = *mLinks.mTracks;
    for (CAnimTrack** owned : {&mDelayTimer, &mHazardCheck, &mComboWindow, &mHazardTracks[0], &mHazardTracks[1],
                               &mHazardTracks[2], &mUndoTimer, &mBallFadeTimer}) {
        if (*owned)
            tracks.FreeInstance(*owned);
        *owned = nullptr;
    }
    if (mLinks.mImages)
        mLinks.mImages->FreeStrip(mStrip);
    Log("Chainstore Capacity=%d, occupied=%d", int32_t(mChainStore.Size()), int32_t(mChainStore.Used()));
    Log("Groupstore Capacity=%d, occupied=%d", int32_t(mGroupStore.Size()), int32_t(mGroupStore.Used()));
}

void CGameProcessor::RegisterKind(int32_t kind, ProcessHandler handler)
{
    if (ValidKind(kind))
        mHandlers[size_t(kind)] = std::move(handler);
}

CGameProcessor::SettleClass CGameProcessor::SettleClassOf(int32_t kind)
{
    switch (kind) {
    case kProcessCellHover:
    case kProcessBonusTimer:
    case kProcessSniper:
    case kProcessShadowBall:
    case kProcessShell:
    case kProcessTimeBonus:
    case kProcessHidePanelPiece:
    case kProcessShowPanelPiece:
    case kProcessHazardCheck:
    case kProcessCrazyLevel:
        return SettleClass::kStop;
    case kProcessBlockBump:
    case kProcessLinePlacement:
    case kProcessBlockFall:
    case kProcessLineStart:
    case kProcessBlockRemoval:
    case kProcessBonusFade:
    case kProcessRandomizeRing:
    case kProcessRandomizeColours:
    case kProcessShellFrame:
    case kProcessPowerBall:
    case kProcessBomb:
    case kProcessSuperBonus:
    case kProcessBonusBanner:
    case kProcessUndo:
    case kProcessScorePopup:
        return SettleClass::kBusy;
    default:
        return SettleClass::kPass;
    }
}

int32_t CGameProcessor::NewSlot(int32_t kind)
{
    const int32_t index = mIndices.Allocate();
    if (size_t(index) == mSlots.size())
        mSlots.emplace_back();
    mSlots[size_t(index)] = ProcessSlot{};
    mSlots[size_t(index)].mKind = kind;
    return index;
}

ProcessSlot& CGameProcessor::StartProcess(int32_t kind, CAnimTrack* track, bool attach)
{
    const int32_t index = NewSlot(kind);
    track->mOwnerTag = index;
    if (attach)
        mPlayer.Attach(track);
    return mSlots[size_t(index)];
}

ProcessSlot& CGameProcessor::StartProcessWith(int32_t kind, const ProcessSlot& record, CAnimTrack* track)
{
    ProcessSlot& slot = StartProcess(kind, track, true);
    slot = record;
    slot.mKind = kind;
    return slot;
}

void CGameProcessor::FreeSlot(int32_t slot)
{
    if (slot < 0 || size_t(slot) >= mSlots.size() || mSlots[size_t(slot)].mKind == kProcessFree)
        return;
    mSlots[size_t(slot)] = ProcessSlot{};
    mIndices.Release(slot);
}

void CGameProcessor::StopProcess(CAnimTrack* track)
{
    FreeSlot(track->mOwnerTag);
    mPlayer.Detach(track);
    track->mOwnerTag = kNone;
}

void CGameProcessor::StopExplosionAnim(CAnimTrack& track)
{
    const int32_t slot = track.mOwnerTag;
    const int32_t record = slot >= 0 && size_t(slot) < mSlots.size() ? int32_t(mSlots[size_t(slot)].Word(3)) : kNone;
    StopProcess(&track);
    CGameField& field = *mLinks.mField;
    if (record >= 0 && record < field.PopupCount() && field.Popup(record).mAnim && mLinks.mAnims)
        mLinks.mAnims->ReleaseInstance(field.Popup(record).mAnim);
    field.RemovePopupRecord(record);
}

void CGameProcessor::StopExplosionAnims()
{
    const CAnimTrack* handled = nullptr;
    size_t i = 0;
    while (i < mPlayer.mActive.size()) {
        CAnimTrack* track = mPlayer.mActive[i];
        const int32_t slot = track->mOwnerTag;
        if (slot < 0 || size_t(slot) >= mSlots.size() || mSlots[size_t(slot)].mKind != kProcessFinalOutro) {
            ++i;
            continue;
        }
        // A track that stays after its own removal would loop for ever.
        if (track == handled)
            return;
        handled = track;
        StopExplosionAnim(*track);
        i = 0;
    }
}

void CGameProcessor::RestartTimer(CAnimTrack* track, float time)
{
    track->mTime = time;
    track->mRunning = 1;
    track->mRepeatCount = 1;
    mPlayer.ClearFinished(track);
}

int32_t CGameProcessor::LiveProcesses() const
{
    int32_t live = 0;
    for (const ProcessSlot& slot : mSlots)
        live += slot.mKind != kProcessFree;
    return live;
}

void CGameProcessor::SetDrain(bool on, float rate)
{
    mDrainOn = on;
    mDrainRate = rate;
    mDrainAccumulator = 0.0f;
}

void CGameProcessor::PlaySound(int32_t id)
{
    if (mLinks.mApp)
        mLinks.mApp->PlaySoundById(id);
}

void CGameProcessor::Log(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "%s", text);
}

void CGameProcessor::DispatchFinished(float dt)
{
    mPlayer.Update(dt);
    if (mPendingBlockMoves != 0)
        mSettleTimer -= dt;
    DrainPoints(dt);

    // Follow-ups may take tracks off the list, never put any on it.
    for (size_t i = 0; i < mPlayer.mFinished.size(); ++i) {
        CAnimTrack* track = mPlayer.mFinished[i];
        if (!track)
            continue;
        track->mFinishedIndex = kNone;
        mPlayer.mFinished[i] = nullptr;
        const int32_t slot = track->mOwnerTag;
        if (slot < 0 || size_t(slot) >= mSlots.size())
            continue;
        const int32_t kind = mSlots[size_t(slot)].mKind;
        if (!ValidKind(kind) || !mHandlers[size_t(kind)].mFinished)
            continue;
        mHandlers[size_t(kind)].mFinished(*track, slot);
    }
    mPlayer.mFinished.clear();
}

void CGameProcessor::DrainPoints(float dt)
{
    if (!mDrainOn || mState != 0 || (mLinks.mBonuses && mLinks.mBonuses->TimeBonusRunning()))
        return;
    mDrainAccumulator += mDrainRate * dt;
    if (!std::isfinite(mDrainAccumulator)) {
        mDrainAccumulator = 0.0f;
        return;
    }
    const float whole = std::floor(mDrainAccumulator);
    if (whole <= 0.0f)
        return;
    mDrainAccumulator -= whole;
    CLevelFlow* level = mLinks.mLevel;
    if (!level || level->GameMode() == 2)
        return;
    const int32_t points = level->Points();
    const int32_t taken = whole < float(points) ? int32_t(whole) : points;
    level->SetPoints(points - (taken > 0 ? taken : 0));
    level->UpdateProgressBar();
    level->SetChanged();
}

void CGameProcessor::SetState(int32_t state, bool force)
{
    const int32_t previous = mState;
    mState = state;
    CBoardHost* host = mLinks.mHost;
    switch (state) {
    case 0:
        if (host)
            host->LogInstanceStats("PR: ");
        mUndoRequest = false;
        StopDelay();
        if (force || (mLinks.mLevel && mLinks.mLevel->GameMode() == 1)) {
            if (host)
                host->ResumePlay();
            if (mLinks.mField)
                mLinks.mField->Effects().mBonusInAction = 0;
            mBusy = 0;
            if (mLinks.mBonuses)
                mLinks.mBonuses->ForgetLastSample();
        }
        break;
    case 1:
        ResetAndDelay(state, force);
        break;
    case 2:
        if (host)
            host->LogInstanceStats("LD: ");
        if (mComboWindow->mAttached && previous == 0) {
            ApplyPendingCombo();
            mPlayer.Detach(mComboWindow);
        }
        ResetAndDelay(state, force);
        break;
    case 3:
    case 4:
    case 5:
        if (host) {
            host->LogInstanceStats(state == 3 ? "\nIN: " : "OU: ");
            host->PutToRest();
        }
        StopDelay();
        if (mLinks.mLevel) {
            if (state == 3)
                mLinks.mLevel->StartIntro(Lumo::RandomNumber(3) + 1);
            else if (state == 4)
                mLinks.mLevel->StartOutro(Lumo::RandomNumber(3) + 6);
            else
                mLinks.mLevel->StartFinalOutro();
        }
        break;
    case 6:
        FinishScorePopups();
        ResetAndDelay(state, force);
        break;
    default:
        break;
    }
}

void CGameProcessor::StopDelay()
{
    if (mDelayTimer->mAttached)
        StopProcess(mDelayTimer);
}

void CGameProcessor::ResetAndDelay(int32_t state, bool force)
{
    const bool mapGame = mLinks.mLevel && mLinks.mLevel->GameMode() == 1;
    if (mapGame || state == 1 || state == 6 || force) {
        if (mLinks.mHost)
            mLinks.mHost->PutToRest();
        if (mLinks.mBall) {
            mLinks.mBall->ClearState(kBallResetBits);
            mLinks.mBall->SetState(CBall::kFrozen | CBall::kHeld);
        }
        if (mLinks.mBonuses)
            mLinks.mBonuses->ClearFieldBonuses(false);
        mBusy = 1;
    }
    if (!mDelayTimer->mAttached) {
        mLinks.mTracks->StartTimer(mDelayTimer, kDelayStart, kDelaySpeed, 1, true, &mPlayer);
        StartProcess(kProcessDelay, mDelayTimer, true);
    }
}

void CGameProcessor::WaitForSettle()
{
    const bool acting = (mLinks.mLevel && mLinks.mLevel->GameMode() == 1) || mState == 1 || mState == 6;
    CAnimTrack* stopped = nullptr;
    size_t i = 0;
    while (i < mPlayer.mActive.size()) {
        CAnimTrack* track = mPlayer.mActive[i];
        const int32_t slot = track->mOwnerTag;
        const int32_t kind = slot >= 0 && size_t(slot) < mSlots.size() ? mSlots[size_t(slot)].mKind : 0;
        Log("[%d] tag=%d pid=%d", kind, slot, int32_t(i));
        SettleClass settle = SettleClassOf(kind);
        if (kind == kProcessScorePopup && mState == 2)
            settle = SettleClass::kPass;
        if (!acting || settle == SettleClass::kPass) {
            ++i;
            continue;
        }
        if (settle == SettleClass::kBusy || track == stopped) {
            Log("\t[%d]", kind);
            RestartTimer(mDelayTimer, 0.0f);
            return;
        }
        const ProcessHandler& handler = mHandlers[size_t(kind)];
        if (handler.mStop)
            handler.mStop(*track, slot);
        else
            StopProcess(track);
        stopped = track;
        i = 0;
    }
    Log("change done");
    StopProcess(mDelayTimer);
    if (mLinks.mLevel)
        mLinks.mLevel->HandleState();
    if (mLinks.mHost)
        mLinks.mHost->LogInstanceStats("AG: ");
}

void CGameProcessor::RegisterOwnKinds()
{
    RegisterKind(kProcessCellHover, {[this](CAnimTrack& track, int32_t slot) { FinishHoverTrack(track, slot); },
                                     [this](CAnimTrack&, int32_t slot) {
                                         if (CFieldBlock* block = mSlots[size_t(slot)].Object<CFieldBlock>(2))
                                             FinishHover(*block);
                                         FreeSlot(slot);
                                     }});
    RegisterKind(kProcessLinePlacement,
                 {[this](CAnimTrack& track, int32_t slot) { FinishLinePlacement(track, slot); }, {}});
    RegisterKind(kProcessBlockFall, {[this](CAnimTrack&, int32_t slot) { FinishBlockFall(slot); }, {}});
    RegisterKind(kProcessLineStart, {[this](CAnimTrack& track, int32_t) {
                                         const float overshoot = track.mOvershoot;
                                         StopProcess(&track);
                                         mLinks.mTracks->FreeInstance(&track);
                                         FinishGroupStep(overshoot);
                                     },
                                     {}});
    RegisterKind(kProcessBlockRemoval, {[this](CAnimTrack& track, int32_t slot) {
                                            const int32_t first = int32_t(mSlots[size_t(slot)].Word(3));
                                            const int32_t end = int32_t(mSlots[size_t(slot)].Word(4));
                                            StopProcess(&track);
                                            mLinks.mTracks->FreeInstance(&track);
                                            FinishBlockRemoval(first, end);
                                        },
                                        {}});
    RegisterKind(kProcessUndo, {[this](CAnimTrack& track, int32_t) { FinishUndo(track); }, {}});
    RegisterKind(kProcessBlockBump, {[this](CAnimTrack& track, int32_t slot) { FinishBlockBump(track, slot); }, {}});
    RegisterKind(kProcessComboWindow, {[this](CAnimTrack& track, int32_t) {
                                           if (mState != 0)
                                               return;
                                           track.mTime = 0.0f;
                                           track.mRunning = 1;
                                           ApplyPendingCombo();
                                           mPlayer.Detach(&track);
                                       },
                                       {}});
    RegisterKind(kProcessScorePopup, {[this](CAnimTrack& track, int32_t) { FinishScorePopup(track); }, {}});
    RegisterKind(kProcessHazardCheck, {[this](CAnimTrack& track, int32_t) { FinishHazardCheck(track); }, {}});
    RegisterKind(kProcessDelay, {[this](CAnimTrack&, int32_t) { WaitForSettle(); }, {}});
    RegisterKind(kProcessHazardBall, {[this](CAnimTrack& track, int32_t) {
                                          if (track.mRunning)
                                              return;
                                          if (mLinks.mBall)
                                              mLinks.mBall->SetHazardTrack(nullptr);
                                          StopProcess(&track);
                                      },
                                      {}});
    RegisterPanelPieceKinds();
}
