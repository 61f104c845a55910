#include "game/board/bonuses/CBonusShadowball.h"

#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kShadowMode = 2;

} // namespace

CBonusShadowball::CBonusShadowball(CGameProcessor& processor, CGameField& field, CBonusBase& base,
                                   CTrackBase& tracks, CFieldBonuses& bonuses)
    : mProcessor(processor), mField(field), mBase(base), mTracks(tracks), mBonuses(bonuses)
{
}

CBonusShadowball::~CBonusShadowball()
{
    mTracks.FreeInstance(mPassTimer);
    mTracks.FreeInstance(mTurnTimer);
}

void CBonusShadowball::Init()
{
    if (!mPassTimer)
        mPassTimer = mTracks.NewIdleInstance();
    if (!mTurnTimer)
        mTurnTimer = mTracks.NewIdleInstance();
    mProcessor.RegisterKind(kProcessShadowBall, {[this](CAnimTrack& track, int32_t) { OnTrackEnd(track); },
                                                 [this](CAnimTrack&, int32_t) {
                                                     Finish();
                                                     mBonuses.ClearBonusState();
                                                 }});
    mBonuses.SetEffect(kBonusShadowBall, [this](CFieldBlock*) {
        Activate(0);
        return true;
    });
}

bool CBonusShadowball::Running() const
{
    return mBase.mShadowBallActive != 0;
}

int32_t CBonusShadowball::TakeTurn()
{
    const int32_t turns = mTurns;
    mTurns = 0;
    return turns;
}

void CBonusShadowball::Activate(int32_t pass)
{
    CAnimPlayer* player = &mProcessor.Player();
    const CBonusBase::ShadowBall& s = mBase.mShadowBall;
    switch (pass) {
    case 0:
        mTracks.StartTimer(mPassTimer, 0.0f, s.mHideSpeed, 1, true, player);
        mBase.mMode = 2;
        if (!Running()) {
            mBase.mShadowBallActive = 1;
            mTurnSpeed = s.mFadeToBlackSpeed1;
            mTracks.StartTimer(mTurnTimer, 0.0f, mTurnSpeed, 1, true, player);
            ProcessSlot& slot = mProcessor.StartProcess(kProcessShadowBall, mPassTimer, true);
            slot.SetObject(3, mPassTimer);
            slot.SetObject(4, mTurnTimer);
            mTurnTimer->mOwnerTag = mPassTimer->mOwnerTag;
            player->Attach(mTurnTimer);
            mField.ResetBlockStates(kShadowMode);
        }
        mTurns = 0;
        break;
    case 1:
        mTurnSpeed = s.mFadeToBlackSpeed2;
        mTurnTimer->mSpeed = mTurnSpeed;
        mTracks.StartTimer(mPassTimer, 0.0f, s.mActionSpeed, 1, true, player);
        break;
    case 2:
        mTurnSpeed = s.mFadeToBlackSpeed1;
        mTurnTimer->mSpeed = mTurnSpeed;
        mTurnTimer->mRunning = 1;
        mTracks.StartTimer(mPassTimer, 0.0f, s.mHideSpeed, 1, true, player);
        break;
    default:
        break;
    }
    mPass = pass;
}

void CBonusShadowball::OnTrackEnd(CAnimTrack& track)
{
    if (&track == mPassTimer) {
        if (mPass >= 2) {
            Finish();
            mBonuses.ClearBonusState();
        } else {
            Activate(mPass + 1);
        }
        return;
    }
    if (&track != mTurnTimer)
        return;
    // Held to a sane count, so that a hostile speed cannot overflow it.
    const float whole = std::clamp(std::floor(track.mOvershoot), 0.0f, 1.0e6f);
    const int32_t n = int32_t(whole);
    mProcessor.RestartTimer(mTurnTimer, track.mOvershoot - whole);
    mTurns += mPass < 2 ? n + 1 : -(n + 1);
}

void CBonusShadowball::Finish()
{
    if (Running()) {
        mBase.mShadowBallActive = 0;
        mProcessor.FreeSlot(mPassTimer->mOwnerTag);
        mProcessor.Player().Detach(mPassTimer);
        mProcessor.Player().Detach(mTurnTimer);
        mPassTimer->mOwnerTag = CGameProcessor::kNone;
        mTurnTimer->mOwnerTag = CGameProcessor::kNone;
    }
    mField.ResetBlockStates(0);
}
