// The render job's side of the application: starting, stopping and joining
// the workers, and publishing a finished render from the frame loop. Workers
// and the main thread share only the fractal state's atomic counters and
// stop flag and disjoint rows of FullImage; the view the workers read is the
// copy the state took when the job was reset.
#include "Application.h"

#include <cassert>
#include <cstdlib>
#include <ctime>

#include "gui/CheckBox.h"
#include "gui/Font.h"
#include "gui/Progress.h"
#include "render/ShaderProgram.h"
#include "resources/Filter.h"
#include "shell/InputMap.h"

void Application::SetWorkerCount(uint32_t count)
{
    assert(count > 0 && "Application::SetWorkerCount(): a render needs a worker");
    WorkerCount = count;
}

Application::Application()
    : m_random(std::make_unique<CMersenneTwister>()),
      m_printInfo(std::getenv("VEMMO_PRINT_INFO") != nullptr)
{
    ConnectSlot(m_slots, WindowResized, this, &Application::OnResize);
    ConnectSlot(m_slots, GetKeyboardSignal(), this, &Application::OnKey);
    ConnectSlot(m_slots, GetMouseSignal(), this, &Application::OnMouse);
    ConnectSlot(m_slots, RenderDelay.Elapsed, this, &Application::StartRender);
    RenderDelay.SetInterval(300);
    m_random->Seed(static_cast<uint32_t>(std::time(nullptr)));
}

Application::~Application()
{
    StopWorkers();
}

void Application::StartRender()
{
    // The delay stays armed: it keeps firing to no effect until the shader
    // is switched off, and that starts no render by itself.
    if (m_shaderActive)
        return;
    RenderDelay.SetActive(false);
    StopWorkers();

    FullImage.Create(FullImage.GetWidth(), FullImage.GetHeight(), 3, 24);
    m_mandelbrot.ResetJob(FullImage.GetWidth(), FullImage.GetHeight());
    m_renderPublished = false;
    if (m_fntMandelbrot || m_printInfo)
        ShowInfoText();
    SetProgressPercent(0.0f);

    for (uint32_t i = 0; i < WorkerCount; ++i)
    {
        m_workers.push_back(std::make_unique<CFractalThread>(&FullImage, &m_mandelbrot));
        CFractalThread& worker = *m_workers.back();
        // A worker left without a thread would never count itself out and
        // the render would never be published; it does its share here
        // instead, taking rows alongside the workers that did start.
        if (!StartWorker(worker))
            worker.Run();
    }
}

bool Application::StartWorker(CFractalThread& worker)
{
    return worker.Start() != nullptr;
}

void Application::StopWorkers()
{
    // The rows a stopped job still had are never rendered, so a restart
    // waits for one row per worker, not for the rest of the render.
    if (!m_workers.empty())
        m_mandelbrot.StopJob();
    for (std::unique_ptr<CFractalThread>& worker : m_workers)
    {
        worker->Wait(true);
        worker.reset();
    }
    std::vector<std::unique_ptr<CFractalThread>>().swap(m_workers);
}

bool Application::IsRenderComplete() const
{
    // Against the workers of this render, not WorkerCount, which the
    // benchmark may change between renders. A stopped render has holes.
    return !m_workers.empty() && m_mandelbrot.GetFinishedWorkers() == m_workers.size() &&
           !m_mandelbrot.IsJobStopped();
}

void Application::PollRender()
{
    if (!IsRenderComplete())
    {
        // Once at 100 the bar waits for the next StartRender.
        if (m_progressPercent != 100.0f)
            SetProgressPercent(m_mandelbrot.Progress() * 100.0f);
        return;
    }

    SetProgressPercent(100.0f);
    // Zeroes the finished count, so this frame is the only one to publish.
    m_mandelbrot.ResetJob(FullImage.GetWidth(), FullImage.GetHeight());
    m_renderPublished = true;
    // Screenshots read this copy on their own thread, whatever renders next.
    m_lastRender = std::make_shared<const CImage>(FullImage);
    if (m_downsampling)
        MakeHalfImage();
    FullImage.Upload({});
}

void Application::OnDownsample()
{
    m_downsampling = !m_downsampling;
    // Only from a published render: while one runs, workers may still be
    // writing the rows the resize would read.
    if (m_downsampling && m_renderPublished)
        MakeHalfImage();
    const CTexture& shown = m_downsampling ? HalfImage : FullImage;
    ViewQuad.GetMaterial().SetTexture(0, shown.GetTextureName());
}

void Application::SetProgressPercent(float percent)
{
    // Kept here whether or not a "progress" bar is there to show it.
    m_progressPercent = percent;
    if (m_progress)
        m_progress->SetPercent(percent);
}

void Application::MakeHalfImage()
{
    CFilterResize::Resize(HalfImage, FullImage, FullImage.GetWidth() / 2,
                          FullImage.GetHeight() / 2);
    m_lastHalf = std::make_shared<const CImage>(HalfImage);
    HalfImage.Upload({});
}
