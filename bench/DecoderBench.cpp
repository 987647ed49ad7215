// Time to decode a 1024 x 1024 RGB picture from PNG and from JPEG, as the
// gradient and resource loading pays it. The files are written once, with
// our own PNG encoder and with libjpeg, so no outside tool is needed.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <unistd.h>

#include "resources/JpegDecoder.h"
#include "resources/PngDecoder.h"
#include "resources/PngEncoder.h"

namespace
{

constexpr uint32_t kSide = 1024;
constexpr int64_t kPictureBytes = int64_t(kSide) * kSide * 3;

// Smooth colour bands with fine detail: deflate and the DCT both have work.
std::vector<uint8_t> MakePicture()
{
    std::vector<uint8_t> pixels(static_cast<size_t>(kPictureBytes));
    for (uint32_t y = 0; y < kSide; ++y)
    {
        for (uint32_t x = 0; x < kSide; ++x)
        {
            const double r = std::hypot(double(x) - 400.0, double(y) - 600.0);
            uint8_t* pixel = &pixels[(size_t(y) * kSide + x) * 3];
            pixel[0] = uint8_t(127.5 + 127.5 * std::sin(r * 0.05));
            pixel[1] = uint8_t(127.5 + 127.5 * std::sin(x * 0.013 + y * 0.007));
            pixel[2] = uint8_t((x ^ y) & 0xFF);
        }
    }
    return pixels;
}

bool WriteJpeg(const std::string& path, const std::vector<uint8_t>& pixels)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error); // a bench may exit on a libjpeg error
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = kSide;
    info.image_height = kSide;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW row = const_cast<uint8_t*>(&pixels[size_t(info.next_scanline) * kSide * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

// Both files, written on first use and removed at exit.
struct BenchFiles
{
    BenchFiles()
    {
        const auto dir = std::filesystem::temp_directory_path();
        const std::string stem = "vemmo-decoderbench-" + std::to_string(getpid());
        png = (dir / (stem + ".png")).string();
        jpg = (dir / (stem + ".jpg")).string();
        const std::vector<uint8_t> pixels = MakePicture();
        WritePng(png.c_str(), kSide, kSide, 24, pixels.data());
        WriteJpeg(jpg, pixels);
    }
    ~BenchFiles()
    {
        std::error_code error;
        std::filesystem::remove(png, error);
        std::filesystem::remove(jpg, error);
    }
    std::string png;
    std::string jpg;
};

const BenchFiles& Files()
{
    static const BenchFiles files;
    return files;
}

void Decode(benchmark::State& state, const std::string& path, uint8_t* (*load)(const char*))
{
    for (auto _ : state)
    {
        std::unique_ptr<uint8_t[]> pixels(load(path.c_str()));
        if (!pixels)
        {
            state.SkipWithError("the decoder refused the bench picture");
            break;
        }
        benchmark::DoNotOptimize(pixels.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kPictureBytes);
    std::error_code error;
    const auto fileBytes = std::filesystem::file_size(path, error);
    if (!error)
        state.counters["file_bytes"] = double(fileBytes);
}

void BM_LoadPng1024Rgb(benchmark::State& state)
{
    Decode(state, Files().png, LoadPng);
}
BENCHMARK(BM_LoadPng1024Rgb)->Unit(benchmark::kMillisecond);

void BM_LoadJpg1024Rgb(benchmark::State& state)
{
    Decode(state, Files().jpg, LoadJpg);
}
BENCHMARK(BM_LoadJpg1024Rgb)->Unit(benchmark::kMillisecond);

} // namespace
