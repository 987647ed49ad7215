// Time to write one 1024 x 768 RGB render as PNG: Paeth filtering plus zlib
// level 9, which is what a screenshot costs the main thread, and the banded
// writer vemmo-render uses, by compression and thread count. The picture is
// a smoothly coloured escape-time view, so deflate sees render-like data.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "resources/PngBandEncoder.h"
#include "resources/PngEncoder.h"

namespace
{

constexpr uint32_t kWidth = 1024;
constexpr uint32_t kHeight = 768;

std::vector<uint8_t> MakeRender()
{
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 3);
    const double scale = 3.0 / kWidth;
    for (uint32_t y = 0; y < kHeight; ++y)
    {
        for (uint32_t x = 0; x < kWidth; ++x)
        {
            const double cr = -0.75 + (double(x) - kWidth / 2.0) * scale;
            const double ci = (double(y) - kHeight / 2.0) * scale;
            double zr = 0.0;
            double zi = 0.0;
            int n = 0;
            for (; n < 200 && zr * zr + zi * zi < 256.0; ++n)
            {
                const double t = zr * zr - zi * zi + cr;
                zi = 2.0 * zr * zi + ci;
                zr = t;
            }
            uint8_t* pixel = &pixels[(size_t(y) * kWidth + x) * 3];
            if (n == 200)
                continue; // inside the set: black, as the explorer draws it
            // Smooth iteration count, so bands blend into gradients.
            const double mu = n + 1 - std::log2(std::log(zr * zr + zi * zi) / 2.0);
            pixel[0] = uint8_t(127.5 + 127.5 * std::sin(0.16 * mu));
            pixel[1] = uint8_t(127.5 + 127.5 * std::sin(0.13 * mu + 1.0));
            pixel[2] = uint8_t(127.5 + 127.5 * std::sin(0.11 * mu + 2.0));
        }
    }
    return pixels;
}

const std::vector<uint8_t>& Render()
{
    static const std::vector<uint8_t> pixels = MakeRender();
    return pixels;
}

std::string BenchPath()
{
    return (std::filesystem::temp_directory_path() /
            ("vemmo-pngbench-" + std::to_string(getpid()) + ".png"))
        .string();
}

void ReportFile(benchmark::State& state, const std::string& path)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Render().size()));
    std::error_code error;
    const auto fileBytes = std::filesystem::file_size(path, error);
    if (!error)
        state.counters["file_bytes"] = double(fileBytes);
    std::filesystem::remove(path, error);
}

void BM_WritePngRender(benchmark::State& state)
{
    const std::vector<uint8_t>& pixels = Render();
    const std::string path = BenchPath();
    for (auto _ : state)
        WritePng(path.c_str(), kWidth, kHeight, 24, pixels.data());
    ReportFile(state, path);
}
BENCHMARK(BM_WritePngRender)->Unit(benchmark::kMillisecond);

// Arguments: the compression (0 speed, 1 balanced, 2 size) and the threads.
void BM_WritePngBandsRender(benchmark::State& state)
{
    const PngBandOptions options{PngCompression(state.range(0)), unsigned(state.range(1))};
    const std::string path = BenchPath();
    for (auto _ : state)
        if (!WritePngBands(path.c_str(), kWidth, kHeight, 24, Render().data(), options))
        {
            state.SkipWithError("WritePngBands failed");
            break;
        }
    ReportFile(state, path);
}
BENCHMARK(BM_WritePngBandsRender)
    ->ArgsProduct({{0, 1, 2}, {1, 2}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
