// A look at the window by hand: opens the 800 x 600 window through the shell,
// clears it grey every frame and ends when the window's close button is hit.

#include <GL/gl.h>

#include "render/AppGL.h"

namespace
{

class WindowDemo : public CAppGL
{
public:
    int StartUp(int, char**) override
    {
        if (!CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0))
            return 0;
        SetTitle("Vemmo window demo");
        CenterWindow(true, true);
        SetFramePeriod(33);
        MainLoop();
        return 0;
    }

    void DrawFrame() override
    {
        // InitGLState's clear colour is the grey.
        glViewport(0, 0, GetClientWidth(), GetClientHeight());
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
};

WindowDemo g_demo;

} // namespace

int main(int argc, char** argv)
{
    return RunApp(argc, argv);
}
