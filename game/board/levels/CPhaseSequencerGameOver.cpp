#include "game/board/levels/CPhaseSequencer.h"

#include "framework/app/LumoAppBase.h"
#include "game/board/RunnableSpeed.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/PhaseGeometry.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/pictures/CImageSlot.h"
#include "game/data/pictures/CImageTable.h"

#include <algorithm>

namespace {

constexpr int32_t kExplosionSample = 23;

} // namespace

void CPhaseSequencer::StartGameOver()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    const CGameConfig::Values& config = CGameConfig::live;
    FieldEffects& effects = mLinks.mField->Effects();

    // The field shakes only with both of its tracks.
    if (StartOnce(mGameOver[kShake], config.ctrlShake, true) &&
        StartOnce(mGameOver[kShakeAmplitude], config.ctrlShakeAmplitude, true)) {
        for (int32_t shake : {kShake, kShakeAmplitude})
            processor.StartProcess(kProcessIntroOutro, mGameOver[size_t(shake)], true);
        effects.mShakeTrack = mGameOver[kShake];
        effects.mShakeAmplitude = mGameOver[kShakeAmplitude];
    }

    RunOwned(mGameOver[kBallFade], config.outroGameoverBallfadeSpd);
    mGameOver[kBallFade]->mCurve = &mFadeOut;
    mLinks.mBall->SetColourTrack(mGameOver[kBallFade]);

    StartOnce(mGameOver[kAcceleration], config.ctrlExplosionAcceleration, false);

    CGameField& field = *mLinks.mField;
    mSpiral = ExplosionSpiral(field.Width(), field.Height());
    mExplosions = int32_t(mSpiral.size());
    mExplosionsDone = 0;
    mExploded.clear();
    mExploded.reserve(mSpiral.size());
    mExplosionSound = false;
    // The explosions stand for one motion until the last one has died down.
    mPending = 1;
    SetUpExplosionRuns();
    RunOwned(mGameOver[kExplosionInterval], config.outroGameoverExplosionInterval);
    if (mExplosions > 0)
        RunOwned(mGameOver[kExplosionDelay], config.outroGameoverExplosionDelay);
    else
        RunOwned(mGameOver[kLastExplosion], config.outroGameoverLastexplosionTime);
}

void CPhaseSequencer::SetUpExplosionRuns()
{
    mParticles.Release();
    mParticles.Emitter().Resize(mLinks.mField->CellCount());
}

void CPhaseSequencer::Explode()
{
    CGameProcessor& processor = *mLinks.mProcessor;
    CGameField& field = *mLinks.mField;
    const CGameConfig::Values& config = CGameConfig::live;
    const int32_t cell = mSpiral[size_t(mExplosionsDone++)];
    mExploded.push_back(cell);
    const int32_t column = cell % field.Width();
    const int32_t row = cell / field.Width();
    if (CFieldBlock* block = field.Record(cell).mBlock) {
        // The spray takes the colour of the block's kind.
        const ParticleConfig& particles = CGameConfig::gameOverEmitter;
        const int32_t count = std::max(particles.particleCount, 0);
        const std::vector<BlockDef>& defs = field.BlockDefs();
        const bool known = size_t(block->mColour) < defs.size();
        mParticles.SetUpRun(cell, count, known ? defs[size_t(block->mColour)].mSprite : -2);
        CParticleEmitter& emitter = mParticles.Emitter();
        if (known)
            emitter.Run(cell).colour = defs[size_t(block->mColour)].mColour;
        const FieldPoint centre = field.CellCenterToScreen(column, row);
        emitter.Emit(cell, particles, count, centre.mX, centre.mY, 0);
        emitter.Run(cell).state = ParticleRun::kLive;
        if (count > 0)
            mParticles.Show();
        field.RemoveBlock(block);
        field.Record(cell).mBlock = nullptr;
        field.Grid().Cell(cell) &= ~CCellGrid::kOccupied;
        field.Grid().CountColours();
    }
    if (mExplosionSound) {
        mExplosionSound = false;
        if (mLinks.mApp)
            mLinks.mApp->PlaySoundById(kExplosionSample);
        StartExplosionAnim(column, row);
        RunOwned(mGameOver[kExplosionInterval], config.outroGameoverExplosionInterval);
    }
    CAnimTrack* acceleration = mGameOver[kAcceleration];
    if (mExplosionsDone == 1) {
        acceleration->mRunning = 1;
        processor.StartProcess(kProcessIntroOutro, acceleration, true);
    }
    CAnimTrack* delay = mGameOver[kExplosionDelay];
    if (mExplosionsDone == mExplosions) {
        processor.StopProcess(delay);
        RunOwned(mGameOver[kLastExplosion], config.outroGameoverLastexplosionTime);
        return;
    }
    delay->mSpeed =
        RunnableSpeed(config.outroGameoverExplosionTime * SampleCurve1D(acceleration->mCurve, acceleration->mTime));
    processor.RestartTimer(delay, 0.0f);
}

void CPhaseSequencer::StartExplosionAnim(int32_t column, int32_t row)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    const int32_t anim = CGameConfig::live.outroGameoverExplosionAnim;
    CAnimInstance* instance = mLinks.mAnims->CreateInstance(anim, &processor.Player());
    if (!instance)
        return;
    CAnimTrack* track = instance->mTrack;
    RunOnce(*track);
    track->mRunning = 1;
    Lumo::Rect frame{};
    const CAnimBase::Record* record = mLinks.mAnims->AnimRecord(anim);
    if (record && record->mEndFrame > record->mFirstFrame && mLinks.mImages)
        if (const CImageSlot* slot = mLinks.mImages->Slot(mLinks.mAnims->Frames()[size_t(record->mFirstFrame)]))
            frame = slot->mRect;
    const FieldPoint centre = mLinks.mField->CellCenterToScreen(column, row);
    PopupRecord popup;
    popup.mType = PopupRecord::kAnimation;
    popup.mAnim = instance;
    popup.mX = int32_t(centre.mX) - frame.mWidth / 2;
    popup.mY = int32_t(centre.mY) - frame.mHeight / 2;
    const int32_t index = mLinks.mField->AddPopupRecord(popup);
    processor.StartProcess(kProcessFinalOutro, track, true).SetWord(3, index);
}

void CPhaseSequencer::OnGameOverTrack(CAnimTrack& track)
{
    CGameProcessor& processor = *mLinks.mProcessor;
    if (&track == mGameOver[kExplosionDelay]) {
        Explode();
        return;
    }
    // The particles' own animation loops until the last particle has died.
    const auto known = std::find(mGameOver.begin(), mGameOver.end(), &track);
    if (known == mGameOver.end())
        return;
    processor.StopProcess(&track);
    if (&track == mGameOver[kExplosionInterval]) {
        mExplosionSound = true;
    } else if (&track == mGameOver[kBallFade]) {
        mLinks.mBall->SetColourTrack(nullptr);
        mLinks.mBall->SetHidden(true);
    } else if (&track == mGameOver[kLastExplosion]) {
        --mPending;
    }
}

void CPhaseSequencer::ReleaseGameOver()
{
    FieldEffects& effects = mLinks.mField->Effects();
    effects.mShakeTrack = nullptr;
    effects.mShakeAmplitude = nullptr;
    CBall& ball = *mLinks.mBall;
    if (mGameOver[kBallFade] && ball.ColourTrack() == mGameOver[kBallFade]) {
        ball.SetColourTrack(nullptr);
        ball.SetHidden(true);
    }
    for (CAnimTrack*& track : mGameOver) {
        if (!track)
            continue;
        StopTrack(track);
        track->mCurve = nullptr;
        mLinks.mTracks->FreeInstance(track);
        track = nullptr;
    }
    mLinks.mProcessor->StopExplosionAnims();
    mParticles.Release();
}
