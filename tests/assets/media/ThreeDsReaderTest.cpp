// 3DS models against chunk files built here: two meshes in one list, texture
// coordinates, material colours by face, and the hostile table: short and
// overlong chunks, counts past their chunk, faces past their mesh, folders,
// empty and cut-off files.

#include "assets/ThreeDsReader.h"

#include <algorithm>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "MediaFiles.h"
#include "core/String.h"
#include "render/Shape.h"

using namespace mediatest;

namespace
{

Bytes Name(const std::string& name)
{
    Bytes bytes(name.begin(), name.end());
    bytes.push_back(0);
    return bytes;
}

Bytes VertexList(const std::vector<float>& xyz, uint16_t count)
{
    Bytes body;
    PutLe16(body, count);
    for (float f : xyz)
        PutFloat(body, f);
    return Chunk3ds(0x4110, body);
}

Bytes VertexList(const std::vector<float>& xyz)
{
    return VertexList(xyz, uint16_t(xyz.size() / 3));
}

Bytes FaceList(const std::vector<uint16_t>& abc, const Bytes& subChunks = {})
{
    Bytes body;
    PutLe16(body, uint16_t(abc.size() / 3));
    for (size_t i = 0; i < abc.size(); i += 3)
    {
        PutLe16(body, abc[i]);
        PutLe16(body, abc[i + 1]);
        PutLe16(body, abc[i + 2]);
        PutLe16(body, 7); // edge flags
    }
    body.insert(body.end(), subChunks.begin(), subChunks.end());
    return Chunk3ds(0x4120, body);
}

Bytes FaceMaterial(const std::string& name, const std::vector<uint16_t>& faces)
{
    Bytes body = Name(name);
    PutLe16(body, uint16_t(faces.size()));
    for (uint16_t f : faces)
        PutLe16(body, f);
    return Chunk3ds(0x4130, body);
}

Bytes Object(const std::string& name, const Bytes& meshChunks)
{
    return Chunk3ds(0x4000, Join({Name(name), Chunk3ds(0x4100, meshChunks)}));
}

Bytes Material(const std::string& name, uint8_t r, uint8_t g, uint8_t b)
{
    return Chunk3ds(0xAFFF, Join({Chunk3ds(0xA000, Name(name)),
                                  Chunk3ds(0xA020, Chunk3ds(0x0011, {r, g, b}))}));
}

Bytes File(const Bytes& editorChunks)
{
    Bytes version;
    PutLe32(version, 3);
    return Chunk3ds(0x4D4D, Join({Chunk3ds(0x0002, version), Chunk3ds(0x3D3D, editorChunks),
                                  Chunk3ds(0xB000, Bytes(20, 0xEE))}));
}

const std::vector<float> kTriangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};

} // namespace

TEST(ThreeDsReader, ReadsEveryMeshIntoOneListWithColoursAndTextureCoordinates)
{
    Bytes texCoords;
    PutLe16(texCoords, 2);
    for (float f : {0.25f, 0.5f, 1.0f, 0.75f})
        PutFloat(texCoords, f);
    const Bytes file = File(Join({
        Material("red", 200, 10, 0), Material("blue", 0, 0, 255),
        Object("first", Join({VertexList(kTriangle), FaceList({0, 1, 2})})),
        Object("second",
               Join({VertexList({5, 5, 5, 6, 5, 5, 5, 6, 5, 6, 6, 7}), Chunk3ds(0x4140, texCoords),
                     FaceList({0, 1, 2, 1, 3, 2}, FaceMaterial("red", {1, 9}))})),
        Chunk3ds(0x4700, Bytes(10, 1)), // a camera, skipped
    }));
    Scratch files;
    CShape shape;
    ASSERT_TRUE(Read3ds(files.Write(file).c_str(), shape));
    EXPECT_EQ(shape.GetPrimitive(), unsigned(GL_TRIANGLES));
    ASSERT_EQ(shape.GetVertexCount(), 7u);
    EXPECT_EQ(Indices(shape), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5, 4, 6, 5}));
    EXPECT_EQ(shape.GetVertices()[3 * 6 + 2], 7.0f);
    // Coordinates past the mesh's list, and for a mesh without one, are 0.
    const float* st = shape.GetTexCoords();
    EXPECT_EQ(std::vector<float>(st, st + 2 * 7),
              (std::vector<float>{0, 0, 0, 0, 0, 0, 0.25f, 0.5f, 1, 0.75f, 0, 0, 0, 0}));
    // Face 1 of the second mesh is red (face 9 is past the mesh); the rest,
    // with no material, stay white.
    ASSERT_TRUE(shape.HasColourArray());
    const uint8_t* rgba = shape.GetColours();
    const uint8_t red[4] = {200, 10, 0, 255};
    std::vector<uint8_t> expected(4 * 7, 255);
    for (unsigned vertex : {4, 5, 6})
        std::copy_n(red, 4, &expected[4 * vertex]);
    EXPECT_EQ(std::vector<uint8_t>(rgba, rgba + 4 * 7), expected);
    // The face normal of the first triangle, wound as written.
    EXPECT_NEAR(std::abs(shape.GetNormals()[2]), 1.0f, 1e-6f);
}

TEST(ThreeDsReader, StopsAtBadChunksAndRefusesWhatItCannotRead)
{
    const Bytes good = Object("o", Join({VertexList(kTriangle), FaceList({0, 1, 2})}));
    const Bytes goodFile = File(good);
    Bytes overlong = Chunk3ds(0x4110, Bytes(4, 0)); // says 10 bytes ...
    overlong[2] = 200;                              // ... then 200
    Bytes shortChunk = Chunk3ds(0x4110, {});
    shortChunk[2] = 3; // shorter than its own header
    struct Case
    {
        const char* name;
        Bytes file;
        bool read;
        std::vector<uint16_t> indices;
    };
    const std::vector<Case> cases = {
        {"good", File(good), true, {0, 1, 2}},
        {"not 4D4D",
         Join({Bytes{0x4D, 0x4C}, Bytes(goodFile.begin() + 2, goodFile.end())}),
         false,
         {}},
        {"chunk past its parent keeps what came before",
         File(Join({good, Object("p", Join({VertexList(kTriangle), overlong}))})),
         true,
         {0, 1, 2}},
        {"chunk shorter than its header",
         File(Join({good, Object("p", Join({shortChunk, VertexList(kTriangle)}))})),
         true,
         {0, 1, 2}},
        {"vertex count past the chunk",
         File(Object("o", Join({VertexList(kTriangle, 60000), FaceList({0, 1, 2, 0, 1, 3})}))),
         true,
         {0, 1, 2}},
        {"face past its mesh",
         File(Join({good, Object("p", Join({VertexList(kTriangle), FaceList({0, 1, 3})}))})),
         true,
         {0, 1, 2}},
        {"name without end", File(Chunk3ds(0x4000, Bytes(8, 'a'))), false, {}},
        {"no vertices", File(Object("o", FaceList({0, 1, 2}))), false, {}},
        {"main chunk past the file", Bytes(goodFile.begin(), goodFile.end() - 1), false, {}},
        {"header only", Bytes{0x4D, 0x4D, 6, 0, 0, 0}, false, {}},
        {"two bytes", Bytes{0x4D, 0x4D}, false, {}},
        {"empty", Bytes{}, false, {}},
    };
    Scratch files;
    for (const Case& c : cases)
        ExpectModel(Read3ds, files.Write(c.file), c.read, c.indices, c.name);
    CShape shape;
    EXPECT_FALSE(Read3ds(files.Folder().c_str(), shape));
}

TEST(ThreeDsReader, RefusesMoreVerticesThanSixteenBitIndicesReach)
{
    const std::vector<float> many(3 * 40000, 1.0f);
    Scratch files;
    CShape shape;
    const Bytes two = File(Join({Object("a", VertexList(many)), Object("b", VertexList(many))}));
    EXPECT_FALSE(Read3ds(files.Write(two).c_str(), shape));
    EXPECT_TRUE(Read3ds(files.Write(File(Object("a", VertexList(many)))).c_str(), shape));
    EXPECT_EQ(shape.GetVertexCount(), 40000u);
}

TEST(ThreeDsReader, EveryCutOfAFileIsRefusedCleanly)
{
    const Bytes file = File(Join(
        {Material("m", 1, 2, 3),
         Object("o", Join({VertexList(kTriangle), FaceList({0, 1, 2}, FaceMaterial("m", {0}))}))}));
    Scratch files;
    for (size_t length = 0; length < file.size(); ++length)
    {
        CShape shape;
        EXPECT_FALSE(
            Read3ds(files.Write(Bytes(file.begin(), file.begin() + long(length))).c_str(), shape))
            << length;
    }
}
