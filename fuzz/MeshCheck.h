// What every model reader promises of the shape it fills: whole triangles
// whose indices name vertices that exist.
#pragma once

#include <cstdlib>

#include "FuzzFile.h"
#include "assets/Model.h"

namespace fuzz
{

inline void CheckMesh(CModel& model)
{
    const CShape& shape = model.GetShape();
    if (shape.GetVertexCount() == 0 || shape.GetIndexCount() % 3 != 0)
        std::abort();
    for (unsigned i = 0; i < shape.GetIndexCount(); ++i)
        if (shape.GetIndices()[i] >= shape.GetVertexCount())
            std::abort();
    model.Finish();
}

// The material library's file, set up once by the OBJ target.
inline MemoryFile*& Library()
{
    static MemoryFile* library = nullptr;
    return library;
}

} // namespace fuzz
