#include "game/board/bonuses/CBonusParticles.h"

#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/PopupRecord.h"
#include "game/data/animation/CAnimInstance.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/effects/CParticleSystem.h"

CBonusParticles::CBonusParticles(CGameProcessor& processor, CGameField& field, const ParticleConfig& config,
                                 int32_t kind)
    : mProcessor(processor), mField(field), mConfig(config), mKind(kind)
{
    mEmitter.mCallback = [](void* particles) { static_cast<CBonusParticles*>(particles)->OnDone(); };
    mEmitter.mCallbackArgument = this;
}

CBonusParticles::~CBonusParticles() = default;

void CBonusParticles::Release()
{
    OnDone();
    if (mEmitter.mListIndex != -2) {
        std::vector<CParticleEmitter*>& list = CParticleSystem::Get().Emitters();
        if (size_t(mEmitter.mListIndex) < list.size())
            list[size_t(mEmitter.mListIndex)] = nullptr;
        mEmitter.mListIndex = -2;
    }
    mEmitter.Release();
}

void CBonusParticles::SetUpRun(int32_t run, int32_t n, int32_t sprite)
{
    mEmitter.AllocParticles(run, n);
    mEmitter.SetupRun(run, mConfig);
    if (!(mConfig.flags & ParticleConfig::kAnimated) && sprite >= 0)
        mEmitter.Run(run).visual = sprite;
}

void CBonusParticles::Show()
{
    if (mPopup != -2)
        return;
    PopupRecord record;
    record.mType = PopupRecord::kEmitter;
    record.mEmitter = &mEmitter;
    mPopup = mField.AddPopupRecord(record);
    mEmitter.Register();
    if (CAnimInstance* particles = mConfig.animInstance; particles && particles->mTrack) {
        particles->mTrack->mRunning = 1;
        mProcessor.StartProcess(mKind, particles->mTrack, true);
    }
}

void CBonusParticles::OnDone()
{
    if (mPopup == -2)
        return;
    mField.RemovePopupRecord(mPopup);
    mPopup = -2;
    if (CAnimInstance* particles = mConfig.animInstance; particles && particles->mTrack)
        mProcessor.StopProcess(particles->mTrack);
}
