// One way to read a picture file: the decoder is chosen by the name's ending
// (".bmp", ".jpg", ".png" or ".tga", exactly, case-sensitive) and the file is
// decoded once, so the image's size and depth always describe its pixels.
#pragma once

class CImage;

// True when the file decoded; the image then holds its pixels with their
// width, height, channels and bits. False for an unknown ending or a file
// its decoder refuses, and the image is left as it was.
bool LoadPicture(const char* fileName, CImage& image);
