// OBJ models with a material library: the input is the model, then a line
// "#--", then the library, which the model reaches as "fuzz.mtl" from the
// working directory (a private folder).
#include <cstddef>
#include <cstdint>

#include <unistd.h>

#include "FuzzFile.h"
#include "MeshCheck.h"
#include "assets/Model.h"
#include "assets/ObjReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static fuzz::MemoryFile library;
    fuzz::LinkAs(library, "fuzz.mtl");
    fuzz::Library() = &library;
    return chdir(fuzz::PrivateFolder().c_str());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile model;
    size_t libraryStart = 0;
    const size_t modelSize = fuzz::SplitPoint(data, size, libraryStart);
    fuzz::Library()->Put(data + libraryStart, size - libraryStart);
    CModel target;
    if (ReadObj(model.Put(data, modelSize).c_str(), target.GetShape()))
        fuzz::CheckMesh(target);
    return 0;
}
