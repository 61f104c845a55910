#include "game/screens/play/CGamePanel.h"

#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/screens/CGameFlowHost.h"
#include "game/screens/play/CPauseHandler.h"
#include "game/screens/windows/CGUIController.h"

namespace {

bool Inside(const Lumo::Rect& rect, int32_t x, int32_t y)
{
    return x >= rect.mX && y >= rect.mY && x < rect.mX + rect.mWidth && y < rect.mY + rect.mHeight;
}

} // namespace

Lumo::Rect CGamePanel::UndoRect() const
{
    return Lumo::Rect{kCentreLine + mUndoOffset.mX, mUndoOffset.mY, mUndoSize.mX, mUndoSize.mY};
}

bool CGamePanel::InUndo(int32_t px, int32_t py) const { return Inside(UndoRect(), px, py); }

int32_t CGamePanel::BodyHeight() const { return PartRect(mActive.mBody).mHeight; }

float CGamePanel::Highlight(int32_t button) const
{
    const HoverButton& b = mButtons[size_t(button)];
    if (HeldByGui(b.mFade))
        return SampleCurve1D(b.mFade->mCurve, b.mFade->mTime);
    return b.mHover ? 1.0f : 0.0f;
}

void CGamePanel::StartFade(int32_t button, bool in)
{
    CAnimTrack*& fade = mButtons[size_t(button)].mFade;
    // Turning back mid-way keeps the highlight where it is.
    const float startTime = HeldByGui(fade) ? 1.0f - fade->mTime : 0.0f;
    mServices.mTracks->StartTimer(fade, startTime, mFadeSpeed, 1, true, &mServices.mGui->Player());
    fade->mCurve = in ? &mFadeIn : &mFadeOut;
    mServices.mGui->StartTrack(fade, kActionFade, button, 0);
}

void CGamePanel::UpdateHover(int32_t button, bool inside)
{
    HoverButton& b = mButtons[size_t(button)];
    const bool fading = HeldByGui(b.mFade);
    const bool towards = fading ? b.mFade->mCurve == &mFadeIn : b.mHover;
    if (inside == towards)
        return;
    if (inside)
        b.mHover = true;
    if (mServices.mGui != nullptr)
        StartFade(button, inside);
    else
        b.mHover = inside;
}

void CGamePanel::StopFades()
{
    for (HoverButton& button : mButtons) {
        if (mServices.mGui != nullptr)
            mServices.mGui->StopTrack(button.mFade);
        button.mHover = false;
    }
}

void CGamePanel::OnPointerMove(int32_t x, int32_t y)
{
    mPointerX = x;
    mPointerY = y;
    if (Sliding())
        return;
    const int32_t py = y - mVOffset;
    UpdateHover(kMenuButton, Inside(mActive.mMenuRect, x, py));
    UpdateHover(kPauseButton, Inside(mActive.mPauseRect, x, py));
    if (!mUndoShown || mUndoBusy)
        return;
    const bool inside = InUndo(x, py);
    if (mUndoState == kUndoIdle && inside)
        mUndoState = kUndoHovered;
    else if (mUndoState == kUndoHovered && !inside)
        mUndoState = kUndoIdle;
}

void CGamePanel::ReleaseUndo(bool inside)
{
    if (!inside) {
        mUndoState = kUndoIdle;
        return;
    }
    mUndoBusy = mServices.mProcessor != nullptr && mServices.mProcessor->StartUndo();
    if (!mUndoBusy)
        mUndoState = kUndoHovered;
}

void CGamePanel::OnPointerButton(int32_t x, int32_t y, bool pressed)
{
    mPointerX = x;
    mPointerY = y;
    if (Sliding())
        return;
    const int32_t py = y - mVOffset;
    if (py >= BodyHeight()) {
        if (!pressed && mUndoState == kUndoPressed && !mUndoBusy)
            ReleaseUndo(false);
        return;
    }
    if (Inside(mActive.mMenuRect, x, py)) {
        if (pressed)
            return;
        SlideOnOff(false);
        if (mServices.mFlow != nullptr)
            mServices.mFlow->SetGamePaused(true);
        if (mServices.mGui != nullptr)
            mServices.mGui->OpenWindow(kMenuConfirmWindow, false);
        return;
    }
    if (Inside(mActive.mPauseRect, x, py)) {
        if (!pressed && mServices.mPause != nullptr)
            mServices.mPause->TogglePause();
        return;
    }
    if (!mUndoShown || mUndoBusy)
        return;
    if (pressed) {
        if (mUndoState == kUndoHovered)
            mUndoState = kUndoPressed;
    } else if (mUndoState == kUndoPressed) {
        ReleaseUndo(InUndo(x, py));
    }
}

void CGamePanel::HitTestUndo()
{
    mUndoBusy = false;
    mUndoState = InUndo(mPointerX, mPointerY - mVOffset) ? kUndoHovered : kUndoIdle;
}
