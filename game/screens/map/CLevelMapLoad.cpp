#include "game/screens/map/CLevelMap.h"

#include "framework/core/AppLog.h"
#include "framework/core/RandomNumber.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/pictures/CImageTable.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

void ReadPoint(const TiXmlElement* element, const char* name, int32_t* x, int32_t* y)
{
    int px = 0;
    int py = 0;
    ParsePoint(XmlTextAttribute(element, name), &px, &py);
    const bool fits = XmlPixelsInRange(element, name, {px, py});
    *x = fits ? px : 0;
    *y = fits ? py : 0;
}

// The map's speeds and delays are all waited on: a refused one ends at once.
float Speed(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, kRefusedSpeed, kMinSpeed, kMaxSpeed);
}

} // namespace

int32_t CLevelMap::FindImage(const char* name) const
{
    int32_t slot = -2;
    if (name[0] != '\0')
        mServices.mImages->FindByName(name, &slot);
    return slot;
}

int32_t CLevelMap::FindAnim(const char* name) const
{
    int32_t id = -1;
    mServices.mAnims->FindAnim(name, &id);
    return id;
}

void CLevelMap::LoadFromXml(const TiXmlElement* root)
{
    if (root == nullptr)
        return;
    static const char* const kIconAnims[4] = {"gamemap_icon_anim_classic", "gamemap_icon_anim_time",
                                              "gamemap_icon_anim_puzzle", "gamemap_icon_anim_crazy"};
    // The icon picture of each kind: classic is the second sub-image, time the first.
    static const char* const kIconImages[4] = {"res\\gamemap_icons.png|2", "res\\gamemap_icons.png|1",
                                               "res\\gamemap_icons.png|3", "res\\gamemap_icons.png|4"};
    for (size_t kind = 0; kind < 4; ++kind) {
        mIconAnims[kind] = FindAnim(kIconAnims[kind]);
        mIconImages[kind] = FindImage(kIconImages[kind]);
    }
    mHandAnims[0] = FindAnim("gamemap_handmove_1");
    mHandAnims[1] = FindAnim("gamemap_handmove_2");
    mRadarAnim = FindAnim("gamemap_radar_anim");

    LoadAttributes(root);
    LoadMaps(root);
    LoadCups(root);
    LoadIndicators(root);

    mLights.Reset();
    mLights.LoadFromXml(root->FirstChildElement("lights"));
    mLights.InitLight(FindAnim(XmlTextAttribute(root, "crossfade_frames")), mCrossFade,
                      Speed(root, "crossfade_speed"), Speed(root, "crossfade_interval"));
    mTyper.Reset();
    mTyper.LoadFromXml(root);
    mTyper.Start();
}

void CLevelMap::LoadAttributes(const TiXmlElement* root)
{
    mBackgroundImage = FindImage(XmlTextAttribute(root, "background"));
    mHighlightImage = FindImage(XmlTextAttribute(root, "hl_img"));
    mRadarImage = FindImage(XmlTextAttribute(root, "gamemap_radar"));
    ReadPoint(root, "icon_offset", &mIconOffsetX, &mIconOffsetY);
    ReadPoint(root, "hl_offset", &mHighlightOffsetX, &mHighlightOffsetY);
    ReadPoint(root, "hand_pos", &mHandX, &mHandY);
    ReadPoint(root, "radar_pos", &mRadarX, &mRadarY);
    ReadPoint(root, "crossfade_pos", &mCrossFadeX, &mCrossFadeY);
    if (mHand == nullptr && mHandAnims[0] >= 0)
        mHand = mServices.mAnims->CreateInstance(mHandAnims[0], &mPlayer);
    if (mRadar == nullptr && mRadarAnim >= 0)
        mRadar = mServices.mAnims->CreateInstance(mRadarAnim, &mPlayer);

    struct FloatField {
        const char* mName;
        float* mValue;
    };
    const FloatField floats[] = {
        {"hl_rotspeed", &mRotationSpeed},
        {"hl_movespeed", &mMoveSpeed},
        {"hl_wheelwait", &mWaitSpeed},
        {"actiondelay", &mActionDelay},
        {"hidespeed", &mHideSpeed},
        {"showspeed", &mShowSpeed},
        {"hidedelay", &mHideDelay},
        {"screen_prize_presense", &mPrizePresence},
        {"screen_prize_hide", &mPrizeHide},
        {"screen_cup_show", &mCupShow},
        {"screen_cup_hide", &mCupHide},
        {"screen_prizecup_presense", &mPrizeCupPresence},
        {"screen_prizecup_hide", &mPrizeCupHide},
        {"screen_map_show", &mMapShow},
        {"screen_map_hide", &mMapHide},
        {"highlightcup_slackness", &mCupSlackness},
        {"light_fadein_spd", &mLightFadeInSpeed},
        {"light_prefade_spd", &mLightPreFadeSpeed},
        {"light_off_delay", &mLightOffDelay},
    };
    for (const FloatField& field : floats)
        *field.mValue = Speed(root, field.mName);
    mToBeCompletedAlpha = XmlRangedAttribute(root, "tobecompleted_alpha", 0, 0, 255);

    for (int32_t i = 0; i < kMonitors; ++i) {
        char name[32];
        Monitor& monitor = mMonitors[size_t(i)];
        std::snprintf(name, sizeof name, "monitor%d", i + 1);
        ParseRect(XmlTextAttribute(root, name), &monitor.mRect);
        const Lumo::Rect& r = monitor.mRect;
        if (!XmlPixelsInRange(root, name, {r.mX, r.mY, r.mWidth, r.mHeight}))
            monitor.mRect = {};
        std::snprintf(name, sizeof name, "monitor%d_speed", i + 1);
        const float speed = XmlRangedAttribute(root, name, 0.0f, -kMaxSpeed, kMaxSpeed);
        monitor.mSpeed = speed < 0.0f ? -speed : speed;
        monitor.mRight = speed > 0.0f;
        std::snprintf(name, sizeof name, "res\\monitor%d.png|1", i + 1);
        monitor.mSource = FindImage(name);
    }
}

void CLevelMap::LoadMaps(const TiXmlElement* root)
{
    mMaps.clear();
    const TiXmlElement* maps = root->FirstChildElement("maps");
    if (maps == nullptr)
        return;
    for (const TiXmlElement* element = maps->FirstChildElement("map");
         element != nullptr && int32_t(mMaps.size()) < kMaps; element = element->NextSiblingElement("map")) {
        Map map;
        map.mImage = FindImage(XmlTextAttribute(element, "img"));
        ReadPoint(element, "p", &map.mX, &map.mY);
        const int32_t number = int32_t(mMaps.size()) + 1;
        int32_t index = 0;
        for (const TiXmlElement* pos = element->FirstChildElement("pos"); pos != nullptr && index < kPositions;
             pos = pos->NextSiblingElement("pos"), ++index) {
            Position& position = map.mPositions[size_t(index)];
            ReadPoint(pos, "p", &position.mX, &position.mY);
            position.mX += map.mX;
            position.mY += map.mY;
            position.mKind = Lumo::RandomNumber(4);
            if (index == kPositions - 1)
                continue;
            char name[32];
            std::snprintf(name, sizeof name, "map%d_%d", number, index);
            position.mCurve = mServices.mCurves->FindCurve(name);
            if (position.mCurve == nullptr)
                Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "failed to load curve: %s", name);
        }
        mMaps.push_back(map);
    }
}

void CLevelMap::LoadCups(const TiXmlElement* root)
{
    mCups.fill(Cup{});
    const TiXmlElement* cups = root->FirstChildElement("cups");
    const TiXmlElement* element = cups != nullptr ? cups->FirstChildElement("cup") : nullptr;
    int32_t count = 0;
    for (; element != nullptr && count < kCups; element = element->NextSiblingElement("cup"), ++count) {
        Cup& cup = mCups[size_t(count)];
        cup.mLevel = XmlRangedAttribute(element, "level", 0, 0, INT32_MAX);
        ReadPoint(element, "pos", &cup.mX, &cup.mY);
        cup.mImage = FindImage(XmlTextAttribute(element, "img"));
        cup.mHoverImage = FindImage(XmlTextAttribute(element, "imghover"));
    }
    // A missing cup keeps a level no position reaches, so it is never won.
    if (count < kCups)
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "levelmap: %d of %d cups", count, kCups);
}

void CLevelMap::LoadIndicators(const TiXmlElement* root)
{
    mIndicators.clear();
    const TiXmlElement* list = root->FirstChildElement("colorindicators");
    if (list == nullptr)
        return;
    for (const TiXmlElement* element = list->FirstChildElement("colorindicator");
         element != nullptr && int32_t(mIndicators.size()) < kIndicators;
         element = element->NextSiblingElement("colorindicator")) {
        Indicator indicator;
        indicator.mImage = FindImage(XmlTextAttribute(element, "on"));
        ReadPoint(element, "p", &indicator.mX, &indicator.mY);
        mIndicators.push_back(indicator);
    }
}
