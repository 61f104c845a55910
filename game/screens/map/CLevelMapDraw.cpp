#include "game/screens/map/CLevelMap.h"

#include "framework/graphics/Graphics.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurve.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/ImageDrawing.h"
#include "game/screens/windows/CGUIController.h"

#include <algorithm>

namespace {

int32_t Scale(int32_t alpha, int32_t by)
{
    return std::clamp(alpha * by / 255, 0, 255);
}

int32_t AlphaOf(float fraction)
{
    return std::clamp(TruncateToInt(fraction * 255.0f), 0, 255);
}

} // namespace

void CLevelMap::DrawSlot(Lumo::Graphics& g, int32_t slot, int32_t x, int32_t y, int32_t alpha)
{
    g.SetColor(Lumo::Color(255, 255, 255, alpha));
    DrawImageCel(slot, *mServices.mImages, g, x, y);
}

void CLevelMap::DrawAnim(Lumo::Graphics& g, const CAnimInstance* instance, int32_t x, int32_t y, int32_t alpha)
{
    if (instance != nullptr)
        DrawSlot(g, mServices.mAnims->GetFrameImage(*instance), x, y, alpha);
}

void CLevelMap::Draw(Lumo::Graphics& g)
{
    if (mVisibility == kGone)
        return;
    const int32_t alpha = AlphaOf(mAlpha);
    g.PushState();
    g.SetTintImages(true);
    DrawSlot(g, mBackgroundImage, 0, 0, alpha);
    if (size_t(mCurrentMap) < mMaps.size()) {
        const Map& map = mMaps[size_t(mCurrentMap)];
        DrawSlot(g, map.mImage, map.mX, map.mY, alpha);
        DrawPositions(g, alpha);
        DrawHighlight(g, alpha);
    }
    DrawAwardScreen(g, alpha);
    DrawAnim(g, mHand, mHandX, mHandY, alpha);
    if (mRadar != nullptr)
        DrawAnim(g, mRadar, mRadarX, mRadarY, alpha);
    else
        DrawSlot(g, mRadarImage, mRadarX, mRadarY, alpha);
    g.SetColor(Lumo::Color(255, 255, 255, alpha));
    mLights.Draw(g);
    g.SetColor(Lumo::Color(255, 255, 255, alpha));
    mLights.DrawLight(mCrossFade, mCrossFadeX, mCrossFadeY, g);
    g.SetColor(Lumo::Color(255, 255, 255, alpha));
    g.SetTintImages(true);
    mTyper.Draw(g);
    DrawMonitors(g, alpha);
    const int32_t lit = std::min(mLightCount, int32_t(mIndicators.size()));
    for (int32_t i = 0; i < lit; ++i) {
        const Indicator& indicator = mIndicators[size_t(i)];
        DrawSlot(g, indicator.mImage, indicator.mX, indicator.mY, alpha);
    }
    DrawCups(g, alpha);
    g.PopState();
    if (mServices.mGui != nullptr)
        mServices.mGui->DrawWindow(g);
}

void CLevelMap::DrawPositions(Lumo::Graphics& g, int32_t alpha)
{
    const Map& map = mMaps[size_t(mCurrentMap)];
    for (int32_t i = 0; i < kPositions; ++i) {
        const Position& position = map.mPositions[size_t(i)];
        // The position the highlight heads for brightens as it waits there.
        if (i == mTargetPosition && mHighlightState == kArrived)
            continue;
        const int32_t shade = position.mPassed ? alpha : Scale(alpha, mToBeCompletedAlpha);
        DrawSlot(g, mIconImages[size_t(position.mKind)], position.mX + mIconOffsetX, position.mY + mIconOffsetY,
                 shade);
    }
    if (const Position* target = PositionOf(mTargetPosition); target != nullptr && mHighlightState == kArrived) {
        const float grown = float(mToBeCompletedAlpha) + (255.0f - float(mToBeCompletedAlpha)) * mHighlightTimer;
        DrawSlot(g, mIconImages[size_t(target->mKind)], target->mX + mIconOffsetX, target->mY + mIconOffsetY,
                 Scale(alpha, std::clamp(TruncateToInt(grown), 0, 255)));
    }
    if (const Position* at = PositionOf(mCurrentPosition); at != nullptr && mHighlightState == kAtPosition)
        DrawAnim(g, mIcon, at->mX + mIconOffsetX, at->mY + mIconOffsetY, alpha);
}

void CLevelMap::DrawHighlight(Lumo::Graphics& g, int32_t alpha)
{
    const CImageSlot* slot = mServices.mImages->Slot(mHighlightImage);
    if (slot == nullptr || slot->mImage == nullptr)
        return;
    const Lumo::Rect source = mServices.mImages->SourceRect(mHighlightImage);
    const int32_t x = TruncateToInt(mHighlightX) + mHighlightOffsetX - source.mWidth / 2;
    const int32_t y = TruncateToInt(mHighlightY) + mHighlightOffsetY - source.mHeight / 2;
    g.SetColor(Lumo::Color(255, 255, 255, alpha));
    g.DrawImageRotated(slot->mImage, x, y, double(mAngle), &source);
}

void CLevelMap::DrawAwardScreen(Lumo::Graphics& g, int32_t alpha)
{
    if (mServices.mGui == nullptr)
        return;
    const Screens& s = mScreens;
    const int32_t window = s.mState == kLeaving ? s.mCurrent : s.mTarget;
    if (window == kNoWindow)
        return;
    int32_t shade = alpha;
    if (s.mState == kLeaving)
        shade = Scale(alpha, AlphaOf(1.0f - s.mTimer));
    else if (s.mState == kEntering)
        shade = Scale(alpha, AlphaOf(s.mTimer));
    mServices.mGui->DrawWindowFaded(g, window, shade);
    g.SetTintImages(true);
}

void CLevelMap::DrawMonitors(Lumo::Graphics& g, int32_t alpha)
{
    g.SetColor(Lumo::Color(255, 255, 255, alpha));
    for (const Monitor& monitor : mMonitors) {
        if (monitor.mImage < 0)
            continue;
        CScrollImage scroll;
        scroll.mSlot = monitor.mImage;
        scroll.mRight = monitor.mRight;
        scroll.mX = monitor.mRect.mX;
        scroll.mY = monitor.mRect.mY;
        scroll.mWidth = mServices.mImages->SourceRect(monitor.mImage).mWidth;
        scroll.mFraction = monitor.mOffset;
        g.PushState();
        g.NarrowClipRect(monitor.mRect.mX, monitor.mRect.mY, monitor.mRect.mWidth, monitor.mRect.mHeight);
        DrawImageScrolled(scroll, *mServices.mImages, g);
        g.PopState();
    }
}

void CLevelMap::DrawCups(Lumo::Graphics& g, int32_t alpha)
{
    for (int32_t i = 0; i < std::min(mUnlockedCups, kCups); ++i) {
        const Cup& cup = mCups[size_t(i)];
        DrawSlot(g, i == mHoveredCup ? cup.mHoverImage : cup.mImage, cup.mX, cup.mY, alpha);
    }
}
