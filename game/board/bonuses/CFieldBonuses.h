#pragma once

#include "game/board/bonuses/BonusId.h"
#include "game/board/field/CFieldDrawLink.h"
#include "game/board/play/CBonusHooks.h"
#include "game/data/animation/CCurve.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CAnimBase;
class CAnimTrack;
class CBonusBanner;
class CBonusBase;
class CBonusTime;
class CEnergyMeter;
class CGameField;
class CGameProcessor;
class CTrackBase;
struct BonusRecord;
struct CFieldBlock;

namespace Lumo {
class LumoAppBase;
}

// The game's tables and components the bonuses on the field work with; none owned.
struct FieldBonusLinks {
    Lumo::LumoAppBase* mApp = nullptr;
    CGameProcessor* mProcessor = nullptr;
    CGameField* mField = nullptr;
    CBonusBase* mBase = nullptr;
    CTrackBase* mTracks = nullptr;
    CAnimBase* mAnims = nullptr;
    CBonusBanner* mBanner = nullptr;
    CEnergyMeter* mEnergy = nullptr;
    CBonusTime* mTime = nullptr;
};

// The bonuses on the field: put on random blocks at random intervals, coming
// on, living and vanishing as processes, and fired when the ball lands on a
// visible one. Each bonus's effect is registered by the component that runs it.
class CFieldBonuses : public CBonusHooks {
public:
    // Fires a bonus landed on at block; returns whether the bonus stays in
    // action, so that the other bonuses fade away.
    using Effect = std::function<bool(CFieldBlock* block)>;
    // The shell's part in a landing and in an early end of the field step.
    struct ShellHooks {
        std::function<void(CFieldBlock& block)> mLanding;
        std::function<void()> mFinish;
    };

    explicit CFieldBonuses(const FieldBonusLinks& links);
    ~CFieldBonuses() override;
    CFieldBonuses(const CFieldBonuses&) = delete;
    CFieldBonuses& operator=(const CFieldBonuses&) = delete;

    // Takes the generation timer and the fade track; registers the kinds of
    // generation, fading, lifetime and the sniper.
    void Init();
    void SetEffect(int32_t id, Effect effect) { mEffects[size_t(id)] = std::move(effect); }
    void SetShellHooks(ShellHooks hooks) { mShellHooks = std::move(hooks); }
    // The window system's "bonusnames", by id.
    void SetBonusNames(std::vector<std::string> names) { mNames = std::move(names); }
    // The level's generation period: speed = (r mod 100) x step + minimum.
    void SetGenerationSpeed(float minimum, float step);

    void RestartBonusTimer();
    void StopBonusTimer();
    // False stops the generation until the next restart.
    bool TryGenerateBonus();
    void AttachBonusToBlock(BonusRecord* bonus);
    void RemoveBonusFromBlock(BonusRecord* bonus);
    // Does nothing while the processor is busy.
    void ActivateBonus(BonusRecord* bonus);
    void ClearBonusState();
    // The bonus on the block fires when landed on.
    static bool IsArmed(const BonusRecord& bonus);

    // CBonusHooks
    void ClearFieldBonuses(bool giveBack) override;
    void TakeOffWithBlock(CFieldBlock& block) override;
    bool TimeBonusRunning() const override;
    bool SniperRunning() const override;
    CAnimTrack* SniperAimTrack() override { return mAimTrack; }
    bool ShellActive() const override;
    void ShellLanding(CFieldBlock& block) override;
    void ShellFinish() override;
    void ForgetLastSample() override { mLastSample = -1; }

    // The field drawing's view of the bonuses.
    BonusAppearance DescribeBonus(const BonusRecord& bonus) const;
    int32_t FieldBonusCount() const { return int32_t(mOnField.size()); }
    CFieldBlock* FieldBonusBlock(int32_t index) const;
    const CAnimTrack* BonusFadeTrack() const { return mFadeTrack; }

    int32_t BonusesOnField() const { return mCount; }
    const std::vector<BonusRecord*>& OnField() const { return mOnField; }
    CAnimTrack* GenerationTimer() const { return mGenerationTimer; }

private:
    void ActivateSniper();
    void FinishSniper(CAnimTrack& track, int32_t slot);
    void StopSniper(int32_t slot);
    void OnLifetimeTrack(CAnimTrack& track, int32_t slot);
    void OnFadeEnd(CAnimTrack& track);
    void ReleaseBonus(BonusRecord* bonus);
    void SetBonusesRunning(bool running);
    void PlaySample(int32_t id);

    FieldBonusLinks mLinks;
    std::array<Effect, kBonusCount> mEffects{};
    ShellHooks mShellHooks;
    std::vector<std::string> mNames;
    float mSpeedMinimum = 0.0f;
    float mSpeedStep = 0.0f;
    std::vector<BonusRecord*> mOnField;
    int32_t mCount = 0;
    CAnimTrack* mGenerationTimer = nullptr;
    CAnimTrack* mFadeTrack = nullptr;
    CCurve mFadeCurve;
    CAnimTrack* mSniperTimer = nullptr;
    CAnimTrack* mAimTrack = nullptr;
    int32_t mLastSample = -1;
    // The bonus whose activation set the field's bonus-in-action flag.
    int32_t mInAction = -1;
};
