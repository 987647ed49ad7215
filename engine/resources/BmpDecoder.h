// Reads uncompressed 8-, 24- and 32-bit Windows bitmaps into bottom-row-first,
// red-first pixels. 8-bit files give their palette indices as grey; the
// palette itself is not applied. Probes return -1 and the loader null on
// files they cannot use; the limits of PictureFile.h apply.
#pragma once

#include <cstdint>

int GetBmpBits(const char* fileName);
int GetBmpWidth(const char* fileName);
// Always positive: a top-down file reports the height of its picture.
int GetBmpHeight(const char* fileName);
// width x height x (bits / 8) bytes allocated with new[], or null.
uint8_t* LoadBmp(const char* fileName);
