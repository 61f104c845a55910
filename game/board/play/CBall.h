#pragma once

#include "game/board/play/BallDef.h"
#include "game/data/pictures/CSceneObj.h"

#include <array>
#include <cstdint>
#include <vector>

class CAnimBase;
class CAnimTrack;
class CGameField;
class CImageTable;
class CSceneObjBase;
class TiXmlElement;

namespace Lumo {
class Graphics;
}

// The player's piece: it bounces on its cell, flies along a curve to the
// clicked cell and reports its landing.
class CBall {
public:
    enum Flags : uint32_t {
        kFrozen = 0x01,
        kBouncing = 0x02,
        kRising = 0x04,
        kFalling = 0x08,
        kFlying = 0x10,
        kCarried = 0x20,
        kResting = 0x40,
        kLanded = 0x80,
        kHeld = 0x100,
    };

    // The bounce and flight times LogTiming derives.
    struct Timing {
        float mPeriod = 0.0f;
        float mRise = 0.0f;
        float mSettle = 0.0f;
        float mSlowestFlight = 0.0f;
        float mFlight = 0.0f;
        float mFramesPerTime = 0.0f;
        float mFramesPerHeight = 0.0f;
        float mApex = 0.0f;
        float mInverseApex = 0.0f;
    };

    CBall(CGameField& field, CImageTable& images, CAnimBase& anims, CSceneObjBase& sceneObjects);
    ~CBall();
    CBall(const CBall&) = delete;
    CBall& operator=(const CBall&) = delete;

    // Appends the "ball" children of root.
    void LoadFromXml(const TiXmlElement* root);
    const std::vector<BallDef>& Definitions() const { return mDefinitions; }

    // Takes definition index for the level; false for an index the table lacks.
    bool SetBallIndex(int32_t index);
    const BallDef& Def() const { return mDef; }

    void SetState(uint32_t flags, bool raised = false);
    void ClearState(uint32_t flags) { mState &= ~flags; }
    uint32_t State() const { return mState; }
    bool Has(uint32_t flags) const { return (mState & flags) != 0; }

    void Update(float dt);
    // The shadow, then the ball tinted by its colour track and once more by
    // its hazard track, relative to the field's draw origin (x, y).
    void Draw(Lumo::Graphics& g, int32_t x, int32_t y) const;
    void UpdateScreenPos();
    // The ball's rectangle on the screen relative to the draw origin: x, y, width, height.
    std::array<int32_t, 4> GetScreenRect() const;
    void LogTiming();
    const Timing& Times() const { return mTiming; }

    // Sends the ball to the centre of the cell at speed.
    void FlyTo(int32_t column, int32_t row, float speed, bool raised);
    // Places the ball on the cell's centre on the ground.
    void PlaceOnCell(int32_t column, int32_t row);
    // The bounce values in use; the field step raises them while groups leave.
    // A level's own flight speeds; the definition's come back at the next level.
    void SetFlightSpeeds(float curveSpeed, float minCurveSpeed);
    void RestoreFlightSpeeds();
    void SetBounce(float g, float p);
    void RestoreBounce() { SetBounce(mDef.mG, mDef.mP); }
    float Gravity() const { return mGravity; }
    float UpwardSpeed() const { return mUpward; }

    const std::array<float, 3>& Position() const { return mPosition; }
    void SetPosition(float x, float y, float z) { mPosition = {x, y, z}; }
    const std::array<float, 3>& Velocity() const { return mVelocity; }
    float FlightSpeed() const { return mFlightSpeed; }
    float FlightTime() const { return mT; }
    int32_t Frame() const { return mFrame; }
    int32_t ScreenX() const { return mScreenX; }
    int32_t ScreenY() const { return mScreenY; }

    void SetRandomizeHold(bool hold) { mRandomizeHold = hold; }
    void SetShadowVisible(bool visible) { mShadowVisible = visible; }
    void SetHazardTrack(CAnimTrack* track) { mHazardTrack = track; }
    CAnimTrack* HazardTrack() const { return mHazardTrack; }
    void SetColourTrack(CAnimTrack* track) { mColourTrack = track; }
    CAnimTrack* ColourTrack() const { return mColourTrack; }
    void SetCarryTrack(CAnimTrack* track) { mCarryTrack = track; }
    CAnimTrack* CarryTrack() const { return mCarryTrack; }
    // The straight path a carried ball takes, from start at the carry
    // track's time 0 to end at its time 1.
    void SetCarryPath(const std::array<float, 3>& start, const std::array<float, 3>& end);
    // A hidden ball is not drawn.
    void SetHidden(bool hidden) { mHidden = hidden; }
    bool Hidden() const { return mHidden; }

private:
    void Bounce();
    void ReleasePair();

    CGameField& mField;
    CImageTable& mImages;
    CAnimBase& mAnims;
    CSceneObjBase& mSceneObjects;
    std::vector<BallDef> mDefinitions;
    int32_t mIndex = -1;
    BallDef mDef;
    uint32_t mState = 0;
    std::array<float, 3> mPosition{};
    std::array<float, 3> mVelocity{};
    std::array<float, 3> mAcceleration{};
    std::array<float, 3> mTarget{};
    // The flight's three points, x, y and z each.
    std::vector<float> mCurvePoints;
    float mT = 0.0f;
    float mFlightSpeed = 0.0f;
    float mGravity = 0.0f;
    float mUpward = 0.0f;
    // Update time not yet spent on whole bounce steps.
    float mBounceClock = 0.0f;
    Timing mTiming;
    float mFrameTime = 0.0f;
    int32_t mFrame = 0;
    int32_t mScreenX = 0;
    int32_t mScreenY = 0;
    bool mRandomizeHold = false;
    bool mShadowVisible = true;
    bool mHidden = false;
    CAnimTrack* mHazardTrack = nullptr;
    CAnimTrack* mColourTrack = nullptr;
    CAnimTrack* mCarryTrack = nullptr;
    CSceneObj mPair;
};
