// The explorer's application class, so far with what the high-resolution
// render job needs: the render target and its half-size copy, the restartable
// render delay, the fractal state and the worker threads. The window is made
// by StartUp, not by the constructor, so the object can exist before main.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "FractalThread.h"
#include "Mandelbrot.h"
#include "core/Signal.h"
#include "core/Timer.h"
#include "render/AppGL.h"
#include "resources/Texture.h"

class CFont;
class CProgress;

class Application : public CAppGL
{
public:
    // Output size of the renders to come; the resolution choice sets it.
    inline static uint32_t ImageWidth = 256;
    inline static uint32_t ImageHeight = 256;

    // Workers per render: 2 in the program. Only the benchmark changes it,
    // to compare one worker with two; a running render is not affected.
    static uint32_t GetWorkerCount() { return WorkerCount; }
    static void SetWorkerCount(uint32_t count);

    // Connects RenderDelay to StartRender; opens no window.
    Application();
    // Waits for a running render: its workers write into members.
    ~Application() override;

    // Main thread only. Lets a running render finish, clears FullImage at
    // its current size and starts WorkerCount workers on it. Does nothing
    // while the fractal shader draws the view.
    void StartRender();
    // Joins every worker (each finishes the rows it can still take) and
    // deletes them.
    void StopWorkers();
    // Once per frame: moves the progress, and when every worker has counted
    // itself out publishes the render exactly once: progress 100, the
    // optional half-size copy, then the upload of FullImage. Needs the GL
    // context only on the frame that publishes.
    void PollRender();
    // The "cboxDownsample" check box was clicked.
    void OnDownsample();

    void DrawFrame() override;

    // Every worker of the current render has run out of rows, and the
    // completion has not been published yet.
    bool IsRenderComplete() const;
    // A frame has published the render last started.
    bool IsRenderPublished() const { return m_renderPublished; }
    bool IsDownsampling() const { return m_downsampling; }
    // What the progress bar shows: 0 when a render starts, 100 once it is
    // published, the share of rows handed out in between.
    float GetProgressPercent() const { return m_progressPercent; }
    CMandelbrot& GetMandelbrot() { return m_mandelbrot; }
    // The "progress" control that shows the job, or null; not owned.
    void SetProgressBar(CProgress* bar) { m_progress = bar; }
    const std::vector<std::unique_ptr<CFractalThread>>& GetWorkers() const { return m_workers; }

    // Render target: 3 channels, 24 bits, rows bottom first.
    CTexture FullImage;
    // FullImage at integer half size, made on completion while downsampling.
    CTexture HalfImage;
    // 300 ms restartable delay; Elapsed starts a render.
    CTimer RenderDelay;

protected:
    // Launches one worker's thread; false when none could be made.
    virtual bool StartWorker(CFractalThread& worker);

    // Set while the fractal shader draws the view instead of the render.
    bool m_shaderActive = false;

private:
    inline static uint32_t WorkerCount = 2;

    // The "progress" bar's value; kept here so the job does not depend on
    // the bar being in the GUI description.
    void SetProgressPercent(float percent);
    void MakeHalfImage();

    Connections m_slots;
    CMandelbrot m_mandelbrot;
    std::vector<std::unique_ptr<CFractalThread>> m_workers;
    bool m_downsampling = false;
    // The last render was published and no new one has started since.
    bool m_renderPublished = false;
    float m_progressPercent = 0.0f;

    // Either may be missing from the GUI description; null then.
    CProgress* m_progress = nullptr;
    // The info text's font control; the render job sets its text once
    // fonts exist.
    CFont* m_fntMandelbrot = nullptr;
};
