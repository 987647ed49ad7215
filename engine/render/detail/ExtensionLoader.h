// The extension loader's rules over any entry-point table, procedure look-up
// and extension string, so they can be checked without a GL driver.
#pragma once

#include <functional>

#include "core/String.h"
#include "render/Extensions.h"

namespace render_detail
{

using ProcLookup = std::function<void*(const char* name)>;

// Fetches only the entry points of `table` that are still null.
bool LoadExtensionInto(GLEntryPoints& table, const String& name, const ProcLookup& lookup,
                       const char* extensions);

} // namespace render_detail
