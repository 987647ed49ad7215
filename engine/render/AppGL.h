// The application shell with an OpenGL context: the window gets a double-
// buffered RGBA pixel format of the asked depth, stencil and samples, the GL
// state is initialised once the context is current, and frames are presented.
#pragma once

#include "shell/App.h"

class CAppGL : public CApp
{
public:
    CAppGL() = default;
    ~CAppGL() override;

    // Window, pixel format, current context, initial GL state. False when
    // any of them fails; a message box has said which.
    virtual bool CreateGLWindow(int width, int height, bool windowed, bool resizable,
                                bool fullscreen, int colorBits, int depthBits, int stencilBits,
                                int samples);
    // As CApp's, with the back buffer presented before the frame is paced.
    void RunFrame() override;

    bool HasContext() const { return m_hasContext; }

private:
    bool m_hasContext = false;
};
