// Reads uncompressed Targa files of 8, 24 or 32 bits per pixel into
// bottom-row-first, red-first pixels. Colour-mapped files give their indices
// as grey; run-length files are refused. Probes return -1 and the loader null
// on files they cannot use; the limits of PictureFile.h apply.
#pragma once

#include <cstdint>

int GetTgaBits(const char* fileName);
int GetTgaWidth(const char* fileName);
int GetTgaHeight(const char* fileName);
// width x height x (bits / 8) bytes allocated with new[], or null.
uint8_t* LoadTga(const char* fileName);
