#include "framework/graphics/Matrix3.h"

#include <cmath>

namespace Lumo {

Matrix3::Matrix3()
{
    LoadIdentity();
}

void Matrix3::LoadIdentity()
{
    for (float& element : m)
        element = 0.0f;
    m[0] = m[4] = m[8] = 1.0f;
}

void Matrix3::CopyFrom(const Matrix3& other)
{
    for (int i = 0; i < 9; ++i)
        m[i] = other.m[i];
}

Matrix3 Matrix3::Multiply(const Matrix3& other) const
{
    Matrix3 product;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            // A float running sum, so results match to the bit.
            float sum = m[row * 3] * other.m[col];
            sum = sum + m[row * 3 + 1] * other.m[3 + col];
            sum = sum + m[row * 3 + 2] * other.m[6 + col];
            product.m[row * 3 + col] = sum;
        }
    }
    return product;
}

std::array<float, 2> Matrix3::TransformPoint(float x, float y) const
{
    return {m[0] * x + m[1] * y + m[2], m[3] * x + m[4] * y + m[5]};
}

std::array<float, 3> Matrix3::TransformVector(float x, float y, float w) const
{
    return {m[0] * x + m[1] * y + m[2] * w, m[3] * x + m[4] * y + m[5] * w, m[6] * x + m[7] * y + m[8] * w};
}

void Matrix3::Translate(float tx, float ty)
{
    Matrix3 factor;
    factor.m[2] = tx;
    factor.m[5] = ty;
    CopyFrom(factor.Multiply(*this));
}

void Matrix3::Rotate(float angle)
{
    const float c = float(std::cos(double(angle)));
    const float s = float(std::sin(double(angle)));
    Matrix3 factor;
    factor.m[0] = c;
    factor.m[1] = s;
    factor.m[3] = -s;
    factor.m[4] = c;
    CopyFrom(factor.Multiply(*this));
}

void Matrix3::Scale(float sx, float sy)
{
    Matrix3 factor;
    factor.m[0] = sx;
    factor.m[4] = sy;
    CopyFrom(factor.Multiply(*this));
}

} // namespace Lumo
