// Frame-level GL calls and projection builders. The matrix loaders refuse
// anything but a 4 x 4 matrix, since GL reads sixteen floats regardless.

#include "render/Draw.h"

#include <cassert>
#include <cmath>

#include <GL/gl.h>

namespace
{

// glLoadMatrixf and glMultMatrixf read 16 floats whatever the matrix holds.
bool IsTransform(const CMatrix& m)
{
    return m.GetRows() == 4 && m.GetCols() == 4;
}

void LoadOnto(GLenum mode, const CMatrix* matrix)
{
    glMatrixMode(mode);
    if (!matrix)
        return;
    assert(IsTransform(*matrix) && "LoadProjection()/LoadModelView(): matrix must be 4 x 4");
    if (IsTransform(*matrix))
        glLoadMatrixf(matrix->GetElements());
}

// Every element 0, unlike CMatrix's identity pattern.
CMatrix Zero()
{
    CMatrix m(4, 4);
    for (unsigned i = 0; i < 16; ++i)
        m.Set(i, 0.0f);
    return m;
}

} // namespace

void ClearScreen(float r, float g, float b, float a)
{
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void SetViewport(int x, int y, int width, int height)
{
    glViewport(x, y, width == 0 ? 1 : width, height == 0 ? 1 : height);
}

void LoadProjection(const CMatrix* matrix)
{
    LoadOnto(GL_PROJECTION, matrix);
}

void LoadModelView(const CMatrix* matrix)
{
    LoadOnto(GL_MODELVIEW, matrix);
}

void MultMatrix(const CMatrix& matrix)
{
    assert(IsTransform(matrix) && "MultMatrix(): matrix must be 4 x 4");
    if (IsTransform(matrix))
        glMultMatrixf(matrix.GetElements());
}

CMatrix FrustumMatrix(float l, float r, float b, float t, float n, float f)
{
    CMatrix m = Zero();
    m.Set(0, 2 * n / (r - l));
    m.Set(5, 2 * n / (t - b));
    m.Set(8, (r + l) / (r - l));
    m.Set(9, (t + b) / (t - b));
    m.Set(10, -(f + n) / (f - n));
    m.Set(11, -1.0f);
    m.Set(14, -2 * f * n / (f - n));
    return m;
}

CMatrix OrthoMatrix(float l, float r, float b, float t, float n, float f)
{
    CMatrix m = Zero();
    m.Set(0, 2 / (r - l));
    m.Set(5, 2 / (t - b));
    m.Set(10, -2 / (f - n));
    m.Set(12, (r + l) / (r - l));
    m.Set(13, (t + b) / (t - b));
    m.Set(14, (f + n) / (f - n));
    m.Set(15, 1.0f);
    return m;
}

CMatrix PerspectiveMatrix(float fovy, float aspect, float zNear, float zFar)
{
    // Pi truncated to 3.141592 as the projection has always used it.
    const float top = std::tan(fovy * 3.141592f / 360.0f) * zNear;
    const float right = top * aspect;
    return FrustumMatrix(-right, right, -top, top, zNear, zFar);
}
