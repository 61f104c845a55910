#pragma once

#include <array>

namespace Lumo {

// A 3 x 3 float transform stored row by row; points are column vectors
// (x, y, 1), so the translation lives in m[2] and m[5]. Translate, Rotate and
// Scale multiply from the left: each applies after the transforms held.
class Matrix3 {
public:
    float m[9];

    Matrix3();

    void LoadIdentity();
    void CopyFrom(const Matrix3& other);
    // this x other; this is unchanged.
    Matrix3 Multiply(const Matrix3& other) const;
    // (m0 x + m1 y + m2, m3 x + m4 y + m5); no division by a third coordinate.
    std::array<float, 2> TransformPoint(float x, float y) const;
    std::array<float, 3> TransformVector(float x, float y, float w) const;

    void Translate(float tx, float ty);
    // Radians; with y growing downwards a positive angle turns x towards -y.
    void Rotate(float angle);
    void Scale(float sx, float sy);
};

} // namespace Lumo
