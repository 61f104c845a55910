#include "game/data/animation/CCurve.h"

#include "game/data/animation/CAnimTrack.h"

#include <cmath>
#include <cstdint>

namespace {

// The slope at point k: one-sided at the ends, central inside.
float Slope(const CCurve& curve, int32_t points, int32_t k, int channel)
{
    auto at = [&](int32_t i) { return curve.mValues[size_t(i) * size_t(curve.mChannels) + size_t(channel)]; };
    if (k == 0)
        return at(1) - at(0);
    if (k == points - 1)
        return at(points - 1) - at(points - 2);
    return at(k + 1) - at(k - 1);
}

} // namespace

void SampleCurve(const CCurve* curve, float t, float* out, int channels)
{
    for (int c = 0; c < channels; ++c)
        out[c] = 0.0f;
    const int32_t points = curve ? curve->PointCount() : 0;
    if (points < 1)
        return;
    const int used = channels < curve->mChannels ? channels : curve->mChannels;
    if (points == 1) {
        for (int c = 0; c < used; ++c)
            out[c] = curve->mValues[size_t(c)];
        return;
    }
    if (!(t >= 0.0f))
        t = 0.0f;
    if (t > 1.0f)
        t = 1.0f;
    const float s = float(points - 1) * t;
    int32_t segment = int32_t(s);
    if (segment >= points - 1)
        segment -= 1;
    const float u = s - float(segment);
    const float v = 1.0f - u;
    for (int c = 0; c < used; ++c) {
        const float p0 = curve->mValues[size_t(segment) * size_t(curve->mChannels) + size_t(c)];
        const float p1 = curve->mValues[size_t(segment + 1) * size_t(curve->mChannels) + size_t(c)];
        const float b1 = p0 + Slope(*curve, points, segment, c) / 6.0f;
        const float b2 = p1 - Slope(*curve, points, segment + 1, c) / 6.0f;
        out[c] = v * v * v * p0 + 3.0f * u * v * v * b1 + 3.0f * u * u * v * b2 + u * u * u * p1;
    }
}

float SampleCurve1D(const CCurve* curve, float t)
{
    float value;
    SampleCurve(curve, t, &value, 1);
    return value;
}

void SampleCurve2D(const CCurve* curve, float* out, float t) { SampleCurve(curve, t, out, 2); }

void SampleCurve3D(const CCurve* curve, float* out, float t) { SampleCurve(curve, t, out, 3); }

void SampleCurve4D(const CCurve* curve, float* out, float t) { SampleCurve(curve, t, out, 4); }

void SampleCurve2DInt(const CAnimTrack& track, int32_t* x, int32_t* y)
{
    float point[2];
    SampleCurve2D(track.mCurve, point, track.mTime);
    *x = TruncateToInt(point[0]);
    *y = TruncateToInt(point[1]);
}

int32_t TruncateToInt(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483648.0f)
        return INT32_MAX;
    if (value <= -2147483648.0f)
        return INT32_MIN;
    return int32_t(value);
}
