#include "game/board/bonuses/CBonusTime.h"

#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

CBonusTime::CBonusTime(CGameProcessor& processor, CTrackBase& tracks) : mProcessor(processor), mTracks(tracks) {}

CBonusTime::~CBonusTime()
{
    Update();
    mTracks.FreeInstance(mTimer);
}

void CBonusTime::Init()
{
    if (!mTimer)
        mTimer = mTracks.NewIdleInstance();
    mRunning = 0;
    const auto stop = [this](CAnimTrack&, int32_t) { Update(); };
    mProcessor.RegisterKind(kProcessTimeBonus, {stop, stop});
}

bool CBonusTime::Activate(float speed)
{
    const bool attached = mTimer->mAttached != 0;
    mTracks.StartTimer(mTimer, 0.0f, speed, 1, true, &mProcessor.Player());
    if (!attached)
        mProcessor.StartProcess(kProcessTimeBonus, mTimer, true);
    mRunning = 1;
    return true;
}

void CBonusTime::Update()
{
    if (!mRunning)
        return;
    mProcessor.StopProcess(mTimer);
    mRunning = 0;
}
