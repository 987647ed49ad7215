// Reading deep views: scales far past a double's exponent, long decimals,
// and where plain doubles stop holding a view.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "fractal/DeepView.h"
#include "fractal/FloatExp.h"

TEST(DeepView, ParsesScalesIntoAWideExponent)
{
    struct Case
    {
        const char* text;
        bool good;
        double log2; // of the value, when good and not 0
    };
    const Case cases[] = {
        {"1", true, 0.0},
        {"0", true, 0.0},
        {"1e-300", true, -300 * std::log2(10.0)},
        {"1e-1000", true, -1000 * std::log2(10.0)},
        {"2.5e-2400", true, std::log2(2.5) - 2400 * std::log2(10.0)},
        {"0.000000000000000000000000000000000000000000000000001", true, -51 * std::log2(10.0)},
        {"1e-2500", false, 0}, // below 2^-8000
        {"1e999", false, 0},
        {"-1", false, 0},
        {"-1e-1000", false, 0},
        {"nan", false, 0},
        {"inf", false, 0},
        {"", false, 0},
        {" 1", false, 0},
        {"1e-10x", false, 0},
    };
    for (const Case& c : cases)
    {
        FloatExp scale = FloatExp::FromDouble(7.0);
        EXPECT_EQ(ParseScale(c.text, scale), c.good) << c.text;
        if (!c.good || std::string(c.text) == "0")
            continue;
        const double log2 = std::log2(std::fabs(scale.m)) + static_cast<double>(scale.e);
        EXPECT_NEAR(log2, c.log2, 1e-9) << c.text;
    }
    FloatExp zero;
    ASSERT_TRUE(ParseScale("0", zero));
    EXPECT_TRUE(zero.IsZero());
}

TEST(DeepView, TakesCentresOfAnyLength)
{
    const std::string digits = "-0.7436438870371587047521915061147729243" + std::string(3000, '7');
    EXPECT_TRUE(IsRealText(digits.c_str()));
    EXPECT_TRUE(IsRealText("1e-5000"));
    for (const char* bad : {"", "abc", "0.5x", " 1", "1,2", "inf"})
        EXPECT_FALSE(IsRealText(bad)) << bad;

    // 64 bits of margin above the finest step's.
    DeepView view;
    ASSERT_TRUE(ParseScale("1e-1000", view.scale));
    view.width = 1024;
    view.height = 768;
    EXPECT_NEAR(view.PrecisionBits(), 64 + 1000 * std::log2(10.0) + std::log2(1024 / 3.0), 2);
}

TEST(DeepView, DoublesHoldUntilPixelsShareTheirValue)
{
    DeepView view;
    view.width = 1024;
    view.height = 768;
    struct Case
    {
        const char* scale;
        double centreRe;
        bool holds;
    };
    for (const Case& c : {Case{"1", -0.5, true}, Case{"1e-9", -0.5, true}, Case{"1e-11", 1.0, false},
                          Case{"1e-9", 1000.0, false}, Case{"1e-320", 0.0, false}, Case{"0", 0.5, true}})
    {
        ASSERT_TRUE(ParseScale(c.scale, view.scale));
        EXPECT_EQ(DoubleHolds(view, c.centreRe, 0.0), c.holds) << c.scale << " at " << c.centreRe;
    }
}

// A rounded c − centre is off by up to 2^-53 of itself, enough to move the
// escape step of a long orbit near the boundary against MPFR's exact c.
TEST(DeepView, PixelOffsetsAreExactInDoubles)
{
    DeepView view;
    for (const char* scale : {"1.2345678901234567e-5", "0.7", "3.3333333333333333e-300"})
        for (uint32_t width : {1024u, 16384u})
        {
            ASSERT_TRUE(ParseScale(scale, view.scale));
            view.width = width;
            view.height = width - 1;
            const FloatExp stepRe = view.StepRe();
            const FloatExp stepIm = view.StepIm();
            for (uint32_t i = 0; i < width; i += 7)
            {
                const ComplexExp offset = view.Offset(i, i);
                const double x = static_cast<double>(static_cast<int32_t>(i - width / 2));
                const double y = static_cast<double>(static_cast<int32_t>(i - (width - 1) / 2));
                // The product's rounding error is the fma's remainder.
                EXPECT_EQ(std::fma(stepRe.m, x, -ComplexExp::Shifted(offset.re, offset.e - stepRe.e)), 0.0)
                    << scale << " " << width << " " << i;
                EXPECT_EQ(std::fma(stepIm.m, y, -ComplexExp::Shifted(offset.im, offset.e - stepIm.e)), 0.0)
                    << scale << " " << width << " " << i;
            }
            // The step itself stays within 2^-39 (16384 pixels) of scale × 3 ÷ width.
            const double wanted = 3.0 / width;
            const double got = (stepRe / view.scale).ToDouble();
            EXPECT_NEAR(got / wanted, 1.0, 0x1p-38) << scale << " " << width;
        }
}

TEST(DeepView, ScalingByPowersOfTwoRoundsAsLdexp)
{
    const double values[] = {1.0, -1.5, 0x1.fffffffffffffp0, 0x1p-1074, 0.0, -0.0, HUGE_VAL, NAN};
    const int64_t powers[] = {0, 1023, 1024, -1022, -1023, -1074, -1100, -2200, -2201, -3322, 2200, 2201, 3322, 100000, -100000};
    for (const double x : values)
        for (const int64_t k : powers)
        {
            const double expected = std::ldexp(x, static_cast<int>(k < -4000 ? -4000 : k > 4000 ? 4000 : k));
            const double got = fractal_detail::ScaleBy2(x, k);
            if (std::isnan(expected))
                EXPECT_TRUE(std::isnan(got)) << x << " " << k;
            else
            {
                EXPECT_EQ(got, expected) << x << " " << k;
                EXPECT_EQ(std::signbit(got), std::signbit(expected)) << x << " " << k;
            }
        }
}
