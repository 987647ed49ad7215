// A grid of byte heights (a picture's bytes, row after row) as an indexed
// triangle mesh: x is the column, z the row, y the height, and the texture
// spans the grid once. Indices are 16 bits wide, so a grid must hold 2 x 2
// to 65536 samples; any other grid gives an empty shape.
#pragma once

#include <cstdint>

#include "render/Shape.h"

class CHeightmap : public CShape
{
public:
    static constexpr uint64_t kMaxSamples = 65536;

    // Reads width x depth bytes from `heights`, which the caller keeps.
    CHeightmap(unsigned width, unsigned depth, const uint8_t* heights);
};
