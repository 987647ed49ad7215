// LoadPicture: the decoder by the name's ending, one decode, and its result
// handed to the image whole.
#include "resources/PictureFile.h"

#include <cstring>
#include <utility>

#include "resources/Image.h"
#include "resources/detail/DecodedPicture.h"

namespace
{

using resources_detail::DecodedPicture;

struct Format
{
    const char* ending;
    DecodedPicture (*decode)(const char*) noexcept;
};

constexpr Format kFormats[] = {{".bmp", resources_detail::DecodeBmp},
                               {".jpg", resources_detail::DecodeJpg},
                               {".png", resources_detail::DecodePng},
                               {".tga", resources_detail::DecodeTga}};

bool EndsWith(const char* name, const char* ending)
{
    const size_t length = std::strlen(name);
    const size_t tail = std::strlen(ending);
    return length >= tail && std::memcmp(name + length - tail, ending, tail) == 0;
}

} // namespace

bool LoadPicture(const char* fileName, CImage& image)
{
    if (!fileName)
        return false;
    for (const Format& format : kFormats)
    {
        if (!EndsWith(fileName, format.ending))
            continue;
        DecodedPicture picture = format.decode(fileName);
        if (!picture.pixels)
            return false;
        image.Adopt(std::move(picture.pixels), picture.width, picture.height, picture.channels,
                    picture.bits);
        return true;
    }
    return false;
}
