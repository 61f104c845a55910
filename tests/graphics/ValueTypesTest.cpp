#include "framework/graphics/Color.h"
#include "framework/graphics/FRect.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"

#include <gtest/gtest.h>

#include <numbers>

using Lumo::Color;
using Lumo::FRect;
using Lumo::Matrix3;
using Lumo::Rect;

namespace {

struct PackedCase {
    int packed;
    Color expected;
};

TEST(Color, PackedValueUnpacksWithZeroAlphaMeaningOpaque)
{
    const PackedCase cases[] = {
        {0, Color(0, 0, 0, 255)},
        {int(0x80FFFFFF), Color(255, 255, 255, 128)},
        {0x00FF0000, Color(255, 0, 0, 255)},
        {int(0x01020304), Color(2, 3, 4, 1)},
    };
    for (const PackedCase& c : cases)
        EXPECT_EQ(Color(c.packed), c.expected) << std::hex << c.packed;
}

TEST(Color, ConstructorsFillAlphaAsOpaque)
{
    const int rgb[3] = {1, 2, 3};
    EXPECT_EQ(Color(), Color(0, 0, 0, 255));
    EXPECT_EQ(Color(rgb), Color(1, 2, 3, 255));
    EXPECT_EQ(Color(4, 5, 6), Color(4, 5, 6, 255));
    EXPECT_EQ(Color::Black, Color(0, 0, 0, 255));
    EXPECT_EQ(Color::White, Color(255, 255, 255, 255));
}

TEST(Color, ToIntPacksWithoutMasking)
{
    EXPECT_EQ(Color(255, 0, 0, 255).ToInt(), 0xFFFF0000u);
    EXPECT_EQ(Color(1, 2, 3, 4).ToInt(), 0x04010203u);
    // Green 256 spills into red.
    EXPECT_EQ(Color(0, 256, 0, 0).ToInt(), 0x00010000u);
}

TEST(Color, OnlyOpaqueWhiteIsWhite)
{
    EXPECT_TRUE(Color(255, 255, 255, 255).IsWhite());
    EXPECT_FALSE(Color(255, 255, 255, 254).IsWhite());
    EXPECT_FALSE(Color(255, 254, 255, 255).IsWhite());
    EXPECT_TRUE(Color(255, 255, 255, 128) != Color::White);
}

struct IntersectCase {
    Rect a;
    Rect b;
    Rect expected;
};

TEST(Rect, IntersectKeepsTouchingEdgesAndZeroesDisjointOnes)
{
    const IntersectCase cases[] = {
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {10, 0, 0, 5}},
        {{0, 0, 10, 10}, {11, 0, 5, 5}, {0, 0, 0, 0}},
        {{0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}},
        {{0, 0, 10, 10}, {5, -5, 10, 10}, {5, 0, 5, 5}},
        {{0, 0, 10, 10}, {0, 12, 10, 10}, {0, 0, 0, 0}},
        {{2147483000, 0, 1000, 1}, {0, 0, 2147483647, 1}, {2147483000, 0, 647, 1}},
    };
    for (const IntersectCase& c : cases) {
        EXPECT_EQ(c.a.Intersect(c.b), c.expected);
        EXPECT_EQ(c.b.Intersect(c.a), c.expected);
    }
}

TEST(FRect, IntersectZeroesOnlyNegativeSizes)
{
    EXPECT_EQ((FRect{0, 0, 1.5, 1.5}.Intersect(FRect{1.5, 0, 1, 1})), (FRect{1.5, 0, 0, 1}));
    EXPECT_EQ((FRect{0, 0, 1.5, 1.5}.Intersect(FRect{1.75, 0, 1, 1})), (FRect{0, 0, 0, 0}));
    EXPECT_EQ((FRect{0.25, 0.5, 4, 4}.Intersect(FRect{1, 1, 10, 1})), (FRect{1, 1, 3.25, 1}));
}

TEST(Matrix3, FactorsApplyAfterWhatIsHeld)
{
    Matrix3 m;
    m.Translate(10, 0);
    m.Scale(2, 2);
    const auto p = m.TransformPoint(0, 0);
    EXPECT_FLOAT_EQ(p[0], 20.0f);
    EXPECT_FLOAT_EQ(p[1], 0.0f);

    Matrix3 t;
    t.Translate(3, 4);
    const auto q = t.TransformPoint(1, 1);
    EXPECT_FLOAT_EQ(q[0], 4.0f);
    EXPECT_FLOAT_EQ(q[1], 5.0f);
}

TEST(Matrix3, PositiveRotationTurnsXTowardsNegativeY)
{
    Matrix3 m;
    m.Rotate(float(std::numbers::pi / 2));
    const auto p = m.TransformPoint(1, 0);
    EXPECT_NEAR(p[0], 0.0f, 1e-6f);
    EXPECT_NEAR(p[1], -1.0f, 1e-6f);
    const auto v = m.TransformVector(0, 1, 1);
    EXPECT_NEAR(v[0], 1.0f, 1e-6f);
    EXPECT_NEAR(v[1], 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(v[2], 1.0f);
}

TEST(Matrix3, ProductIsRowByColumnAndIdentityIsNeutral)
{
    Matrix3 a;
    Matrix3 b;
    for (int i = 0; i < 9; ++i) {
        a.m[i] = float(i + 1);
        b.m[i] = float(9 - i);
    }
    const Matrix3 ab = a.Multiply(b);
    const float expected[9] = {30, 24, 18, 84, 69, 54, 138, 114, 90};
    for (int i = 0; i < 9; ++i)
        EXPECT_FLOAT_EQ(ab.m[i], expected[i]) << i;

    const Matrix3 identity;
    const Matrix3 same = identity.Multiply(a);
    Matrix3 copy;
    copy.CopyFrom(a);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(same.m[i], a.m[i]);
        EXPECT_EQ(copy.m[i], a.m[i]);
    }
    copy.LoadIdentity();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(copy.m[i], identity.m[i]);
}

} // namespace
