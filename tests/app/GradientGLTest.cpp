// The texture side of gradients in a real GL context: LoadGradient uploads
// the whole picture and drops its pixels, and a file that cannot be decoded
// leaves the previous palette texture in place.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "Mandelbrot.h"
#include "resources/PngEncoder.h"
#include "shell/SDLTestSupport.h"

namespace
{

using GradientTest = GLContextTest;

// Level 0 of an RGB texture, bottom row first.
std::vector<uint8_t> ReadBack(const CTexture& texture)
{
    const unsigned side = texture.GetUploadedSize();
    std::vector<uint8_t> bytes(size_t(side) * side * 3);
    glBindTexture(GL_TEXTURE_2D, texture.GetTextureName());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

} // namespace

TEST_F(GradientTest, LoadingUploadsTheWholePictureAndFreesItsPixels)
{
    const unsigned width = 300;
    std::vector<uint8_t> pixels;
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < width; ++x)
            for (unsigned k = 0; k < 3; ++k)
                pixels.push_back(uint8_t(x + 60 * y + 90 * k));
    const std::string path = ::testing::TempDir() + "gradient_gl.png";
    WritePng(path.c_str(), width, 2, 24, pixels.data());

    CMandelbrot fractal{String("")};
    ASSERT_TRUE(fractal.LoadGradient(String(path.c_str())));
    EXPECT_EQ(fractal.GetPalette().size(), width);
    const CTexture& texture = fractal.GetPaletteTexture();
    const GLuint name = texture.GetTextureName();
    ASSERT_NE(name, 0u);
    EXPECT_EQ(texture.GetPixels(), nullptr);
    EXPECT_EQ(texture.GetWidth(), width);
    EXPECT_EQ(texture.GetHeight(), 2u);
    ASSERT_EQ(texture.GetUploadedSize(), 512u);

    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);

    // Both rows at the top of the 512 canvas, in their own order.
    const std::vector<uint8_t> canvas = ReadBack(texture);
    for (unsigned y = 0; y < 2; ++y)
        EXPECT_EQ(std::memcmp(&canvas[(510 + y) * 512 * 3], &pixels[y * width * 3], width * 3), 0)
            << "row " << y;

    // A file that is no picture gives the built-in palette and keeps it all.
    const std::string text = ::testing::TempDir() + "gradient_gl.txt";
    std::FILE* file = std::fopen(text.c_str(), "wb");
    std::fputs("not a picture", file);
    std::fclose(file);
    EXPECT_FALSE(fractal.LoadGradient(String(text.c_str())));
    EXPECT_EQ(fractal.GetPalette(), BuiltInPalette());
    EXPECT_EQ(texture.GetTextureName(), name);
    EXPECT_EQ(texture.GetUploadedSize(), 512u);
    EXPECT_EQ(ReadBack(texture), canvas);
}
