// CTexture: places the picture on its upload canvas and hands it to OpenGL
// 1.x, with GLU building the mipmaps. Powers of two are found in integers: a
// float log2 misses some (8192 gives 12.999999) and, past 2^21, rounds the
// canvas side down below the picture's.
#include "resources/Texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "resources/Filter.h"

namespace
{

bool IsPowerOfTwo(unsigned value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

// 64 bits: the power of two above a side of 2^31 + 1 does not fit in 32.
uint64_t PowerOfTwoAtLeast(unsigned value)
{
    uint64_t side = 1;
    while (side < value)
        side <<= 1;
    return side;
}

// A scaled side, truncated and kept within 1 … limit: a very long, thin
// picture keeps one row rather than vanishing from its canvas.
unsigned ScaledSide(float side, unsigned limit)
{
    if (limit == 0)
        return 0;
    if (!(side >= 1.0f))
        return 1;
    if (side >= static_cast<float>(limit))
        return limit;
    return static_cast<unsigned>(side);
}

struct PixelFormats
{
    GLenum plain;
    GLenum compressed;
};

bool FormatsFor(unsigned channels, PixelFormats& formats)
{
    switch (channels)
    {
    case 1:
        formats = {GL_LUMINANCE, GL_COMPRESSED_LUMINANCE};
        return true;
    case 2:
        formats = {GL_LUMINANCE_ALPHA, GL_COMPRESSED_LUMINANCE_ALPHA};
        return true;
    case 3:
        formats = {GL_RGB, GL_COMPRESSED_RGB};
        return true;
    case 4:
        formats = {GL_RGBA, GL_COMPRESSED_RGBA};
        return true;
    default:
        return false;
    }
}

// Binds `name` and loads the s × s picture into it by the two flags.
void SendToGL(GLuint name, const CImage& picture, GLint filter, bool mipmaps, bool compress)
{
    const GLsizei side = static_cast<GLsizei>(picture.GetWidth());
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmaps ? GL_LINEAR_MIPMAP_LINEAR : filter);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    PixelFormats formats{};
    if (!FormatsFor(picture.GetChannels(), formats))
        return;
    const void* pixels = picture.GetPixels();
    if (mipmaps && !compress)
    {
        gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(picture.GetChannels()), side, side,
                          formats.plain, GL_UNSIGNED_BYTE, pixels);
        return;
    }
    if (mipmaps)
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    const GLenum internal = compress ? formats.compressed : formats.plain;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internal), side, side, 0, formats.plain,
                 GL_UNSIGNED_BYTE, pixels);
}

} // namespace

CTexture::~CTexture()
{
    // Name 0 was never ours, and there may be no context to ask.
    if (m_textureName != 0)
        glDeleteTextures(1, &m_textureName);
}

void CTexture::Upload(const UploadOptions& options)
{
    const unsigned maxSize = options.maxSize;
    if (!m_pixels || m_width == 0 || m_height == 0)
        return;

    // A scale left from an earlier, larger picture would no longer be true.
    m_scale[0] = 1.0f;
    m_scale[1] = 1.0f;

    CImage canvas;
    const CImage* picture = this;
    const bool squarePowerOfTwo = m_width == m_height && IsPowerOfTwo(m_width);
    if (!squarePowerOfTwo || m_width > maxSize || m_height > maxSize)
    {
        const uint64_t side = PowerOfTwoAtLeast(m_width > m_height ? m_width : m_height);
        if (side <= maxSize)
        {
            const unsigned s = static_cast<unsigned>(side);
            canvas.Create(s, s, m_channels, m_bits);
            canvas.BlitWhole(*this);
        }
        else
        {
            const float aspect = static_cast<float>(m_width) / static_cast<float>(m_height);
            const float limit = static_cast<float>(maxSize);
            unsigned width = maxSize;
            unsigned height = maxSize;
            if (m_width > m_height)
                height = ScaledSide(limit / aspect, maxSize);
            else
                width = ScaledSide(aspect * limit, maxSize);
            m_scale[0] = static_cast<float>(width) / static_cast<float>(m_width);
            m_scale[1] = static_cast<float>(height) / static_cast<float>(m_height);

            CImage scaled;
            CFilterResize::Resize(scaled, *this, width, height);
            canvas.Create(maxSize, maxSize, m_channels, m_bits);
            canvas.BlitWhole(scaled);
        }
        picture = &canvas;
    }
    m_uploadedSize = picture->GetWidth();

    // Deleting first drops the old mipmap levels and formats; binding the
    // same name again brings the texture back under it.
    if (m_textureName != 0)
        glDeleteTextures(1, &m_textureName);
    else
        glGenTextures(1, &m_textureName);
    SendToGL(m_textureName, *picture, options.linear ? GL_LINEAR : GL_NEAREST, options.mipmaps,
             options.compress);

    if (options.freePixels)
        FreePixels();
}
