#include "gui/detail/Parts.h"

#include "core/Matrix.h"
#include "core/XML.h"

namespace gui_detail
{

void Place(CGUI& control, float x, float y)
{
    CMatrix& transform = control.GetTransform();
    transform.Set(CMatrix::TranslationX, x);
    transform.Set(CMatrix::TranslationY, y);
}

void Resize(CGUI& control, float w, float h)
{
    control.SetScale(w, h, control.GetScale().z);
}

void DrawAt(CGUI& part, float z)
{
    part.GetTransform().Set(CMatrix::TranslationZ, z);
    part.Draw();
}

float Depth(const CGUI& control)
{
    return control.GetTransform().Get(CMatrix::TranslationZ);
}

void ReadHighlight(CGUI& highlight, const CXMLNode& node)
{
    const float alpha = node.GetAttribute("a") ? node.GetAttributeFloat("a") : 1.0f;
    SetHighlightColour(highlight, CVector(node.GetAttributeFloat("r"), node.GetAttributeFloat("g"),
                                          node.GetAttributeFloat("b"), alpha));
}

CVector HighlightColour(const CGUI& highlight)
{
    CVector colour = highlight.GetMaterial().GetEmission();
    colour.w = highlight.GetMaterial().GetDiffuse().w;
    return colour;
}

void SetHighlightColour(CGUI& highlight, const CVector& colour)
{
    CMaterial& material = highlight.GetMaterial();
    material.SetEmission(colour);
    CVector diffuse = material.GetDiffuse();
    diffuse.w = colour.w;
    material.SetDiffuse(diffuse);
}

} // namespace gui_detail
