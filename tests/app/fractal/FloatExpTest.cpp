// The wide-exponent numbers: arithmetic far outside a double's range, and
// the parts of a complex number that must keep their own size.
#include <cmath>

#include <gtest/gtest.h>

#include "fractal/FloatExp.h"

namespace
{

double Log2(FloatExp x)
{
    return std::log2(std::fabs(x.m)) + static_cast<double>(x.e);
}

} // namespace

TEST(FloatExp, ArithmeticPastADoublesExponent)
{
    const FloatExp tiny = FloatExp::Make(0.75, -5000);
    EXPECT_NEAR(Log2(tiny * tiny), 2 * Log2(tiny), 1e-12);
    EXPECT_NEAR(Log2(tiny / FloatExp::Make(0.5, 3000)), Log2(tiny) + 1 - 3000, 1e-12);
    EXPECT_NEAR(Log2(tiny + tiny), Log2(tiny) + 1, 1e-12);
    EXPECT_TRUE((tiny - tiny).IsZero());
    // A much smaller term leaves a sum as it was.
    EXPECT_EQ((tiny + FloatExp::Make(0.5, -6000)).m, tiny.m);
    EXPECT_NEAR(Log2(Sqrt(tiny)), Log2(tiny) / 2, 1e-12);
    EXPECT_NEAR(Log2(Sqrt(FloatExp::Make(0.5, -4999))), (Log2(FloatExp::Make(0.5, -4999))) / 2, 1e-12);
    EXPECT_TRUE(FloatExp::Make(0.5, -5000) < tiny);
    EXPECT_TRUE(FloatExp{} < tiny);
    EXPECT_FALSE(tiny < FloatExp{});
    EXPECT_EQ(tiny.ToDouble(), 0.0);
    EXPECT_EQ(FloatExp::Make(0.5, -1000).ToDouble(), std::ldexp(0.5, -1000));
}

TEST(FloatExp, ComplexPartsKeepTheirSize)
{
    // A zero part once made the other vanish: it has no exponent of its own.
    const ComplexExp imaginary = ComplexExp::FromParts(FloatExp{}, FloatExp::Make(0.75, -3000));
    EXPECT_EQ(imaginary.re, 0.0);
    EXPECT_EQ(imaginary.im, 0.75);
    EXPECT_EQ(imaginary.e, -3000);
    const ComplexExp real = ComplexExp::FromParts(FloatExp::Make(-0.5, -3000), FloatExp{});
    EXPECT_EQ(real.re, -0.5);
    EXPECT_EQ(real.e, -3000);

    // (1 + i) 2^-2000 squared is 2i 2^-4000; adding zero on either side keeps it.
    const ComplexExp z = ComplexExp::Make(1.0, 1.0, -2000);
    const ComplexExp square = z * z + ComplexExp{};
    EXPECT_EQ(square.re, 0.0);
    EXPECT_EQ(square.im, 0.5);
    EXPECT_EQ(square.e, -3998);
    EXPECT_EQ((ComplexExp{} + square).e, -3998);
    EXPECT_NEAR(Log2(square.Abs()), -3999.0, 1e-12);
    EXPECT_NEAR(Log2(square.Norm()), 2 * Log2(square.Abs()), 1e-12);
}
