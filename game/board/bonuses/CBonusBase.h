#pragma once

#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CBonusList.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/effects/ParticleConfig.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CImageTable;
class CTrackBase;
class TiXmlElement;

// Everything known of the eight bonuses before one is put on a block: their
// definitions from the bonus file, the parameters of their effects, the
// per-level amounts, the ids that may be generated now, and the pool of
// records that live bonuses are taken from (entries 0 to 7 are the
// definitions, by id, for good).
class CBonusBase {
public:
    static constexpr int32_t kNone = -2;

    struct Sniper {
        int32_t mActionPulse = kNone;
        float mActionSpeed = 0.0f;
    };
    struct ShadowBall {
        float mHideSpeed = 0.0f;
        float mActionSpeed = 0.0f;
        float mFadeToBlackSpeed1 = 0.0f;
        float mFadeToBlackSpeed2 = 0.0f;
        // Light phases 1 to 3: start, end and 1 / (end - start).
        std::array<float, 3> mStart{};
        std::array<float, 3> mEnd{};
        std::array<float, 3> mReciprocal{};
    };
    struct Shell {
        float mActionSpeed = 0.0f;
        float mDisappearSpeed = 0.0f;
        int32_t mFadeToBlack = kNone;
        int32_t mUnfade = kNone;
    };
    struct PowerBall {
        int32_t mAnim = kNone;
        CAnimBase::Record mDefinition{};
        // The beam's animation, made from the definition, and its instance.
        int32_t mBeamAnim = kNone;
        CAnimBase::Record mBeamDefinition{};
        CAnimInstance* mBeamInstance = nullptr;
        int32_t mBallGlow = kNone;
        int32_t mHitLight = kNone;
        int32_t mHitLightFade = kNone;
        float mFrameSum = 0.0f;
        float mFrameWidth = 0.0f;
        float mFrameHeight = 0.0f;
        float mShotTime = 0.0f;
        float mAnnihilateTime = 0.0f;
        float mShotReloadTime = 0.0f;
        float mPreFadeSpeed = 0.0f;
        float mPostFadeSpeed = 0.0f;
        ParticleConfig mParticles{};
    };
    struct Bomb {
        // Percent of the ball's bounce period before the destruction starts.
        float mStartPercent = 0.0f;
        float mDestructionTime = 0.0f;
        int32_t mExplosionAnim = kNone;
        CAnimInstance* mExplosion = nullptr;
        ParticleConfig mParticles{};
    };

    CBonusBase();
    ~CBonusBase();
    CBonusBase(const CBonusBase&) = delete;
    CBonusBase& operator=(const CBonusBase&) = delete;

    // Reads the bonus file's root. A bonus that is missing or names an
    // unknown track or animation is logged and stays absent: its amount is
    // held at 0, so it is never generated.
    bool LoadFromXml(const TiXmlElement* root, CTrackBase& tracks, CAnimBase& anims, const CImageTable& images);

    // The definition of a bonus; present or not, it is always there.
    BonusRecord& Definition(int32_t id) { return *mPool[size_t(id)]; }
    const BonusRecord& Definition(int32_t id) const { return *mPool[size_t(id)]; }
    bool Loaded(int32_t id) const { return mLoaded[size_t(id)]; }
    int32_t FindBonus(const std::string& name) const;

    // A live record, copied from the bonus's definition.
    BonusRecord* TakeRecord(int32_t id);
    // Gives a live record back; the last record in use takes its place.
    void ReleaseSlot(BonusRecord* record);
    int32_t RecordsInUse() const { return mInUse; }

    // Keeps the available list in step: an id joins when its amount turns
    // positive and leaves when it falls to 0.
    void SetAmount(int32_t id, int32_t amount);
    int32_t Amount(int32_t id) const { return Definition(id).mAmount; }
    // The available list rebuilt from the amounts, in id order.
    void AvailableBonuses();
    CBonusList& Available() { return mAvailable; }
    const CBonusList& Available() const { return mAvailable; }

    // The light levels of the shadow ball's three phases at time t.
    void FadeColour(float t, int32_t* l1, int32_t* l2, int32_t* l3) const;

    int32_t mSimultaneousCount = 0;
    int32_t mMode = 0;
    float mFadeSpeed = 0.0f;
    float mUnfadeSpeed = 0.0f;
    Sniper mSniper;
    ShadowBall mShadowBall;
    Shell mShell;
    PowerBall mPowerBall;
    Bomb mBomb;
    // Set while the sniper, the shadow ball and the shell run.
    uint8_t mSniperActive = 0;
    uint8_t mShadowBallActive = 0;
    uint8_t mShellActive = 0;
    float mTimeSpeed = 0.0f;
    int32_t mEnergyAmount = 0;

private:
    bool LoadBonus(const TiXmlElement* root, const char* name, BonusRecord& record, CTrackBase& tracks,
                   CAnimBase& anims, const CImageTable& images);
    void LoadPowerBall(const TiXmlElement* element, bool* chain, CAnimBase& anims, const CImageTable& images);
    void LoadBomb(const TiXmlElement* element, bool* chain, CAnimBase& anims, const CImageTable& images);
    void LoadShadowBall(const TiXmlElement* element);

    std::vector<std::unique_ptr<BonusRecord>> mPool;
    int32_t mInUse = 0;
    std::array<bool, kBonusCount> mLoaded{};
    std::unordered_map<std::string, int32_t> mNames;
    CBonusList mAvailable;
};
