// Publishing a render in a real window: frames move the progress to 100,
// upload FullImage once under one texture name, and with downsampling on
// make and upload the half-size copy. The pixels themselves are checked
// against a single-threaded evaluation in RenderJobTest.
#include <cstdint>
#include <cstring>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "Application.h"
#include "gui/Progress.h"
#include "resources/Filter.h"
#include "shell/SDLTestSupport.h"

namespace
{

class JobApp : public Application
{
public:
    int StartUp(int, char**) override { return 0; }
};

std::vector<uint8_t> Pixels(const CImage& image)
{
    const size_t count = size_t(image.GetWidth()) * image.GetHeight() * image.GetChannels();
    return std::vector<uint8_t>(image.GetPixels(), image.GetPixels() + count);
}

// The picture's rows as uploaded: the top rows of the square canvas,
// bottom row first.
std::vector<uint8_t> ReadBack(const CTexture& texture)
{
    const unsigned side = texture.GetUploadedSize();
    std::vector<uint8_t> canvas(size_t(side) * side * 3);
    glBindTexture(GL_TEXTURE_2D, texture.GetTextureName());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, canvas.data());
    const size_t rowBytes = size_t(texture.GetWidth()) * 3;
    std::vector<uint8_t> picture;
    for (unsigned row = side - texture.GetHeight(); row < side; ++row)
    {
        const uint8_t* start = canvas.data() + size_t(row) * side * 3;
        picture.insert(picture.end(), start, start + rowBytes);
    }
    return picture;
}

class RenderJobGLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0));
        app.SetFramePeriod(1);
        CMandelbrot& fractal = app.GetMandelbrot();
        fractal.SetPalette(BuiltInPalette());
        fractal.SetCentre(-0.7435669, 0.1314023);
        fractal.SetScale(0.001);
        fractal.SetIterationLimit(500);
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    // Frames until the render is published; the progress never goes back.
    bool RunUntilPublished()
    {
        float last = app.GetProgressPercent();
        for (int frame = 0; frame < 5000; ++frame)
        {
            app.RunFrame();
            const float percent = app.GetProgressPercent();
            EXPECT_GE(percent, last);
            EXPECT_LE(percent, 100.0f);
            last = percent;
            if (app.IsRenderPublished())
                return percent == 100.0f && !app.IsRenderComplete();
        }
        return false;
    }

    ScopedSDLPlatform scope;
    JobApp app;
};

} // namespace

TEST_F(RenderJobGLTest, PublishingSetsTheProgressTo100AndUploadsOnce)
{
    CProgress bar;
    bar.SetPercent(55.0f);
    app.SetProgressBar(&bar);
    app.FullImage.Create(Application::ImageWidth, Application::ImageHeight, 3, 24);
    app.StartRender();
    EXPECT_EQ(app.GetProgressPercent(), 0.0f);
    EXPECT_EQ(bar.Percent(), 0.0f);
    ASSERT_TRUE(RunUntilPublished());
    EXPECT_EQ(bar.Percent(), 100.0f);

    const unsigned name = app.FullImage.GetTextureName();
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(app.FullImage.GetUploadedSize(), 256u);
    ASSERT_NE(app.FullImage.GetPixels(), nullptr) << "the pixels stay for screenshots";
    const std::vector<uint8_t> rendered = Pixels(app.FullImage);
    EXPECT_EQ(ReadBack(app.FullImage), rendered);
    EXPECT_EQ(app.HalfImage.GetTextureName(), 0u) << "downsampling is off";

    // Later frames publish nothing more: scribbled pixels stay off the GPU.
    std::memset(app.FullImage.GetPixels(), 0x5A, rendered.size());
    for (int frame = 0; frame < 5; ++frame)
        app.RunFrame();
    EXPECT_EQ(app.GetProgressPercent(), 100.0f);
    EXPECT_EQ(ReadBack(app.FullImage), rendered);

    // The next render goes back to 0 and is uploaded under the same name.
    app.GetMandelbrot().SetScale(0.002);
    app.StartRender();
    EXPECT_EQ(app.GetProgressPercent(), 0.0f);
    ASSERT_TRUE(RunUntilPublished());
    EXPECT_EQ(app.FullImage.GetTextureName(), name);
    EXPECT_EQ(bar.Percent(), 100.0f);
    app.SetProgressBar(nullptr);
    const std::vector<uint8_t> second = Pixels(app.FullImage);
    EXPECT_NE(second, rendered);
    EXPECT_EQ(ReadBack(app.FullImage), second);
}

TEST_F(RenderJobGLTest, DownsamplingMakesAnIntegerHalfOnEachPublication)
{
    app.FullImage.Create(255, 101, 3, 24);
    app.OnDownsample();
    EXPECT_EQ(app.HalfImage.GetPixels(), nullptr) << "nothing published yet";
    app.StartRender();
    ASSERT_TRUE(RunUntilPublished());

    CImage expected;
    CFilterResize::Resize(expected, app.FullImage, 127, 50);
    ASSERT_EQ(app.HalfImage.GetWidth(), 127u);
    ASSERT_EQ(app.HalfImage.GetHeight(), 50u);
    EXPECT_EQ(app.HalfImage.GetChannels(), 3u);
    EXPECT_EQ(Pixels(app.HalfImage), Pixels(expected));
    ASSERT_NE(app.HalfImage.GetTextureName(), 0u);
    EXPECT_EQ(app.HalfImage.GetUploadedSize(), 128u);
    EXPECT_EQ(ReadBack(app.HalfImage), Pixels(expected));
    EXPECT_NE(app.FullImage.GetTextureName(), 0u);
    EXPECT_EQ(app.FullImage.GetUploadedSize(), 256u);

    // Switched off and on after publication: the copy is made at once.
    app.OnDownsample();
    app.HalfImage.Create(1, 1, 3, 24);
    app.OnDownsample();
    EXPECT_EQ(app.HalfImage.GetWidth(), 127u);
    EXPECT_EQ(Pixels(app.HalfImage), Pixels(expected));
    EXPECT_EQ(ReadBack(app.HalfImage), Pixels(expected));
}
