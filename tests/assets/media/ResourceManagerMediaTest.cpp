// The resource manager's sound, model and height-map kinds, from files
// written here: one table for what each ending and element makes, then the
// faults a description can carry (unreadable files, wrong kinds, hostile
// stream sizes) and the rule that a file is loaded once.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MediaFiles.h"
#include "assets/Model.h"
#include "assets/ResourceManager.h"
#include "assets/SoundStream.h"
#include "core/XML.h"

using namespace mediatest;

namespace
{

// Uncompressed grey TGA, rows top to bottom.
Bytes GreyTga(uint16_t width, uint16_t height, const Bytes& pixels)
{
    Bytes tga = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutLe16(tga, width);
    PutLe16(tga, height);
    tga.push_back(8);
    tga.push_back(0x20);
    tga.insert(tga.end(), pixels.begin(), pixels.end());
    return tga;
}

const char* const kQuadObj = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 2\nf 1 2 3 4\n";

Bytes ThreeDsTriangle()
{
    Bytes vertices;
    PutLe16(vertices, 3);
    for (float v : {0.f, 0.f, 0.f, 4.f, 0.f, 0.f, 0.f, 5.f, 6.f})
        PutFloat(vertices, v);
    Bytes faces;
    PutLe16(faces, 1);
    for (uint16_t i : {0, 1, 2, 0})
        PutLe16(faces, i);
    Bytes name;
    PutText(name, std::string("tri") + '\0');
    const Bytes object = Join({name, Chunk3ds(0x4100, Join({Chunk3ds(0x4110, vertices),
                                                            Chunk3ds(0x4120, faces)}))});
    Bytes version;
    PutLe32(version, 3);
    return Chunk3ds(0x4D4D, Join({Chunk3ds(0x0002, version),
                                  Chunk3ds(0x3D3D, Chunk3ds(0x4000, object))}));
}

struct Files
{
    Scratch scratch;
    std::string wav, ogg, obj, threeDs, tga, wide, thin, broken;

    Files()
    {
        Bytes second(8820 * 4, 1);
        wav = scratch.Write(WaveFile({FormatChunk(1, 2, 8820, 16), RiffChunk("data", second)}),
                            "tone.wav");
        ogg = scratch.Write(OggTone(1, 22050, 55125), "tone.ogg");
        obj = scratch.WriteText(kQuadObj, "quad.obj");
        threeDs = scratch.Write(ThreeDsTriangle(), "tri.3ds");
        tga = scratch.Write(GreyTga(3, 2, {0, 10, 20, 30, 40, 50}), "hill.tga");
        // One sample more than 16-bit indices reach, and a grid one wide.
        wide = scratch.Write(GreyTga(257, 256, Bytes(257 * 256, 7)), "wide.tga");
        thin = scratch.Write(GreyTga(1, 5, Bytes(5, 7)), "thin.tga");
        broken = scratch.WriteText("not a resource", "broken");
    }

    // The description with "$wav", "$ogg", … replaced by the files' paths.
    std::string Expand(std::string text) const
    {
        const std::pair<const char*, const std::string*> names[] = {
            {"$wav", &wav}, {"$ogg", &ogg},       {"$obj", &obj},
            {"$3ds", &threeDs}, {"$tga", &tga}, {"$wide", &wide},
            {"$thin", &thin}, {"$broken", &broken}};
        for (const auto& [key, path] : names)
            for (size_t at; (at = text.find(key)) != std::string::npos;)
                text.replace(at, std::string(key).size(), *path);
        return text;
    }
};

void ParseText(CResourceManager& manager, const std::string& text)
{
    CXMLDocument document;
    ASSERT_TRUE(document.Parse(text.c_str())) << text;
    manager.Parse(document);
}

// What a person would want to know of a resource, as one line.
std::string Describe(const CResource* resource)
{
    if (!resource)
        return "none";
    if (auto* stream = dynamic_cast<const CSoundStream*>(resource))
        return "stream " + std::to_string(stream->IsOpen()) + " " +
               std::to_string(stream->GetDuration()) + "ms " +
               std::to_string(stream->GetSize()) + "B";
    if (auto* sound = dynamic_cast<const CSound*>(resource))
        return "sound " + std::to_string(sound->GetDuration()) + "ms " +
               std::to_string(sound->GetSize()) + "B";
    if (auto* model = dynamic_cast<const CModel*>(resource))
        return "model " + std::to_string(model->GetShape().GetVertexCount()) + "v " +
               std::to_string(model->GetShape().GetIndexCount()) + "i";
    return "other";
}

} // namespace

TEST(ResourceManagerMedia, EndingsAndElementsMakeTheirKinds)
{
    const struct
    {
        const char* element;
        const char* expected;
    } rows[] = {
        {R"(<sound name="x" file="$wav"/>)", "sound 1000ms 35280B"},
        {R"(<music name="x" file="$ogg"/>)", "sound 2500ms 110250B"},
        {R"(<model name="x" file="$obj"/>)", "model 4v 9i"},
        {R"(<model name="x" file="$3ds"/>)", "model 3v 3i"},
        // channels x rate x bits x size / 1000 bytes: 176400 for the
        // default 500, 35280 for 100.
        {R"(<stream name="x" file="$ogg"/>)", "stream 1 2500ms 176400B"},
        {R"(<stream name="x" file="$ogg" size="100"/>)", "stream 1 2500ms 35280B"},
        {R"(<heightmap name="x" file="$tga"/>)", "model 6v 12i"},
        // Kinds a file cannot have: nothing, or an empty resource.
        {R"(<stream name="x" file="$wav"/>)", "none"},
        {R"(<heightmap name="x" file="$obj"/>)", "model 0v 0i"},
        {R"(<heightmap name="x" file="$wide"/>)", "model 0v 0i"},
        {R"(<heightmap name="x" file="$thin"/>)", "model 0v 0i"},
        {R"(<heightmap name="x" file="$broken.tga"/>)", "model 0v 0i"},
        {R"(<sound name="x" file="$broken.wav"/>)", "sound 0ms 0B"},
        {R"(<sound name="x" file="$broken.ogg"/>)", "sound 0ms 0B"},
        {R"(<model name="x" file="$broken.obj"/>)", "model 0v 0i"},
        {R"(<model name="x" file="$broken.3ds"/>)", "model 0v 0i"},
        {R"(<stream name="x" file="$broken.ogg"/>)", "stream 0 0ms 0B"},
        // Upper-case endings are other endings.
        {R"(<sound name="x" file="$broken.WAV"/>)", "none"},
        {R"(<sound name="x" file="$wav"/>)", "sound 1000ms 35280B"},
    };
    Files files;
    for (const auto& row : rows)
    {
        CResourceManager manager;
        ParseText(manager, files.Expand(std::string("<r>") + row.element + "</r>"));
        EXPECT_EQ(Describe(manager.Find("x")), row.expected) << row.element;
    }
}

TEST(ResourceManagerMedia, HeightMapIsTheGridOfThePicturesBytes)
{
    Files files;
    CResourceManager manager;
    ParseText(manager, files.Expand(R"(<r><heightmap name="hill" file="$tga"/></r>)"));
    auto* model = dynamic_cast<CModel*>(manager.Find("hill"));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->GetFileName(), files.tga.c_str());
    // x is the column, y the height, z the row; Finish bounds them.
    EXPECT_FLOAT_EQ(model->GetBoundsMin().y, 0.f);
    EXPECT_FLOAT_EQ(model->GetBoundsMax().x, 2.f);
    EXPECT_FLOAT_EQ(model->GetBoundsMax().y, 50.f);
    EXPECT_FLOAT_EQ(model->GetBoundsMax().z, 1.f);
}

TEST(ResourceManagerMedia, HostileStreamSizesAreHeldToTheirBounds)
{
    const struct
    {
        const char* size;
        uint32_t expected; // bytes of the two-part buffer at 22050 Hz mono
    } rows[] = {
        {"0", 352},              // below the least: 1
        {"-5", 352},             // negative, not a huge unsigned
        {"99999999999", 21168000}, // past int: the most, 60000
        {"60001", 21168000},
        {"abc", 352},            // no number reads as 0
    };
    Files files;
    for (const auto& row : rows)
    {
        CResourceManager manager;
        ParseText(manager, files.Expand(std::string(R"(<r><stream name="s" file="$ogg" size=")") +
                                        row.size + "\"/></r>"));
        auto* stream = dynamic_cast<CSoundStream*>(manager.Find("s"));
        ASSERT_TRUE(stream) << row.size;
        EXPECT_EQ(stream->GetSize(), row.expected) << row.size;
    }
}

TEST(ResourceManagerMedia, EachFileLoadsOnceAndKeepsItsFirstName)
{
    Files files;
    CResourceManager manager;
    ParseText(manager, files.Expand(R"(<r>
        <sound name="first" file="$ogg"/>
        <sound name="second" file="$ogg"/>
        <model name="m" file="$obj"/>
        <model name="m2" file="$obj"/>
    </r>)"));
    EXPECT_EQ(manager.GetCount(), 2u);
    EXPECT_TRUE(manager.Find("first"));
    EXPECT_FALSE(manager.Find("second"));
    EXPECT_FALSE(manager.Find("m2"));
    // A second description that fails to read leaves what was loaded.
    EXPECT_FALSE(manager.Load((files.scratch.Folder() + "/missing.xml").c_str()));
    EXPECT_EQ(manager.GetCount(), 2u);
    EXPECT_EQ(Describe(manager.Find("first")), "sound 2500ms 110250B");
}
