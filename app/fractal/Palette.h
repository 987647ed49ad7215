// The colour palette the render colours pixels from: the built-in one used
// when no gradient picture can be read (black through blue, cyan, green and
// yellow to red in 768 steps), one read off a gradient picture, and the
// lookup of a smooth value's entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Vector.h"

// Red, green and blue as byte values 0..255 held in floats; w is always 0.
using PaletteEntry = CVector;

std::vector<PaletteEntry> BuiltInPalette();

// Palette index of a smooth value: value ÷ limit × count truncated toward
// zero, clamped to 0 … count − 1. Not-a-number, limit 0 and count 0 give 0.
size_t PaletteIndex(double value, uint32_t limit, size_t count);

// One palette entry per pixel of a gradient's bottom row (the first `width`
// pixels of a bottom-row-first buffer). Grey pictures, with or without alpha,
// give grey entries; alpha is never read.
std::vector<PaletteEntry> GradientPalette(const uint8_t* pixels, unsigned width, unsigned channels);
