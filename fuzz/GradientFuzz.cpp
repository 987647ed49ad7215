// Gradient pictures into a palette. The first byte picks the ending, and
// with it the decoder; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzFile.h"
#include "fractal/Fractal.h"
#include "resources/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    static const std::string links[] = {
        fuzz::LinkAs(file, "gradient.bmp"), fuzz::LinkAs(file, "gradient.jpg"),
        fuzz::LinkAs(file, "gradient.png"), fuzz::LinkAs(file, "gradient.tga")};
    if (size == 0)
        return 0;
    file.Put(data + 1, size - 1);
    CFractal fractal;
    CImage picture;
    const bool read = fractal.ReadGradient(links[data[0] % 4].c_str(), &picture);
    // The palette is never empty: the built-in one stands in for a refusal.
    if (fractal.GetPalette().empty() || (read && fractal.GetPalette().size() != picture.GetWidth()))
        std::abort();
    return 0;
}
