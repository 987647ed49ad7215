// CGUI: placement relative to parents, the rotated hit test, dragging and
// the shared part of reading a control's description element.

#include "gui/GUI.h"

#include <algorithm>
#include <cstdint>

#include "core/Matrix.h"
#include "core/Rotation.h"
#include "core/XML.h"

namespace
{

// The unit square, texture's top row along the quad's top edge.
ShapeVertex Corner(float x, float y)
{
    ShapeVertex v;
    v.position.Set(x, y, 0.0f);
    v.texCoord.Set(x, 1.0f - y);
    v.normal.Set(0.0f, 0.0f, 1.0f);
    return v;
}

float FloatOr(const CXMLNode& node, const char* name, float fallback)
{
    return node.GetAttribute(name) ? node.GetAttributeFloat(name) : fallback;
}

CVector ReadColour(const CXMLNode& node)
{
    return CVector(FloatOr(node, "r", 0.0f), FloatOr(node, "g", 0.0f), FloatOr(node, "b", 0.0f),
                   FloatOr(node, "a", 1.0f));
}

// Descriptions are hand-written: a component outside 0..1 would overflow
// the byte, so it is clamped first.
uint8_t ColourByte(float value)
{
    return static_cast<uint8_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f);
}

void ReadGradient(CGUI& control, const CXMLNode& node)
{
    control.SetColourArray(true);
    control.GetMaterial().SetEmission(CVector(0.0f, 0.0f, 0.0f, 0.0f));
    const char* corners[4] = {"p1", "p2", "p3", "p4"};
    const char* components[4] = {"r", "g", "b", "a"};
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
    {
        const CXMLNode* point = node.GetChild(i);
        for (unsigned corner = 0; corner < 4; ++corner)
        {
            if (point->GetName() != corners[corner])
                continue;
            uint8_t* bytes = control.GetColours() + corner * 4;
            for (unsigned k = 0; k < 4; ++k)
                if (point->GetAttribute(components[k]))
                    bytes[k] = ColourByte(point->GetAttributeFloat(components[k]));
        }
    }
}

} // namespace

CGUI::CGUI()
    : CQuad(Corner(0, 0), Corner(1, 0), Corner(1, 1), Corner(0, 1)), m_dragSlot(this, &CGUI::OnDrag)
{
    GetMaterial().SetEmission(CVector(1.0f, 1.0f, 1.0f, 0.0f));
    m_sprite.BindMaterial(&GetMaterial());
}

CGUI::~CGUI() = default;

void CGUI::Draw()
{
    if (!m_parent)
    {
        if (m_visible)
            CShape::Draw();
        return;
    }
    if (!m_visible || !m_parent->IsVisible())
        return;
    CMatrix& transform = GetTransform();
    const float x = transform.Get(CMatrix::TranslationX), y = transform.Get(CMatrix::TranslationY);
    const CVector absolute = AbsolutePosition();
    transform.Set(CMatrix::TranslationX, absolute.x);
    transform.Set(CMatrix::TranslationY, absolute.y);
    CShape::Draw();
    transform.Set(CMatrix::TranslationX, x);
    transform.Set(CMatrix::TranslationY, y);
}

void CGUI::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CShape::CopyFrom(other);
    m_name = other.m_name;
    SetMoveable(other.m_moveable);
    m_enabled = other.m_enabled;
    m_visible = other.m_visible;
    m_align = other.m_align;
    m_sprite.CopyFrom(other.m_sprite);
    // The copy would otherwise keep writing frames into the source's material.
    m_sprite.BindMaterial(&GetMaterial());
    m_frame = other.m_frame;
    m_parent = other.m_parent;
    // The type code stays: it names this object's class, which the loader
    // dispatches on, and a copy from another kind must not relabel it.
}

void CGUI::LoadAttributes(const CXMLNode& node)
{
    if (node.GetAttribute("name"))
        m_name = node.GetAttributeString("name");
    SetPosition(node.GetAttributeFloat("x"), node.GetAttributeFloat("y"));
    if (node.GetAttribute("z"))
        GetTransform().Set(CMatrix::TranslationZ, node.GetAttributeFloat("z"));

    const SpriteFrame* frame = m_sprite.GetFrame(m_frame);
    SetSize(FloatOr(node, "w", frame ? static_cast<float>(frame->w) : 1.0f),
            FloatOr(node, "h", frame ? static_cast<float>(frame->h) : 1.0f));

    if (node.GetAttribute("align"))
        SetAlign(node.GetAttributeInt("align"));
    if (node.GetAttribute("enabled"))
        SetEnabled(node.GetAttributeBool("enabled"));
    if (node.GetAttribute("visible"))
        SetVisible(node.GetAttributeBool("visible"));
    if (node.GetAttribute("moveable"))
        SetMoveable(node.GetAttributeBool("moveable"));

    CMaterial& material = GetMaterial();
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
    {
        const CXMLNode& child = *node.GetChild(i);
        const String& tag = child.GetName();
        if (tag == "rotate")
            SetRotation(child.GetAttributeFloat("x"), child.GetAttributeFloat("y"),
                        child.GetAttributeFloat("z"));
        else if (tag == "ambient")
            material.SetAmbient(ReadColour(child));
        else if (tag == "diffuse")
            material.SetDiffuse(ReadColour(child));
        else if (tag == "emission")
            material.SetEmission(ReadColour(child));
        else if (tag == "specular")
            material.SetSpecular(ReadColour(child));
        else if (tag == "shininess")
            material.SetShininess(FloatOr(child, "value", 1.0f));
        else if (tag == "alpha")
        {
            CVector diffuse = material.GetDiffuse();
            diffuse.w = FloatOr(child, "value", 1.0f);
            material.SetDiffuse(diffuse);
        }
        else if (tag == "blend")
        {
            if (child.GetAttribute("value"))
                material.SetAdditive(child.GetAttributeBool("value"));
        }
        else if (tag == "gradient")
            ReadGradient(*this, child);
    }
}

bool CGUI::Contains(int x, int y)
{
    if (!IsEnabled() || !IsVisible())
        return false;
    const CVector size = GetScale();
    const float* vertices = GetVertices();
    const float ax = vertices[0] * size.x, ay = vertices[1] * size.y;
    const float bx = vertices[6] * size.x, by = vertices[7] * size.y;

    const CVector absolute = AbsolutePosition();
    CVector local(static_cast<float>(x) - absolute.x, static_cast<float>(y) - absolute.y);
    const CVector& angles = GetRotation();
    if (angles.x != 0.0f || angles.y != 0.0f || angles.z != 0.0f)
    {
        CMatrix inverse(4, 4);
        RotationFromEuler(inverse.GetElements(), -angles.x, -angles.y, -angles.z);
        local = inverse.ApplyRotation(local);
    }
    return local.x >= std::min(ax, bx) && local.x <= std::max(ax, bx) &&
           local.y >= std::min(ay, by) && local.y <= std::max(ay, by);
}

bool CGUI::ContainsCursor()
{
    const CVector mouse = GetMousePosition();
    return Contains(static_cast<int>(mouse.x), static_cast<int>(mouse.y));
}

void CGUI::SetSprite(CSprite& sprite)
{
    m_sprite.CopyFrom(sprite);
    CMaterial& material = GetMaterial();
    m_sprite.BindMaterial(&material);
    if (material.GetTextureCount() == 0)
        material.AddTexture(0, 0);
    SetFrame(0, false);
}

void CGUI::SetFrame(unsigned frame, bool resize)
{
    m_frame = frame;
    m_sprite.ShowFrame(frame);
    const SpriteFrame* shown = m_sprite.GetFrame(frame);
    if (resize && shown)
        SetSize(static_cast<float>(shown->w), static_cast<float>(shown->h));
}

void CGUI::ShowFrame(unsigned frame)
{
    SetFrame(frame, false);
}

void CGUI::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    EnabledChanged.Emit(enabled);
}

void CGUI::SetVisible(bool visible)
{
    m_visible = visible;
    VisibleChanged.Emit(visible);
}

void CGUI::SetFocus(bool focus)
{
    m_focus = focus;
    FocusChanged.Emit(focus);
}

void CGUI::SetMoveable(bool moveable)
{
    m_moveable = moveable;
    if (moveable)
        m_dragSlot.Connect(&Input);
    else
        m_dragSlot.Disconnect(&Input);
}

void CGUI::SetPosition(float x, float y)
{
    CMatrix& transform = GetTransform();
    transform.Set(CMatrix::TranslationX, x);
    transform.Set(CMatrix::TranslationY, y);
    Moved.Emit(x, y);
}

void CGUI::SetSize(float w, float h)
{
    SetScale(w, h, GetScale().z);
    Resized.Emit(w, h);
}

void CGUI::SetAlign(int align)
{
    if (align < 0 || align > 8)
        return;
    m_align = align;
    ApplyAlign(align);
}

void CGUI::ApplyAlign(int align)
{
    const float dx = -0.5f * static_cast<float>(align % 3);
    const float dy = -0.5f * static_cast<float>(align / 3);
    const float corners[4][2] = {{dx, dy}, {dx + 1, dy}, {dx + 1, dy + 1}, {dx, dy + 1}};
    float* vertices = GetVertices();
    for (unsigned i = 0; i < 4; ++i)
    {
        vertices[i * 3] = corners[i][0];
        vertices[i * 3 + 1] = corners[i][1];
    }
}

bool CGUI::SetParent(CGUI* parent)
{
    for (const CGUI* p = parent; p; p = p->m_parent)
        if (p == this)
            return false;
    m_parent = parent;
    return true;
}

bool CGUI::IsEnabled() const
{
    return m_enabled && (!m_parent || m_parent->IsEnabled());
}

bool CGUI::IsVisible() const
{
    return m_visible && (!m_parent || m_parent->IsVisible());
}

CVector CGUI::GetPosition() const
{
    const CMatrix& transform = GetTransform();
    return CVector(transform.Get(CMatrix::TranslationX), transform.Get(CMatrix::TranslationY),
                   transform.Get(CMatrix::TranslationZ));
}

CVector CGUI::AbsolutePosition() const
{
    const CVector own = GetPosition();
    return m_parent ? own + m_parent->AbsolutePosition() : own;
}

// The drag slot's handler, fed by this control's own Input signal.
//   press, left button   -> dragging; anchor = pointer - position
//   release, left button -> not dragging
//   then: move while dragging -> follow the pointer, Moved
//         anything else after a move -> DragEnded once
void CGUI::OnDrag(CInputMap& event)
{
    if (!m_moveable || !IsEnabled() || !IsVisible())
        return;
    const CVector position = GetPosition();
    if (event.Action == CInputMap::Press && event.Code == CInputMap::Left)
    {
        m_dragging = true;
        m_dragAnchor.Set(event.Position.x - position.x, event.Position.y - position.y);
    }
    else if (event.Action == CInputMap::Release && event.Code == CInputMap::Left)
        m_dragging = false;

    if (m_dragging && event.Action == CInputMap::Move)
    {
        m_dragMoved = true;
        SetPosition(event.Position.x - m_dragAnchor.x, event.Position.y - m_dragAnchor.y);
    }
    else if (m_dragMoved)
    {
        m_dragMoved = false;
        DragEnded.Emit(position.x, position.y);
    }
}
