// Escape values against hand-worked orbits, the pixel-to-plane mapping, the
// palette lookup at its edges, and the shared-counter render loop.
#include "fractal/Fractal.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "resources/Image.h"

namespace
{

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// The documented formula for a point that escaped after n loop iterations
// and reached modulus² m after the two extra steps.
double Smooth(double n, double m)
{
    return n + 2.0 - std::log(std::log(std::sqrt(m))) / std::log(2.0);
}

// c = 1: z = 1, 2 (modulus² exactly 4 goes on), 5 escapes at n = 2; the two
// extra steps give 26 and 677.
const double kValueOfOne = Smooth(2.0, 677.0 * 677.0);

void SetView(CFractal& fractal, double re, double im, double scale, uint32_t limit)
{
    fractal.SetCentre(re, im);
    fractal.SetScale(scale);
    fractal.SetIterationLimit(limit);
}

} // namespace

TEST(EscapeValue, PointsTakenAsInsideAreZero)
{
    EXPECT_EQ(EscapeValue(0, 0, 100, 0.0, 0.0, 0.0, 0.0), 0.0);
    // c = -2 rides the bailout circle (-2, 2, 2, ...) and never escapes.
    EXPECT_EQ(EscapeValue(0, 0, 100, -2.0, 0.0, 0.0, 0.0), 0.0);
    // c = 1 escapes on its second iteration: with limit 2 that is the limit.
    EXPECT_EQ(EscapeValue(0, 0, 2, 1.0, 0.0, 0.0, 0.0), 0.0);
    // Limit 0 takes every point as inside, even one far outside.
    EXPECT_EQ(EscapeValue(0, 0, 0, 3.0, 0.0, 0.0, 0.0), 0.0);
    EXPECT_EQ(EscapeValue(0, 0, 0, kNaN, 0.0, 0.0, 0.0), 0.0);
}

TEST(EscapeValue, EscapedPointsFollowTheDocumentedFormula)
{
    EXPECT_EQ(EscapeValue(0, 0, 100, 1.0, 0.0, 0.0, 0.0), kValueOfOne);
    EXPECT_EQ(EscapeValue(0, 0, 3, 1.0, 0.0, 0.0, 0.0), kValueOfOne);
    EXPECT_NEAR(kValueOfOne, 1.2956, 1e-4);
    // Beyond radius 2 the loop is skipped. c = 3: z = 3, 12, 147.
    EXPECT_EQ(EscapeValue(0, 0, 100, 3.0, 0.0, 0.0, 0.0), Smooth(0.0, 147.0 * 147.0));
    EXPECT_NEAR(EscapeValue(0, 0, 1, 3.0, 0.0, 0.0, 0.0), -0.319, 1e-3);
    // c = 1 + 2i: z = 1 + 2i, -2 + 6i, (4 - 36 + 1) + (2 × -2 × 6 + 2)i.
    EXPECT_EQ(EscapeValue(0, 0, 100, 1.0, 2.0, 0.0, 0.0), Smooth(0.0, 31.0 * 31.0 + 22.0 * 22.0));
    // Offsets count in steps from the centre.
    EXPECT_EQ(EscapeValue(4, 0, 100, -1.0, 0.0, 0.5, 7.0), kValueOfOne);
    EXPECT_EQ(EscapeValue(-2, 4, 100, 3.0, 0.0, 1.0, 0.5), EscapeValue(0, 0, 100, 1, 2, 0, 0));
    // Unordered points leave at once instead of running to the limit.
    EXPECT_TRUE(std::isnan(EscapeValue(0, 0, 100000, kNaN, 0.0, 0.0, 0.0)));
    EXPECT_TRUE(std::isnan(EscapeValue(0, 0, 100000, 0.0, kInf, 0.0, 0.0)));
}

TEST(PaletteIndex, TruncatesAndClampsToBothEnds)
{
    EXPECT_EQ(PaletteIndex(50.0, 100, 300), 150u);
    EXPECT_EQ(PaletteIndex(49.9999, 100, 300), 149u);
    // Inside, far outside (negative) and not-a-number values take entry 0.
    for (double value : {0.0, -0.319, -1e300, -kInf, kNaN})
        EXPECT_EQ(PaletteIndex(value, 100, 768), 0u) << value;
    // Escaping in the last two iterations overshoots the limit.
    for (double value : {100.0, 101.5, 1e300, kInf})
        EXPECT_EQ(PaletteIndex(value, 100, 768), 767u) << value;
    EXPECT_EQ(PaletteIndex(5.0, 0, 768), 0u);
    EXPECT_EQ(PaletteIndex(5.0, 100, 0), 0u);
}

TEST(Mandelbrot, JobCountersStepsAndProgress)
{
    CFractal fractal;
    fractal.ResetJob(0, 0);
    EXPECT_EQ(fractal.GetStepRe(), 0.0);
    EXPECT_EQ(fractal.GetStepIm(), 0.0);
    EXPECT_GE(fractal.TakeRow(), fractal.GetRows());
    EXPECT_EQ(fractal.Progress(), 0.0f);

    fractal.ResetJob(256, 4);
    EXPECT_EQ(fractal.GetStepRe(), 3.0 / 256.0);
    EXPECT_EQ(fractal.GetStepIm(), 0.5);
    EXPECT_EQ(fractal.TakeRow(), 0u);
    EXPECT_EQ(fractal.TakeRow(), 1u);
    EXPECT_EQ(fractal.Progress(), 0.5f);
    for (int i = 0; i < 4; ++i)
        fractal.TakeRow(); // two workers overshoot by one each
    EXPECT_EQ(fractal.Progress(), 1.0f);
    fractal.FinishWorker();
    fractal.FinishWorker();
    EXPECT_EQ(fractal.GetFinishedWorkers(), 2u);
    EXPECT_EQ(fractal.TakeRow(), 4u);

    fractal.ResetJob(256, 4);
    EXPECT_EQ(fractal.GetFinishedWorkers(), 0u);
    EXPECT_EQ(fractal.TakeRow(), 0u);
}

TEST(Mandelbrot, MiddlePixelIsExactlyTheCentre)
{
    CFractal fractal;
    SetView(fractal, 1.0, 0.0, 1.0, 100);
    const uint32_t sizes[][2] = {{5, 3}, {256, 256}, {4, 7}, {1, 1}, {1, 9}};
    for (const auto& size : sizes)
    {
        fractal.ResetJob(size[0], size[1]);
        EXPECT_EQ(fractal.PixelValue(size[0] / 2, size[1] / 2), kValueOfOne)
            << size[0] << " x " << size[1];
    }
}

TEST(Mandelbrot, ScaledStepsAreRoundedBeforeTheOffset)
{
    // In this view rounding scale × 3 ÷ w (or scale × 2 ÷ h) in the other
    // order changes some pixel values.
    const uint32_t w = 5;
    const uint32_t h = 7;
    const double scale = 0.1;
    CFractal fractal;
    SetView(fractal, 0.3, 0.1, scale, 100);
    fractal.ResetJob(w, h);

    const double stepRe = scale * (3.0 / w);
    const double stepIm = scale * (2.0 / h);
    int reOrderMatters = 0;
    int imOrderMatters = 0;
    for (uint32_t row = 0; row < h; ++row)
        for (uint32_t col = 0; col < w; ++col)
        {
            const int32_t x = static_cast<int32_t>(col) - 2;
            const int32_t y = static_cast<int32_t>(row) - 3;
            const double expected = EscapeValue(x, y, 100, 0.3, 0.1, stepRe, stepIm);
            EXPECT_EQ(fractal.PixelValue(col, row), expected) << col << ", " << row;
            reOrderMatters += EscapeValue(x, y, 100, 0.3, 0.1, scale * 3.0 / w, stepIm) != expected;
            imOrderMatters += EscapeValue(x, y, 100, 0.3, 0.1, stepRe, scale * 2.0 / h) != expected;
        }
    ASSERT_GT(reOrderMatters, 0);
    ASSERT_GT(imOrderMatters, 0);
}

TEST(Mandelbrot, RowsGrowUpwardsAndColumnsToTheRight)
{
    // Far out, values fall as |c| grows, so they reveal the orientation.
    CFractal fractal;
    SetView(fractal, 0.0, 10.0, 1.0, 100);
    fractal.ResetJob(4, 4);
    for (uint32_t row = 1; row < 4; ++row)
        EXPECT_GT(fractal.PixelValue(2, row - 1), fractal.PixelValue(2, row)) << row;

    SetView(fractal, 10.0, 0.0, 1.0, 100);
    fractal.ResetJob(4, 4);
    for (uint32_t col = 1; col < 4; ++col)
        EXPECT_GT(fractal.PixelValue(col - 1, 2), fractal.PixelValue(col, 2)) << col;
}

TEST(Mandelbrot, ColoursComeFromThePaletteOfTheLastReset)
{
    CFractal fractal;
    uint8_t rgb[3] = {1, 2, 3};
    fractal.SetIterationLimit(100);
    fractal.ResetJob(1, 1);
    fractal.PixelColour(50.0, rgb); // no palette: black
    EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 0);

    std::vector<PaletteEntry> palette(10, PaletteEntry(5.0f, 6.0f, 7.0f));
    palette[0].Set(10.0f, 20.0f, 30.0f, 0.0f);
    palette[9].Set(300.0f, -5.0f, std::numeric_limits<float>::quiet_NaN(), 0.0f);
    fractal.SetPalette(palette);
    fractal.ResetJob(1, 1);
    fractal.SetPalette({}); // not seen before the next reset

    const uint8_t expected[][3] = {{10, 20, 30}, {10, 20, 30}, {5, 6, 7}, {255, 0, 0}};
    const double values[] = {0.0, -0.3, 55.0, 101.0};
    for (int i = 0; i < 4; ++i)
    {
        fractal.PixelColour(values[i], rgb);
        EXPECT_EQ(rgb[0], expected[i][0]) << values[i];
        EXPECT_EQ(rgb[1], expected[i][1]) << values[i];
        EXPECT_EQ(rgb[2], expected[i][2]) << values[i];
    }

    // Limit 0 paints even the far-out points with entry 0.
    fractal.SetPalette(palette);
    SetView(fractal, 2.0, 0.0, 4.0, 0);
    fractal.ResetJob(6, 4);
    CImage image;
    image.Create(6, 4, 3, 24);
    fractal.RenderRows(image);
    for (uint32_t i = 0; i < 6 * 4 * 3; i += 3)
        EXPECT_EQ(std::memcmp(image.GetPixels() + i, expected[0], 3), 0) << i / 3;
}

TEST(Mandelbrot, WorkersSeeOnlyTheViewOfTheLastReset)
{
    CFractal fractal;
    SetView(fractal, 1.0, 0.0, 1.0, 100);
    fractal.ResetJob(3, 3);
    SetView(fractal, 0.0, 0.0, 2.0, 5);
    EXPECT_EQ(fractal.PixelValue(1, 1), kValueOfOne);
    fractal.ResetJob(3, 3);
    EXPECT_EQ(fractal.PixelValue(1, 1), 0.0);
}

TEST(Mandelbrot, RenderRowsFillsEveryPixelOnceFromAnyNumberOfWorkers)
{
    const uint32_t w = 33;
    const uint32_t h = 21;
    CFractal fractal;
    fractal.SetPalette(BuiltInPalette());
    SetView(fractal, -0.5, 0.0, 1.0, 64);

    fractal.ResetJob(w, h);
    CImage single;
    single.Create(w, h, 3, 24);
    fractal.RenderRows(single);
    EXPECT_EQ(fractal.GetFinishedWorkers(), 1u);
    for (uint32_t row = 0; row < h; ++row)
        for (uint32_t col = 0; col < w; ++col)
        {
            uint8_t rgb[3];
            fractal.PixelColour(fractal.PixelValue(col, row), rgb);
            ASSERT_EQ(std::memcmp(single.GetPixel(col, row), rgb, 3), 0) << col << ", " << row;
        }

    fractal.ResetJob(w, h);
    CImage shared;
    shared.Create(w, h, 3, 24);
    std::thread first([&] { fractal.RenderRows(shared); });
    std::thread second([&] { fractal.RenderRows(shared); });
    first.join();
    second.join();
    EXPECT_EQ(fractal.GetFinishedWorkers(), 2u);
    EXPECT_EQ(std::memcmp(single.GetPixels(), shared.GetPixels(), w * h * 3), 0);
}
