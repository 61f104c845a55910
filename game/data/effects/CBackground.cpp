#include "game/data/effects/CBackground.h"

#include "framework/core/AppLog.h"
#include "framework/core/RandomNumber.h"
#include "framework/core/RuntimeRandom.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/Image.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "game/data/pictures/ImageDrawing.h"

#include <algorithm>
#include <cmath>

namespace {

// Owner tags of the background's tracks: bit 0 valid, bit 1 a group's
// track, bit 2 a flying object's path.
constexpr int32_t kGroupBit = 2;
constexpr int32_t kPathBit = 4;

int32_t StarTag(int32_t cell) { return cell * 8 | 1; }
int32_t SpawnTag(int32_t group) { return group * 8 | 3; }
int32_t PathTag(int32_t slot, int32_t group) { return (slot * 256 + group) * 8 | 7; }

// The runtime generator modulo range; an empty range from the data gives 0.
int32_t RandMod(int32_t range) { return range > 0 ? Lumo::Rand() % range : 0; }
int32_t Random(int32_t range) { return Lumo::RandomNumber(std::max(range, 0)); }

} // namespace

float RandomVariation(float value, int32_t percent)
{
    const float sign = Lumo::Rand() % 2 == 0 ? -0.01f : 0.01f;
    return value + value * float(percent) * sign;
}

CBackground::CBackground(CImageTable& images, CAnimBase& anims, CTrackBase& tracks, CSceneObjBase& sceneObjects)
    : mImages(images), mAnims(anims), mTracks(tracks), mSceneObjects(sceneObjects)
{
}

CBackground::~CBackground() { Clear(); }

void CBackground::LoadFromXml()
{
    TiXmlDocument document;
    LoadXmlDocument("res\\backgrounds.xml", document);
    const TiXmlElement* root = document.FirstChildElement("root");
    if (!root) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: backgrounds - no root");
        return;
    }
    for (const TiXmlElement* element = root->FirstChildElement("background"); element;
         element = element->NextSiblingElement("background"))
        LoadBackground(element);
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Backgrounds: loaded %d backgrounds.",
                                        int(mRecords.size()));
}

void CBackground::LoadBackground(const TiXmlElement* element)
{
    Record record;
    record.speed = XmlRangedAttribute(element, "speed", 0.0f, -kMaxSpeed, kMaxSpeed);
    record.firstImage = int32_t(mStripImages.size());
    for (const TiXmlElement* image = element->FirstChildElement("image"); image;
         image = image->NextSiblingElement("image")) {
        StripImage strip;
        if (mImages.FindByName(XmlTextAttribute(image, "src"), &strip.slot))
            mStripImages.push_back(strip);
    }
    record.imageCount = int32_t(mStripImages.size()) - record.firstImage;

    record.firstStar = int32_t(mStarAnims.size());
    if (const TiXmlElement* stars = element->FirstChildElement("stars")) {
        record.starAmount = XmlRangedAttribute(stars, "amount", 0, 0, kMaxStars);
        record.starSpeedVariation = XmlRangedAttribute(stars, "speed_variation_percent", 0, 0, kMaxPercent);
        for (const TiXmlElement* star = stars->FirstChildElement("star"); star;
             star = star->NextSiblingElement("star")) {
            int32_t id = 0;
            if (mAnims.FindAnim(XmlTextAttribute(star, "src"), &id))
                mStarAnims.push_back(id);
        }
    }
    record.starCount = int32_t(mStarAnims.size()) - record.firstStar;

    record.firstGroup = int32_t(mGroups.size());
    for (const TiXmlElement* child = element->FirstChildElement("group"); child;
         child = child->NextSiblingElement("group")) {
        // A flying object's track names its group in eight bits.
        if (mGroups.size() == kMaxGroups) {
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile,
                                                "ERROR: backgrounds - more than %d groups, the rest left out",
                                                int(kMaxGroups));
            break;
        }
        Group group;
        group.max = XmlRangedAttribute(child, "max", 0, 0, kMaxGroupObjects);
        group.min = XmlRangedAttribute(child, "min", 0, 0, group.max);
        group.grid = XmlRangedAttribute(child, "grid", 0, 0, kScreenHeight);
        group.animSpeedVariation = XmlRangedAttribute(child, "anim_speed_variation_percent", 0, 0, kMaxPercent);
        group.trackSpeedVariation = XmlRangedAttribute(child, "track_speed_variation_percent", 0, 0, kMaxPercent);
        group.spawnSpeedVariation = XmlRangedAttribute(child, "spawn_speed_variation_percent", 0, 0, kMaxPercent);
        group.spawnIntervalSpeed = XmlRangedAttribute(child, "spawn_interval_speed", 0.0f, 0.0f, kMaxSpeed);
        group.trackSpeed = XmlRangedAttribute(child, "track_speed", 0.0f, 0.0f, kMaxSpeed);
        const float far = float(kMaxPixels);
        group.xRight = XmlRangedAttribute(child, "x_right", 0.0f, -far, far);
        group.xLeft = XmlRangedAttribute(child, "x_left", 0.0f, -far, far);
        group.bias = XmlRangedAttribute(child, "bias", 0.0f, -far, far);
        group.firstObject = int32_t(mGroupObjects.size());
        for (const TiXmlElement* object = child->FirstChildElement("obj"); object;
             object = object->NextSiblingElement("obj")) {
            int32_t definition = 0;
            if (mSceneObjects.FindDefinition(XmlTextAttribute(object, "src"), &definition))
                mGroupObjects.push_back(definition);
        }
        group.objectCount = int32_t(mGroupObjects.size()) - group.firstObject;
        mGroups.push_back(group);
    }
    record.groupCount = int32_t(mGroups.size()) - record.firstGroup;
    mRecords.push_back(record);
}

void CBackground::SetBackground(int32_t number, bool smooth)
{
    if (number == mCurrent)
        return;
    if (number < 0 || number >= int32_t(mRecords.size())) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "ERROR: no background %d", number);
        return;
    }
    mPending = number;
    // With nothing in flight there is nothing to wait for: a smooth switch
    // that waited would never end, as no new object starts while switching.
    if (smooth && mCurrent != -1 && mLiveTotal > 0) {
        mSwitching = true;
        return;
    }
    mSwitching = false;
    Clear();
    SwitchNow();
}

void CBackground::SwitchNow()
{
    mRecord = mRecords[size_t(mPending)];
    mStripWidth = 0;
    for (int32_t i = mRecord.firstImage; i < mRecord.firstImage + mRecord.imageCount; ++i) {
        StripImage& strip = mStripImages[size_t(i)];
        mImages.FetchSlotImage(strip.slot);
        strip.x = mStripWidth;
        strip.width = mImages.SourceRect(strip.slot).mWidth;
        mStripWidth += strip.width;
    }

    const int32_t cellCount = 2 * std::max(mRecord.starAmount, 0);
    const int32_t n = int32_t(std::sqrt(double(cellCount)));
    mCellWidth = kScreenWidth / (n + 1);
    mCellHeight = kScreenHeight / (n + 1);
    mCells.assign(size_t(n > 0 ? cellCount : 0), Cell());
    for (int32_t i = 0; i < int32_t(mCells.size()); ++i) {
        mCells[size_t(i)].x = mCellWidth * (i % n);
        mCells[size_t(i)].y = mCellHeight * (i / n);
    }

    if (mRecord.starCount > 0 && !mCells.empty()) {
        for (int32_t star = 0; star < mRecord.starAmount; ++star) {
            mSlots.emplace_back();
            PlaceStar(star);
        }
    }

    for (int32_t g = mRecord.firstGroup; g < mRecord.firstGroup + mRecord.groupCount; ++g) {
        Group& group = mGroups[size_t(g)];
        group.live = 0;
        RestartSpawnTimer(g);
        group.spawnTimer->mOwnerTag = SpawnTag(g);
        mPlayer.Attach(group.spawnTimer);
        group.firstSlot = int32_t(mSlots.size());
        mSlots.resize(mSlots.size() + size_t(std::max(group.max, 0)));
    }
    mCurrent = mPending;
}

void CBackground::PlaceStar(int32_t star)
{
    Slot& slot = mSlots[size_t(star)];
    const int32_t cellCount = int32_t(mCells.size());
    int32_t cell = RandMod(cellCount);
    while (mCells[size_t(cell)].used)
        cell = RandMod(cellCount);
    if (slot.cell >= 0) {
        mCells[size_t(slot.cell)].used = false;
        mCells[size_t(slot.cell)].star = -1;
    }
    mCells[size_t(cell)].used = true;
    mCells[size_t(cell)].star = star;
    slot.cell = cell;
    slot.used = 1;

    const int32_t anim = mStarAnims[size_t(mRecord.firstStar + RandMod(mRecord.starCount))];
    slot.object.mX = mCells[size_t(cell)].x + RandMod(mCellWidth);
    slot.object.mY = mCells[size_t(cell)].y + RandMod(mCellHeight);
    CAnimInstance*& instance = slot.object.mFrameAnim;
    if (instance)
        mAnims.ResetInstance(anim, instance);
    else
        instance = mAnims.CreateInstance(anim, &mPlayer);
    if (!instance || !instance->mTrack)
        return;
    const float speed = instance->mTrack->mSpeed;
    const int32_t percent = RandMod(mRecord.starSpeedVariation);
    mTracks.StartTimer(instance->mTrack, 0.0f, RandomVariation(speed, percent), instance->mTrack->mRepeatCount, true,
                       &mPlayer);
    instance->mTrack->mOwnerTag = StarTag(cell);
    mPlayer.Attach(instance->mTrack);
}

void CBackground::RestartSpawnTimer(int32_t g)
{
    Group& group = mGroups[size_t(g)];
    const int32_t percent = Random(group.spawnSpeedVariation);
    mTracks.StartTimer(group.spawnTimer, 0.0f, RandomVariation(group.spawnIntervalSpeed, percent), 1, true, &mPlayer);
}

void CBackground::SpawnObject(int32_t g)
{
    Group& group = mGroups[size_t(g)];
    int32_t index = -1;
    for (int32_t i = group.firstSlot; i < group.firstSlot + group.max; ++i) {
        if (!mSlots[size_t(i)].used) {
            index = i;
            break;
        }
    }
    if (index < 0 || group.objectCount <= 0)
        return;
    Slot& slot = mSlots[size_t(index)];
    const int32_t definition = mGroupObjects[size_t(group.firstObject + Random(group.objectCount))];
    mSceneObjects.Spawn(definition, slot.object, &mPlayer, &mPlayer);
    slot.used = 1;
    slot.width = slot.object.mScaleX;
    slot.height = slot.object.mScaleY;

    const int32_t trackPercent = Random(group.trackSpeedVariation);
    mTracks.StartTimer(slot.path, 0.0f, RandomVariation(group.trackSpeed, trackPercent), 1, true, &mPlayer);
    const int32_t y = group.grid > 0 ? Random(kScreenHeight / group.grid) * group.grid : 0;
    slot.pathCurve.mChannels = 2;
    slot.pathCurve.mValues = {group.xRight, float(y), group.xLeft, float(y) + group.bias};
    slot.path->mCurve = &slot.pathCurve;

    if (CAnimInstance* anim = slot.object.mFrameAnim; anim && anim->mTrack) {
        const int32_t percent = Random(group.animSpeedVariation);
        mTracks.StartTimer(anim->mTrack, 0.0f, RandomVariation(anim->mTrack->mSpeed, percent),
                           anim->mTrack->mRepeatCount, true, &mPlayer);
        anim->mTrack->mOwnerTag = CAnimTrack::kNone;
        mPlayer.Attach(anim->mTrack);
    }
    slot.path->mOwnerTag = PathTag(index, g);
    mPlayer.Attach(slot.path);
    ++group.live;
    ++mLiveTotal;
}

void CBackground::ReleaseSlot(Slot& slot)
{
    if (slot.object.mFrameAnim)
        mAnims.ReleaseInstance(slot.object.mFrameAnim);
    slot.object.mFrameAnim = nullptr;
    for (CAnimTrack** track : {&slot.object.mMoveTrack, &slot.object.mColorTrack, &slot.path}) {
        if (*track)
            mTracks.FreeInstance(*track);
        *track = nullptr;
    }
    slot.used = 0;
    slot.cell = -1;
}

void CBackground::RemoveObject(int32_t index) { ReleaseSlot(mSlots[size_t(index)]); }

void CBackground::Update(float dt)
{
    mScroll += mRecord.speed * dt;
    mScrollWhole = int32_t(mScroll);
    if (mStripWidth > 0 && std::fabs(mScroll) > float(mStripWidth)) {
        const float fraction = mScroll - float(mScrollWhole);
        mScrollWhole %= mStripWidth;
        mScroll = float(mScrollWhole) + fraction;
    }
    if (mFading) {
        mFadeLevel += mFadeStep;
        if (mFadeLevel > 1.0f)
            mFading = false;
    }

    mPlayer.Update(dt);
    for (size_t i = 0; i < mPlayer.mFinished.size(); ++i) {
        CAnimTrack* track = mPlayer.mFinished[i];
        if (!track)
            continue;
        track->mFinishedIndex = CAnimTrack::kNone;
        if (!OnTrackFinished(track))
            return;
    }
    mPlayer.mFinished.clear();
}

bool CBackground::OnTrackFinished(CAnimTrack* track)
{
    const int32_t tag = track->mOwnerTag;
    if (tag < 0 || !(tag & 1))
        return true;
    if (!(tag & kGroupBit)) {
        const int32_t cell = tag >> 3;
        if (cell < int32_t(mCells.size()) && mCells[size_t(cell)].star >= 0)
            PlaceStar(mCells[size_t(cell)].star);
        return true;
    }
    if (!(tag & kPathBit)) {
        const int32_t g = tag >> 3;
        Group& group = mGroups[size_t(g)];
        if (!mSwitching && Random(group.max - group.min) + group.live < group.max)
            SpawnObject(g);
        RestartSpawnTimer(g);
        return true;
    }
    const int32_t index = tag >> 11;
    const int32_t g = (tag >> 3) & 255;
    RemoveObject(index);
    --mGroups[size_t(g)].live;
    --mLiveTotal;
    if (mLiveTotal == 0 && mSwitching) {
        SetBackground(mPending, false);
        return false;
    }
    return true;
}

void CBackground::Clear()
{
    for (Slot& slot : mSlots)
        ReleaseSlot(slot);
    if (mCurrent != -1) {
        for (int32_t g = mRecord.firstGroup; g < mRecord.firstGroup + mRecord.groupCount; ++g) {
            CAnimTrack*& timer = mGroups[size_t(g)].spawnTimer;
            if (timer)
                mTracks.FreeInstance(timer);
            timer = nullptr;
        }
    }
    mSlots.clear();
    mCells.clear();
    mPlayer.mActive.clear();
    mPlayer.mFinished.clear();
    mCurrent = -1;
    mLiveTotal = 0;
}

void CBackground::Draw(Lumo::Graphics& g)
{
    DrawStrip(g);
    if (mSlots.empty())
        return;
    const Lumo::Color colour = g.GetColor();
    const bool tint = g.GetTintImages();
    if (mFading) {
        int32_t alpha = int32_t(mFadeLevel * 255.0f);
        if (!mObjectsShown)
            alpha = 255 - alpha;
        if (tint && colour.mAlpha < alpha)
            alpha = colour.mAlpha;
        g.SetColor(Lumo::Color(255, 255, 255, std::clamp(alpha, 0, 255)));
        g.SetTintImages(true);
    }
    if (mFading || mObjectsShown) {
        for (const Slot& slot : mSlots) {
            if (slot.used)
                DrawSlot(g, slot);
        }
    }
    g.SetColor(colour);
    g.SetTintImages(tint);
}

void CBackground::DrawStrip(Lumo::Graphics& g)
{
    const int32_t count = mRecord.imageCount;
    if (mCurrent == -1 || count <= 0 || mStripWidth <= 0)
        return;
    const int32_t first = mRecord.firstImage;
    int32_t x = mScrollWhole;
    for (int32_t i = count - 1; x > 0; i = (i + count - 1) % count) {
        const StripImage& strip = mStripImages[size_t(first + i)];
        x -= strip.width;
        DrawImageCel(strip.slot, mImages, g, x, 0);
    }
    const int32_t right = g.mDestImage ? g.mDestImage->GetWidth() : kScreenWidth;
    x = mScrollWhole;
    for (int32_t i = 0; x < right; i = (i + 1) % count) {
        const StripImage& strip = mStripImages[size_t(first + i)];
        DrawImageCel(strip.slot, mImages, g, x, 0);
        x += strip.width;
    }
}

void CBackground::DrawSlot(Lumo::Graphics& g, const Slot& slot)
{
    int32_t x = slot.object.mX;
    int32_t y = slot.object.mY;
    if (slot.path) {
        float at[2] = {};
        SampleCurve2D(slot.path->mCurve, at, slot.path->mTime);
        x = int32_t(std::lround(at[0]));
        y = int32_t(std::lround(at[1]));
    }
    int32_t image = slot.object.mSlot;
    if (const CAnimInstance* anim = slot.object.mFrameAnim) {
        const int32_t frames = anim->mEndFrame - anim->mFirstFrame;
        if (frames <= 0 || !anim->mTrack)
            return;
        const long offset = std::lround(SampleCurve1D(anim->mTrack->mCurve, anim->mTrack->mTime));
        const int32_t frame = anim->mFirstFrame + int32_t(std::clamp<long>(offset, 0, frames - 1));
        if (frame < 0 || frame >= int32_t(mAnims.Frames().size()))
            return;
        image = mAnims.Frames()[size_t(frame)];
    }
    if (slot.width == 0) {
        DrawImageCel(image, mImages, g, x, y);
        return;
    }
    const CImageSlot* picture = mImages.Slot(image);
    if (picture && picture->mImage)
        g.DrawImageStretched(picture->mImage, Lumo::Rect{x, y, slot.width, slot.height}, mImages.SourceRect(image));
}
