// The explorer's application class: the full-window view quad and the
// render job behind it (the render target and its half-size copy, the
// restartable render delay, the fractal state and the worker threads), the
// keyboard and mouse handlers that move the view, the shader view, the
// screenshots, and the resource and GUI managers. The window is made by
// StartUp, not by the constructor, so the object can exist before main.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FractalThread.h"
#include "Mandelbrot.h"
#include "ScreenshotWriter.h"
#include "assets/ResourceManager.h"
#include "core/Matrix.h"
#include "core/Random.h"
#include "core/Signal.h"
#include "core/String.h"
#include "core/Timer.h"
#include "core/Vector.h"
#include "gui/GUI.h"
#include "gui/GUIManager.h"
#include "render/AppGL.h"
#include "resources/Texture.h"
#include "shell/Display.h"

class CCheckBox;
class CCombo;
class CFont;
class CImage;
class CInputMap;
class CProgress;
class CShaderProgram;

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

    // Screenshots taken so far; only grows.
    inline static uint32_t ScreenshotCounter = 0;
    // The shader view's sources, under the working directory.
    static constexpr const char* VertexShaderPath = "resources/shaders/vp_mandelbrot.glsl";
    static constexpr const char* FragmentShaderPath = "resources/shaders/fp_mandelbrot.glsl";

    // Connects the window, keyboard, mouse and RenderDelay handlers; opens
    // no window.
    Application();
    // Stops a running render: its workers write into members.
    ~Application() override;

    // Largest side a render may have: its upload is padded to a square
    // power of two, which must fit a texture and stay within memory.
    static constexpr uint32_t MaxImageSide = 4096;

    // Window, resources, panel and first render, then the main loop until
    // the window closes. Returns 0, or 1 when no window or GL context could
    // be made.
    int StartUp(int hasArguments, char** commandLine) override;

    // Main thread only. Stops a running render, clears FullImage at its
    // current size and starts WorkerCount workers on it. Does nothing
    // while the fractal shader draws the view.
    void StartRender();
    // Asks every worker to stop after its current row, joins them and
    // deletes them. A stopped render is never published.
    void StopWorkers();
    // Once per frame: moves the progress, and when every worker has counted
    // itself out publishes the render exactly once: progress 100, the
    // optional half-size copy, then the upload of FullImage. Needs the GL
    // context only on the frame that publishes.
    void PollRender();
    // The "cboxDownsample" check box was clicked.
    void OnDownsample();

    // Clear, camera, light, completion polling, the view quad (through the
    // shader program while it is on), the GUI.
    void DrawFrame() override;

    // Handlers of the keyboard and mouse signals, the shell's resize signal
    // and the "cboxShader" check box.
    void OnKey(CInputMap& input);
    void OnMouse(CInputMap& input);
    void OnResize(int width, int height, CDisplay::SizeType kind);
    void OnShader();

    // Centre and scale with 32 decimals, three lines.
    String InfoText() const;
    // Writes the last published render (its half-size copy while
    // downsampling) as the next free ScreenshotNNN.png, off the frame
    // thread. Returns the path, or empty when there is nothing to write.
    std::string TakeScreenshot();
    // Looks the panel's controls up by name in the GUI manager; a control
    // of another kind than its name calls for counts as absent.
    void FindControls();
    // Fills "cboxGradients" with the entries of resources/gradients in byte
    // order and "cboxLocations" with the location names, and selects item 0
    // of all four combo boxes; no handler runs, as none is connected yet.
    void FillPanel();
    // Connects the combo boxes and check boxes found to their handlers.
    void ConnectPanel();

    // Handlers of the combo boxes' Selection (text, row, column).
    // A row outside the locations changes nothing but still restarts the
    // render; a negative iteration limit is never taken.
    void OnLocation(String& text, int row, int column);
    void OnGradient(String& text, int row, int column);
    // "WxH"; a side that is negative or above MaxImageSide keeps the old
    // resolution and starts nothing.
    void OnResolution(String& text, int row, int column);
    // A negative limit is refused and starts nothing.
    void OnIterations(String& text, int row, int column);

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
    bool IsShaderOn() const { return m_shader != nullptr; }
    const CVector& GetWindowSize() const { return m_windowSize; }
    CResourceManager& GetResources() { return m_resources; }
    CGUIManager& GetGUI() { return m_gui; }
    CScreenshotWriter& GetScreenshots() { return m_screenshots; }
    // Where screenshots go; the working directory unless a test moves them.
    void SetScreenshotFolder(const std::string& folder) { m_screenshotFolder = folder; }

    // Full-window quad: unit 0 the render, unit 1 the gradient while the
    // shader is on.
    CGUI ViewQuad;
    // Render target: 3 channels, 24 bits, rows bottom first.
    CTexture FullImage;
    // FullImage at integer half size, made on completion while downsampling.
    CTexture HalfImage;
    // 300 ms restartable delay; Elapsed starts a render.
    CTimer RenderDelay;
    // Its inverse is each frame's model-view matrix.
    CMatrix Camera;

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
    // Gives "fntMandelbrot" the info text (and prints it when asked to).
    void ShowInfoText();
    // Scale × factor unless that would be 0, subnormal or not finite.
    void Zoom(double factor);
    // Moves the centre unless a part would stop being finite.
    void MoveCentre(double re, double im);
    void SetViewUniforms();
    void FillGradients();
    void FillLocations();

    CResourceManager m_resources;
    CGUIManager m_gui;
    Connections m_slots;
    CVector m_windowSize;
    CMandelbrot m_mandelbrot;
    std::vector<std::unique_ptr<CFractalThread>> m_workers;
    std::unique_ptr<CShaderProgram> m_shader;
    std::unique_ptr<CRandomGenerator> m_random;
    bool m_downsampling = false;
    // The last render was published and no new one has started since.
    bool m_renderPublished = false;
    float m_progressPercent = 0.0f;
    std::shared_ptr<const CImage> m_lastRender;
    // Its half-size copy, once one was made from a published render.
    std::shared_ptr<const CImage> m_lastHalf;
    // Set from VEMMO_PRINT_INFO: the info text also goes to standard output.
    bool m_printInfo = false;
    CScreenshotWriter m_screenshots;
    std::string m_screenshotFolder = ".";

    // Each may be missing from the panel; null then. Not owned.
    CProgress* m_progress = nullptr;
    CFont* m_fntDebug = nullptr;
    CFont* m_fntMandelbrot = nullptr;
    CGUI* m_guiPanel = nullptr;
    CCombo* m_cboxGradients = nullptr;
    CCombo* m_cboxLocations = nullptr;
    CCombo* m_cboxResolution = nullptr;
    CCombo* m_cboxIterations = nullptr;
    CCheckBox* m_cboxDownsample = nullptr;
    CCheckBox* m_cboxShader = nullptr;
};
