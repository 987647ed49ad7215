// One way to read a picture file: the decoder is chosen by the name's ending
// (".bmp", ".jpg", ".png" or ".tga", exactly, case-sensitive) and the file is
// decoded once, so the image's size and depth always describe its pixels.
// The limits below hold for every decoder, here and through LoadXxx.
#pragma once

#include <cstdint>

class CImage;

// No decoder delivers more pixels than this, whatever a header claims and
// however large the file: 2^28, a 16384 x 16384 picture (1 GiB at four
// channels).
inline constexpr uint64_t kMaxPicturePixels = uint64_t(1) << 28;

// Longer files are refused unread, as are devices, pipes and directories
// (links are followed): room for the largest picture stored raw at four
// bytes a pixel, and 16 MiB for its headers, palette and framing.
inline constexpr uint64_t kMaxPictureFileBytes = (uint64_t(1) << 30) + (uint64_t(1) << 24);

// True when the file decoded; the image then holds its pixels with their
// width, height, channels and bits. False for an unknown ending or a file
// its decoder refuses, and the image is left as it was.
bool LoadPicture(const char* fileName, CImage& image);
