// The drawable base and the frame-level OpenGL calls: clearing, viewport,
// the projection and model-view stacks, and builders of projection matrices
// in OpenGL element order. GL calls belong to the context's thread.
#pragma once

#include "core/Matrix.h"

class CDraw
{
public:
    CDraw() = default;
    CDraw(const CDraw&) = default;
    CDraw& operator=(const CDraw&) = default;
    virtual ~CDraw() = default;

    virtual void Draw() = 0;
};

// Clears colour, depth and stencil.
void ClearScreen(float r, float g, float b, float a);
// A width or height of 0 becomes 1.
void SetViewport(int x, int y, int width, int height);
// Select their matrix stack, then load `matrix` (4 x 4) unless it is null.
void LoadProjection(const CMatrix* matrix);
void LoadModelView(const CMatrix* matrix);
void MultMatrix(const CMatrix& matrix);

CMatrix FrustumMatrix(float left, float right, float bottom, float top, float zNear, float zFar);
// The translation column is +(r + l) / (r - l), +(t + b) / (t - b),
// +(f + n) / (f - n): the opposite sign of glOrtho's. The flat view puts its
// camera at (width, height, 0) and loads the camera's inverse, and only this
// sign then maps 0..width, 0..height onto the viewport.
CMatrix OrthoMatrix(float left, float right, float bottom, float top, float zNear, float zFar);
// fovy in degrees.
CMatrix PerspectiveMatrix(float fovy, float aspect, float zNear, float zFar);
