// The owner of every loaded resource: pictures as textures, sprites cut from
// them, fonts rasterised into glyph atlases, models, height maps and sounds,
// read from a resources description or one file at a time, and found again
// by name. Main thread
// only: loading uploads textures to the current GL context.
#pragma once

#include <memory>
#include <vector>

#include "core/Signal.h"
#include "core/String.h"

class CResource;
class CShape;
class CSprite;
class CTexture;
class CXMLNode;
struct SoundData;

class CResourceManager
{
public:
    // What a description may ask for, so that a hostile file cannot make
    // the manager allocate gigabytes: frames a sprite may hold, and the
    // pixel height and number of character codes of a font.
    static constexpr unsigned kMaxSpriteFrames = 65536;
    // Frame positions and sizes are held to this many pixels, which no
    // texture reaches, so that scaling them to a canvas stays in range.
    static constexpr unsigned kMaxFramePixels = 65536;
    static constexpr int kMaxFontHeight = 256;
    static constexpr unsigned kMaxFontCodes = 1024;

    CResourceManager();
    ~CResourceManager();
    CResourceManager(const CResourceManager&) = delete;
    CResourceManager& operator=(const CResourceManager&) = delete;

    // Reads the description and parses its root element; false when the
    // file cannot be read as XML (nothing is loaded then).
    bool Load(const String& path);
    // Every child element of `root` in order; the root's own name is not
    // examined. Unknown elements with a "file" load it as a plain file.
    void Parse(const CXMLNode& root);
    // Loads `file` as the resource kind its ending names, unless a resource
    // of that file name is loaded already. Unknown endings add nothing.
    void AddFile(const String& file, const String& name);

    // The first resource of that name, or null. Not owned.
    CResource* Find(const String& name) const;
    // The same, but null unless the resource is of that kind.
    CTexture* FindTexture(const String& name) const;
    CSprite* FindSprite(const String& name) const;
    // The first texture loaded from that file, or null.
    CTexture* FindTextureByFile(const String& file) const;

    // Takes ownership; returns the resource, which stays valid until Clear.
    CResource* Add(std::unique_ptr<CResource> resource);
    void Clear();
    unsigned GetCount() const { return static_cast<unsigned>(m_resources.size()); }
    // Null when `index` is out of range.
    CResource* Get(unsigned index) const;

    // (element, index, element count) before each child of a description.
    CSignal<const CXMLNode&, unsigned, unsigned> Progress;

private:
    bool IsFileLoaded(const String& file) const;
    void AddPicture(const String& file, const String& name);
    void ParseSprite(const CXMLNode& element, const String& name, const String& file);
    void ParseFont(const CXMLNode& element, const String& name, const String& file);
    void ParseStream(const CXMLNode& element, const String& name, const String& file);
    void ParseHeightmap(const String& name, const String& file);
    void AddSound(const String& file, const String& name, SoundData samples);
    using ModelReader = bool (*)(const String& path, CShape& shape);
    void AddModel(const String& file, const String& name, ModelReader read);

    std::vector<std::unique_ptr<CResource>> m_resources;
};
