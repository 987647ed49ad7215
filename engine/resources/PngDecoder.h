// Reads 8-bit, non-interlaced PNG files (grey, grey+alpha, RGB, RGBA) into
// bottom-row-first pixels. Palette, 16-bit and interlaced files are refused.
// Chunk CRCs are not checked. Probes return -1 and the loader null on files
// they cannot use; the limits of PictureFile.h apply.
#pragma once

#include <cstdint>

// 8, 16, 24 or 32 for the four supported colour types at bit depth 8.
int GetPngBits(const char* fileName);
int GetPngWidth(const char* fileName);
int GetPngHeight(const char* fileName);
// width x height x (bits / 8) bytes allocated with new[], or null.
uint8_t* LoadPng(const char* fileName);
