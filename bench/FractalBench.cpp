// Single-threaded cost of EscapeValue over whole views: the default view and
// a deep 1024 × 768 zoom. Iterations per second come from a total counted
// once, outside the timed loop, by a counting twin checked against the real
// function; the timed loop calls only EscapeValue itself.
#include <cmath>
#include <cstdint>

#include <benchmark/benchmark.h>

#include "CountedEscape.h"
#include "fractal/Escape.h"

namespace
{

struct View
{
    uint32_t width;
    uint32_t height;
    double centreRe;
    double centreIm;
    double scale;
    uint32_t limit;
};

void BenchView(benchmark::State& state, const View& view)
{
    // The same mapping the render uses: scaled steps rounded first.
    const double stepRe = view.scale * (3.0 / static_cast<double>(view.width));
    const double stepIm = view.scale * (2.0 / static_cast<double>(view.height));
    const int32_t halfWidth = static_cast<int32_t>(view.width >> 1);
    const int32_t halfHeight = static_cast<int32_t>(view.height >> 1);

    uint64_t iterations = 0;
    for (uint32_t row = 0; row < view.height; ++row)
        for (uint32_t col = 0; col < view.width; ++col)
        {
            const int32_t x = static_cast<int32_t>(col) - halfWidth;
            const int32_t y = static_cast<int32_t>(row) - halfHeight;
            const double counted = CountedEscapeValue(x, y, view.limit, view.centreRe,
                                                      view.centreIm, stepRe, stepIm, iterations);
            const double real =
                EscapeValue(x, y, view.limit, view.centreRe, view.centreIm, stepRe, stepIm);
            if (counted != real && !(std::isnan(counted) && std::isnan(real)))
            {
                state.SkipWithError("counting twin disagrees with EscapeValue");
                return;
            }
        }

    for (auto _ : state)
    {
        for (uint32_t row = 0; row < view.height; ++row)
            for (uint32_t col = 0; col < view.width; ++col)
                benchmark::DoNotOptimize(EscapeValue(
                    static_cast<int32_t>(col) - halfWidth, static_cast<int32_t>(row) - halfHeight,
                    view.limit, view.centreRe, view.centreIm, stepRe, stepIm));
    }

    const double passes = static_cast<double>(state.iterations());
    const double pixels = static_cast<double>(view.width) * static_cast<double>(view.height);
    state.counters["pixels"] = benchmark::Counter(pixels * passes, benchmark::Counter::kIsRate);
    state.counters["iterations"] =
        benchmark::Counter(static_cast<double>(iterations) * passes, benchmark::Counter::kIsRate);
}

void BM_EscapeValueDefaultView(benchmark::State& state)
{
    BenchView(state, View{256, 256, -0.5, 0.0, 1.0, 256});
}

void BM_EscapeValueDeepZoom(benchmark::State& state)
{
    BenchView(state, View{1024, 768, -0.7435669, 0.1314023, 0.0001, 1000});
}

} // namespace

BENCHMARK(BM_EscapeValueDefaultView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EscapeValueDeepZoom)->Unit(benchmark::kMillisecond);
