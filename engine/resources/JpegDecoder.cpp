// JPEG decoding on libjpeg with an error manager that jumps back instead of
// exiting. Every libjpeg call runs inside Guarded, whose frames own nothing
// with a destructor, so a jump skips no clean-up; the decompressor and its
// file are owned one frame further out.
#include "resources/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>

#include <jpeglib.h>

#include "resources/detail/DecodedPicture.h"
#include "resources/detail/DecoderInput.h"

namespace
{

// Even at the coarsest sampling a JPEG file codes about 700 decoded bytes in
// one; a header claiming more than this many is lying, and is refused before
// the picture is allocated.
constexpr uint64_t kMaxDecodeRatio = 1024;

// Encoders write about ten scans. Each scan of a progressive file costs a
// pass over the whole picture however little it codes, so hundreds of
// nearly empty ones make a small file slow; past this many it is refused.
constexpr int kMaxScans = 100;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void Escape(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

// Warnings (level -1) are all about corrupt data, which must not pass for a
// picture; trace messages are dropped, nothing is printed.
void OnMessage(j_common_ptr info, int level)
{
    if (level < 0)
        Escape(info);
}

void Silent(j_common_ptr) {}

// libjpeg reports here between the input steps of a multi-scan file.
void LimitScans(j_common_ptr info)
{
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        Escape(info);
}

class Decompressor
{
public:
    Decompressor()
    {
        info.err = jpeg_std_error(&error.base);
        error.base.error_exit = Escape;
        error.base.emit_message = OnMessage;
        error.base.output_message = Silent;
        progress.progress_monitor = LimitScans;
    }
    // Safe also when creation failed: libjpeg frees only what it allocated.
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct info{};
    ErrorManager error{};
    // Installed only for decoding: creating the decompressor clears the link.
    jpeg_progress_mgr progress{};
    resources_detail::UniqueFile file;
    uint64_t fileSize = 0;
};

// Runs `step`, which calls libjpeg; false when libjpeg jumped out of it.
template <class Step>
bool Guarded(Decompressor& jpeg, const Step& step)
{
    if (setjmp(jpeg.error.escape) != 0)
        return false;
    step();
    return true;
}

bool OpenAndReadHeader(Decompressor& jpeg, const char* fileName)
{
    jpeg.file = resources_detail::OpenForReading(fileName);
    if (!jpeg.file)
        return false;
    // Only a bound for refusing liars, so a size that cannot be had is 0.
    if (std::fseek(jpeg.file.get(), 0, SEEK_END) == 0)
    {
        const long size = std::ftell(jpeg.file.get());
        jpeg.fileSize = size > 0 ? uint64_t(size) : 0;
    }
    std::rewind(jpeg.file.get());
    return Guarded(jpeg,
                   [&]
                   {
                       jpeg_create_decompress(&jpeg.info);
                       jpeg_stdio_src(&jpeg.info, jpeg.file.get());
                       jpeg_read_header(&jpeg.info, TRUE);
                   });
}

} // namespace

int GetJpgBits(const char* fileName)
{
    Decompressor jpeg;
    return OpenAndReadHeader(jpeg, fileName) ? 8 * jpeg.info.num_components : -1;
}

int GetJpgWidth(const char* fileName)
{
    Decompressor jpeg;
    return OpenAndReadHeader(jpeg, fileName) ? int(jpeg.info.image_width) : -1;
}

int GetJpgHeight(const char* fileName)
{
    Decompressor jpeg;
    return OpenAndReadHeader(jpeg, fileName) ? int(jpeg.info.image_height) : -1;
}

resources_detail::DecodedPicture resources_detail::DecodeJpg(const char* fileName) noexcept
try
{
    Decompressor jpeg;
    if (!OpenAndReadHeader(jpeg, fileName))
        return {};
    jpeg_decompress_struct& info = jpeg.info;
    // Grey stays grey and colour becomes RGB; four-component (CMYK) files
    // would come out in ink order, which no caller could tell from RGBA.
    if (info.num_components != 1 && info.num_components != 3)
        return {};
    if (!WithinPixelCeiling(info.image_width, info.image_height) ||
        PictureBytes(info.image_width, info.image_height, info.num_components,
                     jpeg.fileSize * kMaxDecodeRatio) == 0)
        return {};
    info.dct_method = JDCT_FLOAT;
    info.progress = &jpeg.progress;
    if (!Guarded(jpeg, [&] { jpeg_start_decompress(&info); }))
        return {};
    if (info.output_components != info.num_components)
        return {};

    const size_t stride = size_t(info.output_width) * info.output_components;
    const size_t height = info.output_height;
    DecodedPicture picture;
    picture.pixels.reset(new uint8_t[stride * height]);
    uint8_t* pixels = picture.pixels.get();
    bool complete = true;
    const bool decoded = Guarded(jpeg,
                                 [&]
                                 {
                                     while (info.output_scanline < info.output_height)
                                     {
                                         // Scanline k from the top is row height-1-k: bottom row
                                         // first.
                                         JSAMPROW row =
                                             pixels + (height - 1 - info.output_scanline) * stride;
                                         if (jpeg_read_scanlines(&info, &row, 1) != 1)
                                         {
                                             complete = false;
                                             return;
                                         }
                                     }
                                     jpeg_finish_decompress(&info);
                                 });
    if (!decoded || !complete)
        return {};
    picture.width = info.output_width;
    picture.height = info.output_height;
    picture.channels = unsigned(info.output_components);
    picture.bits = 8 * info.output_components;
    return picture;
}
catch (const std::bad_alloc&)
{
    return {};
}

uint8_t* LoadJpg(const char* fileName)
{
    return resources_detail::DecodeJpg(fileName).pixels.release();
}
