// The quad copies its corners through the shape's vertex views.

#include "render/Quad.h"

#include <GL/gl.h>

CQuad::CQuad(const ShapeVertex& c0, const ShapeVertex& c1, const ShapeVertex& c2,
             const ShapeVertex& c3)
{
    SetPrimitive(GL_QUADS);
    SetCounts(4, 0);
    const ShapeVertex* corners[4] = {&c0, &c1, &c2, &c3};
    for (unsigned i = 0; i < 4; ++i)
    {
        ShapeVertex v = GetVertex(i);
        v.position.Set(corners[i]->position.x, corners[i]->position.y, corners[i]->position.z);
        v.texCoord.Set(corners[i]->texCoord.x, corners[i]->texCoord.y);
        v.normal.Set(corners[i]->normal.x, corners[i]->normal.y, corners[i]->normal.z);
    }
}
