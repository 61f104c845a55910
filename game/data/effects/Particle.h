#pragma once

#include "framework/graphics/Color.h"

#include <cstdint>

// One particle of the particle pool; alive while its energy is above 0.
struct Particle {
    float x = 0.0f;
    float y = 0.0f;
    float vx = 0.0f;
    float vy = 0.0f;
    float ax = 0.0f;
    float ay = 0.0f;
    float energy = 0.0f;
    float drag = 0.0f;
    // Its alpha is rewritten at every draw.
    Lumo::Color colour;
    int32_t frameOffset = 0;
};
