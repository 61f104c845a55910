#include "game/data/animation/CAnimBase.h"

#include "framework/core/AppLog.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/animation/FrameName.h"
#include "game/data/pictures/CImageTable.h"

#include <tinyxml.h>

#include <algorithm>

namespace {

void Log(const char* format, const char* text)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, format, text);
}

} // namespace

CAnimBase::CAnimBase(CImageTable& images, CTrackBase& tracks, CCurveBase& curves)
    : mImages(images), mTracks(tracks), mCurves(curves)
{
    mFrames.reserve(1024);
}

void CAnimBase::AddFrames(const TiXmlElement* frames)
{
    const char* startText = XmlTextAttribute(frames, "start");
    if (!startText[0])
        return;
    const std::string src = XmlTextAttribute(frames, "src");
    const int32_t start = XmlIntAttribute(frames, "start", 0);
    const int32_t end = XmlIntAttribute(frames, "end", 0);
    if (start > end)
        return;
    if (int64_t(end) - start >= kMaxFramesPerRun) {
        Log("Animbase: too many frames in %s", src.c_str());
        return;
    }
    const bool pattern = src.find('%') != std::string::npos;
    for (int64_t i = start; i <= end; ++i) {
        std::string name;
        if (!pattern) {
            name = src + "|" + std::to_string(i);
        } else if (FormatFrameNumber(src, int32_t(i), &name)) {
            name += "|1";
        } else {
            Log("Animbase: bad frame pattern %s", src.c_str());
            return;
        }
        int32_t slot = 0;
        if (mImages.FindByName(name, &slot))
            mFrames.push_back(slot);
        else
            Log("Animbase: error loading %s", name.c_str());
    }
}

bool CAnimBase::LoadFromXml(const TiXmlElement* root)
{
    if (!root)
        return true;
    CAnimTrack scratch;
    std::string curveName;
    for (const TiXmlElement* anim = root->FirstChildElement(); anim; anim = anim->NextSiblingElement()) {
        const int32_t first = int32_t(mFrames.size());
        for (const TiXmlElement* frames = anim->FirstChildElement("frames"); frames;
             frames = frames->NextSiblingElement("frames")) {
            if (const char* curve = frames->Attribute("curve"))
                curveName = curve;
            AddFrames(frames);
        }
        if (curveName.empty())
            Log("Animbase: %s has no curve", anim->Value());
        else if (const TiXmlElement* definition = anim->FirstChildElement(curveName.c_str()))
            scratch.LoadFromXml(definition, mCurves);

        const int32_t id = int32_t(mRecords.size());
        mNames[anim->Value()] = id;
        mRecords.push_back(Record{first, int32_t(mFrames.size()), scratch});
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Animbase: loaded %s id=%d", anim->Value(), id);
    }
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Animbase: loaded %d animations.",
                                        int(mRecords.size()));
    return true;
}

bool CAnimBase::AddAnim(const std::vector<int32_t>& frames, int32_t first, int32_t end, const CAnimTrack& definition,
                        int32_t* id)
{
    if (first < 0 || end < first || size_t(end) > frames.size())
        return false;
    const int32_t runStart = int32_t(mFrames.size());
    mFrames.insert(mFrames.end(), frames.begin() + first, frames.begin() + end);
    Record record{runStart, int32_t(mFrames.size()), definition};
    record.mDefinition.mOwnerTag = CAnimTrack::kNone;
    record.mDefinition.mPlayer = nullptr;
    record.mDefinition.mState = CAnimTrack::kCreated;
    record.mDefinition.mAttached = 0;
    *id = int32_t(mRecords.size());
    mRecords.push_back(record);
    return true;
}

bool CAnimBase::FindAnim(const std::string& name, int32_t* id) const
{
    auto found = mNames.find(name);
    if (found == mNames.end())
        return false;
    *id = found->second;
    return true;
}

const CAnimBase::Record* CAnimBase::AnimRecord(int32_t id) const
{
    return id >= 0 && size_t(id) < mRecords.size() ? &mRecords[size_t(id)] : nullptr;
}

Lumo::Rect CAnimBase::FirstFrameRect(int32_t id) const
{
    const Record* record = AnimRecord(id);
    if (!record || record->mEndFrame <= record->mFirstFrame || size_t(record->mFirstFrame) >= mFrames.size())
        return {};
    const int32_t slot = mFrames[size_t(record->mFirstFrame)];
    const CImageSlot* cel = mImages.Slot(slot);
    return cel && cel->mRect.mWidth > 0 ? cel->mRect : mImages.SourceRect(slot);
}

void CAnimBase::SetFrame(int32_t index, int32_t slot)
{
    if (index >= 0 && size_t(index) < mFrames.size())
        mFrames[size_t(index)] = slot;
}

CAnimInstance* CAnimBase::CreateInstance(int32_t id, CAnimPlayer* player)
{
    const Record* record = AnimRecord(id);
    if (!record) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Animbase: no animation %d", id);
        return nullptr;
    }
    CAnimInstance* instance = mInstances.Acquire();
    instance->mOwnsTrack = 1;
    instance->mTrack = mTracks.NewIdleInstance();
    CAnimTrack::CopyDefinition(instance->mTrack, record->mDefinition);
    instance->mFirstFrame = record->mFirstFrame;
    instance->mEndFrame = record->mEndFrame;
    instance->mTrack->mPlayer = player;
    return instance;
}

void CAnimBase::ResetInstance(int32_t id, CAnimInstance* instance)
{
    const Record* record = AnimRecord(id);
    if (!record || !instance->mTrack)
        return;
    CAnimTrack::CopyDefinition(instance->mTrack, record->mDefinition);
    instance->mFirstFrame = record->mFirstFrame;
    instance->mEndFrame = record->mEndFrame;
}

void CAnimBase::ReleaseInstance(CAnimInstance* instance)
{
    if (!mInstances.Release(instance))
        return;
    if (instance->mOwnsTrack == 1 && instance->mTrack)
        mTracks.FreeInstance(instance->mTrack);
    instance->mTrack = nullptr;
}

int32_t CAnimBase::GetFrameImage(const CAnimInstance& instance) const
{
    const int32_t first = std::max(instance.mFirstFrame, 0);
    const int32_t end = std::min(instance.mEndFrame, int32_t(mFrames.size()));
    if (end <= first || !instance.mTrack)
        return CAnimTrack::kNone;
    const int32_t offset = TruncateToInt(SampleCurve1D(instance.mTrack->mCurve, instance.mTrack->mTime));
    return mFrames[size_t(first + std::clamp(offset, 0, end - first - 1))];
}

void CAnimBase::FetchFrameImages(const CAnimInstance& instance)
{
    const int32_t first = std::max(instance.mFirstFrame, 0);
    const int32_t end = std::min(instance.mEndFrame, int32_t(mFrames.size()));
    for (int32_t frame = first; frame < end; ++frame)
        mImages.FetchSlotImage(mFrames[size_t(frame)]);
}
