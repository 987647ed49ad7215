#include "render/Heightmap.h"

#include <cassert>

#include <GL/gl.h>

CHeightmap::CHeightmap(unsigned width, unsigned depth, const uint8_t* heights)
{
    SetPrimitive(GL_TRIANGLES);
    // Below 2 x 2 a texture divisor is 0 and the cell count wraps; above
    // 65536 samples an index no longer fits in 16 bits.
    const uint64_t samples = uint64_t(width) * depth;
    if (width < 2 || depth < 2 || samples > kMaxSamples)
        return;
    assert(heights && "CHeightmap::CHeightmap(): no heights");

    SetCounts(unsigned(samples), (depth - 1) * (width - 1) * 6);
    float* vertices = GetVertices();
    float* texCoords = GetTexCoords();
    for (unsigned i = 0; i < depth; ++i)
        for (unsigned j = 0; j < width; ++j)
        {
            const unsigned v = i * width + j;
            vertices[3 * v] = float(j);
            vertices[3 * v + 1] = float(heights[v]);
            vertices[3 * v + 2] = float(i);
            texCoords[2 * v] = float(j) / float(width - 1);
            texCoords[2 * v + 1] = float(i) / float(depth - 1);
        }

    uint16_t* index = GetIndices();
    for (unsigned r = 0; r + 1 < depth; ++r)
    {
        const unsigned b = r * width;
        for (unsigned j = 0; j + 1 < width; ++j)
        {
            // Sample, one row on, one column on; then one row on, the
            // diagonal, one column on.
            const unsigned cell[6] = {b + j,         b + width + j,     b + j + 1,
                                      b + width + j, b + width + j + 1, b + j + 1};
            for (unsigned k : cell)
                *index++ = uint16_t(k);
        }
    }
    CalculateNormals();
}
