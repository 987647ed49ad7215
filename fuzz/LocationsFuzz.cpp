// The preset locations file.
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "fractal/Locations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    const std::vector<CLocation> locations = ReadLocations(file.Put(data, size).c_str());
    (void)locations;
    return 0;
}
