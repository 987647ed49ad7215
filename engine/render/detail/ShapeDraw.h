// The shape draw path against a given capability record, so that one driver
// can be made to take the paths without buffer objects or multitexture too,
// and the shared buffer names it keeps per context.
#pragma once

#include "render/Extensions.h"

class CShape;

namespace render_detail
{

// A capability may be switched off here, never on beyond the driver's.
void DrawShape(const CShape& shape, const GLCapabilities& caps);

// The names of the shared buffers, one per array kind (vertices, texture
// coordinates, normals, colours, indices); zeros before the first draw.
struct ShapeBuffers
{
    unsigned names[5] = {0, 0, 0, 0, 0};
};
ShapeBuffers GetShapeBuffers();
void ForgetShapeBuffers();

} // namespace render_detail
