// Writes one complete PNG file from a bottom-row-first pixel buffer: first
// row Sub, the rest Paeth, one IDAT chunk compressed at zlib level 9. The
// file must be seekable: the IDAT length is written last.
#pragma once

#include <cstdint>

// bits is 8 (grey), 16 (grey+alpha), 24 (RGB) or 32 (RGBA); any other value
// writes nothing. Failures are silent: the caller gets no result.
void WritePng(const char* fileName, uint32_t width, uint32_t height, int bits,
              const uint8_t* pixels);
