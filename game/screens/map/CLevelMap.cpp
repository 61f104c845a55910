#include "game/screens/map/CLevelMap.h"

#include "framework/core/RandomNumber.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/effects/CBackground.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/pictures/CImageTable.h"
#include "game/screens/windows/CGUIController.h"

#include <algorithm>

namespace {

constexpr float kBackgroundFadeSpeed = 0.007f;

} // namespace

CLevelMap::CLevelMap(const CLevelMapServices& services)
    : mServices(services), mLights(*services.mImages, *services.mAnims)
{
    // It fades in and out over the board, which must then be drawn beneath it.
    mSeeThrough = true;
}

CLevelMap::~CLevelMap()
{
    for (CAnimInstance* instance : {mHand, mRadar, mIcon}) {
        if (instance != nullptr)
            mServices.mAnims->ReleaseInstance(instance);
    }
}

void CLevelMap::PlayAnim(CAnimInstance*& instance, int32_t anim)
{
    if (anim < 0)
        return;
    if (instance == nullptr)
        instance = mServices.mAnims->CreateInstance(anim, &mPlayer);
    else
        mServices.mAnims->ResetInstance(anim, instance);
    if (instance == nullptr || instance->mTrack == nullptr)
        return;
    CAnimTrack* track = instance->mTrack;
    mServices.mTracks->StartTimer(track, 0.0f, track->mSpeed, track->mRepeatCount, true, &mPlayer);
    mPlayer.Attach(track);
}

void CLevelMap::PlaceMonitors()
{
    if (mMonitorsPlaced || mServices.mAtlas == nullptr)
        return;
    mMonitorsPlaced = true;
    for (Monitor& monitor : mMonitors) {
        if (monitor.mSource >= 0) {
            mServices.mImages->FetchSlotImage(monitor.mSource);
            mServices.mAtlas->CopyImage(monitor.mSource, &monitor.mImage);
        }
    }
}

void CLevelMap::Reset()
{
    mStartTimer = 0.0f;
    mAlpha = 0.0f;
    mVisibility = kShowing;
    mWindowOpened = false;
    mHoveredCup = -1;
    PlaceMonitors();
    if (mServices.mBackground != nullptr) {
        mServices.mBackground->mObjectsShown = true;
        mServices.mBackground->mFading = true;
        mServices.mBackground->mFadeLevel = 0.0f;
        mServices.mBackground->mFadeStep = kBackgroundFadeSpeed;
    }
    PlayAnim(mRadar, mRadarAnim);
    mLightState = kLightsOff;
    mLightTimer = 0.0f;
    mLightCount = 0;
    for (Monitor& monitor : mMonitors)
        monitor.mRight = Lumo::RandomNumber(100) > 50;
}

void CLevelMap::Hide()
{
    if (mVisibility == kGone)
        return;
    mHideTimer = 0.0f;
    mVisibility = kWaitingToHide;
    if (mServices.mBackground != nullptr) {
        mServices.mBackground->mObjectsShown = false;
        mServices.mBackground->mFading = true;
        mServices.mBackground->mFadeLevel = 0.0f;
        mServices.mBackground->mFadeStep = kBackgroundFadeSpeed;
    }
    PlayAnim(mHand, mHandAnims[1]);
}

void CLevelMap::SetMap(int32_t index)
{
    mCurrentMap = std::clamp(index, 0, kMaps - 1);
    if (size_t(mCurrentMap) < mMaps.size() && mMaps[size_t(mCurrentMap)].mImage >= 0)
        mServices.mImages->FetchSlotImage(mMaps[size_t(mCurrentMap)].mImage);
}

void CLevelMap::SetPosition(int32_t index, int32_t kind, bool passed)
{
    if (size_t(mCurrentMap) >= mMaps.size() || index < 0 || index >= kPositions)
        return;
    Position& position = mMaps[size_t(mCurrentMap)].mPositions[size_t(index)];
    position.mKind = std::clamp(kind, 0, 3);
    position.mPassed = passed;
}

const CLevelMap::Position* CLevelMap::PositionOf(int32_t index) const
{
    if (size_t(mCurrentMap) >= mMaps.size() || index < 0 || index >= kPositions)
        return nullptr;
    return &mMaps[size_t(mCurrentMap)].mPositions[size_t(index)];
}

void CLevelMap::PlaceHighlightAt(int32_t index)
{
    const Position* position = PositionOf(index);
    if (position == nullptr)
        return;
    const Position* before = PositionOf(index - 1);
    if (before != nullptr && before->mCurve != nullptr) {
        float point[2];
        SampleCurve2D(before->mCurve, point, 1.0f);
        const Map& map = mMaps[size_t(mCurrentMap)];
        mHighlightX = point[0] + float(map.mX);
        mHighlightY = point[1] + float(map.mY);
        return;
    }
    mHighlightX = float(position->mX);
    mHighlightY = float(position->mY);
}

bool CLevelMap::FindCupForLevel(int32_t level, int32_t* count) const
{
    *count = 0;
    for (const Cup& cup : mCups) {
        if (cup.mLevel > level)
            return false;
        ++*count;
        if (cup.mLevel == level)
            return true;
    }
    return false;
}

void CLevelMap::SetStartButtonEnabled(bool enabled)
{
    if (mServices.mGui == nullptr)
        return;
    const GUIWindow* window = mServices.mGui->Window(kLevelMapWindow);
    if (window == nullptr)
        return;
    for (int32_t i = window->mFirstButton; i < window->mEndButton; ++i) {
        if (GUIButton* button = mServices.mGui->Button(i))
            button->mEnabled = enabled;
    }
}

void CLevelMap::FetchWindowImages(int32_t window)
{
    if (window != kNoWindow && mServices.mGui != nullptr)
        mServices.mGui->FetchWindowImages(window);
}

void CLevelMap::SelectCup(int32_t position, int32_t target, bool immediate, bool allCups)
{
    if (!immediate) {
        mAwardWindow = kNoWindow;
        if (allCups) {
            mUnlockedCups = kCups;
        } else {
            int32_t count = 0;
            const bool found = FindCupForLevel(position, &count);
            mUnlockedCups = count;
            if (position == target && found)
                mUnlockedCups = count - 1;
            else if (position != target && found)
                mAwardWindow = kPrizeWindow;
        }
        mScreens.mState = kScreenShown;
        mScreens.mTimer = 0.0f;
        mScreens.mCurrent = mAwardWindow;
        mScreens.mTarget = mAwardWindow;
        mChoiceMade = mAwardWindow != kNoWindow;
        FetchWindowImages(mAwardWindow);
        SetStartButtonEnabled(!mChoiceMade);
    }
    if (position == target) {
        PlaceHighlightAt(target);
        mCurrentPosition = target;
        mTargetPosition = -1;
        mHighlightState = kAtPosition;
        if (const Position* at = PositionOf(target))
            PlayAnim(mIcon, mIconAnims[size_t(at->mKind)]);
        return;
    }
    PlaceHighlightAt(position);
    mTargetPosition = target;
    if (!immediate)
        PlayAnim(mHand, mHandAnims[0]);
    mHighlightState = kWaiting;
    mHighlightTimer = 0.0f;
    mCurrentPosition = -1;
}

int32_t CLevelMap::CupAt(int32_t x, int32_t y) const
{
    if (mChoiceMade)
        return -1;
    for (int32_t i = std::min(mUnlockedCups, kCups) - 1; i >= 0; --i) {
        const Cup& cup = mCups[size_t(i)];
        const CImageSlot* slot = mServices.mImages->Slot(cup.mImage);
        if (slot == nullptr || slot->mImage == nullptr)
            continue;
        const Lumo::Rect source = mServices.mImages->SourceRect(cup.mImage);
        const int32_t px = x - cup.mX;
        const int32_t py = y - cup.mY;
        if (px < 0 || py < 0 || px >= source.mWidth || py >= source.mHeight)
            continue;
        const uint32_t* bits = slot->mImage->GetPixelBits();
        if (bits == nullptr)
            continue;
        const uint32_t pixel = bits[size_t(source.mY + py) * size_t(slot->mImage->mWidth) + size_t(source.mX + px)];
        if ((pixel >> 24) != 0)
            return i;
    }
    return -1;
}

void CLevelMap::SwitchScreen(bool immediate, int32_t target, float enterSpeed, float leaveSpeed)
{
    Screens& s = mScreens;
    if (immediate) {
        s.mState = kScreenShown;
        s.mTimer = 0.0f;
        s.mEnterSpeed = enterSpeed;
        s.mLeaveSpeed = leaveSpeed;
        s.mCurrent = target;
        s.mTarget = target;
    } else if (s.mState == kLeaving) {
        s.mLeaveSpeed = leaveSpeed;
        s.mEnterSpeed = enterSpeed;
        if (target == s.mCurrent) {
            s.mState = kEntering;
            s.mTimer = 1.0f - s.mTimer;
        }
        s.mTarget = target;
    } else if (s.mState == kEntering) {
        if (target != s.mTarget) {
            s.mState = kLeaving;
            s.mCurrent = s.mTarget;
            s.mTimer = 1.0f - s.mTimer;
            s.mTarget = target;
            s.mEnterSpeed = enterSpeed;
            s.mLeaveSpeed = leaveSpeed;
        }
    } else if (target != s.mTarget) {
        s.mState = kLeaving;
        s.mTimer = 0.0f;
        s.mCurrent = s.mTarget;
        s.mTarget = target;
        s.mEnterSpeed = enterSpeed;
        s.mLeaveSpeed = leaveSpeed;
    }
    FetchWindowImages(s.mState == kLeaving ? s.mCurrent : s.mTarget);
}

void CLevelMap::MouseMove(int x, int y)
{
    mMouseX = x;
    mMouseY = y;
    if (mServices.mGui != nullptr)
        mServices.mGui->OnPointerMove(x, y);
    if (CupAt(x, y) != mHoveredCup)
        mHoverDelay = 0.0f;
}

void CLevelMap::MouseDown(int x, int y, int, int clickCount)
{
    if (mServices.mGui != nullptr)
        mServices.mGui->OnPointerDown(x, y, clickCount > 1);
}

void CLevelMap::MouseUp(int x, int y, int, int)
{
    if (mServices.mGui != nullptr)
        mServices.mGui->OnPointerUp(x, y);
}
