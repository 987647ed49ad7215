// Textures uploaded into a real GL context (Mesa's software renderer) and read
// back with glGetTexImage: the canvas sizes and where the picture lands on
// them, scaling under a limit, the flag combinations, names and deletion.
#include "resources/Texture.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "resources/Filter.h"
#include "shell/SDLTestSupport.h"

namespace
{

using TextureTest = GLContextTest;

// Every byte different enough to tell pixels, rows and channels apart.
void Fill(CTexture& texture, unsigned width, unsigned height, unsigned channels)
{
    texture.Create(width, height, channels, int(channels * 8));
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            for (unsigned k = 0; k < channels; ++k)
                texture.GetPixel(x, y)[k] = uint8_t(1 + x + 7 * y + 50 * k);
}

CTexture::UploadOptions Nearest()
{
    CTexture::UploadOptions options;
    options.linear = false;
    return options;
}

CTexture::UploadOptions Limited(unsigned maxSize)
{
    CTexture::UploadOptions options;
    options.maxSize = maxSize;
    return options;
}

CTexture::UploadOptions FreeingPixels()
{
    CTexture::UploadOptions options;
    options.freePixels = true;
    return options;
}

GLenum FormatOf(unsigned channels)
{
    const GLenum formats[] = {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
    return formats[channels - 1];
}

GLint LevelParameter(GLuint name, GLint level, GLenum parameter)
{
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

GLint Parameter(GLuint name, GLenum parameter)
{
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

// Level 0 of the texture, bottom row first like an image.
std::vector<uint8_t> ReadBack(const CTexture& texture, unsigned channels)
{
    const unsigned side = texture.GetUploadedSize();
    std::vector<uint8_t> bytes(size_t(side) * side * channels, 0xEE);
    glBindTexture(GL_TEXTURE_2D, texture.GetTextureName());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, FormatOf(channels), GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

// The canvas holds `picture` in its top-left corner and zeros elsewhere.
void ExpectTopLeft(const std::vector<uint8_t>& canvas, unsigned side, const CImage& picture)
{
    const unsigned c = picture.GetChannels();
    const unsigned top = side - picture.GetHeight();
    for (unsigned row = 0; row < side; ++row)
        for (unsigned col = 0; col < side; ++col)
        {
            const uint8_t* got = &canvas[(size_t(row) * side + col) * c];
            const bool inside = row >= top && col < picture.GetWidth();
            const uint8_t zero[4] = {0, 0, 0, 0};
            const uint8_t* want = inside ? picture.GetPixel(col, row - top) : zero;
            ASSERT_EQ(std::memcmp(got, want, c), 0) << "canvas pixel " << col << ", " << row;
        }
}

} // namespace

TEST_F(TextureTest, SquarePowerOfTwoGoesUpUnchanged)
{
    CTexture texture;
    EXPECT_EQ(texture.GetTextureName(), 0u);
    Fill(texture, 256, 256, 3);
    texture.Upload(Nearest());

    ASSERT_NE(texture.GetTextureName(), 0u);
    EXPECT_EQ(texture.GetUploadedSize(), 256u);
    EXPECT_EQ(texture.GetScale()[0], 1.0f);
    EXPECT_EQ(texture.GetScale()[1], 1.0f);
    ASSERT_NE(texture.GetPixels(), nullptr); // kept unless asked to free
    const std::vector<uint8_t> bytes = ReadBack(texture, 3);
    EXPECT_EQ(std::memcmp(bytes.data(), texture.GetPixels(), bytes.size()), 0);

    const GLuint name = texture.GetTextureName();
    EXPECT_EQ(Parameter(name, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(Parameter(name, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(Parameter(name, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(Parameter(name, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(LevelParameter(name, 1, GL_TEXTURE_WIDTH), 0); // no mipmaps
}

TEST_F(TextureTest, OtherPicturesSitTopLeftOnAPowerOfTwoSquare)
{
    struct Case
    {
        unsigned width, height, channels, side;
    };
    const Case cases[] = {
        {256, 128, 3, 256}, // both powers of two, not square: top half
        {300, 200, 3, 512}, {3, 2, 1, 4}, {2, 3, 2, 4},
        {5, 5, 4, 8},       {1, 1, 3, 1}, // 2^0 needs no canvas
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " x " << c.channels);
        CTexture texture;
        Fill(texture, c.width, c.height, c.channels);
        texture.Upload({});
        ASSERT_EQ(texture.GetUploadedSize(), c.side);
        EXPECT_EQ(LevelParameter(texture.GetTextureName(), 0, GL_TEXTURE_WIDTH), GLint(c.side));
        EXPECT_EQ(texture.GetScale()[0], 1.0f);
        EXPECT_EQ(texture.GetScale()[1], 1.0f);
        // The texture's own pixels are not the canvas.
        EXPECT_EQ(texture.GetWidth(), c.width);
        EXPECT_EQ(texture.GetHeight(), c.height);
        ExpectTopLeft(ReadBack(texture, c.channels), c.side, texture);
    }
}

TEST_F(TextureTest, PicturesOverTheLimitAreScaledToFitKeepingTheirShape)
{
    struct Case
    {
        unsigned width, height, limit, scaledWidth, scaledHeight;
    };
    const Case cases[] = {
        {300, 200, 256, 256, 170}, // 256 ÷ 1.5 truncated
        {200, 300, 256, 170, 256}, {512, 512, 256, 256, 256},
        {300, 200, 100, 100, 66}, // the canvas is the limit, power of two or not
        {1000, 1, 64, 64, 1},     // a thin picture keeps a row
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " under " << c.limit);
        CTexture texture;
        Fill(texture, c.width, c.height, 3);
        texture.Upload(Limited(c.limit));
        ASSERT_EQ(texture.GetUploadedSize(), c.limit);
        EXPECT_EQ(texture.GetScale()[0], float(c.scaledWidth) / float(c.width));
        EXPECT_EQ(texture.GetScale()[1], float(c.scaledHeight) / float(c.height));

        CImage scaled;
        CFilterResize::Resize(scaled, texture, c.scaledWidth, c.scaledHeight);
        ExpectTopLeft(ReadBack(texture, 3), c.limit, scaled);
    }

    // A later picture that fits is not scaled, and says so.
    CTexture texture;
    Fill(texture, 300, 200, 3);
    texture.Upload(Limited(256));
    ASSERT_NE(texture.GetScale()[0], 1.0f);
    Fill(texture, 64, 64, 3);
    texture.Upload(Limited(256));
    EXPECT_EQ(texture.GetUploadedSize(), 64u);
    EXPECT_EQ(texture.GetScale()[0], 1.0f);
    EXPECT_EQ(texture.GetScale()[1], 1.0f);
}

TEST_F(TextureTest, UploadingAgainKeepsTheNameAndFreedPixelsKeepTheSizes)
{
    CTexture texture;
    texture.Upload({}); // nothing to upload
    EXPECT_EQ(texture.GetTextureName(), 0u);

    Fill(texture, 8, 8, 3);
    texture.Upload({});
    const GLuint name = texture.GetTextureName();
    ASSERT_NE(name, 0u);

    Fill(texture, 16, 4, 4);
    const CImage second(texture);
    texture.Upload(FreeingPixels());
    EXPECT_EQ(texture.GetTextureName(), name);
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(texture.GetUploadedSize(), 16u);
    EXPECT_EQ(texture.GetPixels(), nullptr);
    EXPECT_EQ(texture.GetWidth(), 16u);
    EXPECT_EQ(texture.GetHeight(), 4u);
    EXPECT_EQ(texture.GetChannels(), 4u);
    EXPECT_EQ(Parameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    const std::vector<uint8_t> bytes = ReadBack(texture, 4);
    ExpectTopLeft(bytes, 16, second);

    // Without pixels a further upload changes nothing.
    texture.Upload(Nearest());
    EXPECT_EQ(texture.GetTextureName(), name);
    EXPECT_EQ(Parameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(ReadBack(texture, 4), bytes);

    // A zero-sized picture has nothing to show either.
    CTexture empty;
    empty.Create(0, 5, 3, 24);
    empty.Upload({});
    EXPECT_EQ(empty.GetTextureName(), 0u);
}

TEST_F(TextureTest, MipmapsAndCompressionFollowTheirFlags)
{
    // One colour, so that even a lossy compressed format gives it back closely.
    auto flat = [](CTexture& texture)
    {
        texture.Create(64, 64, 3, 24);
        for (unsigned i = 0; i < 64 * 64; ++i)
            std::memcpy(texture.GetPixels() + i * 3, "\x40\x80\xC0", 3);
    };
    struct Case
    {
        bool mipmaps, compress;
    };
    for (const Case& c : {Case{true, false}, Case{true, true}, Case{false, true}})
    {
        SCOPED_TRACE(::testing::Message()
                     << "mipmaps " << c.mipmaps << ", compress " << c.compress);
        CTexture texture;
        flat(texture);
        CTexture::UploadOptions options;
        options.mipmaps = c.mipmaps;
        options.compress = c.compress;
        texture.Upload(options);
        const GLuint name = texture.GetTextureName();
        ASSERT_NE(name, 0u);
        EXPECT_EQ(Parameter(name, GL_TEXTURE_MIN_FILTER),
                  c.mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
        EXPECT_EQ(LevelParameter(name, 0, GL_TEXTURE_WIDTH), 64);
        EXPECT_EQ(LevelParameter(name, 1, GL_TEXTURE_WIDTH), c.mipmaps ? 32 : 0);
        EXPECT_EQ(LevelParameter(name, 6, GL_TEXTURE_WIDTH), c.mipmaps ? 1 : 0);
        if (c.compress)
        {
            const GLint internal = LevelParameter(name, 0, GL_TEXTURE_INTERNAL_FORMAT);
            EXPECT_NE(internal, GL_RGB); // asked for a compressed format
        }
        const std::vector<uint8_t> bytes = ReadBack(texture, 3);
        for (size_t i = 0; i < bytes.size(); i += 3)
        {
            ASSERT_NEAR(bytes[i], 0x40, 8) << i / 3;
            ASSERT_NEAR(bytes[i + 1], 0x80, 8) << i / 3;
            ASSERT_NEAR(bytes[i + 2], 0xC0, 8) << i / 3;
        }
    }
}

TEST_F(TextureTest, DestructionDeletesTheTexture)
{
    GLuint name = 0;
    {
        CTexture texture;
        Fill(texture, 4, 4, 3);
        texture.Upload(FreeingPixels());
        name = texture.GetTextureName();
        ASSERT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));
}
