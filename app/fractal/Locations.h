// Preset views, read from an XML file whose root holds one element per
// location (the tag is not examined) with the attributes "name",
// "iterations", "real", "imaginary" and "scale".
#pragma once

#include <cstdint>
#include <vector>

#include "core/String.h"

struct CLocation
{
    String name;
    int32_t iterations = 0;
    double real = 0.0;
    double imaginary = 0.0;
    double scale = 0.0;
};

// The locations in file order; none when the file is missing or not
// well-formed. Absent attributes read as empty or 0.
std::vector<CLocation> ReadLocations(const String& path);
