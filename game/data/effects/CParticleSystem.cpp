#include "game/data/effects/CParticleSystem.h"

#include "framework/graphics/Graphics.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CCurve.h"
#include "game/data/effects/CParticleEmitter.h"
#include "game/data/pictures/ImageDrawing.h"

#include <algorithm>

CParticleSystem& CParticleSystem::Get()
{
    static CParticleSystem system;
    return system;
}

void CParticleSystem::Attach(const CAnimBase* anims, const CImageTable* images)
{
    mAnims = anims;
    mImages = images;
}

void CParticleSystem::Draw(Lumo::Graphics& g, const CParticleEmitter& emitter, int32_t x, int32_t y)
{
    if (!mImages)
        return;
    g.SetTintImages(true);
    for (int32_t r = emitter.mFirst; r < emitter.mActiveEnd; ++r) {
        const ParticleRun& run = mRuns[size_t(r)];
        if (run.state != ParticleRun::kLive)
            continue;
        const CAnimInstance* anim = (run.flags & ParticleConfig::kAnimated) ? run.animInstance : nullptr;
        // An animated run without frames, or a run without a look, draws nothing.
        if ((run.flags & ParticleConfig::kAnimated) && (!anim || !anim->mTrack || !mAnims || run.frameCount <= 0))
            continue;
        if (!(run.flags & ParticleConfig::kAnimated) && run.visual < 0)
            continue;
        const int32_t base = anim ? TruncateToInt(SampleCurve1D(anim->mTrack->mCurve, anim->mTrack->mTime)) : 0;
        for (int32_t i = run.begin; i < run.end; ++i) {
            Particle& p = mParticles[size_t(i)];
            if (p.energy <= 0.0f)
                continue;
            int32_t image = run.visual;
            if (anim) {
                const int32_t frame = ((p.frameOffset + base) % run.frameCount + run.frameCount) % run.frameCount;
                const size_t index = size_t(anim->mFirstFrame + frame);
                if (index >= mAnims->Frames().size())
                    continue;
                image = mAnims->Frames()[index];
            }
            p.colour.mAlpha = std::clamp(int32_t(p.energy * 255.0f), 0, 255);
            g.SetColor(p.colour);
            DrawImageCel(image, *mImages, g, int32_t(p.x) + x, int32_t(p.y) + y);
        }
    }
    g.SetTintImages(false);
}

void CParticleSystem::Reserve(size_t particles, size_t runs)
{
    mParticles.reserve(particles);
    mRuns.reserve(runs);
    mFree.reserve(32);
    mEmitters.reserve(16);
}

void CParticleSystem::UpdateEmitters(float dt)
{
    size_t position = 0;
    while (position < mEmitters.size()) {
        CParticleEmitter* emitter = mEmitters[position];
        if (!emitter) {
            RemoveListed(position);
            continue;
        }
        emitter->Update(dt);
        if (emitter->mLive < 1) {
            emitter->mListIndex = -2;
            RemoveListed(position);
            continue;
        }
        ++position;
    }
}

void CParticleSystem::RemoveListed(size_t position)
{
    mEmitters[position] = mEmitters.back();
    mEmitters.pop_back();
    if (position < mEmitters.size() && mEmitters[position])
        mEmitters[position]->mListIndex = int32_t(position);
}

int32_t CParticleSystem::TakeRange(int32_t kind, int32_t n)
{
    for (FreeRange& range : mFree) {
        if (range.kind != kind || range.end - range.begin < n)
            continue;
        const int32_t begin = range.begin;
        range.begin += n;
        if (range.begin == range.end) {
            range = mFree.back();
            mFree.pop_back();
        }
        return begin;
    }
    const int32_t begin = PoolSize(kind);
    ResizePool(kind, begin + n);
    return begin;
}

void CParticleSystem::ReturnRange(int32_t kind, int32_t begin, int32_t end)
{
    if (begin >= end)
        return;
    size_t i = 0;
    while (i < mFree.size()) {
        FreeRange& range = mFree[i];
        if (range.kind == kind && (range.begin == end || range.end == begin)) {
            if (range.begin == end)
                end = range.end;
            else
                begin = range.begin;
            range = mFree.back();
            mFree.pop_back();
            continue;
        }
        ++i;
    }
    if (end == PoolSize(kind))
        ResizePool(kind, begin);
    else
        mFree.push_back({kind, begin, end});
}

int32_t CParticleSystem::PoolSize(int32_t kind) const
{
    return kind == kParticles ? int32_t(mParticles.size()) : int32_t(mRuns.size());
}

void CParticleSystem::ResizePool(int32_t kind, int32_t size)
{
    if (kind == kParticles)
        mParticles.resize(size_t(size));
    else
        mRuns.resize(size_t(size));
}
