// PNG files for batch output, written fast on several threads: the picture
// is cut into bands of rows, each deflated on its own (primed with the end
// of the band above, so little is lost at the cut) and joined into the one
// zlib stream the format allows. The bytes depend on the picture and the
// compression alone, never on the number of threads.
#pragma once

#include <cstdint>

enum class PngCompression
{
    Speed,    // runs of equal bytes only (zlib's run-length strategy)
    Balanced, // zlib level 6, filtered-data strategy
    Size,     // zlib level 9, filtered-data strategy
};

struct PngBandOptions
{
    PngCompression compression = PngCompression::Balanced;
    unsigned threads = 1; // threads that deflate, the caller's included; 0 counts as 1
};

// Pixels as WritePng takes them (bits 8, 16, 24 or 32, rows bottom first),
// filtered the same way (Sub for the top row, Paeth for the rest), one IDAT
// chunk per band. True once the whole file is written and closed; false for
// bad bits or any failure, leaving whatever was written.
bool WritePngBands(const char* fileName, uint32_t width, uint32_t height, int bits,
                   const uint8_t* pixels, const PngBandOptions& options);
