// Speed of the half-size downsampling the explorer applies to a finished
// render: a 1024 × 768 RGB picture with the escape-time bands and flat
// interior of a real render, resized to 512 × 384.
#include <cstdint>

#include <benchmark/benchmark.h>

#include "resources/Filter.h"
#include "resources/Image.h"

namespace
{

CImage MakeRenderLike(unsigned width, unsigned height)
{
    CImage image;
    image.Create(width, height, 3, 24);
    for (unsigned y = 0; y < height; ++y)
    {
        for (unsigned x = 0; x < width; ++x)
        {
            const double cr = -2.2 + 3.0 * x / width;
            const double ci = -1.2 + 2.4 * y / height;
            double zr = 0.0, zi = 0.0;
            unsigned n = 0;
            for (; n < 64 && zr * zr + zi * zi < 4.0; ++n)
            {
                const double t = zr * zr - zi * zi + cr;
                zi = 2.0 * zr * zi + ci;
                zr = t;
            }
            const uint8_t rgb[3] = {uint8_t(n * 4), uint8_t(n * 9), uint8_t(255 - n * 3)};
            image.SetPixel(x, y, rgb);
        }
    }
    return image;
}

void BM_ResizeRenderToHalf(benchmark::State& state)
{
    const CImage source = MakeRenderLike(1024, 768);
    CImage output;
    for (auto _ : state)
    {
        CFilterResize::Resize(output, source, 512, 384);
        benchmark::DoNotOptimize(output.GetPixels());
        benchmark::ClobberMemory();
    }
    // Rates count the pixels and bytes produced.
    const double pixels = 512.0 * 384.0;
    state.counters["pixels"] =
        benchmark::Counter(pixels * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels) * 3);
}

} // namespace

BENCHMARK(BM_ResizeRenderToHalf)->Unit(benchmark::kMillisecond);
