// The MPFR checker itself: it agrees with plain doubles where doubles are
// exact enough, and it fails renders with too many or clustered mismatches.
#include <cmath>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "fractal/DeepCheck.h"

namespace
{

// EscapeValue's loop, returning its step count instead of the smooth value.
uint32_t DoubleSteps(const DeepView& view, double centreRe, double centreIm, uint32_t col, uint32_t row)
{
    const double stepRe = view.scale.ToDouble() * (3.0 / view.width);
    const double stepIm = view.scale.ToDouble() * (2.0 / view.height);
    const double cr = static_cast<double>(static_cast<int32_t>(col - (view.width >> 1))) * stepRe + centreRe;
    const double ci = static_cast<double>(static_cast<int32_t>(row - (view.height >> 1))) * stepIm + centreIm;
    double zr = cr, zi = ci;
    uint32_t n = 0;
    if (cr * cr + ci * ci <= 4.0)
        while (n < view.limit)
        {
            ++n;
            const double next = zr * zr - zi * zi + cr;
            zi = 2.0 * zr * zi + ci;
            zr = next;
            if (!(zr * zr + zi * zi <= 4.0))
                break;
        }
    return n;
}

DeepView ShallowView()
{
    DeepView view;
    view.re = "-0.75";
    view.im = "0.1";
    EXPECT_TRUE(ParseScale("0.02", view.scale));
    view.width = 64;
    view.height = 48;
    view.limit = 500;
    return view;
}

} // namespace

TEST(DeepCheck, AgreesWithDoublesOnAShallowView)
{
    const DeepView view = ShallowView();
    const DeepCheckResult result = CheckDeepRender(
        view, [&](uint32_t col, uint32_t row) { return DoubleSteps(view, -0.75, 0.1, col, row); }, 2);
    EXPECT_EQ(result.samples, 64u * 48u);
    EXPECT_TRUE(result.Passed()) << result.mismatches << " differ";
    EXPECT_EQ(ExactSteps(view, 32, 24, 128), DoubleSteps(view, -0.75, 0.1, 32, 24));
}

TEST(DeepCheck, FailsTooManyOrClusteredMismatches)
{
    const DeepView view = ShallowView();
    struct Case
    {
        std::set<std::pair<uint32_t, uint32_t>> wrong;
        uint32_t largest;
        bool passes;
    };
    const Case cases[] = {
        {{}, 0, true},
        {{{3, 3}, {20, 20}, {40, 5}}, 1, true},          // 3 of 3072 is within 0.1 %
        {{{3, 3}, {20, 20}, {40, 5}, {60, 40}}, 1, false}, // 4 of 3072 is not
        {{{10, 10}, {11, 11}, {12, 10}}, 3, true},        // diagonal neighbours count
        {{{10, 10}, {11, 10}, {10, 11}, {11, 11}}, 4, false},
    };
    for (const Case& c : cases)
    {
        const DeepCheckResult result = CheckDeepRender(
            view,
            [&](uint32_t col, uint32_t row)
            {
                const uint32_t steps = DoubleSteps(view, -0.75, 0.1, col, row);
                return c.wrong.count({col, row}) ? steps + 1 : steps;
            },
            1);
        EXPECT_EQ(result.largestCluster, c.largest);
        EXPECT_EQ(result.Passed(), c.passes) << c.wrong.size() << " wrong";
    }
}
