// CResourceManager: the two dispatch tables (by file ending, by element
// name) and the sprite and font forms of the description. Every count a
// description gives is checked before anything is allocated for it, and
// every look-up checks the kind it found before using it as that kind.
#include "assets/ResourceManager.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <iterator>
#include <string>

#include "assets/Model.h"
#include "assets/ObjReader.h"
#include "assets/OggReader.h"
#include "assets/SoundStream.h"
#include "assets/ThreeDsReader.h"
#include "assets/WavReader.h"
#include "core/XML.h"
#include "render/Heightmap.h"
#include "render/Sprite.h"
#include "resources/Image.h"
#include "resources/PictureFile.h"
#include "resources/Texture.h"

namespace
{

// Tested in this order, exactly and case-sensitively.
const char* const kPictureEndings[] = {".bmp", ".jpg", ".png", ".tga"};

bool IsPicture(const String& file)
{
    return std::any_of(std::begin(kPictureEndings), std::end(kPictureEndings),
                       [&](const char* ending) { return file.EndsWith(ending); });
}

// Tested after the pictures, in this order.
enum class FileKind
{
    None,
    Picture,
    Ogg,
    Wav,
    ThreeDs,
    Obj
};

FileKind KindOf(const String& file)
{
    if (IsPicture(file))
        return FileKind::Picture;
    static const struct
    {
        const char* ending;
        FileKind kind;
    } kEndings[] = {{".ogg", FileKind::Ogg},
                    {".wav", FileKind::Wav},
                    {".3ds", FileKind::ThreeDs},
                    {".obj", FileKind::Obj}};
    for (const auto& row : kEndings)
        if (file.EndsWith(row.ending))
            return row.kind;
    return FileKind::None;
}

int IntOr(const CXMLNode& node, const char* name, int fallback)
{
    return node.GetAttribute(name) ? node.GetAttributeInt(name) : fallback;
}

// A frame's position or size: negative reads as 0, and beyond the bound
// as the bound.
unsigned FramePixels(long long value)
{
    return unsigned(std::clamp<long long>(value, 0, CResourceManager::kMaxFramePixels));
}

unsigned FramePixels(const CXMLNode& node, const char* name, unsigned fallback)
{
    return FramePixels(node.GetAttribute(name) ? node.GetAttributeInt(name)
                                               : static_cast<long long>(fallback));
}

// Leading integer as atoi reads it, but pinned to the range of long long
// instead of overflowing.
long long LeadingInteger(const std::string& text)
{
    return std::strtoll(text.c_str(), nullptr, 10);
}

// "columns,rows": the integer before the first comma and the one after it.
void ReadArray(const String& text, long long& columns, long long& rows)
{
    const std::string value = text.GetText();
    const size_t comma = value.find(',');
    columns = LeadingInteger(value.substr(0, comma));
    rows = comma == std::string::npos ? 0 : LeadingInteger(value.substr(comma + 1));
}

// Room for `columns` × `rows` more frames, counted without overflow.
bool ArrayFits(long long columns, long long rows, unsigned frames)
{
    if (columns <= 0 || rows <= 0)
        return false;
    const long long room = CResourceManager::kMaxSpriteFrames - static_cast<long long>(frames);
    return columns <= room && rows <= room / columns;
}

bool FontFits(int height, int first, int last)
{
    if (height <= 0 || height > CResourceManager::kMaxFontHeight || first < 0 || last < 0)
        return false;
    // A first code above the last gives no frames, which costs nothing.
    return last < first ||
           static_cast<long long>(last) - first + 1 <= CResourceManager::kMaxFontCodes;
}

CTexture::UploadOptions MipmappedOnce()
{
    CTexture::UploadOptions options;
    options.mipmaps = true;
    options.freePixels = true;
    return options;
}

} // namespace

CResourceManager::CResourceManager() = default;

CResourceManager::~CResourceManager()
{
    Clear();
}

bool CResourceManager::Load(const String& path)
{
    CXMLDocument document;
    if (!document.Load(path))
        return false;
    Parse(document);
    return true;
}

// element      "file" is               makes
// sprite       its picture             a sprite on that picture (ParseSprite)
// font         a TrueType face         a glyph sprite and its atlas (ParseFont)
// stream       an Ogg Vorbis file      an open sound stream (ParseStream)
// heightmap    a picture               a model of its height field (ParseHeightmap)
// any other    any file                AddFile(file, name)
// No "file" attribute: nothing.
void CResourceManager::Parse(const CXMLNode& root)
{
    const unsigned count = root.GetChildCount();
    for (unsigned i = 0; i < count; ++i)
    {
        const CXMLNode& element = *root.GetChild(i);
        Progress.Emit(element, i, count);
        const String name = element.GetAttributeString("name");
        if (!element.GetAttribute("file"))
            continue;
        const String file = element.GetAttributeString("file");
        if (element.GetName() == "sprite")
            ParseSprite(element, name, file);
        else if (element.GetName() == "font")
            ParseFont(element, name, file);
        else if (element.GetName() == "stream")
            ParseStream(element, name, file);
        else if (element.GetName() == "heightmap")
            ParseHeightmap(name, file);
        else
            AddFile(file, name);
    }
}

void CResourceManager::AddFile(const String& file, const String& name)
{
    if (IsFileLoaded(file))
        return;
    switch (KindOf(file))
    {
    case FileKind::Picture:
        AddPicture(file, name);
        break;
    case FileKind::Ogg:
        AddSound(file, name, OggReader().DecodeAll(file));
        break;
    case FileKind::Wav:
        AddSound(file, name, ReadWav(file));
        break;
    case FileKind::ThreeDs:
        AddModel(file, name, Read3ds);
        break;
    case FileKind::Obj:
        AddModel(file, name, ReadObj);
        break;
    case FileKind::None:
        break;
    }
}

bool CResourceManager::IsFileLoaded(const String& file) const
{
    return std::any_of(m_resources.begin(), m_resources.end(),
                       [&](const std::unique_ptr<CResource>& r) { return r->GetFileName() == file; });
}

void CResourceManager::AddPicture(const String& file, const String& name)
{
    auto texture = std::make_unique<CTexture>();
    texture->SetName(name);
    texture->SetFileName(file);
    // One decode gives the pixels and their size; a refused file leaves a
    // 0 x 0 texture that is never uploaded.
    if (LoadPicture(file.GetText(), *texture))
        texture->Upload(MipmappedOnce());
    Add(std::move(texture));
}

// An unreadable sound is kept, empty, under its name.
void CResourceManager::AddSound(const String& file, const String& name, SoundData samples)
{
    auto sound = std::make_unique<CSound>();
    sound->SetName(name);
    sound->SetFileName(file);
    sound->Adopt(std::move(samples));
    Add(std::move(sound));
}

// The same for a model: a file the reader refuses leaves an empty shape.
void CResourceManager::AddModel(const String& file, const String& name, ModelReader read)
{
    auto model = std::make_unique<CModel>();
    model->SetName(name);
    model->SetFileName(file);
    read(file, model->GetShape());
    model->Finish();
    Add(std::move(model));
}

// Only Ogg Vorbis files stream; "size" is the buffer in milliseconds
// (default 500), held to what the stream accepts before any arithmetic.
void CResourceManager::ParseStream(const CXMLNode& element, const String& name, const String& file)
{
    if (!file.EndsWith(".ogg"))
        return;
    const int size = std::clamp(IntOr(element, "size", 500), int(CSoundStream::kMinSize),
                                int(CSoundStream::kMaxSize));
    auto stream = std::make_unique<CSoundStream>();
    stream->SetName(name);
    stream->SetFileName(file);
    stream->OpenStream(file, uint32_t(size));
    Add(std::move(stream));
}

// The picture's bytes as heights, one per sample whatever its channels.
// The model is kept without a height field when the picture cannot be
// read; grids the height map cannot index leave its shape empty.
void CResourceManager::ParseHeightmap(const String& name, const String& file)
{
    auto model = std::make_unique<CModel>();
    model->SetName(name);
    model->SetFileName(file);
    CImage picture;
    if (IsPicture(file) && LoadPicture(file.GetText(), picture) && picture.GetPixels())
    {
        model->CopyShape(CHeightmap(picture.GetWidth(), picture.GetHeight(), picture.GetPixels()));
        picture.FreePixels();
    }
    model->Finish();
    Add(std::move(model));
}

// Frames by child element: "x", "y" (default 0), "w", "h" (default the
// picture's size), "delay" (default the sprite's), "name"; with "array" =
// "columns,rows" a grid of unnamed frames, rows top to bottom.
void CResourceManager::ParseSprite(const CXMLNode& element, const String& name, const String& file)
{
    AddFile(file, file);
    // By file rather than by name: a picture an earlier element loaded
    // under its own name is still this sprite's picture.
    CTexture* texture = FindTextureByFile(file);
    const unsigned textureWidth = texture ? texture->GetWidth() : 0;
    const unsigned textureHeight = texture ? texture->GetHeight() : 0;

    auto sprite = std::make_unique<CSprite>();
    sprite->SetName(name);
    if (element.GetAttribute("fps"))
        sprite->SetFrameRate(static_cast<unsigned>(element.GetAttributeInt("fps")));

    if (element.GetChildCount() == 0)
    {
        SpriteFrame whole;
        CSprite::SetFrameRect(whole, 0, 0, textureWidth, textureHeight, 0, texture);
        sprite->AddFrame(whole);
    }
    for (unsigned i = 0; i < element.GetChildCount(); ++i)
    {
        const CXMLNode& child = *element.GetChild(i);
        const unsigned x = FramePixels(child, "x", 0);
        const unsigned y = FramePixels(child, "y", 0);
        const unsigned w = FramePixels(child, "w", textureWidth);
        const unsigned h = FramePixels(child, "h", textureHeight);
        const unsigned delay =
            static_cast<unsigned>(IntOr(child, "delay", int(sprite->GetDefaultDelay())));
        if (!child.GetAttribute("array"))
        {
            if (sprite->GetFrameCount() >= kMaxSpriteFrames)
                continue;
            SpriteFrame frame;
            frame.name = child.GetAttributeString("name");
            CSprite::SetFrameRect(frame, x, y, w, h, delay, texture);
            sprite->AddFrame(frame);
            continue;
        }
        long long columns = 0;
        long long rows = 0;
        ReadArray(child.GetAttributeString("array"), columns, rows);
        if (!ArrayFits(columns, rows, sprite->GetFrameCount()))
            continue;
        for (long long row = 0; row < rows; ++row)
            for (long long column = 0; column < columns; ++column)
            {
                SpriteFrame frame;
                CSprite::SetFrameRect(frame, FramePixels(x + column * w),
                                      FramePixels(y + row * h), w, h, delay, texture);
                sprite->AddFrame(frame);
            }
    }
    Add(std::move(sprite));
}

// "height" (default 12) pixels, character codes "start" (0) to "end" (256)
// inclusive. The sprite is kept, without frames, when the face cannot be
// read or the numbers are out of bounds.
void CResourceManager::ParseFont(const CXMLNode& element, const String& name, const String& file)
{
    const int height = IntOr(element, "height", 12);
    const int first = IntOr(element, "start", 0);
    const int last = IntOr(element, "end", 256);
    auto sprite = std::make_unique<CSprite>();
    std::unique_ptr<CTexture> atlas;
    if (FontFits(height, first, last))
        atlas = CSprite::BuildFontSprite(*sprite, file, unsigned(height), unsigned(first),
                                         unsigned(last));
    sprite->SetName(name);
    if (atlas && sprite->GetFrameCount() > 0)
    {
        atlas->SetName(file);
        atlas->SetFileName(file);
        atlas->Upload(MipmappedOnce());
        CTexture* texture = atlas.get();
        Add(std::move(atlas));
        // Texture coordinates need the canvas the upload chose.
        for (unsigned i = 0; i < sprite->GetFrameCount(); ++i)
        {
            SpriteFrame& frame = *sprite->GetFrame(i);
            CSprite::SetFrameRect(frame, frame.x, frame.y, frame.w, frame.h, frame.delay, texture);
        }
    }
    Add(std::move(sprite));
}

CResource* CResourceManager::Find(const String& name) const
{
    for (const std::unique_ptr<CResource>& resource : m_resources)
        if (resource->GetName() == name)
            return resource.get();
    return nullptr;
}

CTexture* CResourceManager::FindTexture(const String& name) const
{
    return dynamic_cast<CTexture*>(Find(name));
}

CSprite* CResourceManager::FindSprite(const String& name) const
{
    return dynamic_cast<CSprite*>(Find(name));
}

CTexture* CResourceManager::FindTextureByFile(const String& file) const
{
    for (const std::unique_ptr<CResource>& resource : m_resources)
        if (resource->GetFileName() == file)
            if (CTexture* texture = dynamic_cast<CTexture*>(resource.get()))
                return texture;
    return nullptr;
}

CResource* CResourceManager::Add(std::unique_ptr<CResource> resource)
{
    assert(resource && "CResourceManager::Add(): null resource");
    m_resources.push_back(std::move(resource));
    return m_resources.back().get();
}

void CResourceManager::Clear()
{
    // First to last, as they were added; a font's atlas goes before its sprite.
    for (std::unique_ptr<CResource>& resource : m_resources)
        resource.reset();
    m_resources.clear();
}

CResource* CResourceManager::Get(unsigned index) const
{
    return index < m_resources.size() ? m_resources[index].get() : nullptr;
}
