#include "game/data/animation/CTrackBase.h"

#include "framework/core/AppLog.h"
#include "game/data/animation/CAnimPlayer.h"

#include <tinyxml.h>

bool CTrackBase::LoadFromXml(const TiXmlElement* root, CCurveBase& curves)
{
    if (!root)
        return false;
    bool allRun = true;
    for (const TiXmlElement* element = root->FirstChildElement(); element;
         element = element->NextSiblingElement()) {
        const std::string name = element->Value();
        if (mNames.count(name))
            continue;
        CAnimTrack record;
        allRun = record.LoadFromXml(element, curves) && allRun;
        CAnimTrack* definition = mDefinitions.Acquire();
        CAnimTrack::CopyDefinition(definition, record);
        mNames[name] = definition->mPoolIndex;
    }
    return allRun;
}

bool CTrackBase::FindTrack(const std::string& name, int32_t* index) const
{
    auto found = mNames.find(name);
    if (found == mNames.end())
        return false;
    *index = found->second;
    return true;
}

const CAnimTrack* CTrackBase::Definition(int32_t index) const
{
    if (index < 0 || size_t(index) >= mDefinitions.Used())
        return nullptr;
    return mDefinitions.At(size_t(index));
}

CAnimTrack* CTrackBase::Definition(int32_t index)
{
    return const_cast<CAnimTrack*>(static_cast<const CTrackBase*>(this)->Definition(index));
}

CAnimTrack* CTrackBase::NewIdleInstance()
{
    CAnimTrack* track = mRunning.Acquire();
    track->mRunning = 0;
    track->mAttached = 0;
    track->mState = CAnimTrack::kTaken;
    return track;
}

void CTrackBase::FreeInstance(CAnimTrack* track)
{
    if (!track || track->mState == CAnimTrack::kFreed) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: track freed twice");
        return;
    }
    if (track->mAttached && track->mPlayer)
        track->mPlayer->Detach(track);
    if (!mRunning.Release(track)) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: freeing a track of no pool");
        return;
    }
    track->mCurve = nullptr;
    track->mOwnerTag = CAnimTrack::kNone;
    track->mState = CAnimTrack::kFreed;
}

void CTrackBase::TakeForPlayer(CAnimTrack*& slot, CAnimPlayer* player)
{
    if (!slot) {
        slot = NewIdleInstance();
        return;
    }
    if (slot->mPlayer && slot->mPlayer != player)
        slot->mPlayer->Detach(slot);
    else if (slot->mPlayer == player && player)
        player->ClearFinished(slot);
}

void CTrackBase::StartTimer(CAnimTrack*& slot, float startTime, float speed, int32_t repeatCount, bool running,
                            CAnimPlayer* player)
{
    TakeForPlayer(slot, player);
    slot->mRunning = running;
    slot->mRestart = 0;
    slot->mTime = startTime;
    slot->mSpeed = speed;
    slot->mRepeatCount = repeatCount;
    slot->mPlayer = player;
}

bool CTrackBase::StartTrack(CAnimTrack*& slot, int32_t definition, bool running, CAnimPlayer* player)
{
    const CAnimTrack* source = Definition(definition);
    if (!source) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: no track definition %d", definition);
        return false;
    }
    TakeForPlayer(slot, player);
    CAnimTrack::CopyDefinition(slot, *source);
    slot->mRunning = running;
    slot->mPlayer = player;
    return true;
}
