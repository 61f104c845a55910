#pragma once

#include <cstdint>

struct CAnimInstance;

// How the particles of a run start and move: one "particleconfig" element.
struct ParticleConfig {
    static constexpr uint32_t kAnimated = 1;
    static constexpr uint32_t kEmitSquare = 2;

    uint32_t flags = 0;
    // The animation id when animated, else the image index of "particleface"; -2 for none.
    int32_t visual = -2;
    // The animation instance of an animated configuration.
    CAnimInstance* animInstance = nullptr;
    float vxBase = 0.0f;
    float vyBase = 0.0f;
    float vxRange = 0.0f;
    float vyRange = 0.0f;
    float accelX = 0.0f;
    float accelY = 0.0f;
    float accelXRange = 0.0f;
    float accelYRange = 0.0f;
    float dragBase = 0.0f;
    float dragRange = 0.0f;
    // Energy gained per update; negative, so that particles fade and die.
    float energySpeed = 0.0f;
    float emitSquareSide = 0.0f;
    int32_t particleCount = 0;
};
