// What composite controls do to their parts: place, size and draw them
// through the transform and scale alone, so that no Moved or Resized comes
// back into the layout that is running.
#pragma once

#include "core/Vector.h"
#include "gui/GUI.h"

class CXMLNode;

namespace gui_detail
{

void Place(CGUI& control, float x, float y);
void Resize(CGUI& control, float w, float h);
// Puts the part at depth `z` and draws it.
void DrawAt(CGUI& part, float z);
float Depth(const CGUI& control);
// A highlight's colour element: "r", "g", "b" (0 when absent) and "a" (1)
// become the emission colour, "a" also the diffuse alpha.
void ReadHighlight(CGUI& highlight, const CXMLNode& node);
// Emission colour with the diffuse alpha as the fourth component.
CVector HighlightColour(const CGUI& highlight);
void SetHighlightColour(CGUI& highlight, const CVector& colour);

} // namespace gui_detail
