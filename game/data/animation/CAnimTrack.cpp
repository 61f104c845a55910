#include "game/data/animation/CAnimTrack.h"

#include "framework/core/AppLog.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CCurveBase.h"

#include <tinyxml.h>

namespace {

// A track's runs in a row: far more than any animation plays.
constexpr int32_t kMaxRepeats = 1000;

bool FlagAttribute(const TiXmlElement* element, const char* name)
{
    const char* text = element->Attribute(name);
    return text && text[0] == '1';
}

} // namespace

void CAnimTrack::CopyDefinition(CAnimTrack* track, const CAnimTrack& definition)
{
    track->mCurve = definition.mCurve;
    track->mFinishedIndex = definition.mFinishedIndex;
    track->mOvershoot = definition.mOvershoot;
    track->mTime = definition.mTime;
    track->mSpeed = definition.mSpeed;
    track->mRepeatCount = definition.mRepeatCount;
    track->mRestart = definition.mRestart;
    track->mRunning = definition.mRunning;
    track->mTurnBack = definition.mTurnBack;
}

bool CAnimTrack::LoadFromXml(const TiXmlElement* element, CCurveBase& curves)
{
    if (!element->Attribute("speed"))
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: track %s has no speed",
                                            element->Value());
    mSpeed = XmlRangedAttribute(element, "speed", 0.0f, kMinSpeed, kMaxSpeed);
    const bool runs = mSpeed > 0.0f;
    if (!runs)
        mSpeed = kRefusedSpeed;
    mRestart = FlagAttribute(element, "dorestart");
    mTurnBack = FlagAttribute(element, "doturnback");
    mRepeatCount = XmlRangedAttribute(element, "repeat", 1, 1, kMaxRepeats);
    mTime = 0.0f;
    mRunning = 0;
    mPlayer = nullptr;

    const int channels = curves.LoadCurve(element);
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "step loading %s = %d", element->Value(), channels);
    mCurve = curves.FindCurveOfChannels(CCurveBase::CurveName(element), channels);
    return runs;
}
