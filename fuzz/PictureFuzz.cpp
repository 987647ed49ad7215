// One picture decoder, chosen at build time by VEMMO_FUZZ_PICTURE (0 BMP,
// 1 JPEG, 2 PNG, 3 TGA): its probes, then the decode, whose pixel count
// must match the size it reports.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzFile.h"
#include "resources/BmpDecoder.h"
#include "resources/JpegDecoder.h"
#include "resources/PngDecoder.h"
#include "resources/TgaDecoder.h"
#include "resources/detail/DecodedPicture.h"

namespace
{

struct Format
{
    int (*bits)(const char*);
    int (*width)(const char*);
    int (*height)(const char*);
    resources_detail::DecodedPicture (*decode)(const char*) noexcept;
};

const Format kFormats[] = {
    {GetBmpBits, GetBmpWidth, GetBmpHeight, resources_detail::DecodeBmp},
    {GetJpgBits, GetJpgWidth, GetJpgHeight, resources_detail::DecodeJpg},
    {GetPngBits, GetPngWidth, GetPngHeight, resources_detail::DecodePng},
    {GetTgaBits, GetTgaWidth, GetTgaHeight, resources_detail::DecodeTga},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    const Format& format = kFormats[VEMMO_FUZZ_PICTURE];
    const char* path = file.Put(data, size).c_str();
    (void)format.bits(path);
    (void)format.width(path);
    (void)format.height(path);
    const resources_detail::DecodedPicture picture = format.decode(path);
    if (picture.pixels)
    {
        // Touch the last byte: the buffer must hold what the size says.
        const size_t bytes = size_t(picture.width) * picture.height * picture.channels;
        if (bytes == 0 || picture.channels > 4)
            std::abort();
        volatile uint8_t last = picture.pixels[bytes - 1];
        (void)last;
    }
    return 0;
}
