#pragma once

#include <cstdint>

// Smooth value noise from a fixed seed; with a period it tiles, so strips
// made from it join without a seam.
class Noise {
public:
    explicit Noise(uint32_t seed, int periodX = 0, int periodY = 0);
    // 0..1, features one unit apart.
    float At(float x, float y) const;
    // Several octaves, 0..1; the period scales with each octave.
    float Fractal(float x, float y, int octaves) const;

private:
    float Lattice(int x, int y, int periodX, int periodY) const;
    float Octave(float x, float y, int periodX, int periodY) const;
    uint32_t mSeed;
    int mPeriodX;
    int mPeriodY;
};
