#pragma once

#include "framework/graphics/Color.h"
#include "game/data/effects/ParticleConfig.h"
#include "game/data/effects/ParticleRun.h"

#include <cstdint>

class CAnimBase;
class CImageTable;
class TiXmlElement;

// A game component's spray of particles: runs [first, end) of the run pool,
// of which [first, activeEnd) are in use. The owner sets the runs up, emits
// into them and registers the emitter; the particle system advances it, and
// the owner hears through the callback when its last particle has died.
class CParticleEmitter {
public:
    // The most particles one spray of a configuration gives.
    static constexpr int32_t kMaxParticles = 1024;

    using Callback = void (*)(void* argument);

    // Reads a "particleconfig" element; the look is an animation of anims
    // ("particleanim", which gets an instance) or an image of images ("particleface").
    static void LoadFromXml(const TiXmlElement* element, ParticleConfig& config, CAnimBase& anims,
                            const CImageTable& images);

    // The first n runs become idle and in use; the run range grows when it holds fewer.
    void Resize(int32_t n);
    // Gives run number `run` n fresh particles, all of them alive once emitted.
    void AllocParticles(int32_t run, int32_t n);
    // The run takes the configuration's look and energy speed, white: its
    // animation with the frame count, or its particle image.
    void SetupRun(int32_t run, const ParticleConfig& config);
    // Starts particles start .. start + n - 1 of the run at (x, y) in the run's colour.
    void Emit(int32_t run, const ParticleConfig& config, int32_t n, float x, float y, int32_t start);
    void EmitAt(int32_t run, const ParticleConfig& config, int32_t n, float x, float y, const Lumo::Color& colour,
                int32_t start);
    // Joins the particle system's list unless it is listed already.
    void Register();
    // Returns every particle and run range; the owner clears its list slot.
    void Release();
    // One step of dt updates for every live run.
    void Update(float dt);

    // Run number i of the emitter (0 is the first).
    ParticleRun& Run(int32_t i);
    int32_t ActiveRuns() const { return mActiveEnd - mFirst; }

    int32_t mLive = 0;
    int32_t mFirst = 0;
    int32_t mEnd = 0;
    int32_t mActiveEnd = 0;
    int32_t mListIndex = -2;
    Callback mCallback = nullptr;
    void* mCallbackArgument = nullptr;
    bool mDone = false;
};
