#include "framework/core/AppLog.h"
#include "game/board/RunnableSpeed.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CTrackBase.h"

#include <algorithm>
#include <cmath>
#include <tinyxml.h>

namespace {

constexpr float kTwoPi = 6.2831854820251465f;
// Bounds of the file's numbers: the points of a spin's circle, its turns.
constexpr int32_t kMaxSpinPoints = 1024;
constexpr int32_t kMaxSpinRepeats = 16;

float Finite(float value) { return std::isfinite(value) ? value : 0.0f; }

} // namespace

bool CGameField::LoadQueueControllers(const TiXmlElement* element, CTrackBase& tracks)
{
    mTables.mTracks = &tracks;
    for (QueueController& controller : mControllers) {
        tracks.FreeInstance(controller.mRiseFall);
        tracks.FreeInstance(controller.mSpinTrack);
    }
    mControllers.clear();
    for (const TiXmlElement* e = element->FirstChildElement("queue_controller"); e;
         e = e->NextSiblingElement("queue_controller")) {
        QueueController controller;
        const int32_t points = XmlRangedAttribute(e, "spinpoints", 0, 1, kMaxSpinPoints);
        if (!tracks.FindTrack(XmlTextAttribute(e, "up"), &controller.mUp) ||
            !tracks.FindTrack(XmlTextAttribute(e, "down"), &controller.mDown) || points < 1) {
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "CGameField::LoadFromXml - failed block_queues");
            return false;
        }
        const float far = float(kMaxPixels);
        controller.mR = XmlRangedAttribute(e, "R", 0.0f, -far, far);
        controller.mH = XmlRangedAttribute(e, "H", 0.0f, -far, far);
        controller.mSpin = XmlRangedAttribute(e, "spin", 0.0f, -kMaxMagnitude, kMaxMagnitude);
        controller.mSpinTrack = tracks.NewIdleInstance();
        CCurve& curve = *controller.mSpinPoints;
        curve.mChannels = 3;
        for (int32_t i = 0; i <= points; ++i) {
            const float a = float(i) * kTwoPi / float(points);
            curve.mValues.insert(curve.mValues.end(),
                                 {controller.mR * std::cos(a), controller.mR * std::sin(a), controller.mH});
        }
        controller.mSpinTrack->mCurve = &curve;
        controller.mSpinRepeat = XmlRangedAttribute(e, "spin_repeat", 0, 0, kMaxSpinRepeats);
        // The randomize bonus waits for the spin to end.
        controller.mSpinTrack->mSpeed = RunnableSpeed(XmlRangedAttribute(e, "spin_speed", 0.0f, kMinSpeed, kMaxSpeed));
        mControllers.push_back(std::move(controller));
    }
    return true;
}

int32_t CGameField::RingCount(int32_t w, int32_t h) { return std::min((w + 1) / 2, (h + 1) / 2); }

bool CGameField::ControllersCover(int32_t w, int32_t h) const
{
    return int32_t(mControllers.size()) >= RingCount(w, h);
}

void CGameField::BuildSpinRings()
{
    // A field of another shape with the same cell count needs other rings.
    if (mRingW == mW && mRingH == mH && int32_t(mSpinElements.size()) == mCellCount)
        return;
    mRingW = mW;
    mRingH = mH;
    mSpinRings.clear();
    mSpinElements.clear();
    mSpinElements.reserve(size_t(mCellCount));
    std::vector<bool> listed(size_t(mCellCount), false);
    const int32_t rings = RingCount(mW, mH);
    for (int32_t i = 0; i < rings; ++i) {
        SpinRing ring;
        ring.mFirstElement = int32_t(mSpinElements.size());
        const int32_t t = i;
        const int32_t l = i;
        const int32_t b = mH - 1 - i;
        const int32_t r = mW - 1 - i;
        // A ring one cell thick walks its cells twice; each is listed once.
        const auto visit = [&](int32_t column, int32_t row) {
            const int32_t cell = row * mW + column;
            if (listed[size_t(cell)])
                return;
            listed[size_t(cell)] = true;
            SpinElement element;
            element.mCell = cell;
            mSpinElements.push_back(element);
        };
        for (int32_t c = l + 1; c <= r; ++c)
            visit(c, b);
        for (int32_t row = b - 1; row >= t; --row)
            visit(r, row);
        for (int32_t c = r - 1; c >= l; --c)
            visit(c, t);
        for (int32_t row = t + 1; row <= b; ++row)
            visit(l, row);
        if (int32_t(mSpinElements.size()) == ring.mFirstElement)
            visit(l, t);
        ring.mElementCount = int32_t(mSpinElements.size()) - ring.mFirstElement;
        mSpinRings.push_back(ring);
    }
}

void CGameField::SetupSpinPoints()
{
    const int32_t controllers = int32_t(mControllers.size());
    for (int32_t i = 0; i < int32_t(mSpinRings.size()); ++i) {
        SpinRing& ring = mSpinRings[size_t(i)];
        // Inner rings beyond the controllers share the first one.
        ring.mController = std::max(controllers - 1 - i, 0);
        const QueueController* controller = controllers > 0 ? &mControllers[size_t(ring.mController)] : nullptr;
        const int32_t n = ring.mElementCount;
        const float step = kTwoPi / float(n);
        float distance = 0.0f, angle = 0.0f;
        const SpinElement& first = mSpinElements[size_t(ring.mFirstElement)];
        CellPolar(first.mCell % mW, first.mCell / mW, &distance, &angle);
        int32_t k = int32_t(angle / step) - 1;
        if (k == -1)
            k = n - 1;
        for (int32_t j = 0; j < n; ++j) {
            SpinElement& element = mSpinElements[size_t(ring.mFirstElement + j)];
            CellPolar(element.mCell % mW, element.mCell / mW, &element.mCellDistance, &element.mCellAngle);
            const float a = float(k) * step + (controller ? controller->mSpin : 0.0f);
            const float turns = std::floor(a / kTwoPi);
            element.mPhase = Finite((a - kTwoPi * turns) / kTwoPi);
            float p[3] = {0.0f, 0.0f, 0.0f};
            SampleCurve3D(controller ? controller->mSpinPoints.get() : nullptr, p, element.mPhase);
            element.mRingRadius = Finite(std::sqrt(p[0] * p[0] + p[1] * p[1]));
            float beta = Finite(std::acos(p[0] / element.mRingRadius));
            if (p[1] / element.mRingRadius < 0.0f)
                beta = kTwoPi - beta;
            element.mRingAngle = Finite(beta + kTwoPi * turns);
            k = k == 0 ? n - 1 : k - 1;
        }
    }
}

void CGameField::UpdateSpinPoints()
{
    if (!mTables.mTracks || mControllers.empty())
        return;
    for (SpinRing& ring : mSpinRings) {
        QueueController& controller = mControllers[size_t(ring.mController)];
        mTables.mTracks->StartTrack(controller.mRiseFall, controller.mUp, false, nullptr);
        ring.mTrack = controller.mRiseFall;
        ring.mStage = 0;
        ring.mStartHeight = 0.0f;
        ring.mHeightChange = controller.mH;
        for (int32_t j = 0; j < ring.mElementCount; ++j) {
            SpinElement& e = mSpinElements[size_t(ring.mFirstElement + j)];
            e.mStartRadius = e.mCellDistance;
            e.mRadiusChange = e.mRingRadius - e.mCellDistance;
            e.mStartAngle = e.mCellAngle;
            e.mAngleChange = e.mRingAngle - e.mCellAngle;
        }
    }
}

void CGameField::StepSpinPoint(SpinRing& ring)
{
    if (!mTables.mTracks || mControllers.empty())
        return;
    QueueController& controller = mControllers[size_t(ring.mController)];
    mTables.mTracks->StartTrack(controller.mRiseFall, controller.mDown, false, nullptr);
    ring.mTrack = controller.mRiseFall;
    ring.mStage = 2;
    ring.mStartHeight = controller.mH;
    ring.mHeightChange = -controller.mH;
    for (int32_t j = 0; j < ring.mElementCount; ++j) {
        SpinElement& e = mSpinElements[size_t(ring.mFirstElement + j)];
        e.mStartRadius = e.mRingRadius;
        e.mRadiusChange = e.mCellDistance - e.mRingRadius;
        e.mStartAngle = e.mRingAngle;
        e.mAngleChange = e.mCellAngle - e.mRingAngle;
    }
}

void CGameField::PlaceSpinRing(const SpinRing& ring)
{
    const CAnimTrack* track = ring.mTrack;
    if (!track || !track->mRunning)
        return;
    for (int32_t j = 0; j < ring.mElementCount; ++j) {
        const SpinElement& e = mSpinElements[size_t(ring.mFirstElement + j)];
        CFieldBlock* block = mRecords[size_t(e.mCell)].mBlock;
        if (!block)
            continue;
        float x, y, height;
        if (ring.mStage == 1) {
            float t = track->mTime + e.mPhase;
            if (t > 1.0f)
                t -= 1.0f;
            float p[3];
            SampleCurve3D(track->mCurve, p, t);
            x = mCx + p[0];
            y = mCy + p[1];
            height = p[2];
        } else {
            const float v = SampleCurve1D(track->mCurve, track->mTime);
            const float radius = e.mStartRadius + v * e.mRadiusChange;
            const float angle = e.mStartAngle + v * e.mAngleChange;
            x = mCx + radius * std::cos(angle);
            y = mCy + radius * std::sin(angle);
            height = ring.mStartHeight + v * ring.mHeightChange;
        }
        const FieldPoint screen = FieldToScreen({x, y});
        block->mDrawX = TruncateToInt(screen.mX + mOrigin.mX) - mShape.mHIndent;
        block->mDrawY = TruncateToInt(screen.mY + mOrigin.mY - height);
    }
}
