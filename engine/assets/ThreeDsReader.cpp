#include "assets/ThreeDsReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "assets/detail/TriangleMesh.h"
#include "core/RegularFile.h"
#include "core/String.h"
#include "resources/detail/DecoderInput.h"

using assets_detail::TriangleMesh;
using resources_detail::ReadLe16;
using resources_detail::ReadLe32;

namespace
{

enum ChunkId : uint16_t
{
    kMain = 0x4D4D,
    kEditor = 0x3D3D,
    kObject = 0x4000,
    kTriangleMesh = 0x4100,
    kVertexList = 0x4110,
    kFaceList = 0x4120,
    kFaceMaterial = 0x4130,
    kTexCoordList = 0x4140,
    kMaterialBlock = 0xAFFF,
    kMaterialName = 0xA000,
    kDiffuse = 0xA020,
    kColourBytes = 0x0011
};

constexpr size_t kChunkHeader = 6;
// Far more than a model uses; later ones are ignored, which bounds the
// memory a file of tiny material chunks can take.
constexpr size_t kMaxMaterials = 4096;

// A run of bytes inside the file; every read is checked against its end.
struct Span
{
    const uint8_t* data = nullptr;
    size_t size = 0;

    Span From(size_t offset) const
    {
        return offset <= size ? Span{data + offset, size - offset} : Span{};
    }
};

struct Chunk
{
    uint16_t id = 0;
    Span body;
};

// The chunks one after another inside a parent's body. Ends at the first
// chunk shorter than its header or longer than what is left of the parent.
class Chunks
{
public:
    explicit Chunks(Span parent) : m_rest(parent) {}

    bool Next(Chunk& chunk)
    {
        if (m_rest.size < kChunkHeader)
            return false;
        const uint32_t length = ReadLe32(m_rest.data + 2);
        if (length < kChunkHeader || length > m_rest.size)
        {
            m_rest = Span{};
            return false;
        }
        chunk.id = ReadLe16(m_rest.data);
        chunk.body = Span{m_rest.data + kChunkHeader, length - kChunkHeader};
        m_rest = m_rest.From(length);
        return true;
    }

private:
    Span m_rest;
};

float ReadLeFloat(const uint8_t* p)
{
    const uint32_t bits = ReadLe32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The zero-terminated name at the start of `span`, and the bytes after it;
// false when no terminator lies inside.
bool ReadName(Span span, std::string& name, Span& after)
{
    const void* end = span.data ? std::memchr(span.data, 0, span.size) : nullptr;
    if (!end)
        return false;
    const size_t length = size_t(static_cast<const uint8_t*>(end) - span.data);
    name.assign(reinterpret_cast<const char*>(span.data), length);
    after = span.From(length + 1);
    return true;
}

// A 16-bit count of records `recordSize` bytes long, lowered to what the
// span holds after it.
size_t BoundedCount(Span span, size_t recordSize)
{
    if (span.size < 2)
        return 0;
    return std::min<size_t>(ReadLe16(span.data), (span.size - 2) / recordSize);
}

struct Mesh
{
    std::vector<float> vertices;
    std::vector<float> texCoords;
    std::vector<uint16_t> faces; // three vertex numbers per face
    // For each face, 1 + its index into materialNames, or 0 for none: a
    // long name is kept once however many faces use it.
    std::vector<uint32_t> faceMaterials;
    std::vector<std::string> materialNames;
};

struct Material
{
    std::string name;
    uint8_t diffuse[3] = {255, 255, 255};
};

class Reader
{
public:
    void Main(Span body)
    {
        Chunks chunks(body);
        for (Chunk chunk; chunks.Next(chunk);)
            if (chunk.id == kEditor)
                Editor(chunk.body);
    }

    bool Build(TriangleMesh& out) const;

private:
    void Editor(Span body)
    {
        Chunks chunks(body);
        for (Chunk chunk; chunks.Next(chunk);)
        {
            if (chunk.id == kObject)
                Object(chunk.body);
            else if (chunk.id == kMaterialBlock)
                MaterialBlock(chunk.body);
        }
    }

    void Object(Span body)
    {
        std::string name;
        Span rest;
        if (!ReadName(body, name, rest))
            return;
        Chunks chunks(rest);
        for (Chunk chunk; chunks.Next(chunk);)
            if (chunk.id == kTriangleMesh)
                TriangleMeshChunk(chunk.body);
    }

    void TriangleMeshChunk(Span body)
    {
        Mesh mesh;
        Chunks chunks(body);
        for (Chunk chunk; chunks.Next(chunk);)
        {
            if (chunk.id == kVertexList)
                ReadFloats(chunk.body, 3, mesh.vertices);
            else if (chunk.id == kTexCoordList)
                ReadFloats(chunk.body, 2, mesh.texCoords);
            else if (chunk.id == kFaceList)
                FaceList(chunk.body, mesh);
        }
        // Meshes without vertices draw nothing; and once the model is past
        // what 16-bit indices reach it will be refused, so nothing more is
        // kept for it.
        if (mesh.vertices.empty() || m_vertexCount > assets_detail::kMaxModelVertices)
            return;
        m_vertexCount += mesh.vertices.size() / 3;
        m_meshes.push_back(std::move(mesh));
    }

    static void ReadFloats(Span body, size_t perRecord, std::vector<float>& out)
    {
        const size_t count = BoundedCount(body, perRecord * 4);
        out.resize(count * perRecord);
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = ReadLeFloat(body.data + 2 + 4 * i);
    }

    // Each face: three vertex numbers and a word of edge flags, then the
    // face list's own sub-chunks.
    static void FaceList(Span body, Mesh& mesh)
    {
        const size_t count = BoundedCount(body, 8);
        mesh.faces.resize(count * 3);
        mesh.faceMaterials.assign(count, 0);
        for (size_t f = 0; f < count; ++f)
            for (size_t k = 0; k < 3; ++k)
                mesh.faces[f * 3 + k] = ReadLe16(body.data + 2 + f * 8 + k * 2);
        Chunks chunks(body.From(2 + count * 8));
        for (Chunk chunk; chunks.Next(chunk);)
            if (chunk.id == kFaceMaterial)
                FaceMaterial(chunk.body, mesh);
    }

    // A material name, then a count of the face numbers that use it.
    static void FaceMaterial(Span body, Mesh& mesh)
    {
        std::string name;
        Span rest;
        if (!ReadName(body, name, rest))
            return;
        mesh.materialNames.push_back(std::move(name));
        const uint32_t material = uint32_t(mesh.materialNames.size());
        const size_t count = BoundedCount(rest, 2);
        for (size_t i = 0; i < count; ++i)
        {
            const uint16_t face = ReadLe16(rest.data + 2 + 2 * i);
            if (face < mesh.faceMaterials.size())
                mesh.faceMaterials[face] = material;
        }
    }

    void MaterialBlock(Span body)
    {
        Chunks chunks(body);
        for (Chunk chunk; chunks.Next(chunk);)
        {
            if (chunk.id == kMaterialName)
            {
                Material material;
                Span rest;
                if (ReadName(chunk.body, material.name, rest) && m_materials.size() < kMaxMaterials)
                    m_materials.push_back(material);
            }
            else if (chunk.id == kDiffuse && !m_materials.empty())
            {
                Chunks colours(chunk.body);
                for (Chunk colour; colours.Next(colour);)
                    if (colour.id == kColourBytes && colour.body.size >= 3)
                        std::memcpy(m_materials.back().diffuse, colour.body.data, 3);
            }
        }
    }

    std::vector<Mesh> m_meshes;
    size_t m_vertexCount = 0;
    std::vector<Material> m_materials;
};

bool Reader::Build(TriangleMesh& out) const
{
    const size_t total = m_vertexCount;
    if (total == 0 || total > assets_detail::kMaxModelVertices)
        return false;

    out.colourArray = !m_materials.empty();
    out.texCoords.assign(total * 2, 0.0f);
    if (out.colourArray)
        out.colours.assign(total * 4, 255);
    // By name, the last record of a name winning.
    std::unordered_map<std::string, const Material*> byName;
    for (const Material& material : m_materials)
        byName[material.name] = &material;
    size_t base = 0;
    for (const Mesh& mesh : m_meshes)
    {
        const size_t count = mesh.vertices.size() / 3;
        out.vertices.insert(out.vertices.end(), mesh.vertices.begin(), mesh.vertices.end());
        std::copy_n(mesh.texCoords.begin(), std::min(mesh.texCoords.size(), count * 2),
                    out.texCoords.begin() + long(base * 2));
        for (size_t f = 0; f * 3 < mesh.faces.size(); ++f)
        {
            const uint16_t* face = &mesh.faces[f * 3];
            if (face[0] >= count || face[1] >= count || face[2] >= count)
                continue;
            const Material* material = nullptr;
            if (mesh.faceMaterials[f] != 0)
            {
                const auto found = byName.find(mesh.materialNames[mesh.faceMaterials[f] - 1]);
                material = found != byName.end() ? found->second : nullptr;
            }
            for (size_t k = 0; k < 3; ++k)
            {
                const size_t vertex = base + face[k];
                out.indices.push_back(uint16_t(vertex));
                if (material && out.colourArray)
                    std::copy_n(material->diffuse, 3, &out.colours[vertex * 4]);
            }
        }
        base += count;
    }
    return true;
}

} // namespace

bool Read3ds(const String& path, CShape& shape)
{
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(path, bytes, assets_detail::kMaxModelFileBytes))
        return false;
    Chunks file(Span{bytes.data(), bytes.size()});
    Chunk main;
    if (!file.Next(main) || main.id != kMain)
        return false;
    Reader reader;
    reader.Main(main.body);
    TriangleMesh mesh;
    return reader.Build(mesh) && assets_detail::FillShape(mesh, shape);
}
