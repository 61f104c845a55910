#include "tools/pictures/Noise.h"

#include <cmath>

Noise::Noise(uint32_t seed, int periodX, int periodY) : mSeed(seed), mPeriodX(periodX), mPeriodY(periodY) {}

float Noise::Lattice(int x, int y, int periodX, int periodY) const
{
    if (periodX > 0)
        x = ((x % periodX) + periodX) % periodX;
    if (periodY > 0)
        y = ((y % periodY) + periodY) % periodY;
    uint32_t h = mSeed ^ (uint32_t(x) * 0x8DA6B343u) ^ (uint32_t(y) * 0xD8163841u);
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

float Noise::Octave(float x, float y, int periodX, int periodY) const
{
    const int ix = int(std::floor(x));
    const int iy = int(std::floor(y));
    const float fx = x - ix;
    const float fy = y - iy;
    const float sx = fx * fx * (3 - 2 * fx);
    const float sy = fy * fy * (3 - 2 * fy);
    const float a = Lattice(ix, iy, periodX, periodY);
    const float b = Lattice(ix + 1, iy, periodX, periodY);
    const float c = Lattice(ix, iy + 1, periodX, periodY);
    const float d = Lattice(ix + 1, iy + 1, periodX, periodY);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float Noise::At(float x, float y) const { return Octave(x, y, mPeriodX, mPeriodY); }

float Noise::Fractal(float x, float y, int octaves) const
{
    float sum = 0, weight = 1, total = 0, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += Octave(x * scale, y * scale, mPeriodX * int(scale), mPeriodY * int(scale)) * weight;
        total += weight;
        weight *= 0.5f;
        scale *= 2;
    }
    return sum / total;
}
