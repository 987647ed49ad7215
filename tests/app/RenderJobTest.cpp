// The render job without a window: workers against an independent single-
// threaded evaluation, restarts, empty images, the view moving under a
// running render, the shader switch, the render delay and workers that get
// no thread. Publishing needs GL and is tested in RenderJobGLTest. Meant to
// run clean under ThreadSanitizer.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "Application.h"
#include "core/Clock.h"

namespace
{

using namespace std::chrono_literals;

class JobApp : public Application
{
public:
    int StartUp(int, char**) override { return 0; }
    void SetShaderActive(bool on) { m_shaderActive = on; }

    // Replaces the thread launch when set.
    std::function<bool(CFractalThread&)> startWorker;

protected:
    bool StartWorker(CFractalThread& worker) override
    {
        return startWorker ? startWorker(worker) : Application::StartWorker(worker);
    }
};

struct View
{
    double re;
    double im;
    double scale;
    uint32_t limit;
};

const View kWholeSet{-0.5, 0.0, 1.0, 256};
const View kSeahorses{-0.7435669, 0.1314023, 0.0001, 1000};

void SetView(CMandelbrot& fractal, const View& view)
{
    fractal.SetCentre(view.re, view.im);
    fractal.SetScale(view.scale);
    fractal.SetIterationLimit(view.limit);
}

// The image one thread computes straight from the escape value and the
// palette, without the row loop the workers run.
std::vector<uint8_t> Evaluate(const View& view, const std::vector<PaletteEntry>& palette,
                              uint32_t width, uint32_t height)
{
    const double stepRe = view.scale * (width != 0 ? 3.0 / width : 0.0);
    const double stepIm = view.scale * (height != 0 ? 2.0 / height : 0.0);
    std::vector<uint8_t> bytes;
    for (uint32_t row = 0; row < height; ++row)
        for (uint32_t col = 0; col < width; ++col)
        {
            const double value = EscapeValue(static_cast<int32_t>(col - width / 2),
                                             static_cast<int32_t>(row - height / 2), view.limit,
                                             view.re, view.im, stepRe, stepIm);
            const PaletteEntry& entry = palette[PaletteIndex(value, view.limit, palette.size())];
            bytes.push_back(static_cast<uint8_t>(entry.x));
            bytes.push_back(static_cast<uint8_t>(entry.y));
            bytes.push_back(static_cast<uint8_t>(entry.z));
        }
    return bytes;
}

std::vector<uint8_t> Pixels(const CImage& image)
{
    const size_t count = size_t(image.GetWidth()) * image.GetHeight() * image.GetChannels();
    return std::vector<uint8_t>(image.GetPixels(), image.GetPixels() + count);
}

// What the frame loop does between frames, without publishing.
bool WaitForCompletion(const Application& app)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!app.IsRenderComplete())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class RenderJobTest : public ::testing::Test
{
protected:
    RenderJobTest() { app.GetMandelbrot().SetPalette(BuiltInPalette()); }

    void Render(const View& view, uint32_t width, uint32_t height)
    {
        SetView(app.GetMandelbrot(), view);
        app.FullImage.Create(width, height, 3, 24);
        app.StartRender();
    }

    JobApp app;
};

uint32_t g_now = 0;
uint32_t FakeClock()
{
    return g_now;
}

} // namespace

TEST_F(RenderJobTest, WorkersWriteExactlyTheSingleThreadedImage)
{
    struct Case
    {
        View view;
        uint32_t width;
        uint32_t height;
    };
    // The default size, odd sizes whose centre pixel is not a half, one pixel.
    for (const Case& c :
         {Case{kWholeSet, Application::ImageWidth, Application::ImageHeight},
          Case{kSeahorses, 256, 256}, Case{kSeahorses, 101, 37}, Case{kWholeSet, 1, 1}})
    {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        Render(c.view, c.width, c.height);
        ASSERT_EQ(app.GetWorkers().size(), 2u);
        ASSERT_TRUE(WaitForCompletion(app));
        EXPECT_EQ(app.GetMandelbrot().GetFinishedWorkers(), 2u);
        EXPECT_EQ(app.GetMandelbrot().Progress(), 1.0f);
        EXPECT_EQ(Pixels(app.FullImage),
                  Evaluate(c.view, app.GetMandelbrot().GetPalette(), c.width, c.height));
    }
}

TEST_F(RenderJobTest, ASecondStartRenderStopsTheFirstThenStartsOver)
{
    // The first render is still running when the second call comes; had any
    // of its workers outlived the call, it would count itself into the new
    // job and write into the freed image (ThreadSanitizer sees both).
    Render(kSeahorses, 256, 256);
    SetView(app.GetMandelbrot(), kWholeSet);
    app.StartRender();
    EXPECT_EQ(app.GetWorkers().size(), 2u);
    ASSERT_TRUE(WaitForCompletion(app));
    EXPECT_EQ(app.GetMandelbrot().GetFinishedWorkers(), 2u);
    EXPECT_EQ(Pixels(app.FullImage),
              Evaluate(kWholeSet, app.GetMandelbrot().GetPalette(), 256, 256));
}

TEST_F(RenderJobTest, StoppingARenderTakesARowAndNeverPublishesIt)
{
    // About a minute of work on two cores: 64 x 4096 pixels around the
    // neck at -0.75, where orbits creep towards their cycle and use up a
    // million iterations each; a row takes milliseconds.
    const View slow{-0.75, 0.0, 0.0000001, 1000000};
    Render(slow, 64, 4096);
    std::this_thread::sleep_for(50ms);
    const auto t0 = std::chrono::steady_clock::now();
    app.StopWorkers();
    const auto stopping = std::chrono::steady_clock::now() - t0;
    EXPECT_LT(stopping, 20s) << "a stop waits for a row per worker, not the render";
    EXPECT_TRUE(app.GetWorkers().empty());
    EXPECT_TRUE(app.GetMandelbrot().IsJobStopped());
    EXPECT_FALSE(app.IsRenderComplete()) << "a render with holes is not complete";

    // The top rows were never handed out: still black.
    const std::vector<uint8_t> pixels = Pixels(app.FullImage);
    const size_t topRow = size_t(4095) * 64 * 3;
    EXPECT_TRUE(std::all_of(pixels.begin() + topRow, pixels.end(), [](uint8_t b) { return b == 0; }));

    // The next render starts clean and completes.
    Render(kWholeSet, 32, 32);
    EXPECT_FALSE(app.GetMandelbrot().IsJobStopped());
    ASSERT_TRUE(WaitForCompletion(app));
    EXPECT_EQ(Pixels(app.FullImage), Evaluate(kWholeSet, app.GetMandelbrot().GetPalette(), 32, 32));
}

TEST_F(RenderJobTest, EmptyImagesCompleteAtOnce)
{
    // Never created: the size StartRender keeps is 0 x 0.
    app.StartRender();
    ASSERT_TRUE(WaitForCompletion(app));
    EXPECT_EQ(app.FullImage.GetWidth(), 0u);
    EXPECT_EQ(app.GetMandelbrot().Progress(), 0.0f);

    for (auto size : {std::pair<uint32_t, uint32_t>{0, 7}, {7, 0}})
    {
        Render(kWholeSet, size.first, size.second);
        ASSERT_TRUE(WaitForCompletion(app));
        EXPECT_EQ(app.GetMandelbrot().GetFinishedWorkers(), 2u);
    }
}

TEST_F(RenderJobTest, MovingTheViewDuringARenderDoesNotReachIt)
{
    Render(kSeahorses, 256, 256);
    // The main thread pans, zooms and changes the limit as the handlers do,
    // while the workers read; the render shows the view it started with.
    int changes = 0;
    do
    {
        CMandelbrot& fractal = app.GetMandelbrot();
        fractal.SetCentre(fractal.GetCentreRe() + 1e-6, fractal.GetCentreIm() - 1e-6);
        fractal.SetScale(fractal.GetScale() * 0.5);
        fractal.SetIterationLimit(fractal.GetIterationLimit() + 1);
        ++changes;
        std::this_thread::sleep_for(100us);
    } while (!app.IsRenderComplete() && changes < 1000000);
    ASSERT_TRUE(WaitForCompletion(app));
    EXPECT_GT(changes, 0);
    EXPECT_EQ(Pixels(app.FullImage),
              Evaluate(kSeahorses, app.GetMandelbrot().GetPalette(), 256, 256));
}

TEST_F(RenderJobTest, NoRenderStartsWhileTheShaderDrawsTheView)
{
    app.FullImage.Create(16, 16, 3, 24);
    app.FullImage.GetPixels()[0] = 77;
    app.RenderDelay.SetActive(true);
    app.SetShaderActive(true);
    app.StartRender();
    EXPECT_TRUE(app.GetWorkers().empty());
    EXPECT_TRUE(app.RenderDelay.IsActive()) << "the delay keeps firing to no effect";
    EXPECT_EQ(app.FullImage.GetPixels()[0], 77);

    // Switching the shader off starts nothing by itself.
    app.SetShaderActive(false);
    EXPECT_TRUE(app.GetWorkers().empty());
    app.StartRender();
    EXPECT_EQ(app.GetWorkers().size(), 2u);
    EXPECT_FALSE(app.RenderDelay.IsActive());
    ASSERT_TRUE(WaitForCompletion(app));
}

TEST_F(RenderJobTest, TheRenderDelayStartsARender300MsAfterItsLastArming)
{
    const ClockSource previous = SetClockSource(&FakeClock);
    EXPECT_EQ(app.RenderDelay.GetInterval(), 300u);
    EXPECT_FALSE(app.RenderDelay.IsActive());
    app.FullImage.Create(8, 8, 3, 24);

    g_now = 1000;
    app.RenderDelay.SetActive(true);
    g_now = 1200;
    app.RenderDelay.SetActive(true); // another change of the view re-arms it
    g_now = 1499;
    FrameTick().Emit();
    const bool startedEarly = !app.GetWorkers().empty();
    g_now = 1500;
    FrameTick().Emit();
    const bool started = !app.GetWorkers().empty();
    const bool stillArmed = app.RenderDelay.IsActive();
    SetClockSource(previous);

    EXPECT_FALSE(startedEarly);
    EXPECT_TRUE(started);
    EXPECT_FALSE(stillArmed) << "a render switches the delay off";
    ASSERT_TRUE(WaitForCompletion(app));
}

TEST_F(RenderJobTest, AWorkerWithoutAThreadDoesItsShareOnTheMainThread)
{
    const std::vector<uint8_t> expected =
        Evaluate(kSeahorses, app.GetMandelbrot().GetPalette(), 64, 48);

    // The first worker gets no thread, the second does.
    int launches = 0;
    app.startWorker = [&](CFractalThread& worker)
    { return launches++ == 0 ? false : worker.Start() != nullptr; };
    Render(kSeahorses, 64, 48);
    ASSERT_TRUE(WaitForCompletion(app));
    EXPECT_EQ(Pixels(app.FullImage), expected);

    // No thread at all: the render is done when StartRender returns.
    app.startWorker = [](CFractalThread&) { return false; };
    Render(kSeahorses, 64, 48);
    EXPECT_TRUE(app.IsRenderComplete());
    EXPECT_EQ(Pixels(app.FullImage), expected);
}

TEST_F(RenderJobTest, DownsamplingWaitsForAPublishedRender)
{
    // A worker that is slow to come: the other one hands out every row, so
    // the progress reads 100 while the render is still running.
    int launches = 0;
    app.startWorker = [&](CFractalThread& worker)
    { return launches++ == 0 ? true : worker.Start() != nullptr; };
    Render(kWholeSet, 32, 32);
    CFractalThread& slow = *app.GetWorkers()[0];
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (app.GetMandelbrot().GetFinishedWorkers() != 1 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    app.PollRender();
    EXPECT_EQ(app.GetProgressPercent(), 100.0f);
    EXPECT_FALSE(app.IsRenderComplete());

    app.OnDownsample();
    EXPECT_TRUE(app.IsDownsampling());
    EXPECT_EQ(app.HalfImage.GetPixels(), nullptr) << "copied from a render still running";

    slow.Run();
    EXPECT_TRUE(app.IsRenderComplete());
    // Complete but not yet published by a frame: still nothing to copy.
    app.OnDownsample();
    app.OnDownsample();
    EXPECT_TRUE(app.IsDownsampling());
    EXPECT_EQ(app.HalfImage.GetPixels(), nullptr);
}
