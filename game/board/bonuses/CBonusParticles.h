#pragma once

#include "game/data/effects/CParticleEmitter.h"

#include <cstdint>

class CGameField;
class CGameProcessor;
struct ParticleConfig;

// The spray of a bonus effect over the field: an emitter drawn from the
// field's popup list, with its configuration's particle animation running as
// a process of the effect's kind until the last particle has died.
class CBonusParticles {
public:
    CBonusParticles(CGameProcessor& processor, CGameField& field, const ParticleConfig& config, int32_t kind);
    ~CBonusParticles();
    CBonusParticles(const CBonusParticles&) = delete;
    CBonusParticles& operator=(const CBonusParticles&) = delete;

    // Takes the spray off the field and gives its particles and list entry back.
    void Release();
    // Run number run gets n particles of the configuration's look; a look
    // without animation takes the sprite instead (the block the particles
    // come from), when there is one.
    void SetUpRun(int32_t run, int32_t n, int32_t sprite);
    // Puts the emitter on the field and runs the particle animation, once.
    void Show();
    // Takes the emitter off the field and ends the animation's process.
    void OnDone();

    CParticleEmitter& Emitter() { return mEmitter; }
    const CParticleEmitter& Emitter() const { return mEmitter; }
    bool Shown() const { return mPopup != -2; }

private:
    CGameProcessor& mProcessor;
    CGameField& mField;
    const ParticleConfig& mConfig;
    int32_t mKind;
    CParticleEmitter mEmitter;
    int32_t mPopup = -2;
};
