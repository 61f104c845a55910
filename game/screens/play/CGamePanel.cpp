#include "game/screens/play/CGamePanel.h"

#include "framework/app/LumoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CSceneObj.h"
#include "game/screens/windows/CGUIController.h"

CGamePanel::CGamePanel(const CGamePanelServices& services) : mServices(services)
{
    CTrackBase& tracks = *mServices.mTracks;
    mSlide = tracks.NewIdleInstance();
    mTurn = tracks.NewIdleInstance();
    mEnergyTrack = tracks.NewIdleInstance();
    for (HoverButton& button : mButtons)
        button.mFade = tracks.NewIdleInstance();
    mFadeOut.mValues = {1.0f, 0.0f};
    mFadeIn.mValues = {0.0f, 1.0f};
}

CGamePanel::~CGamePanel()
{
    CTrackBase& tracks = *mServices.mTracks;
    for (CAnimTrack* track : {mSlide, mTurn, mEnergyTrack, mButtons[0].mFade, mButtons[1].mFade}) {
        if (mServices.mGui != nullptr)
            mServices.mGui->StopTrack(track);
        tracks.FreeInstance(track);
    }
    for (CAnimTrack* track : {mPieceShow, mPieceHide}) {
        if (track != nullptr)
            tracks.FreeInstance(track);
    }
}

void CGamePanel::Reset()
{
    mCanvasGraphics.reset();
    mCanvas.reset();
    if (mCanvasWidth > 0 && mCanvasHeight > 0 &&
        int64_t(mCanvasWidth) * mCanvasHeight <= CImageTable::kMaxBlankPixels) {
        mCanvas = std::make_unique<Lumo::MemoryImage>(mServices.mImages->App());
        mCanvas->SetSize(mCanvasWidth, mCanvasHeight);
        mCanvasGraphics = std::make_unique<Lumo::Graphics>(mCanvas.get());
    }
    CAnimPlayer* player = mServices.mGui != nullptr ? &mServices.mGui->Player() : nullptr;
    mServices.mTracks->StartTimer(mTurn, 0.0f, mTurnSpeed, 1, true, player);
    // The piece keeps turning for as long as it is shown.
    mTurn->mRestart = 1;
    if (mPieceOn && player != nullptr)
        player->Attach(mTurn);
}

void CGamePanel::SetLayoutMode(int32_t mode)
{
    if (mode != kBasic && mode != kScore)
        return;
    mLayoutMode = mode;
    mActive = mode == kBasic ? mBasic : mScore;
    for (const Part* part : {&mActive.mBody, &mActive.mEnergyBar, &mActive.mCompletionBar, &mActive.mMenu,
                             &mActive.mPause}) {
        if (part->mSlot >= 0)
            mServices.mImages->FetchSlotImage(part->mSlot);
    }
}

bool CGamePanel::HeldByGui(const CAnimTrack* track) const
{
    return mServices.mGui != nullptr && mServices.mGui->TrackEntry(track) != nullptr;
}

void CGamePanel::StartSlide(int32_t definition, float startTime)
{
    CAnimPlayer* player = &mServices.mGui->Player();
    if (mServices.mTracks->StartTrack(mSlide, definition, true, player)) {
        mSlide->mTime = startTime;
        mSlide->mRepeatCount = 1;
    }
}

void CGamePanel::SlideOnOff(bool on)
{
    if (on ? mSlideState == kShown : mSlideState == kHidden)
        return;
    const int32_t definition = on ? mSlideOn : mSlideOff;
    const int32_t target = on ? kSlidingIn : kSlidingOut;
    const int32_t opposite = on ? kSlidingOut : kSlidingIn;
    if (!on)
        StopFades();
    // Without a slide the panel is where the slide would have taken it.
    if (mServices.mGui == nullptr || mServices.mTracks->Definition(definition) == nullptr) {
        if (mServices.mGui != nullptr)
            mServices.mGui->StopTrack(mSlide);
        mSlideState = on ? kShown : kHidden;
        return;
    }
    // Turning back mid-way starts from the mirrored time, so the panel never jumps.
    const float startTime = mSlideState == opposite && HeldByGui(mSlide) ? 1.0f - mSlide->mTime : 0.0f;
    if (mSlideState != target)
        StartSlide(definition, startTime);
    mSlideState = target;
    mServices.mGui->StopTrack(mSlide);
    mServices.mGui->StartTrack(mSlide, kActionSlide, 0, 0);
}

void CGamePanel::HideNow()
{
    if (mServices.mGui != nullptr)
        mServices.mGui->StopTrack(mSlide);
    mSlideState = kHidden;
}

int32_t CGamePanel::ShownEnergy() const
{
    if (!mCounting)
        return mEnergy;
    return mEnergyFrom + TruncateToInt(mEnergyTrack->mTime * float(mEnergy - mEnergyFrom));
}

void CGamePanel::StopEnergyCount()
{
    if (mServices.mGui != nullptr)
        mServices.mGui->StopTrack(mEnergyTrack);
    mCounting = false;
}

void CGamePanel::SetEnergy(int32_t percent, bool immediate, float speed)
{
    if (percent == mEnergy)
        return;
    const int32_t from = ShownEnergy();
    StopEnergyCount();
    mEnergy = percent;
    if (immediate || mServices.mGui == nullptr)
        return;
    mEnergyFrom = from;
    mServices.mTracks->StartTimer(mEnergyTrack, 0.0f, speed, 1, true, &mServices.mGui->Player());
    mEnergyTrack->mCurve = nullptr;
    mServices.mGui->StartTrack(mEnergyTrack, kActionEnergy, 0, 0);
    mCounting = true;
}

void CGamePanel::SetHazardTrack(int32_t hazard, CAnimTrack* track)
{
    if (hazard == kHazardTime || hazard == kHazardEnergy)
        mHazards[size_t(hazard)] = track;
}

void CGamePanel::ShowPiece(bool on)
{
    mPieceOn = on;
    if (mServices.mGui == nullptr)
        return;
    if (on)
        mServices.mGui->Player().Attach(mTurn);
    else
        mServices.mGui->Player().Detach(mTurn);
}

void CGamePanel::ShowUndoButton(bool shown)
{
    mUndoShown = shown;
    mUndoState = kUndoIdle;
    mUndoBusy = false;
    if (shown) {
        for (int32_t image : mUndoImages) {
            if (image >= 0)
                mServices.mImages->FetchSlotImage(image);
        }
    }
}

void CGamePanel::StartLevel(int32_t mode, bool undoButton)
{
    SetLayoutMode(mode);
    ShowUndoButton(undoButton);
    SetCrazyIndicator(nullptr, false);
    mCrazyPercent = -1;
}

void CGamePanel::SetCrazyIndicator(const CSceneObj* indicator, bool shown)
{
    if (indicator != nullptr && indicator != mCrazyIndicator) {
        if (indicator->mFrameAnim != nullptr && mServices.mAnims != nullptr)
            mServices.mAnims->FetchFrameImages(*indicator->mFrameAnim);
        else if (indicator->mSlot >= 0)
            mServices.mImages->FetchSlotImage(indicator->mSlot);
    }
    mCrazyIndicator = indicator;
    mCrazyShown = indicator != nullptr && shown;
}

void CGamePanel::OnTrackAction(int32_t action, CAnimTrack* track)
{
    switch (action) {
    case kActionSlide:
        if (track != mSlide)
            return;
        mServices.mGui->StopTrack(track);
        if (mSlideState == kSlidingOut)
            mSlideState = kHidden;
        else if (mSlideState == kSlidingIn)
            mSlideState = kShown;
        return;
    case kActionEnergy:
        if (track == mEnergyTrack)
            StopEnergyCount();
        return;
    case kActionFade:
        for (HoverButton& button : mButtons) {
            if (button.mFade == track) {
                button.mHover = track->mCurve == &mFadeIn;
                mServices.mGui->StopTrack(track);
            }
        }
        return;
    default:
        return;
    }
}
