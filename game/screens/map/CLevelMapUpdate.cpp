#include "game/screens/map/CLevelMap.h"

#include "framework/app/LumoAppBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "game/screens/windows/CGUIController.h"

namespace {

constexpr float kWindowOpenAlpha = 0.7f;
constexpr float kFullTurn = 6.28f;

} // namespace

void CLevelMap::Update()
{
    if (mServices.mApp != nullptr && !mServices.mApp->IsActive())
        return;
    UpdateVisibility();
    if (mVisibility == kGone)
        return;
    mAngle += mRotationSpeed;
    if (mAngle > kFullTurn)
        mAngle -= kFullTurn;
    mLights.Update();
    mTyper.Update();
    mLights.StepLight(mCrossFade);
    for (Monitor& monitor : mMonitors) {
        if (monitor.mImage < 0)
            continue;
        monitor.mOffset += monitor.mSpeed;
        if (monitor.mOffset > 1.0f)
            monitor.mOffset -= 1.0f;
    }
    if (mStartTimer <= 1.0f) {
        mStartTimer += mActionDelay;
    } else {
        UpdateHighlight();
        UpdateLights();
        UpdateScreens();
    }
    UpdateCupHover();
    mPlayer.Update(1.0f);
    for (CAnimTrack* track : mPlayer.mFinished) {
        if (track != nullptr)
            track->mFinishedIndex = CAnimTrack::kNone;
    }
    mPlayer.mFinished.clear();
    MarkDirty();
}

void CLevelMap::UpdateVisibility()
{
    switch (mVisibility) {
    case kShowing:
        mAlpha += mShowSpeed;
        if (mAlpha > kWindowOpenAlpha && !mWindowOpened) {
            mWindowOpened = true;
            if (mServices.mGui != nullptr) {
                mServices.mGui->SetHighlight(false);
                mServices.mGui->OpenWindow(kLevelMapWindow, false);
            }
        }
        if (mAlpha >= 1.0f) {
            mAlpha = 1.0f;
            mVisibility = kShown;
        }
        break;
    case kWaitingToHide:
        mHideTimer += mHideDelay;
        if (mHideTimer > 1.0f) {
            mVisibility = kHiding;
            if (mServices.mGui != nullptr)
                mServices.mGui->CloseWindow(false);
        }
        break;
    case kHiding:
        mAlpha -= mHideSpeed;
        if (mAlpha <= 0.0f) {
            mAlpha = 0.0f;
            mVisibility = kGone;
            if (mParent != nullptr)
                mParent->RemoveChild(this);
        }
        break;
    default:
        break;
    }
}

void CLevelMap::UpdateHighlight()
{
    if (mChoiceMade)
        return;
    switch (mHighlightState) {
    case kWaiting:
    case kArrived:
        mHighlightTimer += mWaitSpeed;
        if (mHighlightTimer <= 1.0f)
            break;
        mHighlightTimer = 0.0f;
        if (mHighlightState == kWaiting) {
            PlayAnim(mHand, mHandAnims[0]);
            mHighlightState = kMoving;
        } else {
            mHighlightState = kAtPosition;
            mCurrentPosition = mTargetPosition;
            SelectCup(mTargetPosition, mTargetPosition, true, false);
        }
        break;
    case kMoving: {
        // The path into the target starts at the position before it.
        const Position* from = PositionOf(mTargetPosition - 1);
        if (from != nullptr && from->mCurve != nullptr) {
            float point[2];
            SampleCurve2D(from->mCurve, point, mHighlightTimer);
            const Map& map = mMaps[size_t(mCurrentMap)];
            mHighlightX = point[0] + float(map.mX);
            mHighlightY = point[1] + float(map.mY);
        }
        mHighlightTimer += mMoveSpeed;
        if (mHighlightTimer > 1.0f) {
            mHighlightTimer = 0.0f;
            mHighlightState = kArrived;
        }
        break;
    }
    default:
        break;
    }
}

void CLevelMap::UpdateLights()
{
    switch (mLightState) {
    case kLightsOff:
        mLightTimer += mLightOffDelay;
        if (mLightTimer > 1.0f) {
            mLightTimer = 0.0f;
            mLightState = kPreFade;
        }
        break;
    case kPreFade:
        mLightTimer += mLightPreFadeSpeed;
        if (mLightTimer <= 1.0f)
            break;
        mLightTimer = 0.0f;
        if (++mLightCount < mIndicatorsToLight)
            break;
        mLightCount = mIndicatorsToLight;
        if (mHighlightState == kAtPosition) {
            mLightState = kFadeIn;
            mLightCount = 0;
        } else {
            mLightState = kAwaitArrival;
        }
        break;
    case kAwaitArrival:
        if (mHighlightState == kAtPosition) {
            mLightState = kFadeIn;
            mLightCount = 0;
        }
        break;
    case kFadeIn:
        mLightTimer += mLightFadeInSpeed;
        if (mLightTimer <= 1.0f)
            break;
        mLightTimer = 0.0f;
        if (++mLightCount >= mIndicatorsToLight) {
            mLightCount = mIndicatorsToLight;
            mLightState = kLightsDone;
        }
        break;
    default:
        break;
    }
}

void CLevelMap::UpdateScreens()
{
    Screens& s = mScreens;
    switch (s.mState) {
    case kLeaving:
        s.mTimer += s.mLeaveSpeed;
        if (s.mTimer > 1.0f) {
            s.mState = kEntering;
            s.mTimer = 0.0f;
            FetchWindowImages(s.mTarget);
        }
        break;
    case kEntering:
        s.mTimer += s.mEnterSpeed;
        if (s.mTimer > 1.0f) {
            s.mState = kScreenShown;
            s.mTimer = 0.0f;
            s.mCurrent = s.mTarget;
            if (mChoiceMade && s.mTarget != kNoWindow && s.mTarget != kPrizeWindow && mServices.mApp != nullptr)
                mServices.mApp->PlaySoundById(kAwardSample);
        }
        break;
    default:
        if (!mChoiceMade)
            break;
        if (s.mTarget == kPrizeWindow) {
            s.mTimer += mPrizePresence;
            if (s.mTimer > 1.0f)
                SwitchScreen(false, kLevelMapWindow + mUnlockedCups, mCupShow, mPrizeHide);
        } else if (s.mTarget != kNoWindow) {
            s.mTimer += mPrizeCupPresence;
            if (s.mTimer > 1.0f)
                SwitchScreen(false, kNoWindow, mMapShow, mPrizeCupHide);
        } else {
            mChoiceMade = false;
            SetStartButtonEnabled(true);
        }
        break;
    }
}

void CLevelMap::UpdateCupHover()
{
    if (mHoverDelay < 1.0f) {
        mHoverDelay += mCupSlackness;
        return;
    }
    const int32_t cup = CupAt(mMouseX, mMouseY);
    if (cup == mHoveredCup || mChoiceMade)
        return;
    mHoveredCup = cup;
    SwitchScreen(false, cup >= 0 ? kLevelMapWindow + 1 + cup : kNoWindow, mCupShow, mCupHide);
}
