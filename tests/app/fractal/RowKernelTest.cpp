// The row kernel against EscapeValue, bit for bit, on every path this build
// and CPU offer: random views over the plane and down to deep zooms, every
// block remainder, small and large limits, and the awkward points.
#include "fractal/RowKernel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fractal/Fractal.h"

namespace
{

std::vector<KernelPath> AvailablePaths()
{
    const KernelPath before = GetKernelPath();
    std::vector<KernelPath> paths;
    for (KernelPath path : {KernelPath::Reference, KernelPath::Scalar, KernelPath::Avx2})
        if (SetKernelPath(path))
            paths.push_back(path);
    SetKernelPath(before);
    return paths;
}

// Compares one row; returns the first differing index or -1.
int FirstMismatch(int32_t x0, uint32_t count, int32_t y, uint32_t limit, double centreRe,
                  double centreIm, double stepRe, double stepIm)
{
    std::vector<double> row(count + 1, 12345.0);
    EscapeRow(row.data(), x0, count, y, limit, centreRe, centreIm, stepRe, stepIm);
    if (row[count] != 12345.0)
        return static_cast<int>(count); // wrote past the end
    for (uint32_t i = 0; i < count; ++i)
    {
        const double expected =
            EscapeValue(x0 + static_cast<int32_t>(i), y, limit, centreRe, centreIm, stepRe, stepIm);
        if (std::memcmp(&expected, &row[i], sizeof(double)) != 0)
            return static_cast<int>(i);
    }
    return -1;
}

class RowKernelTest : public ::testing::TestWithParam<KernelPath>
{
protected:
    void SetUp() override
    {
        m_before = GetKernelPath();
        ASSERT_TRUE(SetKernelPath(GetParam()));
    }
    void TearDown() override { SetKernelPath(m_before); }

private:
    KernelPath m_before = KernelPath::Scalar;
};

TEST_P(RowKernelTest, MatchesEscapeValueOnRandomViews)
{
    std::mt19937_64 random(0x5eed1234u);
    std::uniform_real_distribution<double> re(-2.5, 1.5);
    std::uniform_real_distribution<double> im(-1.5, 1.5);
    std::uniform_real_distribution<double> logScale(std::log(1e-13), std::log(4.0));
    const uint32_t limits[] = {0, 1, 2, 3, 1000, 10000};
    for (int view = 0; view < 60000; ++view)
    {
        const uint32_t limit = limits[view % 6];
        // Big limits get narrow rows so that the run stays short.
        const uint32_t maxWidth = limit >= 10000 ? 9 : 67;
        const uint32_t width = std::uniform_int_distribution<uint32_t>(1, maxWidth)(random);
        const double scale = std::exp(logScale(random));
        const double stepRe = scale * (3.0 / 1024.0);
        const double stepIm = scale * (2.0 / 768.0);
        const double centreRe = re(random);
        const double centreIm = im(random);
        const int32_t x0 = -static_cast<int32_t>(width / 2);
        const int32_t y = std::uniform_int_distribution<int32_t>(-384, 383)(random);
        ASSERT_EQ(FirstMismatch(x0, width, y, limit, centreRe, centreIm, stepRe, stepIm), -1)
            << "view " << view << " width " << width << " limit " << limit << " centre " << centreRe
            << "," << centreIm << " scale " << scale;
    }
}

TEST_P(RowKernelTest, MatchesEscapeValueOnEdgePoints)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (uint32_t limit : {0u, 1u, 2u, 3u, 1000u})
    {
        SCOPED_TRACE(limit);
        // c = −2 sits on the bailout circle and never leaves it; c = 2 too.
        EXPECT_EQ(FirstMismatch(0, 1, 0, limit, -2.0, 0.0, 0.5, 0.5), -1);
        EXPECT_EQ(FirstMismatch(-4, 9, 0, limit, 0.0, 0.0, 0.5, 0.5), -1);
        EXPECT_EQ(FirstMismatch(-3, 7, 0, limit, 0.0, 2.0, 1.0, 1.0), -1);
        // Wholly outside radius 2, and rows crossing it.
        EXPECT_EQ(FirstMismatch(-20, 41, 3, limit, 0.0, 0.0, 0.25, 1.0), -1);
        EXPECT_EQ(FirstMismatch(-8, 17, 0, limit, 5.0, -7.0, 1.0, 1.0), -1);
        // Orbits that overflow to infinity and then not-a-number.
        EXPECT_EQ(FirstMismatch(-2, 5, 1, limit, 1e154, 1e154, 1e153, 1e153), -1);
        EXPECT_EQ(FirstMismatch(-2, 5, 1, limit, 1e300, 0.0, 1.0, 1.0), -1);
        // Not-a-number and infinite inputs.
        EXPECT_EQ(FirstMismatch(-2, 5, 0, limit, nan, 0.0, 0.1, 0.1), -1);
        EXPECT_EQ(FirstMismatch(-2, 5, 0, limit, 0.0, 0.0, nan, 0.1), -1);
        EXPECT_EQ(FirstMismatch(-2, 5, 0, limit, inf, 0.0, 0.1, 0.1), -1);
        EXPECT_EQ(FirstMismatch(0, 3, 0, limit, -inf, inf, 0.0, 0.0), -1);
    }
}

// Whole rows through the main cardioid, the bulbs and their borders, where
// most orbits settle into repeats and many only just do (or never do).
// The heavy comparisons run only for the paths that are not EscapeValue.
class FastRowKernelTest : public RowKernelTest
{
};

TEST_P(FastRowKernelTest, MatchesEscapeValueOnRowsFullOfRepeatingOrbits)
{
    struct View
    {
        double centreRe, centreIm, scale;
        uint32_t limit;
    };
    const View views[] = {
        {-0.5, 0.0, 1.0, 1000},                // the whole set
        {-0.75, 0.0, 0.01, 10000},             // the neck between cardioid and bulb
        {0.25, 0.0, 0.001, 10000},             // the cusp
        {-1.25, 0.0, 0.1, 2000},               // the period-2 bulb's edge
        {-0.7435669, 0.1314023, 0.0001, 1000}, // seahorse valley
        {-0.1225, 0.7449, 0.002, 5000},        // the period-3 bulb's root
        {-1.7548776662, 0.0, 1e-7, 3000},      // a mini-set on the needle
    };
    const uint32_t width = 1024;
    for (const View& view : views)
    {
        const double stepRe = view.scale * (3.0 / 1024.0);
        const double stepIm = view.scale * (2.0 / 768.0);
        for (int32_t y = -384; y < 384; y += 61)
            ASSERT_EQ(FirstMismatch(-512, width, y, view.limit, view.centreRe, view.centreIm,
                                    stepRe, stepIm),
                      -1)
                << "centre " << view.centreRe << "," << view.centreIm << " row " << y;
    }
}

// The kernels step several times between looks at a lane, so a limit that
// is not a multiple of that falls inside a pass: points leaving just before,
// at and just after it, with lanes loaded at different steps.
TEST_P(FastRowKernelTest, MatchesEscapeValueWhenTheLimitFallsInsideAPass)
{
    for (uint32_t limit : {5u, 6u, 7u, 9u, 34u, 35u, 101u, 999u})
        for (int32_t y = -384; y < 384; y += 97)
            ASSERT_EQ(FirstMismatch(-512, 1024, y, limit, -0.5, 0.0, 3.0 / 1024.0, 2.0 / 768.0), -1)
                << "limit " << limit << " row " << y;
}

// Just outside the cusp, at c = 1/4 + d, an orbit crawls past z = 1/2,
// moving by about d a step, for some pi / sqrt(d) steps before it escapes
// (314 156 steps for d = 1e-10). Only an exact repeat test lets these
// through: one that took "close" for "equal" would call them inside.
TEST_P(FastRowKernelTest, MatchesEscapeValueWhereOrbitsCrawlPastNearRepeats)
{
    for (double step : {1e-10, 1e-8})
        EXPECT_EQ(FirstMismatch(-8, 24, 0, 400000, 0.25, 0.0, step, step), -1) << step;
}

TEST_P(RowKernelTest, WritesNothingForAnEmptyRow)
{
    double sentinel = 7.0;
    EscapeRow(&sentinel, 0, 0, 0, 100, 0.0, 0.0, 1.0, 1.0);
    EXPECT_EQ(sentinel, 7.0);
}

std::string PathName(const ::testing::TestParamInfo<KernelPath>& info)
{
    switch (info.param)
    {
    case KernelPath::Reference:
        return "Reference";
    case KernelPath::Scalar:
        return "Scalar";
    case KernelPath::Avx2:
        return "Avx2";
    }
    return "Unknown";
}

std::vector<KernelPath> FastPaths()
{
    std::vector<KernelPath> paths = AvailablePaths();
    paths.erase(std::remove(paths.begin(), paths.end(), KernelPath::Reference), paths.end());
    return paths;
}

INSTANTIATE_TEST_SUITE_P(Paths, RowKernelTest, ::testing::ValuesIn(AvailablePaths()), PathName);
INSTANTIATE_TEST_SUITE_P(Paths, FastRowKernelTest, ::testing::ValuesIn(FastPaths()), PathName);

TEST(RowKernelPaths, PortablePathsAreAlwaysAvailable)
{
    const KernelPath before = GetKernelPath();
    EXPECT_NE(before, KernelPath::Reference) << "the default path should be a fast one";
    for (KernelPath path : {KernelPath::Reference, KernelPath::Scalar})
    {
        EXPECT_TRUE(SetKernelPath(path));
        EXPECT_EQ(GetKernelPath(), path);
    }
    SetKernelPath(before);
}

TEST(RowKernelPaths, Avx2CountsTheLaneStepsOfEveryEscape)
{
    const KernelPath before = GetKernelPath();
    if (!SetKernelPath(KernelPath::Avx2))
        GTEST_SKIP() << "no AVX2 path on this build or CPU";
    // A row outside the set, inside the rim: every point escapes, none
    // repeats, so the live steps are exactly EscapeValue's loop steps.
    const int32_t x0 = -300;
    const uint32_t count = 601;
    const double centreRe = 0.0, centreIm = 0.9, step = 0.003;
    uint64_t expected = 0;
    for (uint32_t i = 0; i < count; ++i)
    {
        double zr = (x0 + int32_t(i)) * step + centreRe, zi = centreIm;
        const double cr = zr, ci = zi;
        for (uint32_t n = 0; n < 1000 && zr * zr + zi * zi <= 4.0; ++n, ++expected)
        {
            const double nextRe = zr * zr - zi * zi + cr;
            zi = 2.0 * zr * zi + ci;
            zr = nextRe;
        }
        ASSERT_GT(zr * zr + zi * zi, 4.0) << "point " << i << " stays inside";
    }
    std::vector<double> row(count);
    const KernelWork start = GetKernelWork();
    EscapeRow(row.data(), x0, count, 0, 1000, centreRe, centreIm, step, step);
    const KernelWork end = GetKernelWork();
    SetKernelPath(before);
    EXPECT_EQ(end.liveLaneSteps - start.liveLaneSteps, expected);
    EXPECT_GE(4 * (end.vectorSteps - start.vectorSteps), expected);
}

} // namespace
