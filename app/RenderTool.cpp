// vemmo-render: renders one view of the Mandelbrot set with the built-in
// palette into a PNG file, single-threaded, through the same evaluation the
// explorer's workers use. Exit status 0 on success, 1 when the file cannot
// be written, 2 on bad options.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "core/String.h"
#include "fractal/Fractal.h"
#include "fractal/Palette.h"
#include "resources/Image.h"
#include "resources/PngEncoder.h"

namespace
{

// Beyond this a render takes hours and its buffers gigabytes.
constexpr unsigned long kMaxSide = 16384;

const char kUsage[] = "usage: vemmo-render [options]\n"
                      "  --centre RE,IM  centre of the view (default -0.5,0)\n"
                      "  --real RE       real part of the centre\n"
                      "  --imag IM       imaginary part of the centre\n"
                      "  --scale S       zoom factor, 0 or more; 1 spans 3 x 2 units (default 1)\n"
                      "  --limit N       iteration limit, 0 to 4294967295 (default 256)\n"
                      "  --width W       image width in pixels, 1 to 16384 (default 256)\n"
                      "  --height H      image height in pixels, 1 to 16384 (default 256)\n"
                      "  --gradient PNG  colour through this gradient picture's bottom row\n"
                      "                  (default: the built-in palette)\n"
                      "  --output FILE   PNG file to write (default vemmo.png)\n"
                      "  --help          show this text\n";

struct Options
{
    double centreRe = -0.5;
    double centreIm = 0.0;
    double scale = 1.0;
    uint32_t limit = 256;
    uint32_t width = 256;
    uint32_t height = 256;
    std::string output = "vemmo.png";
    std::string gradient;
};

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "vemmo-render: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

// The whole text must be one finite number: no blanks, no trailing text.
bool ParseReal(const char* text, double& value)
{
    if (*text == '\0' || std::isspace(static_cast<unsigned char>(*text)))
        return false;
    // Overflow comes back as infinity; underflow to tiny values is accepted.
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (*end != '\0' || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

// Digits only: strtoul alone would take "-1" as a huge positive number.
bool ParseUnsigned(const char* text, unsigned long maximum, uint32_t& value)
{
    if (*text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed > maximum)
        return false;
    value = static_cast<uint32_t>(parsed);
    return true;
}

bool ParseCentre(const char* text, double& re, double& im)
{
    const char* comma = std::strchr(text, ',');
    if (comma == nullptr)
        return false;
    const std::string realPart(text, comma);
    return ParseReal(realPart.c_str(), re) && ParseReal(comma + 1, im);
}

// Returns -1 when the options are good, otherwise the exit status.
int ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string name = argv[i];
        if (name == "--help")
        {
            std::fputs(kUsage, stdout);
            return 0;
        }
        static const char* const kKnown[] = {"--centre", "--real",   "--imag",
                                             "--scale",  "--limit",  "--width",
                                             "--height", "--output", "--gradient"};
        if (std::find(std::begin(kKnown), std::end(kKnown), name) == std::end(kKnown))
            return Usage(name.compare(0, 2, "--") == 0 ? "unknown option " + name
                                                       : "unexpected argument " + name);
        if (i + 1 >= argc)
            return Usage("missing value for " + name);
        const char* value = argv[++i];
        bool good = false;
        if (name == "--centre")
            good = ParseCentre(value, options.centreRe, options.centreIm);
        else if (name == "--real")
            good = ParseReal(value, options.centreRe);
        else if (name == "--imag")
            good = ParseReal(value, options.centreIm);
        else if (name == "--scale")
            good = ParseReal(value, options.scale) && options.scale >= 0.0;
        else if (name == "--limit")
            good = ParseUnsigned(value, UINT32_MAX, options.limit);
        else if (name == "--width")
            good = ParseUnsigned(value, kMaxSide, options.width) && options.width > 0;
        else if (name == "--height")
            good = ParseUnsigned(value, kMaxSide, options.height) && options.height > 0;
        else if (name == "--gradient")
        {
            options.gradient = value;
            good = !options.gradient.empty();
        }
        else // --output, the last known name
        {
            options.output = value;
            good = !options.output.empty();
        }
        if (!good)
            return Usage("bad value for " + name + ": \"" + value + "\"");
    }
    return -1;
}

// WritePng reports nothing, so read the file back: a complete file starts
// with the PNG signature and ends with the IEND chunk.
bool IsCompletePng(const std::string& path)
{
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const unsigned char iend[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    unsigned char head[8] = {};
    unsigned char tail[12] = {};
    const bool good = std::fread(head, 1, 8, file) == 8 && std::fseek(file, -12, SEEK_END) == 0 &&
                      std::fread(tail, 1, 12, file) == 12;
    std::fclose(file);
    return good && std::memcmp(head, signature, 8) == 0 && std::memcmp(tail, iend, 12) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    const int status = ParseOptions(argc, argv, options);
    if (status >= 0)
        return status;

    // The tool takes its view from the options alone, not from the presets.
    CFractal fractal{String()};
    fractal.SetPalette(BuiltInPalette());
    if (!options.gradient.empty() && !fractal.ReadGradient(options.gradient.c_str(), nullptr))
    {
        std::fprintf(stderr, "vemmo-render: \"%s\" is not a gradient picture this program reads\n",
                     options.gradient.c_str());
        return 1;
    }

    // Find out before a long render that the file cannot be created.
    FILE* probe = std::fopen(options.output.c_str(), "wb");
    if (probe == nullptr)
    {
        std::fprintf(stderr, "vemmo-render: cannot write \"%s\": %s\n", options.output.c_str(),
                     std::strerror(errno));
        return 1;
    }
    std::fclose(probe);

    fractal.SetCentre(options.centreRe, options.centreIm);
    fractal.SetScale(options.scale);
    fractal.SetIterationLimit(options.limit);
    fractal.ResetJob(options.width, options.height);

    CImage image;
    image.Create(options.width, options.height, 3, 24);
    fractal.RenderRows(image);
    WritePng(options.output.c_str(), image.GetWidth(), image.GetHeight(), image.GetBits(),
             image.GetPixels());

    if (!IsCompletePng(options.output))
    {
        std::fprintf(stderr, "vemmo-render: writing \"%s\" failed\n", options.output.c_str());
        return 1;
    }
    return 0;
}
