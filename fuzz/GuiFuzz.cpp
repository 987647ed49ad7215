// The GUI description, built by a manager of its own each run. The resource
// manager stays empty: sprite look-ups then find nothing, and no control
// needs a GL context until it is drawn.
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "assets/ResourceManager.h"
#include "gui/GUIManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    static const CResourceManager resources;
    CGUIManager manager;
    manager.Load(file.Put(data, size).c_str(), resources);
    return 0;
}
