#include "ParticleSpray.h"

ParticleSpray::ParticleSpray(int32_t visual, int32_t runs, int32_t perRun)
    : mVisual(visual), mRuns(runs), mPerRun(perRun)
{
    mConfig.flags = ParticleConfig::kEmitSquare;
    mConfig.emitSquareSide = 200.0f;
    mConfig.vxRange = 2.0f;
    mConfig.vyRange = 2.0f;
    mConfig.accelY = 0.01f;
    mConfig.dragBase = 0.99f;
}

void ParticleSpray::Emit()
{
    mEmitter.Resize(mRuns);
    for (int32_t run = 0; run < mRuns; ++run) {
        mEmitter.AllocParticles(run, mPerRun);
        ParticleRun& target = mEmitter.Run(run);
        target.state = ParticleRun::kLive;
        target.visual = mVisual;
        target.energySpeed = -0.0001f;
        mEmitter.Emit(run, mConfig, mPerRun, 400.0f, 300.0f, 0);
    }
    mEmitter.Register();
}
