// The deep renderer at a shallow view (1e-5 in seahorse valley, 1024 x 768,
// limit 2000, two threads): the row kernel, and the same view forced
// through perturbation, with the share of pixels whose step counts agree
// with the double loop's as a counter, and, as judge of the two, the share
// of 4096 sampled pixels where each differs from MPFR. The deep views themselves run as
// whole vemmo-render runs in scripts/deep-targets.py.
#include <cstdint>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "CountedEscape.h"

#include "fractal/DeepCheck.h"
#include "fractal/DeepRender.h"
#include "fractal/Fractal.h"
#include "resources/Image.h"

namespace
{

constexpr uint32_t kWidth = 1024;
constexpr uint32_t kHeight = 768;
constexpr uint32_t kLimit = 2000;
constexpr double kRe = -0.743643887037151;
constexpr double kIm = 0.131825904205330;
constexpr double kScale = 1e-5;

// EscapeValue's step count: the counter adds two for the extra steps of a
// point that escapes.
uint32_t DoubleSteps(uint32_t col, uint32_t row)
{
    const double stepRe = kScale * (3.0 / kWidth), stepIm = kScale * (2.0 / kHeight);
    uint64_t steps = 0;
    const double value = CountedEscapeValue(static_cast<int32_t>(col - kWidth / 2),
                                            static_cast<int32_t>(row - kHeight / 2), kLimit, kRe, kIm,
                                            stepRe, stepIm, steps);
    return value == 0.0 && steps == kLimit ? kLimit : static_cast<uint32_t>(steps - 2);
}

template <typename Work>
void OnTwoThreads(const Work& work)
{
    std::thread other(work);
    work();
    other.join();
}

void BM_DeepShallowDouble(benchmark::State& state)
{
    CFractal fractal{String()};
    fractal.SetPalette(BuiltInPalette());
    fractal.SetCentre(kRe, kIm);
    fractal.SetScale(kScale);
    fractal.SetIterationLimit(kLimit);
    CImage image;
    image.Create(kWidth, kHeight, 3, 24);
    for (auto _ : state)
    {
        fractal.ResetJob(kWidth, kHeight);
        OnTwoThreads([&] { fractal.RenderRows(image); });
    }
}
BENCHMARK(BM_DeepShallowDouble)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DeepShallowPerturbation(benchmark::State& state)
{
    DeepView view;
    view.re = "-0.743643887037151";
    view.im = "0.131825904205330";
    ParseScale("1e-5", view.scale);
    view.width = kWidth;
    view.height = kHeight;
    view.limit = kLimit;
    CDeepRender render;
    for (auto _ : state)
    {
        render.Prepare(view, true);
        OnTwoThreads([&] { render.RenderRows(); });
    }
    uint64_t equal = 0;
    for (uint32_t row = 0; row < kHeight; ++row)
        for (uint32_t col = 0; col < kWidth; ++col)
            equal += render.At(col, row).steps == DoubleSteps(col, row);
    state.counters["equal_share"] = static_cast<double>(equal) / (double(kWidth) * kHeight);
    // Not timed: the double path near the boundary is wrong more often
    // than perturbation, so the equal share alone cannot tell who is.
    const DeepCheckResult perturbation =
        CheckDeepRender(view, [&](uint32_t col, uint32_t row) { return render.At(col, row).steps; }, 2);
    const DeepCheckResult doubles = CheckDeepRender(view, DoubleSteps, 2);
    state.counters["mpfr_differs_perturbation"] = double(perturbation.mismatches) / perturbation.samples;
    state.counters["mpfr_differs_double"] = double(doubles.mismatches) / doubles.samples;
}
BENCHMARK(BM_DeepShallowPerturbation)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
