// One fixed-function light and the call that hands it to OpenGL. Its colours
// are kept in a material record (ambient, diffuse and specular are used).
#pragma once

#include "core/Vector.h"
#include "render/Material.h"

class CLight
{
public:
    CLight();

    bool enabled = true;
    // While set, the spot direction, cutoff and exponent are not sent.
    bool noSpot = true;
    // w = 0 makes a directional light. It is sent through the model-view
    // matrix current at ApplyLight.
    CVector position;
    // Constant, linear and quadratic in x, y, z.
    CVector attenuation;
    CVector spotDirection;
    float spotCutoff = 45.0f;
    float spotExponent = 1.0f;
    CMaterial colours;
};

// Sends `light` to GL_LIGHT0 + index, or switches that light off.
void ApplyLight(unsigned index, const CLight& light);
