// Resource descriptions through the resource manager. The input is the
// description, then a line "#--", then one file that the description
// reaches as "fuzz" with any of the endings below (a private folder is the
// working directory), so every kind is loaded from fuzzed bytes.
//
// No GL context exists here: a description that would upload a texture
// (a picture ending outside "heightmap", which decodes without GL, and
// every "font") has that "file" pointed at a missing file of the same
// ending before parsing. The manager then takes its unreadable-file path,
// which never uploads; the decoders themselves have targets of their own.
#include <cstddef>
#include <cstdint>
#include <string>

#include <unistd.h>

#include "FuzzFile.h"
#include "assets/ResourceManager.h"
#include "core/XML.h"
#include "resources/Resource.h"

namespace
{

fuzz::MemoryFile* g_file = nullptr;

const char* const kEndings[] = {".obj", ".mtl", ".3ds", ".wav", ".ogg",
                                ".bmp", ".jpg", ".png", ".tga"};
const char* const kPictureEndings[] = {".bmp", ".jpg", ".png", ".tga"};

const char* PictureEnding(const String& file)
{
    for (const char* ending : kPictureEndings)
        if (file.EndsWith(ending))
            return ending;
    return nullptr;
}

// Every "file" of the root's children that would reach an upload.
void KeepAwayFromGL(CXMLNode& root)
{
    for (unsigned i = 0; i < root.GetChildCount(); ++i)
    {
        CXMLNode& element = *root.GetChild(i);
        const bool font = element.GetName() == "font";
        const bool heightmap = element.GetName() == "heightmap";
        for (unsigned k = 1; CXMLAttribute* file = element.GetAttribute("file", k); ++k)
        {
            const char* ending = PictureEnding(file->GetValue());
            if (font)
                file->SetValue("missing.ttf");
            else if (ending && !heightmap)
                file->SetValue((std::string("missing") + ending).c_str());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static fuzz::MemoryFile file;
    for (const char* ending : kEndings)
        fuzz::LinkAs(file, std::string("fuzz") + ending);
    g_file = &file;
    return chdir(fuzz::PrivateFolder().c_str());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t fileStart = 0;
    const size_t descriptionSize = fuzz::SplitPoint(data, size, fileStart);
    g_file->Put(data + fileStart, size - fileStart);
    CXMLDocument document;
    const std::string text(reinterpret_cast<const char*>(data), descriptionSize);
    if (!document.Parse(text.c_str()))
        return 0;
    KeepAwayFromGL(document);
    CResourceManager manager;
    manager.Parse(document);
    // Every resource is walked by name, as the program looks them up.
    for (unsigned i = 0; i < manager.GetCount(); ++i)
        (void)manager.Find(manager.Get(i)->GetName());
    return 0;
}
