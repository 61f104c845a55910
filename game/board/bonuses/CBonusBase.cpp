#include "game/board/bonuses/CBonusBase.h"

#include "framework/core/AppLog.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/effects/CParticleEmitter.h"
#include "game/data/pictures/CImageSlot.h"
#include "game/data/pictures/CImageTable.h"

#include <algorithm>
#include <cmath>
#include <tinyxml.h>

namespace {

constexpr std::array<const char*, kBonusCount> kElementNames = {
    "bonus_sniper", "bonus_randomize", "bonus_shadowball", "bonus_shell",
    "bonus_powerball", "bonus_bomb", "bonus_energy", "bonus_time",
};

// A speed, time, share or alpha of a bonus: none of them below 0.
float Float(const TiXmlElement* element, const char* name)
{
    return XmlRangedAttribute(element, name, 0.0f, 0.0f, kMaxMagnitude);
}

// One link of the lookup chain: looks the name up only while the chain holds.
bool ChainTrack(bool chain, const TiXmlElement* element, const char* name, const CTrackBase& tracks, int32_t* id)
{
    return chain && tracks.FindTrack(XmlTextAttribute(element, name), id);
}

bool ChainAnim(bool chain, const TiXmlElement* element, const char* name, const CAnimBase& anims, int32_t* id)
{
    return chain && anims.FindAnim(XmlTextAttribute(element, name), id);
}

} // namespace

CBonusBase::CBonusBase()
{
    mAvailable.Setup(8, 64);
}

CBonusBase::~CBonusBase() = default;

bool CBonusBase::LoadFromXml(const TiXmlElement* root, CTrackBase& tracks, CAnimBase& anims,
                             const CImageTable& images)
{
    mNames.clear();
    mPool.clear();
    mInUse = 0;
    const TiXmlElement* commons = root ? root->FirstChildElement("commons") : nullptr;
    if (commons) {
        mFadeSpeed = Float(commons, "fade_speed");
        mUnfadeSpeed = Float(commons, "unfade_speed");
    }
    int32_t loaded = 0;
    for (int32_t id = 0; id < kBonusCount; ++id) {
        BonusRecord record;
        record.mId = id;
        mLoaded[size_t(id)] = LoadBonus(root, kElementNames[size_t(id)], record, tracks, anims, images);
        if (mLoaded[size_t(id)]) {
            mNames[kElementNames[size_t(id)]] = id;
            ++loaded;
        } else {
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "CBonusBase: error - can't load %s",
                                                kElementNames[size_t(id)]);
            record = BonusRecord{};
            record.mId = id;
        }
        *TakeRecord(id) = record;
        mPool[size_t(id)]->mPoolIndex = id;
    }
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "CBonusBase has %d bonuses", loaded);
    return true;
}

bool CBonusBase::LoadBonus(const TiXmlElement* root, const char* name, BonusRecord& record, CTrackBase& tracks,
                           CAnimBase& anims, const CImageTable& images)
{
    const TiXmlElement* element = root ? root->FirstChildElement(name) : nullptr;
    if (!element)
        return false;
    record.mMinAlpha = Float(element, "alpha_min");
    record.mDisappearingSpeed = Float(element, "disappearing_speed");
    record.mPresenceSpeed = Float(element, "presence_speed");
    bool chain = ChainAnim(true, element, "frames", anims, &record.mAnimation);
    chain = ChainTrack(chain, element, "fadein", tracks, &record.mFadeInTrack);
    chain = ChainTrack(chain, element, "fadeout", tracks, &record.mFadeOutTrack);
    record.mOffsetX = XmlRangedAttribute(element, "ofsx", 0, -kMaxPixels, kMaxPixels);
    record.mOffsetY = XmlRangedAttribute(element, "ofsy", 0, -kMaxPixels, kMaxPixels);
    switch (record.mId) {
    case kBonusSniper:
        chain = ChainTrack(chain, element, "action_pulse", tracks, &mSniper.mActionPulse);
        mSniper.mActionSpeed = Float(element, "action_speed");
        break;
    case kBonusShadowBall:
        LoadShadowBall(element);
        break;
    case kBonusShell:
        mShell.mActionSpeed = Float(element, "action_speed");
        mShell.mDisappearSpeed = Float(element, "disappear_speed");
        chain = ChainTrack(chain, element, "unfade", tracks, &mShell.mUnfade);
        chain = ChainTrack(chain, element, "fadetoblack", tracks, &mShell.mFadeToBlack);
        break;
    case kBonusPowerBall:
        LoadPowerBall(element, &chain, anims, images);
        break;
    case kBonusBomb:
        LoadBomb(element, &chain, anims, images);
        break;
    default:
        break;
    }
    return chain;
}

void CBonusBase::LoadShadowBall(const TiXmlElement* element)
{
    ShadowBall& s = mShadowBall;
    s.mActionSpeed = Float(element, "action_speed");
    s.mFadeToBlackSpeed1 = Float(element, "fadetoblack_speed_1");
    s.mFadeToBlackSpeed2 = Float(element, "fadetoblack_speed_2");
    s.mHideSpeed = Float(element, "hidespeed");
    const std::array<const char*, 3> names = {"p1_blocks_light", "p2_blocks_light", "p3_blocks_light"};
    for (size_t k = 0; k < names.size(); ++k) {
        std::vector<float> values;
        ParseFloatVector(&values, XmlTextAttribute(element, names[k]));
        values.resize(std::max<size_t>(values.size(), 2), 0.0f);
        for (float& value : values) {
            if (!XmlValueInRange(element, names[k], value, -kMaxMagnitude, kMaxMagnitude))
                value = 0.0f;
        }
        s.mStart[k] = values[0];
        s.mEnd[k] = values[1];
        // An empty phase has no t inside it, so its reciprocal is never used.
        s.mReciprocal[k] = s.mEnd[k] != s.mStart[k] ? 1.0f / (s.mEnd[k] - s.mStart[k]) : 0.0f;
    }
}

void CBonusBase::LoadPowerBall(const TiXmlElement* element, bool* chain, CAnimBase& anims, const CImageTable& images)
{
    PowerBall& p = mPowerBall;
    *chain = ChainAnim(*chain, element, "powerball_anim", anims, &p.mAnim);
    *chain = ChainAnim(*chain, element, "anim_ballglow", anims, &p.mBallGlow);
    *chain = ChainAnim(*chain, element, "anim_hitlight", anims, &p.mHitLight);
    *chain = ChainAnim(*chain, element, "anim_hitlight_fade", anims, &p.mHitLightFade);
    p.mShotTime = Float(element, "shottime");
    p.mAnnihilateTime = Float(element, "anihilatetime");
    p.mShotReloadTime = Float(element, "shotreloadtime");
    p.mPreFadeSpeed = Float(element, "prefade_spd");
    p.mPostFadeSpeed = Float(element, "postfade_spd");
    if (const CAnimBase::Record* source = *chain ? anims.AnimRecord(p.mAnim) : nullptr) {
        p.mDefinition = *source;
        const Lumo::Rect frame = anims.FirstFrameRect(p.mAnim);
        p.mFrameWidth = float(frame.mWidth);
        p.mFrameHeight = float(frame.mHeight);
        p.mFrameSum = p.mFrameWidth + p.mFrameHeight;
        if (anims.AddAnim(anims.Frames(), p.mDefinition.mFirstFrame, p.mDefinition.mEndFrame,
                          p.mDefinition.mDefinition, &p.mBeamAnim)) {
            p.mBeamDefinition = *anims.AnimRecord(p.mBeamAnim);
            p.mBeamInstance = anims.CreateInstance(p.mBeamAnim, nullptr);
        }
    }
    if (const TiXmlElement* particles = element->FirstChildElement("particleconfig"))
        CParticleEmitter::LoadFromXml(particles, p.mParticles, anims, images);
}

void CBonusBase::LoadBomb(const TiXmlElement* element, bool* chain, CAnimBase& anims, const CImageTable& images)
{
    Bomb& b = mBomb;
    b.mStartPercent = Float(element, "start_on_ball_jump_period_perc");
    b.mDestructionTime = Float(element, "destruction_time");
    if (const TiXmlElement* particles = element->FirstChildElement("particleconfig"))
        CParticleEmitter::LoadFromXml(particles, b.mParticles, anims, images);
    *chain = ChainAnim(*chain, element, "explosion_anim", anims, &b.mExplosionAnim);
    if (*chain)
        b.mExplosion = anims.CreateInstance(b.mExplosionAnim, nullptr);
}

int32_t CBonusBase::FindBonus(const std::string& name) const
{
    const auto at = mNames.find(name);
    return at == mNames.end() ? kNone : at->second;
}

BonusRecord* CBonusBase::TakeRecord(int32_t id)
{
    if (size_t(mInUse) == mPool.size())
        mPool.push_back(std::make_unique<BonusRecord>());
    BonusRecord* record = mPool[size_t(mInUse)].get();
    if (size_t(id) < size_t(kBonusCount) && size_t(id) < size_t(mInUse))
        *record = Definition(id);
    record->mPoolIndex = mInUse++;
    return record;
}

void CBonusBase::ReleaseSlot(BonusRecord* record)
{
    const int32_t index = record ? record->mPoolIndex : -1;
    // The definitions never leave their places.
    if (index < kBonusCount || index >= mInUse || mPool[size_t(index)].get() != record)
        return;
    const int32_t last = mInUse - 1;
    if (index != last) {
        std::swap(mPool[size_t(index)], mPool[size_t(last)]);
        mPool[size_t(index)]->mPoolIndex = index;
        mPool[size_t(last)]->mPoolIndex = last;
    }
    --mInUse;
}

void CBonusBase::SetAmount(int32_t id, int32_t amount)
{
    if (size_t(id) >= size_t(kBonusCount) || size_t(id) >= mPool.size())
        return;
    BonusRecord& definition = Definition(id);
    if (!mLoaded[size_t(id)])
        amount = 0;
    if (definition.mAmount < 1 && amount > 0)
        mAvailable.Add(id);
    else if (amount <= 0 && definition.mAmount > 0)
        mAvailable.Remove(id);
    definition.mAmount = amount;
}

void CBonusBase::AvailableBonuses()
{
    int32_t count = 0;
    for (size_t id = 0; id < mPool.size() && id < size_t(kBonusCount); ++id)
        count += mLoaded[id] && mPool[id]->mAmount > 0;
    mAvailable.Setup(count, 10000);
    for (size_t id = 0; id < mPool.size() && id < size_t(kBonusCount); ++id)
        if (mLoaded[id] && mPool[id]->mAmount > 0)
            mAvailable.Add(int32_t(id));
}

void CBonusBase::FadeColour(float t, int32_t* l1, int32_t* l2, int32_t* l3) const
{
    const std::array<int32_t*, 3> out = {l1, l2, l3};
    const ShadowBall& s = mShadowBall;
    for (size_t k = 0; k < out.size(); ++k) {
        int32_t value = 255;
        if (t > s.mEnd[k])
            value = 0;
        else if (t > s.mStart[k]) {
            const float level = (t - s.mStart[k]) * 255.0f * s.mReciprocal[k];
            value = std::isfinite(level) ? 255 - int32_t(std::clamp(level, -1.0e6f, 1.0e6f)) : 0;
        }
        *out[k] = std::clamp(value, 0, 255);
    }
}
