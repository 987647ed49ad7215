// vemmo-resources: loads a resource description as the explorer does and
// lists what it holds, one line per resource in load order: kind, name,
// size (pixels for pictures and sprites, vertices for models and height
// maps, milliseconds for sounds) and file. Textures need a GL context, so
// a small window is opened through the shell for the run. Exit status 0
// when the description was read, 1 when it could not be, 2 on bad
// options, 3 when no window or context can be had (no display).
#include <cstdio>
#include <string>

#include "assets/Model.h"
#include "assets/ResourceManager.h"
#include "assets/SoundStream.h"
#include "render/Sprite.h"
#include "resources/Texture.h"
#include "shell/PlatformSDL.h"

namespace
{

// The window and context for the run, released in reverse order.
class Context
{
public:
    Context() : m_previous(SetPlatform(&m_sdl)) {}
    ~Context()
    {
        if (m_context)
            m_sdl.DeleteContext();
        if (m_window)
            m_sdl.DestroyWindow();
        if (m_registered)
            m_sdl.UnregisterWindowClass();
        SetPlatform(m_previous);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    bool Open()
    {
        m_registered = m_sdl.RegisterWindowClass();
        m_window = m_registered && m_sdl.CreateWindow(16, 16, true, false);
        if (m_window)
            m_sdl.SetWindowTitle("vemmo-resources");
        m_context = m_window && m_sdl.SetPixelFormat(CPlatform::PixelFormat{}) &&
                    m_sdl.CreateContext();
        return m_context;
    }

private:
    CPlatformSDL m_sdl;
    CPlatform* m_previous;
    bool m_registered = false;
    bool m_window = false;
    bool m_context = false;
};

std::string Pixels(unsigned width, unsigned height)
{
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

// Kind and size of one resource, most derived kind first.
void Describe(const CResource& resource, const char*& kind, std::string& size)
{
    if (auto* stream = dynamic_cast<const CSoundStream*>(&resource))
    {
        kind = "stream";
        size = std::to_string(stream->GetDuration()) + " ms";
    }
    else if (auto* sound = dynamic_cast<const CSound*>(&resource))
    {
        kind = "sound";
        size = std::to_string(sound->GetDuration()) + " ms";
    }
    else if (auto* model = dynamic_cast<const CModel*>(&resource))
    {
        kind = "model";
        size = std::to_string(model->GetShape().GetVertexCount()) + " vertices";
    }
    else if (auto* texture = dynamic_cast<const CTexture*>(&resource))
    {
        kind = "texture";
        size = Pixels(texture->GetWidth(), texture->GetHeight());
    }
    else if (auto* sprite = dynamic_cast<const CSprite*>(&resource))
    {
        kind = "sprite";
        const SpriteFrame* first = sprite->GetFrame(0);
        size = std::to_string(sprite->GetFrameCount()) + " frames, " +
               (first ? Pixels(first->w, first->h) : std::string("no pixels"));
    }
    else
    {
        kind = "other";
        size = "-";
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-')
    {
        std::fprintf(stderr, "usage: vemmo-resources DESCRIPTION.xml\n");
        return 2;
    }
    Context context;
    if (!context.Open())
    {
        std::fprintf(stderr, "vemmo-resources: no display: a GL context is needed to load textures\n");
        return 3;
    }
    CResourceManager manager;
    if (!manager.Load(argv[1]))
    {
        std::fprintf(stderr, "vemmo-resources: cannot read %s as XML\n", argv[1]);
        return 1;
    }
    for (unsigned i = 0; i < manager.GetCount(); ++i)
    {
        const CResource& resource = *manager.Get(i);
        const char* kind = nullptr;
        std::string size;
        Describe(resource, kind, size);
        std::printf("%-8s %-20s %-26s %s\n", kind,
                    ("\"" + std::string(resource.GetName().GetText()) + "\"").c_str(), size.c_str(),
                    resource.GetFileName().GetText());
    }
    std::printf("%u resources\n", manager.GetCount());
    return 0;
}
