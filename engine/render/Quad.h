// The four-vertex shape every GUI control is built on, drawn as GL_QUADS
// without indices.
#pragma once

#include "render/Shape.h"

class CQuad : public CShape
{
public:
    // Takes position, texture coordinate and normal of each corner; the
    // corners' colours are ignored and the quad stays white.
    CQuad(const ShapeVertex& c0, const ShapeVertex& c1, const ShapeVertex& c2,
          const ShapeVertex& c3);
};
