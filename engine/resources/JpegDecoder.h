// Reads baseline and progressive JPEG files through libjpeg into
// bottom-row-first pixels: one grey channel or red, green, blue. Corrupt
// data gives null rather than ending the process; CMYK files and files of
// more than 100 scans are refused. Probes return -1 and the loader null on
// files they cannot use; the limits of PictureFile.h apply.
#pragma once

#include <cstdint>

// 8 x the number of components in the file (8 grey, 24 colour).
int GetJpgBits(const char* fileName);
int GetJpgWidth(const char* fileName);
int GetJpgHeight(const char* fileName);
// width x height x (bits / 8) bytes allocated with new[], or null.
uint8_t* LoadJpg(const char* fileName);
