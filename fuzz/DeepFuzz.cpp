// The deep presets file, and the deep renderer on whatever view it yields:
// centres of any length, scales down to the exponent floor, limits of any
// size. The render is cut to a few pixels and steps, so every input stays
// fast while the reference orbit, the run table and the lanes all see it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzFile.h"
#include "core/String.h"
#include "core/XML.h"
#include "fractal/DeepRender.h"
#include "fractal/DeepView.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    const std::string& path = file.Put(data, size);
    // The first element's name, so that a preset the file does hold is read.
    CXMLDocument document;
    if (!document.Load(String(path.c_str())) || document.GetChildCount() == 0)
        return 0;
    const std::string name = document.GetChild(0)->GetAttributeString("name").GetText();
    DeepView view;
    view.width = 3;
    view.height = 2;
    if (!ReadDeepPreset(path.c_str(), name, view))
        return 0;
    view.limit = std::min<uint32_t>(view.limit, 64);
    (void)DoubleHolds(view, 0.0, 0.0);
    CDeepRender render;
    render.Prepare(view, true);
    render.RenderRows();
    return 0;
}
