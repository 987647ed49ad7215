// Lights go to the fixed-function pipeline; the position passes through
// the model-view matrix current at the call, as GL does with it.

#include "render/Light.h"

#include <GL/gl.h>

namespace
{

void SendColour(GLenum light, GLenum name, const CVector& c)
{
    const GLfloat values[4] = {c.x, c.y, c.z, c.w};
    glLightfv(light, name, values);
}

} // namespace

CLight::CLight() : attenuation(1.0f, 0.0f, 0.0f, 0.0f) {}

void ApplyLight(unsigned index, const CLight& light)
{
    const GLenum id = GL_LIGHT0 + index;
    if (!light.enabled)
    {
        glDisable(id);
        return;
    }
    glEnable(id);
    SendColour(id, GL_POSITION, light.position);
    SendColour(id, GL_AMBIENT, light.colours.GetAmbient());
    SendColour(id, GL_DIFFUSE, light.colours.GetDiffuse());
    SendColour(id, GL_SPECULAR, light.colours.GetSpecular());
    glLightf(id, GL_CONSTANT_ATTENUATION, light.attenuation.x);
    glLightf(id, GL_LINEAR_ATTENUATION, light.attenuation.y);
    glLightf(id, GL_QUADRATIC_ATTENUATION, light.attenuation.z);
    if (light.noSpot)
        return;
    const GLfloat direction[3] = {light.spotDirection.x, light.spotDirection.y,
                                  light.spotDirection.z};
    glLightfv(id, GL_SPOT_DIRECTION, direction);
    glLightf(id, GL_SPOT_CUTOFF, light.spotCutoff);
    glLightf(id, GL_SPOT_EXPONENT, light.spotExponent);
}
