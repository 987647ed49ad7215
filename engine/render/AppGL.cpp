// Context creation for the shell. Multisampling is asked for with the pixel
// format itself, which the platform degrades to none when unavailable, so
// there is no second window for a multisampled format.

#include "render/AppGL.h"

#include "core/Timer.h"
#include "render/Extensions.h"
#include "render/Shape.h"

CAppGL::~CAppGL()
{
    if (m_hasContext)
        Platform().DeleteContext();
}

bool CAppGL::CreateGLWindow(int width, int height, bool windowed, bool resizable, bool fullscreen,
                            int colorBits, int depthBits, int stencilBits, int samples)
{
    if (!CreateAppWindow(width, height, windowed, resizable, fullscreen))
        return false;

    CPlatform::PixelFormat format;
    format.colorBits = colorBits;
    format.depthBits = depthBits;
    format.stencilBits = stencilBits;
    format.samples = samples;
    // Going on without a context would run every later GL call on nothing.
    if (!Platform().SetPixelFormat(format) || !Platform().CreateContext())
    {
        Platform().ShowMessageBox("App Error", "Could not create OpenGL context");
        return false;
    }
    m_hasContext = true;
    InitGLState();
    // Buffer names of an earlier context died with it.
    CShape::ResetSharedBuffers();
    return true;
}

void CAppGL::RunFrame()
{
    FrameTick().Emit();
    const uint32_t t0 = Platform().GetMilliseconds();
    DrawFrame();
    Platform().SwapBuffers();
    PaceFrame(t0);
}
