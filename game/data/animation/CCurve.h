#pragma once

#include <cstdint>
#include <vector>

class CAnimTrack;

// A curve of mChannels (1 to 4) channels: mValues holds point after point,
// mChannels floats each.
struct CCurve {
    int32_t mChannels = 1;
    int32_t mIndex = 0;
    std::vector<float> mValues;

    int32_t PointCount() const { return int32_t(mValues.size()) / mChannels; }
};

// The curve at t as a piecewise cubic through its points (inner slopes
// Catmull-Rom, end slopes one-sided), channel by channel into out[0 ..
// channels). t is clamped to 0 ... 1; channels the curve lacks, and every
// channel of a null curve, read 0; a curve of one point is that point.
void SampleCurve(const CCurve* curve, float t, float* out, int channels);

float SampleCurve1D(const CCurve* curve, float t);
void SampleCurve2D(const CCurve* curve, float* out, float t);
void SampleCurve3D(const CCurve* curve, float* out, float t);
void SampleCurve4D(const CCurve* curve, float* out, float t);

// The track's curve at the track's time, each coordinate truncated toward zero.
void SampleCurve2DInt(const CAnimTrack& track, int32_t* x, int32_t* y);

// A float truncated toward zero, saturated to the int range (NaN gives 0).
int32_t TruncateToInt(float value);
