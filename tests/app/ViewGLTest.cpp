// The view in a real 800 x 600 window: the quad showing the whole uploaded
// texture, the info text drawn on "fntMandelbrot", the shader view against
// the processor's picture, shader errors, and screenshots of published
// renders only.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "Application.h"
#include "gui/CheckBox.h"
#include "gui/Font.h"
#include "render/Sprite.h"
#include "resources/PictureFile.h"
#include "shell/SDLTestSupport.h"
#include "support/ScratchDir.h"

namespace
{

class ViewGLApp : public Application
{
public:
    int StartUp(int, char**) override { return 0; }
};

using Rgb = std::vector<int>;

// y counts down from the window's top.
Rgb PixelAt(int x, int y)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, 599 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

// The whole window, bottom row first like the renders.
std::vector<uint8_t> WindowPixels()
{
    std::vector<uint8_t> pixels(800 * 600 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<uint8_t> Pixels(const CImage& image)
{
    const size_t count = size_t(image.GetWidth()) * image.GetHeight() * image.GetChannels();
    return std::vector<uint8_t>(image.GetPixels(), image.GetPixels() + count);
}

void FillQuadrants(CTexture& image, unsigned width, unsigned height)
{
    image.Create(width, height, 3, 24);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
        {
            // Rows bottom first: the top half is y >= height / 2.
            const bool right = x >= width / 2, top = y >= height / 2;
            const uint8_t rgb[3] = {uint8_t(right ? 255 : 0), uint8_t(top ? 255 : 0),
                                    uint8_t(right && top ? 0 : 255)};
            image.SetPixel(x, y, rgb);
        }
}

class ViewGLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0));
        app.SetFramePeriod(1);
        app.OnResize(800, 600, CDisplay::Restored);
        app.ViewQuad.GetTransform().Set(CMatrix::TranslationZ, 1.0f);
        app.GetMandelbrot().LoadGradient("resources/gradients/!vemmo.png");
        app.FullImage.Create(Application::ImageWidth, Application::ImageHeight, 3, 24);
        app.FullImage.Upload({});
        app.HalfImage.Create(Application::ImageWidth / 2, Application::ImageHeight / 2, 3, 24);
        app.HalfImage.Upload({});
        app.ViewQuad.GetMaterial().AddTexture(0, app.FullImage.GetTextureName());
        app.ViewQuad.GetMaterial().AddTexture(1, 0);
        app.SetScreenshotFolder(scratch.Path().string());
        Application::ScreenshotCounter = 0;
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    bool RunUntilPublished()
    {
        for (int frame = 0; frame < 5000 && !app.IsRenderPublished(); ++frame)
            app.RunFrame();
        return app.IsRenderPublished();
    }

    void Press(int key)
    {
        CInputMap input;
        input.Action = CInputMap::Press;
        input.Key = key;
        app.OnKey(input);
    }

    CCheckBox& AddShaderBox()
    {
        auto box = std::make_unique<CCheckBox>();
        box->SetName("cboxShader");
        CCheckBox& added = static_cast<CCheckBox&>(*app.GetGUI().Append(std::move(box)));
        app.FindControls();
        app.ConnectPanel();
        return added;
    }

    ScratchDir scratch{"view"};
    ScopedSDLPlatform scope;
    ViewGLApp app;
};

} // namespace

TEST_F(ViewGLTest, TheQuadMapsTheWholeUploadedTexture)
{
    // A square render fills the window, its top row at the window's top.
    FillQuadrants(app.FullImage, 256, 256);
    app.FullImage.Upload({});
    app.DrawFrame();
    EXPECT_EQ(PixelAt(100, 100), (Rgb{0, 255, 255}));
    EXPECT_EQ(PixelAt(700, 100), (Rgb{255, 255, 0}));
    EXPECT_EQ(PixelAt(100, 500), (Rgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(700, 500), (Rgb{255, 0, 255}));

    // 1024 x 768 sits on a 1024 canvas: the top three quarters of the
    // window show it, the rest of the canvas is black.
    FillQuadrants(app.FullImage, 1024, 768);
    app.FullImage.Upload({});
    app.DrawFrame();
    EXPECT_EQ(PixelAt(100, 100), (Rgb{0, 255, 255}));
    EXPECT_EQ(PixelAt(700, 400), (Rgb{255, 0, 255}));
    EXPECT_EQ(PixelAt(400, 560), (Rgb{0, 0, 0}));
}

TEST_F(ViewGLTest, TheInfoTextIsDrawnAndDHidesIt)
{
    CResourceManager& resources = app.GetResources();
    ASSERT_TRUE(resources.Load("resources/resources.xml"));
    CSprite* glyphs = resources.FindSprite("DejaVuSans");
    ASSERT_NE(glyphs, nullptr);
    auto info = std::make_unique<CFont>();
    info->SetName("fntMandelbrot");
    info->SetSprite(*glyphs);
    info->SetPosition(10, 10);
    info->SetSize(780, 80);
    info->GetTransform().Set(CMatrix::TranslationZ, 2.0f);
    app.GetGUI().Append(std::move(info));
    app.FindControls();

    // Black render: only the text is white.
    const auto whiteInBox = []
    {
        int white = 0;
        for (int y = 10; y < 90; ++y)
            for (int x = 10; x < 500; x += 2)
                white += PixelAt(x, y)[0] > 200;
        return white;
    };
    Press(39); // right: the text is refreshed
    app.DrawFrame();
    EXPECT_GT(whiteInBox(), 200) << "three lines of digits";
    EXPECT_EQ(PixelAt(600, 300), (Rgb{0, 0, 0}));

    Press(100);
    app.DrawFrame();
    EXPECT_EQ(whiteInBox(), 0);
}

TEST_F(ViewGLTest, TheShaderDrawsTheProcessorsPictureInSinglePrecision)
{
    CCheckBox& box = AddShaderBox();
    testing::internal::CaptureStdout();
    box.Clicked.Emit();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "both stages compile without a log";
    ASSERT_TRUE(app.IsShaderOn());
    EXPECT_EQ(app.ViewQuad.GetMaterial().GetTexture(1),
              app.GetMandelbrot().GetPaletteTexture().GetTextureName());

    // The processor's picture of the same window at the window's own
    // resolution, against the shader's. Only the whole set is held to a
    // share; deeper views show how far single precision carries and are
    // recorded for the report.
    struct View
    {
        const char* name;
        double re, im, scale;
        uint32_t limit;
        double least; // share of identical pixels required
    };
    const View views[] = {
        {"WholeSet", -0.5, 0.0, 1.0, 256, 0.99},
        {"SeahorseValley", -0.7453, 0.1127, 0.0065, 600, 0.0},
        {"Scale1e-4", -0.743643887037151, 0.131825904205330, 1e-4, 1000, 0.0},
        {"Scale1e-6", -0.743643887037151, 0.131825904205330, 1e-6, 1000, 0.0},
    };
    CMandelbrot& fractal = app.GetMandelbrot();
    for (const View& view : views)
    {
        fractal.SetCentre(view.re, view.im);
        fractal.SetScale(view.scale);
        fractal.SetIterationLimit(view.limit);
        app.DrawFrame();
        const std::vector<uint8_t> shader = WindowPixels();
        CImage processor;
        processor.Create(800, 600, 3, 24);
        fractal.ResetJob(800, 600);
        for (uint32_t row = 0; row < 600; ++row)
            fractal.RenderRow(row, processor);
        const std::vector<uint8_t> cpu = Pixels(processor);
        size_t same = 0;
        double difference = 0.0;
        for (size_t i = 0; i < cpu.size(); i += 3)
        {
            same += std::equal(cpu.begin() + i, cpu.begin() + i + 3, shader.begin() + i);
            for (size_t k = i; k < i + 3; ++k)
                difference += std::abs(int(cpu[k]) - int(shader[k]));
        }
        const double share = double(same) / (800.0 * 600.0);
        const double mean = difference / double(cpu.size());
        std::printf("shader vs processor, %s: %.2f%% pixels identical, mean channel "
                    "difference %.2f\n",
                    view.name, share * 100.0, mean);
        RecordProperty(std::string(view.name) + "SamePerMille", int(share * 1000));
        EXPECT_GE(share, view.least) << view.name;
    }

    // Off again: the render is back and renders may start.
    box.Clicked.Emit();
    EXPECT_FALSE(app.IsShaderOn());
    EXPECT_EQ(app.ViewQuad.GetMaterial().GetTexture(1), 0u);
}

TEST_F(ViewGLTest, ShaderErrorsArePrintedAsTextAndLeaveTheRenderView)
{
    // Logs are the driver's text: a format directive in one is printed as is.
    const std::filesystem::path root = std::filesystem::current_path();
    const std::filesystem::path shaders = scratch.Path() / "resources" / "shaders";
    std::filesystem::create_directories(shaders);
    std::ofstream(shaders / "vp_mandelbrot.glsl") << "#version 110\n#error %s%n%s\n";
    std::filesystem::copy_file(root / Application::FragmentShaderPath,
                               shaders / "fp_mandelbrot.glsl");
    CCheckBox& box = AddShaderBox();
    std::filesystem::current_path(scratch.Path());
    testing::internal::CaptureStdout();
    box.Clicked.Emit();
    const std::string vertex = testing::internal::GetCapturedStdout();

    std::ofstream(shaders / "vp_mandelbrot.glsl", std::ios::trunc)
        << "#version 110\nvoid main() { gl_Position = ftransform(); }\n";
    std::ofstream(shaders / "fp_mandelbrot.glsl", std::ios::trunc)
        << "#version 110\nvoid main() { gl_FragColor = vec4(oops); }\n";
    box.Clicked.Emit(); // off
    testing::internal::CaptureStdout();
    box.Clicked.Emit();
    const std::string fragment = testing::internal::GetCapturedStdout();
    std::filesystem::current_path(root);
    // Detaching the refused shader, which was never attached, is GL's
    // invalid operation; the program is deleted with it anyway.
    glGetError();

    EXPECT_EQ(vertex.rfind("Vertex Shader Error: ", 0), 0u) << vertex;
    EXPECT_NE(vertex.find("%s%n%s"), std::string::npos) << vertex;
    EXPECT_EQ(fragment.rfind("Fragment Shader Error: ", 0), 0u) << fragment;
    EXPECT_NE(fragment.find("oops"), std::string::npos) << fragment;
    EXPECT_FALSE(app.IsShaderOn());
    EXPECT_TRUE(box.IsChecked()) << "the box stays checked";
    EXPECT_EQ(app.ViewQuad.GetMaterial().GetTexture(1),
              app.GetMandelbrot().GetPaletteTexture().GetTextureName());
}

TEST_F(ViewGLTest, ScreenshotsWriteThePublishedRenderOnly)
{
    EXPECT_EQ(app.TakeScreenshot(), "") << "nothing published yet";

    app.StartRender();
    ASSERT_TRUE(RunUntilPublished());
    const std::vector<uint8_t> published = Pixels(app.FullImage);

    // A slow render is running when p is pressed: the file is the last
    // published one, not the half-written image.
    CMandelbrot& fractal = app.GetMandelbrot();
    fractal.SetCentre(-0.75, 0.0);
    fractal.SetScale(0.0000001);
    fractal.SetIterationLimit(1000000);
    app.StartRender();
    const std::string path = app.TakeScreenshot();
    EXPECT_EQ(std::filesystem::path(path).filename(), "Screenshot001.png");
    app.GetScreenshots().WaitIdle();
    app.StopWorkers();
    CImage written;
    ASSERT_TRUE(LoadPicture(path.c_str(), written));
    EXPECT_EQ(Pixels(written), published);

    // While downsampling, the half-size copy of the published render.
    app.OnDownsample();
    EXPECT_EQ(app.ViewQuad.GetMaterial().GetTexture(0), app.HalfImage.GetTextureName());
    EXPECT_EQ(app.TakeScreenshot(), "") << "no half-size copy was made from a published render";
    fractal.SetCentre(-0.5, 0.0);
    fractal.SetScale(1.0);
    fractal.SetIterationLimit(256);
    app.StartRender();
    ASSERT_TRUE(RunUntilPublished());
    const std::string half = app.TakeScreenshot();
    EXPECT_EQ(std::filesystem::path(half).filename(), "Screenshot002.png");
    app.GetScreenshots().WaitIdle();
    ASSERT_TRUE(LoadPicture(half.c_str(), written));
    EXPECT_EQ(written.GetWidth(), 128u);
    EXPECT_EQ(Pixels(written), Pixels(app.HalfImage));
    app.OnDownsample();
    EXPECT_EQ(app.ViewQuad.GetMaterial().GetTexture(0), app.FullImage.GetTextureName());
}
