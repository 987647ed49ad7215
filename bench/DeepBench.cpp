// The deep renderer at shallow views (1e-5, 1024 x 768, two threads): the
// row kernel, and the same view forced through perturbation, with the share
// of pixels whose step counts agree with the double loop's as a counter,
// and, as judge of the two, the share of 4096 sampled pixels where each
// differs from MPFR. The deep views themselves run as whole vemmo-render
// runs in scripts/deep-targets.py.
#include <cstdint>
#include <string>
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
constexpr double kScale = 1e-5;

struct ShallowView
{
    const char* re;
    const char* im;
    uint32_t limit;
};

// The benchmark argument picks one: seahorse valley as the batch renderer's
// figures have it, and the spiral at its heart, where most pixels lie so
// near the boundary that plain doubles lose the step count on some.
const ShallowView kViews[] = {
    {"-0.7435669", "0.1314023", 1000},
    {"-0.743643887037151", "0.131825904205330", 2000},
};

// EscapeValue's step count: the counter adds two for the extra steps of a
// point that escapes.
uint32_t DoubleSteps(const ShallowView& view, uint32_t col, uint32_t row)
{
    const double stepRe = kScale * (3.0 / kWidth), stepIm = kScale * (2.0 / kHeight);
    uint64_t steps = 0;
    const double value = CountedEscapeValue(static_cast<int32_t>(col - kWidth / 2),
                                            static_cast<int32_t>(row - kHeight / 2), view.limit,
                                            std::stod(view.re), std::stod(view.im), stepRe, stepIm, steps);
    return value == 0.0 && steps == view.limit ? view.limit : static_cast<uint32_t>(steps - 2);
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
    const ShallowView& shallow = kViews[state.range(0)];
    CFractal fractal{String()};
    fractal.SetPalette(BuiltInPalette());
    fractal.SetCentre(std::stod(shallow.re), std::stod(shallow.im));
    fractal.SetScale(kScale);
    fractal.SetIterationLimit(shallow.limit);
    CImage image;
    image.Create(kWidth, kHeight, 3, 24);
    for (auto _ : state)
    {
        fractal.ResetJob(kWidth, kHeight);
        OnTwoThreads([&] { fractal.RenderRows(image); });
    }
}
BENCHMARK(BM_DeepShallowDouble)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DeepShallowPerturbation(benchmark::State& state)
{
    const ShallowView& shallow = kViews[state.range(0)];
    const auto doubleSteps = [&](uint32_t col, uint32_t row) { return DoubleSteps(shallow, col, row); };
    DeepView view;
    view.re = shallow.re;
    view.im = shallow.im;
    ParseScale("1e-5", view.scale);
    view.width = kWidth;
    view.height = kHeight;
    view.limit = shallow.limit;
    CDeepRender render;
    for (auto _ : state)
    {
        render.Prepare(view, true);
        OnTwoThreads([&] { render.RenderRows(); });
    }
    uint64_t equal = 0;
    for (uint32_t row = 0; row < kHeight; ++row)
        for (uint32_t col = 0; col < kWidth; ++col)
            equal += render.At(col, row).steps == doubleSteps(col, row);
    state.counters["equal_share"] = static_cast<double>(equal) / (double(kWidth) * kHeight);
    // Not timed: the double path near the boundary is wrong more often
    // than perturbation, so the equal share alone cannot tell who is.
    const DeepCheckResult perturbation =
        CheckDeepRender(view, [&](uint32_t col, uint32_t row) { return render.At(col, row).steps; }, 2);
    const DeepCheckResult doubles = CheckDeepRender(view, doubleSteps, 2);
    state.counters["mpfr_differs_perturbation"] = double(perturbation.mismatches) / perturbation.samples;
    state.counters["mpfr_differs_double"] = double(doubles.mismatches) / doubles.samples;
}
BENCHMARK(BM_DeepShallowPerturbation)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
