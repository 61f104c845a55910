#include "game/board/bonuses/CBonusRandomize.h"

#include "game/board/CFieldActivity.h"
#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

#include <algorithm>

namespace {

constexpr int32_t kRandomizeMode = 1;
constexpr int32_t kPlayMode = 0;

} // namespace

CBonusRandomize::CBonusRandomize(CGameProcessor& processor, CGameField& field, CBall& ball, CTrackBase& tracks,
                                 CFieldActivity& activity, CFieldBonuses& bonuses)
    : mProcessor(processor), mField(field), mBall(ball), mTracks(tracks), mActivity(activity), mBonuses(bonuses)
{
}

void CBonusRandomize::Init()
{
    mProcessor.RegisterKind(kProcessRandomizeRing,
                            {[this](CAnimTrack& track, int32_t slot) { OnRingTrack(track, slot); }, nullptr});
    mProcessor.RegisterKind(kProcessRandomizeColours,
                            {[this](CAnimTrack& track, int32_t) { OnColourTimer(track); }, nullptr});
    mBonuses.SetEffect(kBonusRandomize, [this](CFieldBlock*) {
        Activate();
        return false;
    });
}

void CBonusRandomize::StartRing(SpinRing& ring)
{
    ProcessSlot& slot = mProcessor.StartProcess(kProcessRandomizeRing, ring.mTrack, false);
    slot.SetObject(3, &ring);
    ring.mTrack->mTime = 0.0f;
    ring.mTrack->mRunning = 1;
    ring.mTrack->mRepeatCount = std::max(ring.mTrack->mRepeatCount, 1);
    mProcessor.Player().Attach(ring.mTrack);
}

void CBonusRandomize::Activate()
{
    if (mRunning)
        return;
    mRunning = 1;
    mBall.SetRandomizeHold(true);
    mActivity.SetFieldActive(false);
    mField.ResetBlockStates(kRandomizeMode);
    mField.UpdateSpinPoints();
    mRingsLeft = 0;
    for (SpinRing& ring : mField.SpinRings())
        if (ring.mTrack) {
            StartRing(ring);
            ++mRingsLeft;
        }
    mField.Grid().FillRandom();
    CAnimTrack* colours = nullptr;
    mTracks.StartTimer(colours, 0.0f, mField.ColorChangerSpeed(), 1, true, &mProcessor.Player());
    mProcessor.StartProcess(kProcessRandomizeColours, colours, true);
    // A field without rings has nothing in motion that would end the shuffle.
    if (mRingsLeft == 0)
        End();
}

void CBonusRandomize::OnRingTrack(CAnimTrack& track, int32_t slot)
{
    SpinRing* ring = mProcessor.Slot(slot).Object<SpinRing>(3);
    mProcessor.StopProcess(&track);
    if (!ring)
        return;
    const std::vector<QueueController>& controllers = mField.QueueControllers();
    const QueueController* controller =
        size_t(ring->mController) < controllers.size() ? &controllers[size_t(ring->mController)] : nullptr;
    if (ring->mStage == 0 && controller && controller->mSpinTrack) {
        ring->mStage = 1;
        ring->mTrack = controller->mSpinTrack;
        ring->mTrack->mRepeatCount = controller->mSpinRepeat;
        StartRing(*ring);
    } else if (ring->mStage < 2) {
        mField.StepSpinPoint(*ring);
        StartRing(*ring);
    } else {
        for (int32_t j = 0; j < ring->mElementCount; ++j) {
            const CellRecord& record = mField.Record(mField.SpinElements()[size_t(ring->mFirstElement + j)].mCell);
            if (record.mBlock) {
                record.mBlock->mDrawX = record.mScreenX;
                record.mBlock->mDrawY = record.mScreenY;
            }
        }
        if (--mRingsLeft == 0)
            End();
    }
}

void CBonusRandomize::OnColourTimer(CAnimTrack& track)
{
    CAnimTrack* colours = &track;
    mProcessor.StopProcess(colours);
    mTracks.FreeInstance(colours);
    mField.SyncBlockColours();
}

void CBonusRandomize::End()
{
    mRunning = 0;
    mBall.SetRandomizeHold(false);
    mActivity.SetFieldActive(true);
    mField.ResetBlockStates(kPlayMode);
    mBonuses.ClearBonusState();
}
