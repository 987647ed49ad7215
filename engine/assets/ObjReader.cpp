#include "assets/ObjReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "assets/detail/TriangleMesh.h"
#include "core/RegularFile.h"
#include "core/String.h"

using assets_detail::TriangleMesh;

namespace
{

// Libraries are a few materials each.
constexpr uint64_t kMaxLibraryBytes = 4u << 20;
// Each distinct library is read once a model; a model naming more than
// this many is refused further ones, which bounds the reading time.
constexpr size_t kMaxLibraries = 64;
// The first references of a face that are read; the rest are ignored.
constexpr size_t kMaxFaceReferences = 4;

struct ObjMaterial
{
    std::string name;
    float ambient[3] = {0, 0, 0};
    float diffuse[3] = {0, 0, 0};
    float specular[3] = {0, 0, 0};
    float shininess = 0;
};

using Rgba = std::array<uint8_t, 4>;

struct Face
{
    int32_t references[kMaxFaceReferences] = {};
    uint32_t count = 0;
    // 1 + index into the colours used, 0 for none: faces are many.
    uint32_t colour = 0;
};

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Splits a line into whitespace-separated words.
class Words
{
public:
    explicit Words(std::string_view line) : m_rest(line) {}

    bool Next(std::string_view& word)
    {
        size_t start = 0;
        while (start < m_rest.size() && IsSpace(m_rest[start]))
            ++start;
        size_t end = start;
        while (end < m_rest.size() && !IsSpace(m_rest[end]))
            ++end;
        word = m_rest.substr(start, end - start);
        m_rest.remove_prefix(end);
        return !word.empty();
    }

    // What follows the words taken so far, without its outer white space.
    std::string_view Rest() const
    {
        std::string_view rest = m_rest;
        while (!rest.empty() && IsSpace(rest.front()))
            rest.remove_prefix(1);
        while (!rest.empty() && IsSpace(rest.back()))
            rest.remove_suffix(1);
        return rest;
    }

private:
    std::string_view m_rest;
};

// Calls `each` with every line of `bytes`; LF ends a line, and a CR before
// it goes with the white space.
template <typename Each>
void ForEachLine(const std::vector<uint8_t>& bytes, Each&& each)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        each(text.substr(start, end - start));
        start = end + 1;
    }
}

// Up to `count` floats from the next words; missing or unreadable ones
// leave their slot as it was.
void ReadFloats(Words& words, float* out, unsigned count)
{
    std::string_view word;
    for (unsigned i = 0; i < count && words.Next(word); ++i)
    {
        const std::string text(word);
        char* end = nullptr;
        const float value = std::strtof(text.c_str(), &end);
        if (end != text.c_str())
            out[i] = value;
    }
}

// The vertex number of a reference "v", "v/t", "v/t/n" or "v//n"; 0 when
// it does not start with a decimal number followed by its end or a slash.
int32_t VertexNumber(std::string_view word)
{
    const std::string_view digits = word.substr(0, word.find('/'));
    // Longer numbers are past any vertex anyway.
    if (digits.empty() || digits.size() > 9)
        return 0;
    const std::string text(digits);
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' ? int32_t(number) : 0;
}

// One line of a material library: "newmtl" starts a record, and the
// colour and shininess lines fill the last one.
void LibraryLine(std::string_view line, std::vector<ObjMaterial>& materials)
{
    Words words(line);
    std::string_view key;
    if (!words.Next(key))
        return;
    if (key == "newmtl")
    {
        materials.emplace_back();
        materials.back().name = std::string(words.Rest());
        return;
    }
    if (materials.empty())
        return;
    ObjMaterial& material = materials.back();
    if (key == "Ka")
        ReadFloats(words, material.ambient, 3);
    else if (key == "Kd")
        ReadFloats(words, material.diffuse, 3);
    else if (key == "Ks")
        ReadFloats(words, material.specular, 3);
    else if (key == "Ns")
        ReadFloats(words, &material.shininess, 1);
}

std::vector<ObjMaterial> ReadLibrary(const std::string& path)
{
    std::vector<ObjMaterial> materials;
    std::vector<uint8_t> bytes;
    if (ReadRegularFile(String(path.c_str()), bytes, kMaxLibraryBytes))
        ForEachLine(bytes, [&](std::string_view line) { LibraryLine(line, materials); });
    return materials;
}

// Everything the file says, gathered in one pass; faces are checked only
// once the number of vertices is known.
struct ObjContents
{
    std::vector<float> vertices;
    std::vector<float> texCoords;
    std::vector<Face> faces;
    std::vector<Rgba> colours;
    bool hasMaterials = false;
};

class ObjParser
{
public:
    void Line(std::string_view line)
    {
        Words words(line);
        std::string_view key;
        if (!words.Next(key))
            return;
        if (key == "v")
        {
            float position[3] = {0, 0, 0};
            ReadFloats(words, position, 3);
            m_contents.vertices.insert(m_contents.vertices.end(), position, position + 3);
        }
        else if (key == "vt")
        {
            float st[2] = {0, 0};
            ReadFloats(words, st, 2);
            m_contents.texCoords.insert(m_contents.texCoords.end(), st, st + 2);
        }
        else if (key == "f")
            AddFace(words);
        else if (key == "mtllib")
            Library(words.Rest());
        else if (key == "usemtl")
            UseMaterial(words.Rest());
    }

    ObjContents& Contents() { return m_contents; }

private:
    void AddFace(Words& words)
    {
        Face face;
        std::string_view word;
        while (face.count < kMaxFaceReferences && words.Next(word))
            face.references[face.count++] = VertexNumber(word);
        face.colour = m_colour;
        m_contents.faces.push_back(face);
    }

    void Library(std::string_view rest)
    {
        std::string path;
        for (char c : rest)
            if (c != '\t')
                path += c;
        if (m_libraryCount >= kMaxLibraries)
            return;
        ++m_libraryCount;
        // Replacing the list cannot leave the material in use dangling: its
        // colour is held by value.
        m_materials = ReadLibrary(path);
        if (!m_materials.empty())
            m_contents.hasMaterials = true;
    }

    void UseMaterial(std::string_view name)
    {
        for (auto it = m_materials.rbegin(); it != m_materials.rend(); ++it)
            if (it->name == name)
            {
                m_contents.colours.push_back(Rgba{assets_detail::ColourByte(it->diffuse[0]),
                                                  assets_detail::ColourByte(it->diffuse[1]),
                                                  assets_detail::ColourByte(it->diffuse[2]), 255});
                m_colour = uint32_t(m_contents.colours.size());
                return;
            }
    }

    ObjContents m_contents;
    std::vector<ObjMaterial> m_materials;
    uint32_t m_colour = 0;
    size_t m_libraryCount = 0;
};

// The face's indices, 0-based, or an empty list when it is dropped.
std::vector<uint16_t> FaceIndices(const Face& face, size_t vertexCount)
{
    if (face.count < 3)
        return {};
    uint16_t v[kMaxFaceReferences] = {};
    for (unsigned i = 0; i < face.count; ++i)
    {
        if (face.references[i] < 1 || size_t(face.references[i]) > vertexCount)
            return {};
        v[i] = uint16_t(face.references[i] - 1);
    }
    if (face.count == 3)
        return {v[0], v[1], v[2]};
    return {v[0], v[1], v[2], v[2], v[3], v[0]};
}

bool BuildMesh(const ObjContents& contents, TriangleMesh& mesh)
{
    const size_t vertexCount = contents.vertices.size() / 3;
    if (vertexCount == 0 || vertexCount > assets_detail::kMaxModelVertices)
        return false;
    mesh.vertices = contents.vertices;
    // Texture coordinates go to the vertices in file order.
    mesh.texCoords.assign(contents.texCoords.begin(),
                          contents.texCoords.begin() +
                              long(std::min(contents.texCoords.size(), vertexCount * 2)));
    mesh.colourArray = contents.hasMaterials;
    if (mesh.colourArray)
        mesh.colours.assign(vertexCount * 4, 255);
    for (const Face& face : contents.faces)
    {
        const std::vector<uint16_t> indices = FaceIndices(face, vertexCount);
        mesh.indices.insert(mesh.indices.end(), indices.begin(), indices.end());
        if (!mesh.colourArray || face.colour == 0)
            continue;
        const Rgba& colour = contents.colours[face.colour - 1];
        for (uint16_t index : indices)
            std::copy(colour.begin(), colour.end(), &mesh.colours[index * 4u]);
    }
    // A degenerate triangle closes the list.
    mesh.indices.insert(mesh.indices.end(), 3, 0);
    return true;
}

} // namespace

bool ReadObj(const String& path, CShape& shape)
{
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(path, bytes, assets_detail::kMaxModelFileBytes))
        return false;
    ObjParser parser;
    ForEachLine(bytes, [&](std::string_view line) { parser.Line(line); });
    std::vector<uint8_t>().swap(bytes);
    TriangleMesh mesh;
    return BuildMesh(parser.Contents(), mesh) && assets_detail::FillShape(mesh, shape);
}
