#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CTrackBase.h"
#include "game/screens/windows/CGUICommandHandler.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUIHost.h"
#include "game/screens/windows/CGUIScrollbar.h"

#include <algorithm>
#include <cmath>

float CGUIController::ReachedWidth() const
{
    const float t = mWindowTrack != nullptr ? mWindowTrack->mTime : 0.0f;
    return mTargetWidth * t + mStartWidth * (1.0f - t);
}

float CGUIController::RollSpeed() const
{
    const float distance = std::fabs(mTargetWidth - mStartWidth);
    if (distance < 1.0f || mWindowRollSpeed <= 0.0f)
        return 1.0f;
    return 1.0f / (distance * mWindowRollSpeed);
}

// Runs the window track from time 0 at speed.
void CGUIController::StartWindowTrack(float speed)
{
    if (mWindowTrack == nullptr)
        mWindowTrack = mHost->Tracks().NewIdleInstance();
    mWindowTrack->mSpeed = speed;
    if (TrackEntry(mWindowTrack) == nullptr) {
        mWindowTrack->mTime = 0.0f;
        mWindowTrack->mRunning = 1;
        mWindowTrack->mRepeatCount = 1;
        StartTrack(mWindowTrack, kTrackWindow, 0, 0);
    } else {
        RestartTrack(mWindowTrack, 0.0f);
    }
}

// Lets the window track run on from its time.
void CGUIController::ResumeWindowTrack()
{
    const float time = mWindowTrack != nullptr ? mWindowTrack->mTime : 0.0f;
    StartWindowTrack(mWindowTrack != nullptr ? mWindowTrack->mSpeed : mBorderShowSpeed);
    mWindowTrack->mTime = time;
}

void CGUIController::OpenWindow(int32_t id, bool immediate)
{
    const GUIWindow* window = Window(id);
    if (window == nullptr) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR CGUIController - no window id %d", id);
        return;
    }
    // A window that stays on screen keeps its widgets.
    const bool stays = !immediate && id == mCurrentWindow && (mState == kShown || mState == kFadingIn);
    if (mWindowOpened && mCurrentWindow != kNoWindow && !stays)
        HideWindowWidgets(mCurrentWindow);
    mWindowOpened = true;
    mLastOpened = id;
    StopWindowTrack();
    if (immediate) {
        if (mWindowTrack != nullptr)
            StopTrack(mWindowTrack);
        mState = kShown;
        mCurrentWindow = id;
        mNextWindow = kNoWindow;
        ShowWindowWidgets(id);
        return;
    }
    const float width = float(window->mWidth);
    const float t = mWindowTrack != nullptr ? mWindowTrack->mTime : 0.0f;
    bool resume = false;
    switch (mState) {
    case kNone:
        if (window->mWidth == 0)
            mCurrentWindow = id;
        mStartWidth = 0.0f;
        mTargetWidth = width;
        mAlphaEnd = 255.0f;
        mAlphaStart = 0.0f;
        mState = kBorderIn;
        StartWindowTrack(mBorderShowSpeed);
        break;
    case kBorderIn:
        mStartWidth = 0.0f;
        mTargetWidth = width;
        resume = true;
        break;
    case kRolling:
    case kRollingClosed:
        mStartWidth = ReachedWidth();
        mTargetWidth = width;
        mState = kRolling;
        mWindowTrack->mTime = 0.0f;
        mWindowTrack->mSpeed = RollSpeed();
        resume = true;
        break;
    case kBorderOut:
        mAlphaEnd = 255.0f;
        mAlphaStart = 0.0f;
        mWindowTrack->mTime = 1.0f - t;
        mState = kBorderIn;
        mStartWidth = 0.0f;
        mTargetWidth = width;
        resume = true;
        break;
    case kFadingIn:
        if (id != mNextWindow) {
            mWindowTrack->mTime = 1.0f - t;
            mState = kFadingOut;
            mAlphaEnd = 0.0f;
            mAlphaStart = 255.0f;
            resume = true;
        }
        break;
    case kShown:
        if (id != mCurrentWindow) {
            mState = kFadingOut;
            mAlphaEnd = 0.0f;
            mAlphaStart = 255.0f;
            // The fade speed a shown window was faded in with; after an immediate
            // opening the track holds no speed of its own.
            StartWindowTrack(mWindowFadeSpeed);
        }
        break;
    default:
        break;
    }
    if (resume)
        ResumeWindowTrack();
    mNextWindow = id;
}

void CGUIController::CloseWindow(bool immediate)
{
    mNextWindow = kNoWindow;
    if (mWindowOpened && mCurrentWindow != kNoWindow)
        HideWindowWidgets(mCurrentWindow);
    if (immediate) {
        if (mCurrentWindow != kNoWindow) {
            mWindowOpened = false;
            mState = kNone;
            mCurrentWindow = kNoWindow;
            if (mWindowTrack != nullptr)
                StopTrack(mWindowTrack);
        }
        return;
    }
    mWindowOpened = false;
    const float t = mWindowTrack != nullptr ? mWindowTrack->mTime : 0.0f;
    switch (mState) {
    case kBorderIn:
        mState = kBorderOut;
        mAlphaEnd = 0.0f;
        mAlphaStart = 255.0f;
        mWindowTrack->mTime = 1.0f - t;
        ResumeWindowTrack();
        break;
    case kRolling:
        mState = kRollingClosed;
        mStartWidth = ReachedWidth();
        mTargetWidth = 0.0f;
        mWindowTrack->mTime = 0.0f;
        mWindowTrack->mSpeed = RollSpeed();
        ResumeWindowTrack();
        break;
    case kFadingIn:
        mWindowTrack->mTime = 1.0f - t;
        mState = kFadingOut;
        mAlphaEnd = 0.0f;
        mAlphaStart = 255.0f;
        ResumeWindowTrack();
        break;
    case kShown:
        mState = kFadingOut;
        mAlphaEnd = 0.0f;
        mAlphaStart = 255.0f;
        StartWindowTrack(mWindowFadeSpeed);
        break;
    default:
        break;
    }
}

void CGUIController::OnWindowTrackFinished()
{
    switch (mState) {
    case kBorderIn:
        mState = kRolling;
        StartWindowTrack(RollSpeed());
        return;
    case kRolling:
        mCurrentWindow = mNextWindow;
        mState = kFadingIn;
        mAlphaEnd = 255.0f;
        mAlphaStart = 0.0f;
        StartWindowTrack(mWindowFadeSpeed);
        mHandler->OnWindowShowing(mCurrentWindow);
        if (mState == kFadingIn && mCurrentWindow != kNoWindow)
            ShowWindowWidgets(mCurrentWindow);
        return;
    case kFadingIn:
        mState = kShown;
        mCurrentWindow = mNextWindow;
        mNextWindow = kNoWindow;
        StopTrack(mWindowTrack);
        // Last: the hook may open the next window.
        mHandler->OnWindowShown(mCurrentWindow);
        return;
    case kFadingOut: {
        StopWindowCountUps(mCurrentWindow);
        mStartWidth = mTargetWidth;
        const GUIWindow* next = Window(mNextWindow);
        if (next == nullptr) {
            mTargetWidth = 0.0f;
            mState = kRollingClosed;
        } else {
            mTargetWidth = float(next->mWidth);
            mState = kRolling;
        }
        StartWindowTrack(RollSpeed());
        return;
    }
    case kRollingClosed:
        mState = kBorderOut;
        mAlphaEnd = 0.0f;
        mAlphaStart = 255.0f;
        StartWindowTrack(mBorderShowSpeed);
        return;
    case kBorderOut:
        mState = kNone;
        mHandler->OnWindowClosed(mCurrentWindow);
        if (mState == kNone)
            StopTrack(mWindowTrack);
        return;
    default:
        RestartTrack(mWindowTrack, 0.0f);
        return;
    }
}

void CGUIController::ShowWindowWidgets(int32_t id)
{
    const GUIWindow* window = Window(id);
    Lumo::WidgetManager* manager = mApp->mWidgetManager;
    if (window == nullptr)
        return;
    const int32_t left = 400 - window->mWidth / 2;
    for (int32_t i = window->mFirstButton; i < window->mEndButton; ++i)
        mButtons[size_t(i)].mState = GUIButton::kIdle;
    if (manager == nullptr)
        return;
    for (int32_t i = window->mFirstEditBox; i < window->mEndEditBox; ++i) {
        GUIEditBox& edit = mEditBoxes[size_t(i)];
        Lumo::Font* font = FontOf(edit.mFont);
        if (font != nullptr)
            edit.mWidget->SetFont(font, nullptr);
        edit.mWidget->Resize(edit.mPos.mX + left, edit.mPos.mY, edit.mPos.mWidth, edit.mPos.mHeight);
        if (!manager->HasChild(edit.mWidget.get()))
            manager->AddChild(edit.mWidget.get());
        manager->BringToFront(edit.mWidget.get());
        manager->SetFocus(edit.mWidget.get());
    }
    for (int32_t i = window->mFirstListBox; i < window->mEndListBox; ++i) {
        GUIListBox& list = mListBoxes[size_t(i)];
        const Lumo::Rect& r = list.mScrollbarRect;
        list.mScrollbar->Resize(r.mX + left, r.mY, r.mWidth, r.mHeight);
        if (!manager->HasChild(list.mScrollbar.get()))
            manager->AddChild(list.mScrollbar.get());
        manager->BringToFront(list.mScrollbar.get());
    }
}

void CGUIController::HideWindowWidgets(int32_t id)
{
    const GUIWindow* window = Window(id);
    Lumo::WidgetManager* manager = mApp->mWidgetManager;
    if (window == nullptr || manager == nullptr)
        return;
    bool focusLost = false;
    for (int32_t i = window->mFirstEditBox; i < window->mEndEditBox; ++i) {
        Lumo::Widget* edit = mEditBoxes[size_t(i)].mWidget.get();
        if (!manager->HasChild(edit))
            continue;
        focusLost = focusLost || manager->mFocusWidget == edit;
        manager->RemoveChild(edit);
    }
    // The host takes the keys and the wheel again; at shutdown it may be gone already.
    if (focusLost && manager->HasChild(mOwner))
        manager->SetFocus(mOwner);
    for (int32_t i = window->mFirstListBox; i < window->mEndListBox; ++i) {
        if (manager->HasChild(mListBoxes[size_t(i)].mScrollbar.get()))
            manager->RemoveChild(mListBoxes[size_t(i)].mScrollbar.get());
    }
}

void CGUIController::StopWindowTrack()
{
    if (mFadeTrack != nullptr && mFadeTrack->mAttached)
        StopTrack(mFadeTrack);
}

void CGUIController::StartWindowFade(float speed)
{
    if (mFadeTrack == nullptr)
        mFadeTrack = mHost->Tracks().NewIdleInstance();
    StopTrack(mFadeTrack);
    mFadeTrack->mSpeed = speed;
    mFadeTrack->mTime = 0.0f;
    mFadeTrack->mRunning = 1;
    mFadeTrack->mRepeatCount = 1;
    StartTrack(mFadeTrack, kTrackWindowFade, 9, 0);
}

void CGUIController::SetHighlight(bool show)
{
    if (!show && (!mHighlightOn || mHighlightHiding))
        return;
    const CGUITuning tuning = mHost->Tuning();
    CTrackBase& tracks = mHost->Tracks();
    if (mWheelTurn == nullptr)
        mWheelTurn = tracks.NewIdleInstance();
    if (mWheelFade == nullptr)
        mWheelFade = tracks.NewIdleInstance();
    mWheelCurve.mChannels = 1;
    mWheelCurve.mValues = show ? std::vector<float>{0.0f, 1.0f} : std::vector<float>{1.0f, 0.0f};
    mWheelFade->mCurve = &mWheelCurve;
    if (show) {
        mWheelTurn->mSpeed = tuning.mWheelSpeed;
        StopTrack(mWheelTurn);
        mWheelTurn->mTime = 0.0f;
        mWheelTurn->mRunning = 1;
        mWheelTurn->mRepeatCount = 1;
        StartTrack(mWheelTurn, kTrackHighlight, 0, 0);
    }
    mWheelFade->mSpeed = tuning.mWheelFadeSpeed;
    StopTrack(mWheelFade);
    mWheelFade->mTime = 0.0f;
    mWheelFade->mRunning = 1;
    mWheelFade->mRepeatCount = 1;
    StartTrack(mWheelFade, kTrackHighlight, 1, 0);
    mHighlightOn = true;
    mHighlightHiding = !show;
}

void CGUIController::OnHighlightTrackFinished(CAnimTrack* track)
{
    if (track == mWheelTurn) {
        RestartTrack(track, 0.0f);
        return;
    }
    if (track != mWheelFade || !mHighlightHiding)
        return;
    CTrackBase& tracks = mHost->Tracks();
    for (CAnimTrack** wheel : {&mWheelTurn, &mWheelFade}) {
        StopTrack(*wheel);
        tracks.FreeInstance(*wheel);
        *wheel = nullptr;
    }
    mHighlightOn = false;
    mHighlightHiding = false;
}
