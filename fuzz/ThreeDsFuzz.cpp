// 3DS models.
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "MeshCheck.h"
#include "assets/Model.h"
#include "assets/ThreeDsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    CModel target;
    if (Read3ds(file.Put(data, size).c_str(), target.GetShape()))
        fuzz::CheckMesh(target);
    return 0;
}
