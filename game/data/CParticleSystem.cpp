#include "game/data/CParticleSystem.h"

#include "game/data/CParticleEmitter.h"

CParticleSystem& CParticleSystem::Get()
{
    static CParticleSystem system;
    return system;
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
