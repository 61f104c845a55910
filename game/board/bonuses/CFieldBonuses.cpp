#include "game/board/bonuses/CFieldBonuses.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/core/RandomNumber.h"
#include "framework/core/RuntimeRandom.h"
#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CBonusBanner.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CBonusTime.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CEnergyMeter.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"

#include <algorithm>

namespace {

// The samples each bonus plays (-1 none) and whether its banner is the fading style.
struct BonusSounds {
    int32_t mAlways;
    int32_t mSample;
    bool mFadeBanner;
};
constexpr std::array<BonusSounds, kBonusCount> kSounds = {{
    {-1, 12, false}, {3, 9, false}, {-1, 10, false}, {-1, 11, false},
    {-1, 14, false}, {-1, 13, true}, {-1, 15, true}, {-1, 16, true},
}};
constexpr int32_t kActivationSample = 6;
// No energy bonus is generated while the level holds this much.
constexpr int32_t kEnergyBonusLimit = 700;

} // namespace

CFieldBonuses::CFieldBonuses(const FieldBonusLinks& links) : mLinks(links)
{
    mFadeCurve.mChannels = 1;
    mFadeCurve.mValues = {1.0f, 0.0f};
}

CFieldBonuses::~CFieldBonuses() = default;

void CFieldBonuses::Init()
{
    CTrackBase& tracks = *mLinks.mTracks;
    if (!mGenerationTimer)
        mGenerationTimer = tracks.NewIdleInstance();
    if (!mFadeTrack)
        mFadeTrack = tracks.NewIdleInstance();
    mFadeTrack->mCurve = &mFadeCurve;
    CGameProcessor& processor = *mLinks.mProcessor;
    processor.RegisterKind(kProcessBonusTimer, {[this](CAnimTrack&, int32_t) {
                                                    if (TryGenerateBonus())
                                                        RestartBonusTimer();
                                                    else
                                                        StopBonusTimer();
                                                },
                                                [this](CAnimTrack&, int32_t) { StopBonusTimer(); }});
    processor.RegisterKind(kProcessBonusFade, {[this](CAnimTrack& track, int32_t) { OnFadeEnd(track); }, nullptr});
    processor.RegisterKind(kProcessBonusLifetime,
                           {[this](CAnimTrack& track, int32_t slot) { OnLifetimeTrack(track, slot); }, nullptr});
    processor.RegisterKind(kProcessSniper, {[this](CAnimTrack& track, int32_t slot) { FinishSniper(track, slot); },
                                            [this](CAnimTrack&, int32_t slot) { StopSniper(slot); }});
}

void CFieldBonuses::SetGenerationSpeed(float minimum, float step)
{
    mSpeedMinimum = minimum;
    mSpeedStep = step;
}

void CFieldBonuses::PlaySample(int32_t id)
{
    if (id < 0 || id == mLastSample)
        return;
    mLastSample = id;
    if (mLinks.mApp)
        mLinks.mApp->PlaySoundById(id);
}

void CFieldBonuses::RestartBonusTimer()
{
    const float speed = float(Lumo::Rand() % 100) * mSpeedStep + mSpeedMinimum;
    CGameProcessor& processor = *mLinks.mProcessor;
    mGenerationTimer->mTime = 0.0f;
    mGenerationTimer->mRunning = 1;
    mGenerationTimer->mRepeatCount = 1;
    mGenerationTimer->mSpeed = speed;
    if (!mGenerationTimer->mAttached)
        processor.StartProcess(kProcessBonusTimer, mGenerationTimer, true);
    else
        processor.Player().ClearFinished(mGenerationTimer);
}

void CFieldBonuses::StopBonusTimer()
{
    if (mGenerationTimer && mGenerationTimer->mAttached)
        mLinks.mProcessor->StopProcess(mGenerationTimer);
}

bool CFieldBonuses::TryGenerateBonus()
{
    CBonusBase& base = *mLinks.mBase;
    if (mLinks.mProcessor->Busy() || mCount >= base.mSimultaneousCount)
        return true;
    CFieldBlock* block = mLinks.mField->PickRandomBlock();
    if (!block)
        return true;
    int32_t index = 0;
    const int32_t id = base.Available().Pick(&index);
    if (id < 0)
        return false;
    if (id == kBonusEnergy && mLinks.mEnergy && mLinks.mEnergy->Energy() >= kEnergyBonusLimit)
        return true;
    base.SetAmount(id, base.Amount(id) - 1);
    BonusRecord* bonus = base.TakeRecord(id);
    bonus->mBlock = block;
    AttachBonusToBlock(bonus);
    return true;
}

void CFieldBonuses::AttachBonusToBlock(BonusRecord* bonus)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    bonus->mBlock->mBonus = bonus;
    bonus->mFlags = 0;
    bonus->mFadeTrack = nullptr;
    bonus->mColourTrack = nullptr;
    // The coming-on timer plays the fade-in's colours.
    if (!mLinks.mTracks->StartTrack(bonus->mFadeTrack, bonus->mFadeInTrack, true, &processor.Player()))
        mLinks.mTracks->StartTimer(bonus->mFadeTrack, 0.0f, 0.0f, 1, true, &processor.Player());
    bonus->mFadeTrack->mTime = 0.0f;
    bonus->mFadeTrack->mSpeed = bonus->mPresenceSpeed;
    bonus->mFadeTrack->mRepeatCount = 1;
    bonus->mAnim = mLinks.mAnims->CreateInstance(bonus->mAnimation, &mLinks.mAnims->mPlayer);
    if (bonus->mAnim && bonus->mAnim->mTrack) {
        bonus->mAnim->mTrack->mRunning = 1;
        mLinks.mAnims->mPlayer.Attach(bonus->mAnim->mTrack);
    }
    ProcessSlot& slot = processor.StartProcess(kProcessBonusLifetime, bonus->mFadeTrack, true);
    slot.SetObject(3, bonus);
    bonus->mSlot = bonus->mFadeTrack->mOwnerTag;
    ++mCount;
    mOnField.push_back(bonus);
}

void CFieldBonuses::ReleaseBonus(BonusRecord* bonus)
{
    mLinks.mProcessor->FreeSlot(bonus->mSlot);
    bonus->mSlot = BonusRecord::kNone;
    if (bonus->mBlock && bonus->mBlock->mBonus == bonus)
        bonus->mBlock->mBonus = nullptr;
    bonus->mBlock = nullptr;
    // Each track is given back once, and the record forgets it.
    for (CAnimTrack** track : {&bonus->mFadeTrack, &bonus->mColourTrack}) {
        if (*track)
            mLinks.mTracks->FreeInstance(*track);
        *track = nullptr;
    }
    if (bonus->mAnim)
        mLinks.mAnims->ReleaseInstance(bonus->mAnim);
    bonus->mAnim = nullptr;
    mLinks.mBase->ReleaseSlot(bonus);
}

void CFieldBonuses::RemoveBonusFromBlock(BonusRecord* bonus)
{
    const auto at = std::find(mOnField.begin(), mOnField.end(), bonus);
    if (at == mOnField.end())
        return;
    if (mCount > 1) {
        *at = nullptr;
        --mCount;
    } else {
        mCount = 0;
        mOnField.clear();
    }
    ReleaseBonus(bonus);
}

void CFieldBonuses::TakeOffWithBlock(CFieldBlock& block)
{
    BonusRecord* bonus = block.mBonus;
    if (!bonus)
        return;
    mLinks.mBase->SetAmount(bonus->mId, mLinks.mBase->Amount(bonus->mId) + 1);
    RemoveBonusFromBlock(bonus);
}

void CFieldBonuses::ClearFieldBonuses(bool giveBack)
{
    std::vector<BonusRecord*> bonuses;
    bonuses.swap(mOnField);
    mCount = 0;
    for (BonusRecord* bonus : bonuses) {
        if (!bonus)
            continue;
        if (giveBack) {
            mLinks.mBase->SetAmount(bonus->mId, mLinks.mBase->Amount(bonus->mId) + 1);
            RestartBonusTimer();
        }
        ReleaseBonus(bonus);
    }
}

void CFieldBonuses::OnLifetimeTrack(CAnimTrack& track, int32_t slot)
{
    BonusRecord* bonus = mLinks.mProcessor->Slot(slot).Object<BonusRecord>(3);
    if (!bonus)
        return;
    if (bonus->mFlags != 0) {
        // Only the lifetime's end takes the bonus off, and gives its amount back once.
        if (&track != bonus->mColourTrack)
            return;
        mLinks.mBase->SetAmount(bonus->mId, mLinks.mBase->Amount(bonus->mId) + 1);
        RestartBonusTimer();
        RemoveBonusFromBlock(bonus);
        return;
    }
    if (&track != bonus->mFadeTrack)
        return;
    CGameProcessor& processor = *mLinks.mProcessor;
    processor.Player().Detach(bonus->mFadeTrack);
    mLinks.mTracks->FreeInstance(bonus->mFadeTrack);
    bonus->mFadeTrack = nullptr;
    if (!mLinks.mTracks->StartTrack(bonus->mColourTrack, bonus->mFadeOutTrack, true, &processor.Player()))
        mLinks.mTracks->StartTimer(bonus->mColourTrack, 0.0f, 0.0f, 1, true, &processor.Player());
    bonus->mColourTrack->mTime = 0.0f;
    bonus->mColourTrack->mSpeed = bonus->mDisappearingSpeed;
    bonus->mColourTrack->mRepeatCount = 1;
    bonus->mColourTrack->mOwnerTag = slot;
    processor.Player().Attach(bonus->mColourTrack);
    bonus->mFlags = 1;
}

bool CFieldBonuses::IsArmed(const BonusRecord& bonus)
{
    if (bonus.mFlags == 0 || !bonus.mColourTrack)
        return false;
    float colour[4] = {};
    SampleCurve4D(bonus.mColourTrack->mCurve, colour, bonus.mColourTrack->mTime);
    return colour[3] > bonus.mMinAlpha;
}

BonusAppearance CFieldBonuses::DescribeBonus(const BonusRecord& bonus) const
{
    BonusAppearance look;
    look.mAnim = bonus.mAnim;
    look.mColourTrack = bonus.mFlags != 0 ? bonus.mColourTrack : bonus.mFadeTrack;
    look.mVisible = IsArmed(bonus);
    look.mOffsetX = bonus.mOffsetX;
    look.mOffsetY = bonus.mOffsetY;
    return look;
}

CFieldBlock* CFieldBonuses::FieldBonusBlock(int32_t index) const
{
    const BonusRecord* bonus = size_t(index) < mOnField.size() ? mOnField[size_t(index)] : nullptr;
    return bonus ? bonus->mBlock : nullptr;
}

void CFieldBonuses::SetBonusesRunning(bool running)
{
    for (BonusRecord* bonus : mOnField) {
        if (!bonus)
            continue;
        for (CAnimTrack* track : {bonus->mFadeTrack, bonus->mColourTrack})
            if (track)
                track->mRunning = running;
    }
}

void CFieldBonuses::ActivateBonus(BonusRecord* bonus)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    if (!bonus || processor.Busy())
        return;
    const int32_t id = bonus->mId;
    CFieldBlock* block = bonus->mBlock;
    RemoveBonusFromBlock(bonus);
    SetBonusesRunning(false);
    mLinks.mField->Effects().mBonusInAction = 1;
    mInAction = id;
    if (mLinks.mApp)
        mLinks.mApp->PlaySoundById(kActivationSample);
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "DBGPROCESS: bonus_activate %d", id);

    const BonusSounds& sounds = kSounds[size_t(id)];
    if (sounds.mAlways >= 0) {
        mLastSample = -1;
        PlaySample(sounds.mAlways);
    }
    PlaySample(sounds.mSample);
    if (mLinks.mBanner) {
        const int32_t variant = sounds.mFadeBanner ? CBonusBanner::kFade : Lumo::RandomNumber(2) + 1;
        mLinks.mBanner->Spawn(variant, size_t(id) < mNames.size() ? mNames[size_t(id)] : std::string());
    }

    bool inAction = true;
    if (id == kBonusSniper)
        ActivateSniper();
    else if (id == kBonusEnergy && mLinks.mEnergy)
        AddEnergy(*mLinks.mEnergy, mLinks.mBase->mEnergyAmount, true);
    else if (id == kBonusTime && mLinks.mTime) {
        mLinks.mTime->Activate(mLinks.mBase->mTimeSpeed);
        ClearBonusState();
        inAction = false;
    } else if (mEffects[size_t(id)])
        inAction = mEffects[size_t(id)](block);
    else
        inAction = false;
    if (!inAction) {
        mLinks.mField->Effects().mBonusInAction = 0;
        SetBonusesRunning(true);
        return;
    }
    mLinks.mTracks->StartTimer(mFadeTrack, 0.0f, mLinks.mBase->mFadeSpeed, 1, true, &processor.Player());
    if (!mFadeTrack->mAttached)
        processor.StartProcess(kProcessBonusFade, mFadeTrack, true);
}

void CFieldBonuses::OnFadeEnd(CAnimTrack& track)
{
    mLinks.mProcessor->StopProcess(&track);
    ClearFieldBonuses(true);
    // The energy bonus has no effect of its own that would end the action.
    if (mInAction == kBonusEnergy)
        ClearBonusState();
}

void CFieldBonuses::ClearBonusState()
{
    if (mLinks.mProcessor->State() != 0)
        return;
    mLinks.mField->Effects().mBonusInAction = 0;
    mLinks.mProcessor->ClearBusy();
    mInAction = -1;
    SetBonusesRunning(true);
}

void CFieldBonuses::ActivateSniper()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CBonusBase& base = *mLinks.mBase;
    mLinks.mTracks->StartTimer(mSniperTimer, 0.0f, base.mSniper.mActionSpeed, 1, true, &processor.Player());
    if (!base.mSniperActive) {
        base.mSniperActive = 1;
        if (!mLinks.mTracks->StartTrack(mAimTrack, base.mSniper.mActionPulse, true, &processor.Player()))
            mLinks.mTracks->StartTimer(mAimTrack, 0.0f, 0.0f, 1, true, &processor.Player());
        mAimTrack->mRepeatCount = 1;
        mAimTrack->mTime = 0.0f;
        ProcessSlot& slot = processor.StartProcess(kProcessSniper, mSniperTimer, true);
        slot.SetObject(3, mSniperTimer);
        slot.SetObject(4, mAimTrack);
        mAimTrack->mOwnerTag = mSniperTimer->mOwnerTag;
        processor.Player().Attach(mAimTrack);
    }
    processor.SetBlockLinksCleared(false);
}

void CFieldBonuses::FinishSniper(CAnimTrack& track, int32_t slot)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    ProcessSlot& record = processor.Slot(slot);
    if (&track == mSniperTimer && record.Word(3) != 0) {
        processor.Player().Detach(mSniperTimer);
        record.SetWord(3, 0);
        mLinks.mBase->mSniperActive = 0;
        processor.SetBlockLinksCleared(false);
        ClearBonusState();
        // An aim that has already ended would never come back to free the slot.
        if (mAimTrack->mRunning)
            return;
    } else if (&track != mAimTrack || record.Word(3) != 0) {
        return;
    }
    mLinks.mField->ClearBlockLinks();
    processor.Player().Detach(mAimTrack);
    processor.FreeSlot(slot);
}

void CFieldBonuses::StopSniper(int32_t slot)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    processor.FreeSlot(slot);
    processor.Player().Detach(mSniperTimer);
    processor.Player().Detach(mAimTrack);
    mLinks.mField->ClearBlockLinks();
    mLinks.mBase->mSniperActive = 0;
    ClearBonusState();
}

bool CFieldBonuses::TimeBonusRunning() const
{
    return mLinks.mTime && mLinks.mTime->Running();
}

bool CFieldBonuses::SniperRunning() const
{
    return mLinks.mBase->mSniperActive != 0;
}

bool CFieldBonuses::ShellActive() const
{
    return mLinks.mBase->mShellActive != 0;
}

void CFieldBonuses::ShellLanding(CFieldBlock& block)
{
    if (mShellHooks.mLanding)
        mShellHooks.mLanding(block);
}

void CFieldBonuses::ShellFinish()
{
    if (mShellHooks.mFinish)
        mShellHooks.mFinish();
}
