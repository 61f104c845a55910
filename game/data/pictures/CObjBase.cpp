#include "game/data/pictures/CObjBase.h"

#include "framework/core/AppLog.h"
#include "game/data/XmlLoading.h"
#include "game/data/pictures/CImageTable.h"

#include <tinyxml.h>

CObjBase::CObjBase(CImageTable& images) : mImages(images) {}

bool CObjBase::LoadFromXml(const TiXmlElement* root)
{
    for (const TiXmlElement* object = root ? root->FirstChildElement() : nullptr; object;
         object = object->NextSiblingElement()) {
        const int32_t hotX = XmlPixelAttribute(object, "hspotx");
        const int32_t hotY = XmlPixelAttribute(object, "hspoty");
        const int32_t first = int32_t(mSprites.size());
        const TiXmlElement* sprites = object->FirstChildElement("sprites");
        for (const TiXmlElement* sprite = sprites ? sprites->FirstChildElement("sprite") : nullptr; sprite;
             sprite = sprite->NextSiblingElement("sprite")) {
            int32_t slot = 0;
            if (!mImages.FindByName(XmlTextAttribute(sprite, "src"), &slot)) {
                Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Objbase: Error loading %s",
                                                    object->Value());
                continue;
            }
            mSprites.push_back(Sprite{slot, XmlPixelAttribute(sprite, "ofsx") - hotX,
                                      XmlPixelAttribute(sprite, "ofsy") - hotY});
        }
        mNames[object->Value()] = int32_t(mRanges.size());
        mRanges.push_back(Range{first, int32_t(mSprites.size())});
    }
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Objbase: loaded %d objects.", int(mRanges.size()));
    return true;
}

bool CObjBase::FindObject(const std::string& name, int32_t* id) const
{
    auto found = mNames.find(name);
    if (found == mNames.end())
        return false;
    *id = found->second;
    return true;
}

void CObjBase::FetchObjectImages(int32_t id)
{
    if (id < 0 || size_t(id) >= mRanges.size())
        return;
    for (int32_t i = mRanges[size_t(id)].mFirst; i < mRanges[size_t(id)].mEnd; ++i)
        mImages.FetchSlotImage(mSprites[size_t(i)].mSlot);
}
