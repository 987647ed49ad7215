// Height maps: the grid's vertices, texture coordinates and two triangles a
// cell, and the grids that give an empty shape rather than wrapped counts
// or indices past 16 bits.

#include "render/Heightmap.h"

#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace
{

std::vector<float> Array(const float* data, size_t count)
{
    return std::vector<float>(data, data + count);
}

std::vector<uint16_t> Indices(const CShape& shape)
{
    return std::vector<uint16_t>(shape.GetIndices(), shape.GetIndices() + shape.GetIndexCount());
}

} // namespace

TEST(Heightmap, BuildsTwoTrianglesPerCellFromTheHeightBytes)
{
    const uint8_t heights[] = {0, 10, 20, 30};
    CHeightmap map(2, 2, heights);
    EXPECT_EQ(map.GetPrimitive(), unsigned(GL_TRIANGLES));
    ASSERT_EQ(map.GetVertexCount(), 4u);
    EXPECT_EQ(Array(map.GetVertices(), 12),
              (std::vector<float>{0, 0, 0, 1, 10, 0, 0, 20, 1, 1, 30, 1}));
    EXPECT_EQ(Array(map.GetTexCoords(), 8), (std::vector<float>{0, 0, 1, 0, 0, 1, 1, 1}));
    EXPECT_EQ(Indices(map), (std::vector<uint16_t>{0, 2, 1, 2, 3, 1}));
    EXPECT_EQ(map.GetColours()[15], 255);
    // A flat-ish grid lit from above: every normal has a y component.
    for (unsigned v = 0; v < 4; ++v)
        EXPECT_NE(map.GetNormals()[v * 3 + 1], 0.0f) << v;

    const uint8_t wide[6] = {};
    CHeightmap threeByTwo(3, 2, wide);
    EXPECT_EQ(threeByTwo.GetVertexCount(), 6u);
    EXPECT_EQ(Indices(threeByTwo), (std::vector<uint16_t>{0, 3, 1, 3, 4, 1, 1, 4, 2, 4, 5, 2}));
}

TEST(Heightmap, GridsOutsideTwoByTwoTo65536SamplesGiveAnEmptyShape)
{
    const std::vector<uint8_t> heights(70000, 7);
    struct Grid
    {
        unsigned width, depth;
        bool built;
    } grids[] = {
        {0, 0, false},     {1, 5, false},
        {5, 1, false},     {0, 4, false},
        {257, 256, false}, {65537, 1, false},
        {2, 2, true},      {256, 256, true},
        {32768, 2, true},  {0x10000, 0x10000, false},
    };
    for (const Grid& grid : grids)
    {
        CHeightmap map(grid.width, grid.depth, heights.data());
        EXPECT_EQ(map.GetPrimitive(), unsigned(GL_TRIANGLES));
        EXPECT_EQ(map.GetVertexCount() > 0, grid.built) << grid.width << " x " << grid.depth;
        if (!grid.built)
        {
            EXPECT_EQ(map.GetIndexCount(), 0u);
            continue;
        }
        EXPECT_EQ(map.GetIndexCount(), (grid.width - 1) * (grid.depth - 1) * 6);
        // The last index reaches the last sample exactly.
        EXPECT_EQ(map.GetIndices()[map.GetIndexCount() - 2], grid.width * grid.depth - 1);
    }
}
