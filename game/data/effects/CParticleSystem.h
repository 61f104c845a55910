#pragma once

#include "game/data/effects/Particle.h"
#include "game/data/effects/ParticleRun.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CAnimBase;
class CImageTable;
class CParticleEmitter;

namespace Lumo {
class Graphics;
}

// The process's particles and runs, in two pools that emitters address by
// index ranges, and the list of emitters advanced once per frame. Freed
// ranges are merged with their neighbours, trimmed from the pool's end and
// handed out again, so that a running level allocates nothing.
class CParticleSystem {
public:
    static constexpr int32_t kParticles = 0;
    static constexpr int32_t kRuns = 2;

    static CParticleSystem& Get();

    // The tables that particle looks come from.
    void Attach(const CAnimBase* anims, const CImageTable* images);
    // Room for the first frames of play, so that they allocate nothing.
    void Reserve(size_t particles, size_t runs);
    // Advances every listed emitter by dt updates; emitters whose last
    // particle died leave the list.
    void UpdateEmitters(float dt);
    // The emitter's live particles, faded by their energy, offset by (x, y).
    void Draw(Lumo::Graphics& g, const CParticleEmitter& emitter, int32_t x, int32_t y);

    // A range of n elements of the pool of that kind: a free range when one
    // is large enough, else at the pool's end.
    int32_t TakeRange(int32_t kind, int32_t n);
    void ReturnRange(int32_t kind, int32_t begin, int32_t end);

    Particle& GetParticle(int32_t index) { return mParticles[size_t(index)]; }
    ParticleRun& GetRun(int32_t index) { return mRuns[size_t(index)]; }
    int32_t ParticlePoolSize() const { return int32_t(mParticles.size()); }
    int32_t RunPoolSize() const { return int32_t(mRuns.size()); }
    size_t FreeRangeCount() const { return mFree.size(); }

    // The emitter list: the owners' slots; a null slot is removed at the next update.
    std::vector<CParticleEmitter*>& Emitters() { return mEmitters; }

private:
    struct FreeRange {
        int32_t kind;
        int32_t begin;
        int32_t end;
    };

    int32_t PoolSize(int32_t kind) const;
    void ResizePool(int32_t kind, int32_t size);
    void RemoveListed(size_t position);

    const CAnimBase* mAnims = nullptr;
    const CImageTable* mImages = nullptr;
    std::vector<Particle> mParticles;
    std::vector<ParticleRun> mRuns;
    std::vector<FreeRange> mFree;
    std::vector<CParticleEmitter*> mEmitters;
};
