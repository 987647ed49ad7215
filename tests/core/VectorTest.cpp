#include "core/Vector.h"

#include <gtest/gtest.h>

TEST(Vector, WritesThroughToBoundStorageByCount)
{
    float three[4] = {1, 2, 3, 99};
    CVector v;
    v.Bind(three, 3);
    EXPECT_EQ(v, CVector(1, 2, 3, 0));
    v += CVector(1, 1, 1, 1);
    EXPECT_EQ(three[0], 2);
    EXPECT_EQ(three[1], 3);
    EXPECT_EQ(three[2], 4);
    EXPECT_EQ(three[3], 99); // w changed in the vector but is not written
    EXPECT_EQ(v.w, 1);

    float one[2] = {5, 6};
    CVector w(7, 7, 7, 7);
    w.Bind(one, 1); // unsupported count keeps the value and writes nothing
    EXPECT_EQ(w, CVector(7, 7, 7, 7));
    w.Set(1, 2);
    EXPECT_EQ(one[0], 5);

    float four[4] = {1, 2, 3, 4};
    CVector u;
    u.Bind(four, 4);
    u.Set(9, 8, 7);
    EXPECT_EQ(four[3], 0); // Set with three values zeroes w
    EXPECT_EQ(four[0], 9);
}

TEST(Vector, AssignmentCopiesBindingWithoutWriting)
{
    float storage[2] = {1, 2};
    CVector bound;
    bound.Bind(storage, 2);
    CVector other(5, 6, 7, 8);
    other = bound;
    EXPECT_EQ(other.GetStorage(), storage);
    EXPECT_EQ(storage[0], 1);
    other.Set(3, 4);
    EXPECT_EQ(storage[0], 3);
    // Two-operand arithmetic yields an unbound vector.
    const CVector sum = bound + CVector(1, 1, 1, 1);
    EXPECT_EQ(sum.GetStorage(), nullptr);
}

TEST(Vector, NormalizeUsesAllFourComponents)
{
    CVector zero;
    zero.Normalize();
    EXPECT_EQ(zero, CVector(0, 0, 0, 0));
    CVector a(3, 0, 4, 0);
    a.Normalize();
    EXPECT_FLOAT_EQ(a.x, 0.6f);
    EXPECT_FLOAT_EQ(a.z, 0.8f);
    CVector b(1, 1, 1, 1);
    b.Normalize();
    EXPECT_EQ(b, CVector(0.5f, 0.5f, 0.5f, 0.5f));
}

TEST(Vector, CrossKeepsW)
{
    CVector a(1, 0, 0, 7);
    a.Cross(CVector(0, 1, 0, 0));
    EXPECT_EQ(a, CVector(0, 0, 1, 7));
    EXPECT_EQ(CVector(0, 1, 0, 2).CrossProduct(CVector(0, 0, 1, 0)), CVector(1, 0, 0, 2));
    EXPECT_EQ(CVector(1, 2, 3, 4) * CVector(2, 2, 2, 2), CVector(2, 4, 6, 8));
    EXPECT_EQ(CVector(1, 2, 3, 4) - CVector(1, 1, 1, 1), CVector(0, 1, 2, 3));
    CVector c(1, 2, 3, 4);
    const float* array = c.AsArray();
    EXPECT_EQ(array[3], 4);
}
