#include "core/Matrix.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/Rotation.h"

namespace
{
CMatrix Product(const CMatrix& a, const CMatrix& b)
{
    // Column-major 4 x 4 product, as OpenGL composes them.
    CMatrix r(4, 4);
    for (unsigned c = 0; c < 4; ++c)
        for (unsigned row = 0; row < 4; ++row)
        {
            float sum = 0;
            for (unsigned k = 0; k < 4; ++k)
                sum += a.Get(k * 4 + row) * b.Get(c * 4 + k);
            r.Set(c * 4 + row, sum);
        }
    return r;
}
} // namespace

TEST(Matrix, OutOfRangeReadsGiveZeroAndWritesAreIgnored)
{
    CMatrix m(4, 4);
    EXPECT_EQ(m.Get(16), 0.0f);
    m.Set(16, 5);
    EXPECT_EQ(m.Get(15), 1.0f);
    EXPECT_EQ(m.Get(3, 3), 1.0f);
    CMatrix empty(0, 3);
    EXPECT_EQ(empty.GetElements(), nullptr);
    EXPECT_EQ(empty.Get(0), 0.0f);
    empty.Set(0, 1);
    CMatrix wide(2, 3);
    EXPECT_EQ(wide.Get(1, 1), 1.0f);
    EXPECT_EQ(wide.Get(0, 2), 0.0f);
}

TEST(Matrix, TranslationAndRotationByShape)
{
    CMatrix m(4, 4);
    m.SetTranslation(1, 2, 3);
    EXPECT_EQ(m.ApplyTranslation(CVector(1, 1, 1, 9)), CVector(2, 3, 4, 0));
    CMatrix plane(3, 3);
    plane.SetTranslation(5, 6, 7);
    EXPECT_EQ(plane.ApplyTranslation(CVector(1, 1, 1, 1)), CVector(6, 7, 0, 0));
    plane.Set(1, 0, 2); // m3: y contributes to x
    EXPECT_EQ(plane.ApplyRotation(CVector(1, 1, 0, 0)), CVector(3, 1, 0, 0));
    CMatrix odd(2, 2);
    EXPECT_EQ(odd.ApplyTranslation(CVector(1, 2, 3, 4)), CVector(1, 2, 3, 4));
    CMatrix copy(m);
    copy = copy;
    m.SetTranslation(0, 0, 0);
    EXPECT_EQ(copy.Get(13), 2.0f);
}

TEST(Matrix, InverseUndoesTransformsAndGivesIdentityWhenSingular)
{
    CMatrix t(4, 4);
    t.SetTranslation(1, 2, 3);
    const CMatrix ti = t.Inverse();
    EXPECT_EQ(ti.Get(12), -1.0f);
    EXPECT_EQ(ti.Get(13), -2.0f);
    EXPECT_EQ(ti.Get(14), -3.0f);

    CMatrix m(4, 4);
    const float values[16] = {2, 1, 0, 0, 0, 0, 3, 0, 1, 4, 1, 0, 5, -2, 7, 1};
    for (unsigned i = 0; i < 16; ++i)
        m.Set(i, values[i]);
    const CMatrix p = Product(m, m.Inverse());
    for (unsigned i = 0; i < 16; ++i)
        EXPECT_NEAR(p.Get(i), i % 5 == 0 ? 1.0f : 0.0f, 1e-5f) << i;

    CMatrix singular(4, 4);
    for (unsigned c = 0; c < 4; ++c)
        singular.Set(c * 4 + 2, 0); // row 2 all zero
    const CMatrix si = singular.Inverse();
    for (unsigned i = 0; i < 16; ++i)
        EXPECT_EQ(si.Get(i), i % 5 == 0 ? 1.0f : 0.0f);
    EXPECT_EQ(CMatrix(3, 3).Inverse().GetRows(), 4u);
}

TEST(Rotation, DegreeFactorIsTheStoredSinglePrecisionValue)
{
    // 180 degrees gives cos of a value just below pi/2 with this factor.
    const CVector q = QuaternionFromAxisAngle(0, 0, 1, 180);
    const float half = 180.0f * 0.017453288659453392f * 0.5f;
    EXPECT_EQ(q.w, std::cos(half));
    EXPECT_GT(q.w, 0.0f);
    EXPECT_NEAR(q.z, 1.0f, 1e-6f);
    EXPECT_NE(0.017453288659453392f, static_cast<float>(M_PI / 180.0));
}

TEST(Rotation, EulerZKeepsTranslation)
{
    float m[16];
    for (float& v : m)
        v = 42;
    RotationFromEuler(m, 0, 0, 90);
    EXPECT_NEAR(m[0], 0, 1e-6);
    EXPECT_NEAR(m[1], -1, 1e-6);
    EXPECT_NEAR(m[4], 1, 1e-6);
    EXPECT_NEAR(m[5], 0, 1e-6);
    EXPECT_EQ(m[12], 42);
    EXPECT_EQ(m[14], 42);
    EXPECT_EQ(m[15], 1);
    CMatrix r(4, 4);
    for (unsigned i = 0; i < 16; ++i)
        r.Set(i, m[i]);
    const CVector v = r.ApplyRotation(CVector(1, 0, 0, 0));
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.y, -1, 1e-6);

    // x then y then z: a quarter turn about x and back about -x cancels.
    const CVector there = QuaternionFromAxisAngle(1, 0, 0, 90);
    const CVector back = QuaternionFromAxisAngle(1, 0, 0, -90);
    const CVector id = QuaternionProduct(there, back);
    EXPECT_NEAR(id.w, 1, 1e-6);
    EXPECT_NEAR(id.x, 0, 1e-6);
}

TEST(Rotation, ProductsComposeInHamiltonOrderXThenYThenZ)
{
    // i j = k but j i = -k.
    EXPECT_EQ(QuaternionProduct(CVector(1, 0, 0, 0), CVector(0, 1, 0, 0)), CVector(0, 0, 1, 0));
    EXPECT_EQ(QuaternionProduct(CVector(0, 1, 0, 0), CVector(1, 0, 0, 0)), CVector(0, 0, -1, 0));

    // With x and y composed the other way round, x would map to y instead.
    float m[16] = {};
    RotationFromEuler(m, 90, 90, 0);
    CMatrix r(4, 4);
    for (unsigned i = 0; i < 12; ++i)
        r.Set(i, m[i]);
    const CVector x = r.ApplyRotation(CVector(1, 0, 0, 0));
    const CVector y = r.ApplyRotation(CVector(0, 1, 0, 0));
    EXPECT_NEAR(x.z, 1, 1e-6);
    EXPECT_NEAR(x.y, 0, 1e-6);
    EXPECT_NEAR(y.x, 1, 1e-6);
}
