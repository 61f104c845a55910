#include "game/data/effects/CFadeGroup.h"

#include "framework/core/RandomNumber.h"
#include "framework/graphics/Graphics.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/ImageDrawing.h"

#include <algorithm>

void CFadeGroup::Reset()
{
    mGroups.clear();
    mEntries.clear();
    mGroups.reserve(18);
}

void CFadeGroup::DrawSpeed(LightGroup& group)
{
    group.speed = group.minSpeed + float(Lumo::RandomNumber(10000)) * 0.0001f * (group.maxSpeed - group.minSpeed);
}

void CFadeGroup::LoadFromXml(const TiXmlElement* element)
{
    if (!element)
        return;
    for (const TiXmlElement* child = element->FirstChildElement("group"); child;
         child = child->NextSiblingElement("group")) {
        LightGroup group;
        group.minSpeed = XmlRangedAttribute(child, "min_fadespeed", 0.0f, 0.0f, kMaxSpeed);
        group.maxSpeed = XmlRangedAttribute(child, "max_fadespeed", 0.0f, 0.0f, kMaxSpeed);
        DrawSpeed(group);
        group.first = int32_t(mEntries.size());
        for (const TiXmlElement* img = child->FirstChildElement("img"); img; img = img->NextSiblingElement("img")) {
            LightEntry entry;
            if (!mImages.FindByName(XmlTextAttribute(img, "src"), &entry.image))
                continue;
            ParsePoint(XmlTextAttribute(img, "pos"), &entry.x, &entry.y);
            if (!XmlPixelsInRange(img, "pos", {entry.x, entry.y}))
                continue;
            mEntries.push_back(entry);
        }
        group.end = int32_t(mEntries.size());
        if (group.end > group.first)
            mGroups.push_back(group);
    }
}

void CFadeGroup::Update()
{
    for (LightGroup& group : mGroups) {
        group.level += group.speed;
        if (group.level <= 1.0f)
            continue;
        if (group.state == 0) {
            group.state = 1;
        } else {
            group.state = 0;
            group.current = Lumo::RandomNumber(group.end - group.first);
        }
        DrawSpeed(group);
        group.level = 0.0f;
    }
}

void CFadeGroup::Draw(Lumo::Graphics& g) const
{
    const Lumo::Color colour = g.GetColor();
    const bool tint = g.GetTintImages();
    const int32_t limit = tint ? colour.mAlpha : 255;
    g.SetTintImages(true);
    for (const LightGroup& group : mGroups) {
        const float shown = group.state == 0 ? group.level : 1.0f - group.level;
        g.SetColor(Lumo::Color(255, 255, 255, std::clamp(int32_t(shown * 255.0f), 0, limit)));
        const LightEntry& entry = mEntries[size_t(group.first + group.current)];
        DrawImageCel(entry.image, mImages, g, entry.x, entry.y);
    }
    g.SetTintImages(tint);
    g.SetColor(colour);
}

int32_t CFadeGroup::FrameCount(int32_t anim) const
{
    const CAnimBase::Record* record = mAnims.AnimRecord(anim);
    return record ? std::max(record->mEndFrame - record->mFirstFrame, 0) : 0;
}

int32_t CFadeGroup::FrameImage(int32_t anim, int32_t frame) const
{
    const CAnimBase::Record* record = mAnims.AnimRecord(anim);
    if (!record || frame < 0 || frame >= FrameCount(anim))
        return -2;
    const size_t index = size_t(record->mFirstFrame + frame);
    return index < mAnims.Frames().size() ? mAnims.Frames()[index] : -2;
}

void CFadeGroup::InitLight(int32_t anim, CrossFadeLight& picture, float crossFadeSpeed, float holdSpeed) const
{
    picture.isStatic = false;
    picture.crossFadeSpeed = crossFadeSpeed;
    picture.holdSpeed = holdSpeed;
    picture.anim = anim;
    picture.state = 1;
    picture.level = 0.0f;
    picture.nextFrame = 0;
    picture.currentImage = picture.nextImage = FrameImage(anim, 0);
    PickFrame(picture);
}

void CFadeGroup::PickFrame(CrossFadeLight& picture) const
{
    picture.currentImage = picture.nextImage;
    const int32_t frames = FrameCount(picture.anim);
    if (frames < 2)
        return;
    // Frames are told apart by number, so that frames sharing one image still end the draw.
    int32_t frame = picture.nextFrame;
    while (frame == picture.nextFrame)
        frame = Lumo::RandomNumber(frames);
    picture.nextFrame = frame;
    picture.nextImage = FrameImage(picture.anim, frame);
}

void CFadeGroup::StepLight(CrossFadeLight& picture) const
{
    if (picture.isStatic)
        return;
    if (picture.state == 0) {
        picture.level += picture.crossFadeSpeed;
        if (picture.level > 1.0f) {
            picture.state = 1;
            picture.level = 0.0f;
        }
        return;
    }
    picture.level += picture.holdSpeed;
    if (picture.level > 1.0f) {
        picture.state = 0;
        picture.level = 0.0f;
        PickFrame(picture);
    }
}

void CFadeGroup::DrawLight(const CrossFadeLight& picture, int32_t x, int32_t y, Lumo::Graphics& g) const
{
    if (picture.state != 0 || picture.isStatic) {
        DrawImageCel(picture.nextImage, mImages, g, x, y);
        return;
    }
    const Lumo::Color colour = g.GetColor();
    const bool tint = g.GetTintImages();
    const int32_t limit = tint ? colour.mAlpha : 255;
    const int32_t a = std::clamp(int32_t(picture.level * 255.0f), 0, limit);
    g.SetTintImages(true);
    g.SetColor(Lumo::Color(255, 255, 255, limit));
    DrawImageCel(picture.nextImage, mImages, g, x, y);
    g.SetColor(Lumo::Color(255, 255, 255, limit - a));
    DrawImageCel(picture.currentImage, mImages, g, x, y);
    g.SetColor(colour);
    g.SetTintImages(tint);
}
