// Wall time of a whole render of the 1024 × 768 seahorse-valley view (limit
// 1000) through StartRender, with one worker and with two. Completion is
// waited for on the job counters as the frame loop polls them; there is no
// window, so nothing is uploaded.
#include <chrono>
#include <cstdint>
#include <thread>

#include <benchmark/benchmark.h>

#include "Application.h"

namespace
{

class BenchApp : public Application
{
public:
    int StartUp(int, char**) override { return 0; }
};

void RenderJob(benchmark::State& state)
{
    const uint32_t width = 1024;
    const uint32_t height = 768;
    BenchApp app;
    CMandelbrot& fractal = app.GetMandelbrot();
    fractal.SetPalette(BuiltInPalette());
    fractal.SetCentre(-0.7435669, 0.1314023);
    fractal.SetScale(0.0001);
    fractal.SetIterationLimit(1000);
    app.FullImage.Create(width, height, 3, 24);
    Application::SetWorkerCount(static_cast<uint32_t>(state.range(0)));

    for (auto _ : state)
    {
        app.StartRender();
        // Far finer than a frame, so the wait adds little to the render.
        while (!app.IsRenderComplete())
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    app.StopWorkers();
    Application::SetWorkerCount(2);
    state.SetItemsProcessed(state.iterations() * int64_t(width) * height);
    state.SetLabel("items = pixels");
}

} // namespace

BENCHMARK(RenderJob)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
