// Single-threaded cost of the row kernel on each path it has here, beside
// EscapeValue on the same 1024 × 768 view in the same run, so the speed-up
// can be read off. Iterations are EscapeValue's steps, counted once untimed
// (loop steps plus the two extra steps of each escaped point), for every
// path: the kernel skips the steps of orbits it has seen repeat, so its
// rate is the equivalent rate, the one a user's wait depends on.
//
// The executed rate is the other figure: vector steps the AVX2 path really
// ran, as it counts them itself, against the processor's clock measured in
// the same run, to give cycles per vector step.
#include <cmath>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "CountedEscape.h"
#include "fractal/Escape.h"
#include "fractal/RowKernel.h"

namespace
{

constexpr uint32_t kWidth = 1024;
constexpr uint32_t kHeight = 768;
constexpr double kCentreRe = -0.5;
constexpr double kCentreIm = 0.0;
constexpr double kScale = 1.0;
constexpr uint32_t kLimit = 1000;

const double kStepRe = kScale * (3.0 / static_cast<double>(kWidth));
const double kStepIm = kScale * (2.0 / static_cast<double>(kHeight));
constexpr int32_t kHalfWidth = static_cast<int32_t>(kWidth >> 1);
constexpr int32_t kHalfHeight = static_cast<int32_t>(kHeight >> 1);

uint64_t ViewIterations()
{
    uint64_t total = 0;
    for (uint32_t row = 0; row < kHeight; ++row)
        for (uint32_t col = 0; col < kWidth; ++col)
            CountedEscapeValue(static_cast<int32_t>(col) - kHalfWidth,
                               static_cast<int32_t>(row) - kHalfHeight, kLimit, kCentreRe,
                               kCentreIm, kStepRe, kStepIm, total);
    return total;
}

void SetCounters(benchmark::State& state)
{
    static const uint64_t iterations = ViewIterations();
    const double passes = static_cast<double>(state.iterations());
    state.counters["pixels"] =
        benchmark::Counter(static_cast<double>(kWidth) * static_cast<double>(kHeight) * passes,
                           benchmark::Counter::kIsRate);
    state.counters["iterations"] =
        benchmark::Counter(static_cast<double>(iterations) * passes, benchmark::Counter::kIsRate);
}

void BM_RowKernelViewEscapeValue(benchmark::State& state)
{
    for (auto _ : state)
    {
        for (uint32_t row = 0; row < kHeight; ++row)
            for (uint32_t col = 0; col < kWidth; ++col)
                benchmark::DoNotOptimize(EscapeValue(
                    static_cast<int32_t>(col) - kHalfWidth, static_cast<int32_t>(row) - kHalfHeight,
                    kLimit, kCentreRe, kCentreIm, kStepRe, kStepIm));
    }
    SetCounters(state);
}

void BenchRowKernel(benchmark::State& state, KernelPath path)
{
    const KernelPath before = GetKernelPath();
    if (!SetKernelPath(path))
    {
        state.SkipWithError("path not available on this build or CPU");
        return;
    }
    std::vector<double> row(kWidth);
    // The kernel must agree with EscapeValue before its speed means anything.
    for (uint32_t r = 0; r < kHeight; ++r)
    {
        const int32_t y = static_cast<int32_t>(r) - kHalfHeight;
        EscapeRow(row.data(), -kHalfWidth, kWidth, y, kLimit, kCentreRe, kCentreIm, kStepRe,
                  kStepIm);
        for (uint32_t c = 0; c < kWidth; ++c)
        {
            const double expected = EscapeValue(static_cast<int32_t>(c) - kHalfWidth, y, kLimit,
                                                kCentreRe, kCentreIm, kStepRe, kStepIm);
            if (expected != row[c] && !(std::isnan(expected) && std::isnan(row[c])))
            {
                state.SkipWithError("row kernel disagrees with EscapeValue");
                SetKernelPath(before);
                return;
            }
        }
    }
    for (auto _ : state)
    {
        for (uint32_t r = 0; r < kHeight; ++r)
        {
            EscapeRow(row.data(), -kHalfWidth, kWidth, static_cast<int32_t>(r) - kHalfHeight,
                      kLimit, kCentreRe, kCentreIm, kStepRe, kStepIm);
            benchmark::DoNotOptimize(row.data());
            benchmark::ClobberMemory();
        }
    }
    SetKernelPath(before);
    SetCounters(state);
}

struct ExecutedView
{
    uint32_t width, height, limit;
    double centreRe, centreIm, scale;
};

// The AVX2 path's own count of what it executed over the timed passes.
void BenchExecuted(benchmark::State& state, const ExecutedView& view)
{
    const KernelPath before = GetKernelPath();
    if (!SetKernelPath(KernelPath::Avx2))
    {
        state.SkipWithError("path not available on this build or CPU");
        return;
    }
    const double stepRe = view.scale * (3.0 / static_cast<double>(view.width));
    const double stepIm = view.scale * (2.0 / static_cast<double>(view.height));
    const int32_t halfWidth = static_cast<int32_t>(view.width >> 1);
    const int32_t halfHeight = static_cast<int32_t>(view.height >> 1);
    std::vector<double> row(view.width);
    const KernelWork start = GetKernelWork();
    for (auto _ : state)
    {
        for (uint32_t r = 0; r < view.height; ++r)
        {
            EscapeRow(row.data(), -halfWidth, view.width, static_cast<int32_t>(r) - halfHeight,
                      view.limit, view.centreRe, view.centreIm, stepRe, stepIm);
            benchmark::DoNotOptimize(row.data());
            benchmark::ClobberMemory();
        }
    }
    const KernelWork end = GetKernelWork();
    SetKernelPath(before);
    const double vectorSteps = static_cast<double>(end.vectorSteps - start.vectorSteps);
    const double liveSteps = static_cast<double>(end.liveLaneSteps - start.liveLaneSteps);
    state.counters["vector_steps"] = benchmark::Counter(vectorSteps, benchmark::Counter::kIsRate);
    state.counters["lane_steps"] =
        benchmark::Counter(4.0 * vectorSteps, benchmark::Counter::kIsRate);
    state.counters["live_lane_steps"] = benchmark::Counter(liveSteps, benchmark::Counter::kIsRate);
    state.counters["vector_steps_per_pass"] =
        vectorSteps / static_cast<double>(state.iterations());
}

// The view the other benchmarks here time: most pixels leave within a few
// dozen steps, so loading pixels and their smooth values weigh in too.
void BM_RowKernelExecutedAvx2(benchmark::State& state)
{
    BenchExecuted(state, {kWidth, kHeight, kLimit, kCentreRe, kCentreIm, kScale});
}

// Deep on the border of seahorse valley, where orbits run for thousands of
// steps: nearly all the time is the stepping itself.
void BM_RowKernelExecutedAvx2LongOrbits(benchmark::State& state)
{
    BenchExecuted(state, {256, 192, 20000, -0.743643887037151, 0.131825904205330, 1e-7});
}

// The clock the kernel ran at: a chain of dependent integer additions, one
// cycle each on any x86 core of this century.
void BM_ProcessorClock(benchmark::State& state)
{
#if defined(__x86_64__)
    constexpr int kBlocks = 1000;
    constexpr int kAddsPerBlock = 16;
    for (auto _ : state)
    {
        uint64_t x = 0;
        for (int i = 0; i < kBlocks; ++i)
            asm volatile(".rept 16\n\taddq $1, %0\n\t.endr" : "+r"(x));
        benchmark::DoNotOptimize(x);
    }
    state.counters["cycles"] =
        benchmark::Counter(static_cast<double>(kBlocks) * kAddsPerBlock *
                               static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
#else
    state.SkipWithError("needs x86-64");
#endif
}

void BM_RowKernelViewScalar(benchmark::State& state)
{
    BenchRowKernel(state, KernelPath::Scalar);
}

void BM_RowKernelViewAvx2(benchmark::State& state)
{
    BenchRowKernel(state, KernelPath::Avx2);
}

} // namespace

BENCHMARK(BM_RowKernelViewEscapeValue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowKernelViewScalar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowKernelViewAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowKernelExecutedAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowKernelExecutedAvx2LongOrbits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessorClock)->Unit(benchmark::kMicrosecond);
