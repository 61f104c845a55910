#pragma once

#include "framework/graphics/Color.h"

#include <cstdint>

struct CAnimInstance;

// A group of an emitter's particles sharing one look, one colour and one
// energy speed; its particles are the range [begin, end) of the particle pool.
struct ParticleRun {
    static constexpr int32_t kIdle = 0;
    static constexpr int32_t kLive = 1;
    static constexpr int32_t kFinished = 2;

    // The configuration's flags (ParticleConfig::kAnimated ...).
    uint32_t flags = 0;
    // An animation id when animated, else an image index; -2 for none.
    int32_t visual = -2;
    Lumo::Color colour;
    // The animation instance of an animated run.
    const CAnimInstance* animInstance = nullptr;
    int32_t frameCount = 0;
    float energySpeed = 0.0f;
    int32_t state = kIdle;
    int32_t begin = 0;
    int32_t end = 0;
    // Particles still alive.
    int32_t live = 0;
};
