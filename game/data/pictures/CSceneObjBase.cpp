#include "game/data/pictures/CSceneObjBase.h"

#include "framework/core/AppLog.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"

#include <tinyxml.h>

CSceneObjBase::CSceneObjBase(CImageTable& images, CAnimBase& anims, CTrackBase& tracks)
    : mImages(images), mAnims(anims), mTracks(tracks)
{
}

void CSceneObjBase::LoadFromXml(const TiXmlElement* root)
{
    for (const TiXmlElement* element = root ? root->FirstChildElement() : nullptr; element;
         element = element->NextSiblingElement()) {
        const char* name = XmlTextAttribute(element, "name");
        CSceneObjDef definition;
        if (!mImages.FindByName(XmlTextAttribute(element, "image"), &definition.mSlot)) {
            definition.mSlot = -2;
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile,
                                                "ERROR: CSceneObjBase - loading %s - wrong image", name);
        }
        definition.mX = XmlPixelAttribute(element, "x");
        definition.mY = XmlPixelAttribute(element, "y");
        if (const char* scale = element->Attribute("scale")) {
            int x = 0;
            int y = 0;
            ParsePoint(scale, &x, &y);
            if (XmlPixelsInRange(element, "scale", {x, y})) {
                definition.mScaleX = x;
                definition.mScaleY = y;
            }
        }
        definition.mHasFrameAnim = mAnims.FindAnim(XmlTextAttribute(element, "frame_animation"), &definition.mFrameAnim);
        definition.mHasMoveTrack = mTracks.FindTrack(XmlTextAttribute(element, "track_animation"), &definition.mMoveTrack);
        definition.mHasColorTrack =
            mTracks.FindTrack(XmlTextAttribute(element, "color_animation"), &definition.mColorTrack);
        mNames[name] = int32_t(mDefinitions.size());
        mDefinitions.push_back(definition);
    }
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "SceneObjBase: loaded %d objects.",
                                        int(mDefinitions.size()));
}

bool CSceneObjBase::FindDefinition(const std::string& name, int32_t* index) const
{
    auto found = mNames.find(name);
    if (found == mNames.end())
        return false;
    *index = found->second;
    return true;
}

void CSceneObjBase::Spawn(int32_t index, CSceneObj& instance, CAnimPlayer* player, CAnimPlayer* colorPlayer)
{
    if (index < 0 || size_t(index) >= mDefinitions.size())
        return;
    const CSceneObjDef& definition = mDefinitions[size_t(index)];
    instance.mSlot = definition.mSlot;
    instance.mX = definition.mX;
    instance.mY = definition.mY;
    instance.mScaleX = definition.mScaleX;
    instance.mScaleY = definition.mScaleY;
    SetColorTrack(definition.mHasColorTrack, colorPlayer, instance, definition.mColorTrack);
    SetMoveTrack(definition.mHasMoveTrack, player, instance, definition.mMoveTrack);
    SetFrameAnim(definition.mHasFrameAnim, definition.mFrameAnim, instance, player);
}

void CSceneObjBase::Release(CSceneObj& instance)
{
    SetFrameAnim(false, 0, instance, nullptr);
    SetColorTrack(false, nullptr, instance, 0);
    SetMoveTrack(false, nullptr, instance, 0);
}

void CSceneObjBase::SetTrack(bool flag, CAnimPlayer* player, CAnimTrack*& track, int32_t trackDefinition)
{
    if (flag) {
        mTracks.StartTrack(track, trackDefinition, false, player);
    } else if (track) {
        mTracks.FreeInstance(track);
        track = nullptr;
    }
}

void CSceneObjBase::SetColorTrack(bool flag, CAnimPlayer* player, CSceneObj& instance, int32_t trackDefinition)
{
    SetTrack(flag, player, instance.mColorTrack, trackDefinition);
}

void CSceneObjBase::SetMoveTrack(bool flag, CAnimPlayer* player, CSceneObj& instance, int32_t trackDefinition)
{
    SetTrack(flag, player, instance.mMoveTrack, trackDefinition);
}

void CSceneObjBase::SetFrameAnim(bool flag, int32_t animation, CSceneObj& instance, CAnimPlayer* player)
{
    if (instance.mFrameAnim && flag) {
        CAnimTrack* track = instance.mFrameAnim->mTrack;
        if (track && track->mPlayer)
            track->mPlayer->ClearFinished(track);
        instance.mSlot = 0;
        mAnims.ResetInstance(animation, instance.mFrameAnim);
    } else if (instance.mFrameAnim) {
        mAnims.ReleaseInstance(instance.mFrameAnim);
        instance.mFrameAnim = nullptr;
    } else if (flag) {
        instance.mFrameAnim = mAnims.CreateInstance(animation, player);
    }
}

void CSceneObjBase::FetchImages(const CSceneObj& instance)
{
    if (instance.mFrameAnim)
        mAnims.FetchFrameImages(*instance.mFrameAnim);
    else
        mImages.FetchSlotImage(instance.mSlot);
}
