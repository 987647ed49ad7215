// Wall time of whole 1024 × 768 renders through StartRender, waited for on
// the job counters as the frame loop polls them (no window, so nothing is
// uploaded). Each view runs twice: EscapeValue pixel by pixel on one worker,
// the baseline, and the default row kernel on two workers; the ratio of the
// two is the speed-up a user sees.
#include <chrono>
#include <cstdint>
#include <thread>

#include <benchmark/benchmark.h>

#include "Application.h"
#include "fractal/RowKernel.h"

namespace
{

class BenchApp : public Application
{
public:
    int StartUp(int, char**) override { return 0; }
};

struct View
{
    double centreRe;
    double centreIm;
    double scale;
};

void RenderJob(benchmark::State& state, const View& view, KernelPath path, uint32_t workers)
{
    const uint32_t width = 1024;
    const uint32_t height = 768;
    const KernelPath before = GetKernelPath();
    if (!SetKernelPath(path))
    {
        state.SkipWithError("path not available on this build or CPU");
        return;
    }
    BenchApp app;
    CMandelbrot& fractal = app.GetMandelbrot();
    fractal.SetPalette(BuiltInPalette());
    fractal.SetCentre(view.centreRe, view.centreIm);
    fractal.SetScale(view.scale);
    fractal.SetIterationLimit(1000);
    app.FullImage.Create(width, height, 3, 24);
    Application::SetWorkerCount(workers);

    for (auto _ : state)
    {
        app.StartRender();
        // Far finer than a frame, so the wait adds little to the render.
        while (!app.IsRenderComplete())
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    app.StopWorkers();
    Application::SetWorkerCount(2);
    SetKernelPath(before);
    state.SetItemsProcessed(state.iterations() * int64_t(width) * height);
    state.SetLabel("items = pixels");
}

const View kWholeSet{-0.5, 0.0, 1.0};
const View kSeahorse{-0.7435669, 0.1314023, 0.0001};

void BM_RenderWholeSetEscapeValue1Worker(benchmark::State& state)
{
    RenderJob(state, kWholeSet, KernelPath::Reference, 1);
}

void BM_RenderWholeSetKernel2Workers(benchmark::State& state)
{
    RenderJob(state, kWholeSet, GetKernelPath(), 2);
}

void BM_RenderSeahorseEscapeValue1Worker(benchmark::State& state)
{
    RenderJob(state, kSeahorse, KernelPath::Reference, 1);
}

void BM_RenderSeahorseKernel2Workers(benchmark::State& state)
{
    RenderJob(state, kSeahorse, GetKernelPath(), 2);
}

} // namespace

BENCHMARK(BM_RenderWholeSetEscapeValue1Worker)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderWholeSetKernel2Workers)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_RenderSeahorseEscapeValue1Worker)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderSeahorseKernel2Workers)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
