// OBJ models against files written here: every face form, quads, texture
// coordinates in file order, MTL colours (clamped, CRLF, a second library),
// and the hostile table: bad references, too many vertices, folders, empty
// and cut-off files.

#include "assets/ObjReader.h"

#include <cstdio>
#include <filesystem>
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

// Every vertex's colour as "rrggbbaa", so that one comparison covers them
// all and a failure reads as colours.
std::vector<std::string> Colours(const CShape& shape)
{
    std::vector<std::string> colours;
    const uint8_t* c = shape.GetColours();
    for (unsigned i = 0; i < shape.GetVertexCount(); ++i, c += 4)
    {
        char text[9];
        std::snprintf(text, sizeof text, "%02x%02x%02x%02x", c[0], c[1], c[2], c[3]);
        colours.push_back(text);
    }
    return colours;
}

std::string Vertices(unsigned count)
{
    std::string text;
    for (unsigned i = 0; i < count; ++i)
        text += "v " + std::to_string(i) + " " + std::to_string(i * i % 7) + " -1.5\n";
    return text;
}

const char* const kCube = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                          "v 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
                          "f 1 2 3 4\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

class ObjReaderTest : public ::testing::Test
{
protected:
    bool Read(const std::string& text) { return ReadObj(m_files.WriteText(text).c_str(), m_shape); }

    Scratch m_files;
    CShape m_shape;
};

} // namespace

TEST_F(ObjReaderTest, ReadsEveryFaceFormAndSplitsQuads)
{
    ASSERT_TRUE(Read(Vertices(7) + "vt 0.5 0.25\nvt 1 1 1\n"
                                   "f 1 2 3 4\n"
                                   "f 1/1/1 4/2/2 7/3/3\n"
                                   "f 1//1 4//2 7//3\n"
                                   "f 1/2 4/2 7/2\n"
                                   "f 1 2 3 4 5\n"
                                   "# f 1 2 3\nvn 0 0 1\ns off\n"));
    EXPECT_EQ(m_shape.GetPrimitive(), unsigned(GL_TRIANGLES));
    EXPECT_EQ(m_shape.GetVertexCount(), 7u);
    EXPECT_EQ(Indices(m_shape), (std::vector<uint16_t>{0, 1, 2, 2, 3, 0, 0, 3, 6, 0, 3, 6,
                                                       0, 3, 6, 0, 1, 2, 2, 3, 0, 0, 0, 0}));
    EXPECT_EQ(m_shape.GetVertices()[3 * 6], 6.0f);
    EXPECT_EQ(m_shape.GetVertices()[3 * 6 + 2], -1.5f);
    // In file order, not by the faces' texture references.
    const float* st = m_shape.GetTexCoords();
    EXPECT_EQ(std::vector<float>(st, st + 6), (std::vector<float>{0.5f, 0.25f, 1, 1, 0, 0}));
    EXPECT_FALSE(m_shape.HasColourArray());
    EXPECT_NE(m_shape.GetNormals()[2], 0.0f);
}

TEST_F(ObjReaderTest, CountsEightVerticesAndThirtyNineIndicesForACube)
{
    ASSERT_TRUE(Read(kCube));
    EXPECT_EQ(m_shape.GetVertexCount(), 8u);
    EXPECT_EQ(m_shape.GetIndexCount(), 39u);
}

TEST_F(ObjReaderTest, ColoursVerticesFromTheMaterialsClampedAndReadsCrLf)
{
    const std::string library =
        m_files.WriteText("newmtl red\r\nKd 1 0 0\r\nnewmtl wild\r\nKd 2 -1 nan\r\nKa 1 1 1\r\n"
                          "newmtl half\r\nKd 0.5 0.5 0.5\r\nNs 10\r\nnewmtl red\r\nKd 0.2 0 0\r\n"
                          "newmtl " +
                              std::string(300, 'n') + "\nKd 0 0 1\n",
                          "colours.mtl");
    ASSERT_TRUE(Read(Vertices(9) + "mtllib\t " + library + "\r\n" +
                     "usemtl wild\r\nf 1 2 3\r\n"
                     "usemtl red\r\nf 4 5 6\r\n"
                     "usemtl nothing\r\nf 7 8 9\r\n"
                     "usemtl " +
                     std::string(300, 'n') + "\nf 9 9 9\n"));
    EXPECT_TRUE(m_shape.HasColourArray());
    // "wild" clamped; the last "red" wins; an unknown name keeps the material
    // in use; names are not cut to a fixed length.
    EXPECT_EQ(Colours(m_shape),
              (std::vector<std::string>{"ff0000ff", "ff0000ff", "ff0000ff", "330000ff", "330000ff",
                                        "330000ff", "330000ff", "330000ff", "0000ffff"}));
    EXPECT_EQ(Indices(m_shape).size(), 15u);
}

TEST_F(ObjReaderTest, ASecondLibraryReplacesTheListButNotTheColourInUse)
{
    const std::string first = m_files.WriteText("newmtl a\nKd 0 1 0\n", "first.mtl");
    const std::string second = m_files.WriteText("newmtl b\nKd 0 0 1\n", "second.mtl");
    ASSERT_TRUE(Read(Vertices(3) + "mtllib " + first + "\nusemtl a\nmtllib " + second +
                     "\nf 1 2 3\nusemtl a\nf 1 1 1\nusemtl b\nf 3 3 3\n"));
    EXPECT_EQ(Colours(m_shape), (std::vector<std::string>{"00ff00ff", "00ff00ff", "0000ffff"}));

    // A library that cannot be read gives no materials and no colours.
    ASSERT_TRUE(Read(Vertices(3) + "mtllib " + m_files.Folder() + "/missing.mtl\nf 1 2 3\n"));
    EXPECT_FALSE(m_shape.HasColourArray());
}

TEST_F(ObjReaderTest, DropsBadFacesAndRefusesWhatItCannotRead)
{
    struct Case
    {
        const char* name;
        std::string text;
        bool read;
        std::vector<uint16_t> indices;
    };
    const std::vector<Case> cases = {
        {"reference 0", Vertices(3) + "f 0 1 2\nf 1 2 3\n", true, {0, 1, 2, 0, 0, 0}},
        {"negative", Vertices(3) + "f -1 -2 -3\nf 1 2 3 -1\n", true, {0, 0, 0}},
        {"past the end", Vertices(3) + "f 1 2 4\nf 1 2 99999999999\n", true, {0, 0, 0}},
        {"past 16 bits", Vertices(3) + "f 65537 1 2\n", true, {0, 0, 0}},
        {"two references", Vertices(3) + "f 1 2\nf\nf 3 2 1\n", true, {2, 1, 0, 0, 0, 0}},
        {"no number", Vertices(3) + "f a b c\nf 1x 2 3\nf /1 2 3\n", true, {0, 0, 0}},
        {"later vertices", "f 1 2 3\n" + Vertices(3), true, {0, 1, 2, 0, 0, 0}},
        {"no vertices", "f 1 2 3\n# v 1 2 3\nvt 1 1\n", false, {}},
        {"empty", "", false, {}},
        {"binary", std::string("v 1 2 3\0\xff\nf 1 1 1\n", 18), true, {0, 0, 0, 0, 0, 0}},
        {"65536 vertices", Vertices(65536) + "f 65536 1 2\n", true, {65535, 0, 1, 0, 0, 0}},
        {"65537 vertices", Vertices(65537), false, {}},
    };
    for (const Case& c : cases)
        ExpectModel(ReadObj, m_files.WriteText(c.text), c.read, c.indices, c.name);

    CShape shape;
    EXPECT_FALSE(ReadObj(m_files.Folder().c_str(), shape));
    EXPECT_FALSE(ReadObj((m_files.Folder() + "/none.obj").c_str(), shape));
}

TEST_F(ObjReaderTest, EveryCutOfAFileReadsCleanly)
{
    const std::string library = m_files.WriteText("newmtl m\nKd 1 1 0\n", "m.mtl");
    const std::string text = "mtllib " + library + "\nusemtl m\nvt 0 1\n" + kCube;
    for (size_t length = 0; length <= text.size(); ++length)
    {
        CShape shape;
        if (!ReadObj(m_files.WriteText(text.substr(0, length)).c_str(), shape))
            continue;
        const std::vector<uint16_t> indices = Indices(shape);
        ASSERT_EQ(indices.size() % 3, 0u) << length;
        for (uint16_t index : indices)
            ASSERT_LT(index, shape.GetVertexCount()) << length;
    }
}
