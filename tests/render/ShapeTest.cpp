// Shapes without a GL context: arrays and their views, transformed vertices,
// copies, quads, texture lists, and normals against hand-worked cross
// products.

#include "render/Shape.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/Quad.h"

namespace
{

using Floats = std::vector<float>;

Floats Normal(const CShape& shape, unsigned i)
{
    const float* n = shape.GetNormals() + i * 3;
    return {n[0], n[1], n[2]};
}

void ExpectNear(const Floats& actual, const Floats& expected)
{
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "component " << i;
}

CShape Mesh(unsigned primitive, const std::vector<Floats>& positions,
            const std::vector<uint16_t>& indices = {})
{
    CShape shape;
    shape.SetPrimitive(primitive);
    shape.SetCounts(static_cast<unsigned>(positions.size()), static_cast<unsigned>(indices.size()));
    for (unsigned i = 0; i < positions.size(); ++i)
        shape.GetVertex(i).position.Set(positions[i][0], positions[i][1], positions[i][2]);
    std::copy(indices.begin(), indices.end(), shape.GetIndices());
    return shape;
}

} // namespace

TEST(Shape, VertexViewsWriteThroughButColoursAreCopies)
{
    CShape shape;
    shape.SetVertexCount(2);
    ShapeVertex v = shape.GetVertex(1);
    v.position.Set(1, 2, 3);
    v.texCoord.Set(0.5f, 0.25f);
    v.colour.Set(0, 0, 0, 0);
    EXPECT_EQ(Floats(shape.GetVertices(), shape.GetVertices() + 6), (Floats{0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(shape.GetTexCoords()[3], 0.25f);
    EXPECT_EQ(shape.GetVertex(1).colour, CVector(255, 255, 255, 255));
    EXPECT_EQ(shape.GetVertex(2).position, CVector()); // past the end
    EXPECT_EQ(shape.GetVertex(2).position.GetStorage(), nullptr);

    shape.SetVertexCount(2); // reallocated: zeroed, colours white again
    EXPECT_EQ(shape.GetVertices()[5], 0.0f);
}

TEST(Shape, TransformedVertexIsScaledThenRotatedThenMoved)
{
    CShape shape = Mesh(GL_POINTS, {{1, 0, 0}});
    shape.GetVertex(0).normal.Set(1, 0, 0);
    shape.GetTransform().SetTranslation(10, 20, 30);
    shape.SetRotation(0, 0, 90); // keeps the translation
    shape.SetScale(2, 3, 4);
    const ShapeVertex v = shape.GetVertex(0, true);
    ExpectNear({v.position.x, v.position.y, v.position.z}, {10, 18, 30});
    ExpectNear({v.normal.x, v.normal.y, v.normal.z}, {0, -1, 0});
}

TEST(Shape, CopyFromIsDeepAndCopyingItselfKeepsTheArrays)
{
    CShape source = Mesh(GL_TRIANGLES, {{0, 0, 0}, {1, 0, 0}, {4, 5, 6}}, {0, 2, 1});
    source.SetRotation(0, 90, 0);
    source.GetMaterial().AddTexture(0, 42);
    CShape copy;
    copy.CopyFrom(source);
    source.GetVertices()[8] = -1;
    EXPECT_EQ(copy.GetPrimitive(), static_cast<unsigned>(GL_TRIANGLES));
    EXPECT_EQ(copy.GetVertices()[8], 6.0f);
    EXPECT_EQ(copy.GetIndices()[1], 2);
    EXPECT_EQ(copy.GetRotation(), CVector(0, 90, 0));
    EXPECT_EQ(copy.GetMaterial().GetTexture(0), 42u);
    copy.CopyFrom(copy);
    EXPECT_EQ(copy.GetVertexCount(), 3u);
    EXPECT_EQ(copy.GetVertices()[8], 6.0f);
}

TEST(Shape, QuadTakesCornersButStaysWhite)
{
    ShapeVertex c[4];
    for (int i = 0; i < 4; ++i)
    {
        c[i].position.Set(static_cast<float>(i), 0, 0.5f);
        c[i].colour.Set(1, 2, 3, 4);
    }
    const CQuad quad(c[0], c[1], c[2], c[3]);
    EXPECT_EQ(quad.GetPrimitive(), static_cast<unsigned>(GL_QUADS));
    EXPECT_EQ(quad.GetVertexCount(), 4u);
    EXPECT_EQ(quad.GetVertices()[9], 3.0f);
    EXPECT_TRUE(
        std::all_of(quad.GetColours(), quad.GetColours() + 16, [](uint8_t b) { return b == 255; }));
}

TEST(Material, AddTextureInsertsAtAClampedIndex)
{
    CMaterial material;
    material.AddTexture(0, 1);
    material.AddTexture(0, 2); // before 1
    material.AddTexture(9, 3); // past the end: appended
    material.AddTexture(1, 4);
    material.SetTexture(4, 5); // past the end: ignored
    EXPECT_EQ(material.GetTextures(), (std::vector<uint32_t>{2, 4, 1, 3}));
}

TEST(CalculateNormals, IndexedTrianglesWeighByTheirSize)
{
    // Cross products (0, 0, -1) and (0, -4, 0); vertex 0 shares both.
    CShape shape = Mesh(GL_TRIANGLES, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 2}, {2, 0, 0}},
                        {0, 1, 2, 0, 3, 4});
    shape.GetVertex(1).normal.Set(5, 5, 5); // stale values are cleared first
    shape.CalculateNormals();
    const float s = 1 / std::sqrt(17.0f);
    ExpectNear(Normal(shape, 0), {0, -4 * s, -s});
    EXPECT_EQ(Normal(shape, 1), (Floats{0, 0, -1}));
    EXPECT_EQ(Normal(shape, 2), (Floats{0, 0, -1}));
    ExpectNear(Normal(shape, 3), {0, -1, 0});
    ExpectNear(Floats(shape.GetFaceNormals(), shape.GetFaceNormals() + 6), {0, 0, -1, 0, -1, 0});
}

TEST(CalculateNormals, TrianglesNamingMissingVerticesAreSkipped)
{
    // Two spare indices after two triangles, one of them with a stray corner.
    CShape shape =
        Mesh(GL_TRIANGLES, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 7, 0, 1, 2, 65535, 1});
    shape.CalculateNormals();
    EXPECT_EQ(Floats(shape.GetFaceNormals(), shape.GetFaceNormals() + 6),
              (Floats{0, 0, 0, 0, 0, -1}));
    EXPECT_EQ(Normal(shape, 2), (Floats{0, 0, -1}));
}

TEST(CalculateNormals, FanSharesItsCentre)
{
    // Triangles (0, 1, 2) with (0, 0, -1) and (0, 2, 3) with (-1, 1, -1);
    // the steps past the end fold onto degenerate triangles.
    CShape shape = Mesh(GL_TRIANGLE_FAN, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}});
    shape.CalculateNormals();
    const float s6 = 1 / std::sqrt(6.0f), s3 = 1 / std::sqrt(3.0f);
    ExpectNear(Normal(shape, 0), {-s6, s6, -2 * s6});
    ExpectNear(Normal(shape, 1), {0, 0, -1});
    ExpectNear(Normal(shape, 2), {-s6, s6, -2 * s6});
    ExpectNear(Normal(shape, 3), {-s3, s3, -s3});
}

TEST(CalculateNormals, ShortVertexListsStayInsideTheArrays)
{
    // The walk's folded indices leave the list for fewer than four vertices;
    // such steps add nothing, and every normal is unit length or zero.
    const std::vector<Floats> corners = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (unsigned primitive : {GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_QUADS})
        for (size_t count = 1; count <= corners.size(); ++count)
        {
            CShape shape = Mesh(primitive, {corners.begin(), corners.begin() + count});
            shape.CalculateNormals();
            for (unsigned i = 0; i < count; ++i)
            {
                const Floats n = Normal(shape, i);
                const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                EXPECT_TRUE(length == 0 || std::fabs(length - 1) < 1e-6f) << primitive << count;
            }
        }
}
