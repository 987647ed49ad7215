// The colour palette the render colours pixels from, and the built-in one
// used when no gradient picture can be read: black through blue, cyan,
// green and yellow to red in 768 steps.
#pragma once

#include <vector>

#include "core/Vector.h"

// Red, green and blue as byte values 0..255 held in floats; w is always 0.
using PaletteEntry = CVector;

std::vector<PaletteEntry> BuiltInPalette();
