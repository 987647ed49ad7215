// A look at models by hand: the height map and the cube of
// tests/data/models/scene.xml, loaded through the resource manager and
// drawn lit in the 800 x 600 window until its close button is hit. Run from
// the source root; another description and model name may be given:
//   vemmo-model-demo [DESCRIPTION.xml [MODEL]]
#include <cstdio>

#include "assets/ModelScene.h"
#include "render/AppGL.h"

namespace
{

class ModelDemo : public CAppGL
{
public:
    int StartUp(int argc, char** argv) override
    {
        const char* description = argc > 1 ? argv[1] : "tests/data/models/scene.xml";
        const char* model = argc > 2 ? argv[2] : "cube";
        if (!CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0))
            return 1;
        if (!m_scene.Load(description, model))
        {
            std::fprintf(stderr, "vemmo-model-demo: %s holds no \"ground\" and \"%s\" to draw\n",
                         description, model);
            return 1;
        }
        SetTitle("Vemmo model demo");
        CenterWindow(true, true);
        SetFramePeriod(33);
        MainLoop();
        return 0;
    }

    void DrawFrame() override { m_scene.Draw(GetClientWidth(), GetClientHeight()); }

private:
    ModelScene m_scene;
};

ModelDemo g_demo;

} // namespace

int main(int argc, char** argv)
{
    return RunApp(argc, argv);
}
