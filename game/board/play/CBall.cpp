#include "game/board/play/CBall.h"

#include "framework/core/AppLog.h"
#include "framework/graphics/Graphics.h"
#include "game/board/ColourTrack.h"
#include "game/board/RunnableSpeed.h"
#include "game/board/field/CGameField.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurve.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "game/data/pictures/ImageDrawing.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFlatRise = 40.0f;
constexpr int32_t kMaxShadowFrames = 1024;

// A pixel measure of the ball or its shadow; 0 without the element.
int32_t Pixels(const TiXmlElement* element, const char* name)
{
    return element ? XmlPixelAttribute(element, name) : 0;
}

// A speed, step or force of the ball's motion: 0, below or absurd would stop
// the ball or what waits for it for ever, so such a value moves as
// RunnableSpeed's.
float Motion(const TiXmlElement* element, const char* name)
{
    return RunnableSpeed(XmlRangedAttribute(element, name, 0.0f, kMinSpeed, kMaxSpeed));
}

} // namespace

CBall::CBall(CGameField& field, CImageTable& images, CAnimBase& anims, CSceneObjBase& sceneObjects)
    : mField(field), mImages(images), mAnims(anims), mSceneObjects(sceneObjects)
{
}

CBall::~CBall() { ReleasePair(); }

void CBall::LoadFromXml(const TiXmlElement* root)
{
    if (!root)
        return;
    for (const TiXmlElement* ball = root->FirstChildElement("ball"); ball; ball = ball->NextSiblingElement("ball")) {
        BallDef def;
        def.mHotSpotX = Pixels(ball, "hspotx");
        def.mHotSpotY = Pixels(ball, "hspoty");
        def.mCenterX = Pixels(ball, "centerx");
        def.mCenterY = Pixels(ball, "centery");
        def.mWidth = Pixels(ball, "width");
        def.mHeight = Pixels(ball, "height");
        def.mSpeed = Motion(ball, "speed");
        def.mCurveSpeed = Motion(ball, "curvespeed");
        def.mMinCurveSpeed = Motion(ball, "mincurvespeed");
        def.mDelaySpeed = Motion(ball, "delayspeed");
        def.mPeriodScale = XmlRangedAttribute(ball, "periodscale", 0.0f, 0.0f, kMaxMagnitude);
        def.mCurveRising = XmlRangedAttribute(ball, "curverising", 0.0f, -float(kMaxPixels), float(kMaxPixels));
        def.mP = Motion(ball, "p");
        def.mG = Motion(ball, "g");
        def.mGMatched = Motion(ball, "g_matched");
        def.mPMatched = Motion(ball, "p_matched");
        const TiXmlElement* shadow = ball->FirstChildElement("shadow");
        if (shadow) {
            mImages.FindByName(XmlTextAttribute(shadow, "firstframe"), &def.mShadowFirstFrame);
            def.mShadowLastOffset = XmlRangedAttribute(shadow, "framecount", 0, 0, kMaxShadowFrames) - 1;
        } else {
            def.mShadowLastOffset = -1;
        }
        def.mShadowHotSpotX = Pixels(shadow, "hspotx");
        def.mShadowHotSpotY = Pixels(shadow, "hspoty");
        for (const TiXmlElement* renderable = ball->FirstChildElement("renderable"); renderable;
             renderable = renderable->NextSiblingElement("renderable"))
            mSceneObjects.FindDefinition(XmlTextAttribute(renderable, "src"), &def.mRenderable);
        mDefinitions.push_back(def);
    }
}

void CBall::ReleasePair() { mSceneObjects.Release(mPair); }

bool CBall::SetBallIndex(int32_t index)
{
    if (index < 0 || size_t(index) >= mDefinitions.size())
        return false;
    if (index != mIndex) {
        ReleasePair();
        mDef = mDefinitions[size_t(index)];
        mSceneObjects.Spawn(mDef.mRenderable, mPair, &mAnims.mPlayer, &mAnims.mPlayer);
        if (mPair.mFrameAnim && mPair.mFrameAnim->mTrack) {
            CAnimTrack* track = mPair.mFrameAnim->mTrack;
            track->mTime = 0.0f;
            track->mRunning = 1;
            mAnims.mPlayer.Attach(track);
        }
        mIndex = index;
    }
    mDef = mDefinitions[size_t(index)];
    mGravity = mDef.mG;
    mUpward = mDef.mP;
    mFlightSpeed = mDef.mCurveSpeed;
    mFrame = mDef.mShadowFirstFrame;
    LogTiming();
    return true;
}

void CBall::SetFlightSpeeds(float curveSpeed, float minCurveSpeed)
{
    mDef.mCurveSpeed = curveSpeed;
    mDef.mMinCurveSpeed = minCurveSpeed;
    LogTiming();
}

void CBall::RestoreFlightSpeeds()
{
    if (mIndex < 0)
        return;
    const BallDef& definition = mDefinitions[size_t(mIndex)];
    SetFlightSpeeds(definition.mCurveSpeed, definition.mMinCurveSpeed);
}

void CBall::SetBounce(float g, float p)
{
    mGravity = g;
    mUpward = p;
}

void CBall::SetState(uint32_t flags, bool raised)
{
    mState |= flags;
    if ((mState & kBouncing) && (flags & kBouncing)) {
        mFrameTime = 0.0f;
        UpdateScreenPos();
        mAcceleration = {0.0f, 0.0f, -mGravity};
        mVelocity = {};
    }
    if (flags & kRising)
        mVelocity[2] = mUpward;
    if (flags & kFlying) {
        mState &= ~kBouncing;
        const float dx = mTarget[0] - mPosition[0];
        const float dy = mTarget[1] - mPosition[1];
        const float dz = mTarget[2] - mPosition[2];
        const float share = raised ? 0.4f : 0.5f;
        const float rise = raised ? mDef.mCurveRising : kFlatRise;
        mCurvePoints = {mPosition[0], mPosition[1], mPosition[2], mPosition[0] + dx * share,
                        mPosition[1] + dy * share, mPosition[2] + dz * share + rise, mTarget[0], mTarget[1],
                        mTarget[2]};
        mT = 0.0f;
    }
}

void CBall::FlyTo(int32_t column, int32_t row, float speed, bool raised)
{
    if (mState & kFlying)
        return;
    mTarget = {(float(column) + 0.5f) * mField.StepX(), (float(row) + 0.5f) * mField.StepY(), 0.0f};
    mFlightSpeed = speed;
    SetState(kFlying, raised);
}

void CBall::PlaceOnCell(int32_t column, int32_t row)
{
    mPosition = {(float(column) + 0.5f) * mField.StepX(), (float(row) + 0.5f) * mField.StepY(), 0.0f};
    UpdateScreenPos();
}

void CBall::SetCarryPath(const std::array<float, 3>& start, const std::array<float, 3>& end)
{
    mCurvePoints.clear();
    mCurvePoints.insert(mCurvePoints.end(), start.begin(), start.end());
    for (size_t i = 0; i < 3; ++i)
        mCurvePoints.push_back((start[i] + end[i]) * 0.5f);
    mCurvePoints.insert(mCurvePoints.end(), end.begin(), end.end());
}

void CBall::Bounce()
{
    const float h2 = mDef.mSpeed * mDef.mSpeed;
    for (size_t i = 0; i < 3; ++i)
        mVelocity[i] += mAcceleration[i] * h2;
    for (size_t i = 0; i < 3; ++i)
        mPosition[i] += mVelocity[i] * h2;
}

void CBall::Update(float dt)
{
    if ((mState & (kFrozen | kResting)) || mRandomizeHold)
        return;
    if (mState & kBouncing) {
        mFrameTime += dt;
        mFrame = std::min(TruncateToInt(mFrameTime * mTiming.mFramesPerTime), mDef.mShadowLastOffset);
        // The frame belongs to the half of the bounce it was timed in, before a turn below.
        const uint32_t half = mState & (kRising | kFalling);
        // One integration step per whole unit of update time, so that the
        // bounce keeps its period at any frame rate.
        mBounceClock += dt;
        while (mBounceClock >= 1.0f && (mState & kBouncing)) {
            mBounceClock -= 1.0f;
            Bounce();
            if ((mState & kRising) && mVelocity[2] < 0.0f) {
                mVelocity[2] = 0.0f;
                mState &= ~kRising;
                SetState(kFalling);
                mFrameTime = 0.0f;
            } else if ((mState & kFalling) && mPosition[2] < 0.0f) {
                mPosition[2] = 0.0f;
                mState &= ~kFalling;
                SetState(kLanded | kRising);
                // The rise counts its frames from the ground, as the fall did from the top.
                mFrameTime = 0.0f;
            }
        }
        if (half & kRising)
            mFrame += mDef.mShadowFirstFrame;
        else if (half & kFalling)
            mFrame = mDef.mShadowFirstFrame + mDef.mShadowLastOffset - mFrame;
    }
    if (mState & kFlying) {
        mT += dt * mFlightSpeed;
        if (mT < 1.0f) {
            CCurve curve{3, 0, mCurvePoints};
            SampleCurve3D(&curve, mPosition.data(), mT);
            UpdateScreenPos();
        } else {
            mState &= ~kFlying;
            SetState(kLanded | kResting);
            mPosition = mTarget;
            UpdateScreenPos();
        }
    }
    if ((mState & kCarried) && mCarryTrack) {
        CCurve curve{3, 0, mCurvePoints};
        SampleCurve3D(&curve, mPosition.data(), mCarryTrack->mTime);
    }
}

void CBall::Draw(Lumo::Graphics& g, int32_t x, int32_t y) const
{
    if (mRandomizeHold || mHidden)
        return;
    if (mShadowVisible)
        DrawImageCel(mFrame, mImages, g, mScreenX + x, mScreenY + y);
    if (!mPair.mFrameAnim)
        return;
    const int32_t frame = mAnims.GetFrameImage(*mPair.mFrameAnim);
    const FieldPoint p = mField.FieldToScreen({mPosition[0], mPosition[1]});
    const int32_t bx = TruncateToInt(p.mX + mField.Origin().mX) - mDef.mHotSpotX + x;
    const int32_t by = TruncateToInt(p.mY + mField.Origin().mY - mPosition[2]) - mDef.mHotSpotY + y;
    const auto drawTinted = [&](const CAnimTrack* tint) {
        if (tint) {
            g.SetTintImages(true);
            g.SetColor(ColourTrackToColour(*tint));
        }
        DrawImageCel(frame, mImages, g, bx, by);
        g.SetTintImages(false);
    };
    drawTinted(mColourTrack);
    if (mHazardTrack)
        drawTinted(mHazardTrack);
}

void CBall::UpdateScreenPos()
{
    const FieldPoint p = mField.FieldToScreen({mPosition[0], mPosition[1]});
    mScreenX = TruncateToInt(p.mX + mField.Origin().mX) - mDef.mShadowHotSpotX;
    mScreenY = TruncateToInt(p.mY + mField.Origin().mY) - mDef.mShadowHotSpotY;
    mFrame = mDef.mShadowFirstFrame +
             std::min(TruncateToInt(mPosition[2] * mTiming.mFramesPerHeight), mDef.mShadowLastOffset);
}

std::array<int32_t, 4> CBall::GetScreenRect() const
{
    const FieldPoint p = mField.FieldToScreen({mPosition[0], mPosition[1]});
    return {TruncateToInt(p.mX + mField.Origin().mX) - mDef.mHotSpotX,
            TruncateToInt(p.mY + mField.Origin().mY - mPosition[2]) - mDef.mHotSpotY, mDef.mWidth, mDef.mHeight};
}

void CBall::LogTiming()
{
    const float g = mGravity;
    const float p = mUpward;
    const float h = mDef.mSpeed;
    const float frames = float(mDef.mShadowLastOffset + 1);
    Timing& t = mTiming;
    t.mPeriod = 2.0f * p / (h * g);
    t.mRise = t.mPeriod / 2.0f;
    t.mSettle = mDef.mPeriodScale * t.mPeriod;
    t.mSlowestFlight = 1.0f / mDef.mMinCurveSpeed;
    t.mFlight = 1.0f / mDef.mCurveSpeed;
    t.mFramesPerTime = frames / t.mRise;
    t.mFramesPerHeight = frames / (p * t.mRise + g * g * t.mPeriod / 4.0f);
    t.mApex = p * p / (2.0f * g);
    t.mInverseApex = 1.0f / t.mApex;
    Lumo::AppLog::GetInstance()->Printf(
        Lumo::AppLog::kToFile,
        "Ball bouncing period: %.3f, ball curve flight period: %.3f, timepump: %.3f norm=%.3f  max=%.3f",
        double(t.mPeriod), double(t.mFlight), double(t.mSettle), double(t.mRise), double(t.mApex));
}
