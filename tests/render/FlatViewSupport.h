// The explorer's flat view for the drawing tests: world coordinates are
// window pixels of an 800 x 600 window, origin top-left, y down, depths 0 to
// 1000, set up the way the application's resize handler and frame do.
#pragma once

#include "core/Matrix.h"
#include "render/Draw.h"

inline void SetUpFlatView()
{
    SetViewport(0, 0, 800, 600);
    const CMatrix projection = OrthoMatrix(0, 800, 600, 0, 0, 1000);
    LoadProjection(&projection);
    CMatrix camera(4, 4);
    camera.SetTranslation(800, 600, 0);
    const CMatrix view = camera.Inverse();
    LoadModelView(&view);
    ClearScreen(0.5f, 0.5f, 0.5f, 0);
}
