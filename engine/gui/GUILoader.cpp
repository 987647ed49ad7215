// CGUIManager: building controls from a GUI description. One control per
// element through the factory's tag table; names in an element find only
// controls appended before it, and only of the kind the reference needs, so
// a "font" that names a button counts as missing rather than being read as
// a font. Menus are appended at once so that their nested items can name
// them as parent.

#include <vector>

#include "assets/ResourceManager.h"
#include "core/Matrix.h"
#include "core/XML.h"
#include "gui/Button.h"
#include "gui/Combo.h"
#include "gui/ControlFactory.h"
#include "gui/Edit.h"
#include "gui/Font.h"
#include "gui/Frame.h"
#include "gui/GUI.h"
#include "gui/GUIManager.h"
#include "gui/List.h"
#include "gui/Menu.h"
#include "gui/Scroll.h"
#include "gui/Window.h"
#include "gui/detail/Parts.h"
#include "render/Sprite.h"

namespace
{

const CControlFactory& Factory()
{
    static const CControlFactory factory;
    return factory;
}

// False once more than `limit` elements lie below `root`. Walked with a
// stack of its own: the nesting of a hostile file is not bounded.
bool WithinElementCount(const CXMLNode& root, unsigned limit)
{
    std::vector<const CXMLNode*> pending{&root};
    unsigned count = 0;
    while (!pending.empty())
    {
        const CXMLNode* node = pending.back();
        pending.pop_back();
        count += node->GetChildCount();
        if (count > limit)
            return false;
        for (unsigned i = 0; i < node->GetChildCount(); ++i)
            pending.push_back(node->GetChild(i));
    }
    return true;
}

// `control` as a `Control` when its type code says it is one; anything
// else, null included, gives null.
template <class Control>
Control* As(CGUI* control, int typeCode)
{
    if (!control || control->TypeCode() != typeCode)
        return nullptr;
    return dynamic_cast<Control*>(control);
}

// The first control named by the element's `attribute`, of any kind.
CGUI* Named(const CGUIManager& manager, const CXMLNode& element, const char* attribute)
{
    const CXMLAttribute* name = element.GetAttribute(attribute);
    return name ? manager.FindByName(name->GetValue()) : nullptr;
}

const CFont* NamedFont(const CGUIManager& manager, const CXMLNode& element)
{
    return As<CFont>(Named(manager, element, "font"), CGUI::TypeFont);
}

const CScroll* NamedScroll(const CGUIManager& manager, const CXMLNode& element)
{
    return As<CScroll>(Named(manager, element, "scroll"), CGUI::TypeScroll);
}

void SetDepth(CGUI& control, float depth)
{
    control.GetTransform().Set(CMatrix::TranslationZ, depth);
}

// kind                  before its own attributes
// button, check box     "font" becomes the caption's font
// combo box             "font" for its edit box, button and list; "scroll"
// list                  "font" for its items; "scroll" as its bar's template
// edit box, window      "font"
// other kinds           nothing
void GiveReferences(const CGUIManager& manager, CGUI& control, const CXMLNode& element)
{
    CButton* button = As<CButton>(&control, CGUI::TypeButton);
    if (!button)
        button = As<CButton>(&control, CGUI::TypeCheckBox);
    if (button)
        button->SetFont(NamedFont(manager, element));
    else if (CCombo* combo = As<CCombo>(&control, CGUI::TypeCombo))
    {
        combo->SetFont(NamedFont(manager, element));
        combo->SetScroll(NamedScroll(manager, element));
    }
    else if (CList* list = As<CList>(&control, CGUI::TypeList))
    {
        list->SetFont(NamedFont(manager, element));
        list->SetScroll(NamedScroll(manager, element));
    }
    else if (CEdit* edit = As<CEdit>(&control, CGUI::TypeEdit))
        edit->SetFont(NamedFont(manager, element));
    else if (CWindow* window = As<CWindow>(&control, CGUI::TypeWindow))
        window->SetFont(NamedFont(manager, element));
}

// Each "gui" child is made, read and copied into the cell its "border"
// names; other children belong to the frame's own attributes.
void FillCells(CFrame& frame, const CXMLNode& element, const CResourceManager& resources)
{
    for (unsigned i = 0; i < element.GetChildCount(); ++i)
    {
        const CXMLNode& child = *element.GetChild(i);
        if (child.GetName() != String("gui"))
            continue;
        std::unique_ptr<CGUI> cell = CGUIManager::Create(resources, child);
        if (!cell)
            continue;
        cell->LoadAttributes(child);
        frame.SetCell(child.GetAttributeInt("border"), *cell);
    }
    frame.Refresh();
}

bool HasDefaultEmission(const CMaterial& material)
{
    const CVector& e = material.GetEmission();
    return e.x == 1.0f && e.y == 1.0f && e.z == 1.0f && e.w == 0.0f;
}

// An item looks like its menu: same depth, size and hover colour, and the
// menu's material unless the item was given colours of its own. An item
// with a picture of its own keeps it (its texture and the frame shown).
void JoinMenu(CMenu& item, CMenu& menu)
{
    SetDepth(item, gui_detail::Depth(menu));
    CMaterial& material = item.GetMaterial();
    if (HasDefaultEmission(material))
    {
        const CMaterial own = material;
        material = menu.GetMaterial();
        if (item.GetSprite().GetFrameCount() > 0)
        {
            material.ClearTextures();
            for (unsigned t = 0; t < own.GetTextureCount(); ++t)
                material.AddTexture(t, own.GetTexture(t));
            material.GetTextureMatrix() = own.GetTextureMatrix();
        }
    }
    item.SetHoverColour(menu.HoverColour());
    const CVector size = menu.GetSize();
    item.SetSize(size.x, size.y);
    menu.AddItem(&item);
}

} // namespace

bool CGUIManager::Load(const String& path, const CResourceManager& resources)
{
    CXMLDocument document;
    if (!document.Load(path))
        return false;
    return Build(document, resources);
}

bool CGUIManager::Build(const CXMLNode& elements, const CResourceManager& resources)
{
    if (!WithinElementCount(elements, kMaxElements))
        return false;
    BuildList(elements, resources, 0);
    return true;
}

std::unique_ptr<CGUI> CGUIManager::Create(const CResourceManager& resources,
                                          const CXMLNode& element)
{
    std::unique_ptr<CGUI> control = Factory().Create(element.GetName());
    if (!control)
        return nullptr;
    // Only a sprite will do: a picture or a font face of the same name is
    // another kind of resource.
    const CXMLAttribute* spriteName = element.GetAttribute("sprite");
    CSprite* sprite = spriteName ? resources.FindSprite(spriteName->GetValue()) : nullptr;
    if (sprite)
    {
        control->SetSprite(*sprite);
        // A negative index would wrap round to a frame no sprite has.
        const int frame = element.GetAttributeInt("frame");
        control->ShowFrame(frame > 0 ? static_cast<unsigned>(frame) : 0u);
    }
    return control;
}

void CGUIManager::BuildList(const CXMLNode& elements, const CResourceManager& resources,
                            unsigned depth)
{
    const unsigned count = elements.GetChildCount();
    for (unsigned i = 0; i < count; ++i)
    {
        const CXMLNode& element = *elements.GetChild(i);
        Loading.Emit(element, i, count);
        std::unique_ptr<CGUI> control = Create(resources, element);
        if (!control)
            continue;
        // The first element is nearest: drawn last and hit first.
        SetDepth(*control, static_cast<float>(count - i));
        if (CMenu* menu = As<CMenu>(control.get(), CGUI::TypeMenu))
        {
            BuildMenu(std::move(control), *menu, element, resources, depth);
            continue;
        }
        GiveReferences(*this, *control, element);
        control->LoadAttributes(element);
        if (CFrame* frame = As<CFrame>(control.get(), CGUI::TypeFrame))
            FillCells(*frame, element, resources);
        Append(std::move(control));
    }
    LinkParents(elements);
}

void CGUIManager::BuildMenu(std::unique_ptr<CGUI> control, CMenu& menu, const CXMLNode& element,
                            const CResourceManager& resources, unsigned depth)
{
    menu.SetFont(NamedFont(*this, element));
    menu.LoadAttributes(element);
    if (const CGUI* icon = Named(*this, element, "icon"))
        menu.SetIcon(*icon);
    // The menu is not in the list yet, so its parent cannot be itself.
    if (CGUI* parent = Named(*this, element, "parent"))
    {
        if (CMenu* owner = As<CMenu>(parent, CGUI::TypeMenu))
            JoinMenu(menu, *owner);
        else
            menu.SetParent(parent);
    }
    Append(std::move(control));
    if (element.GetChildCount() > 0 && depth < kMaxMenuDepth)
        BuildList(element, resources, depth + 1);
}

// After the list, so that a control may name a later sibling as parent.
// Only controls still without a parent take one; SetParent refuses a link
// that would close a cycle, and the control then stays without a parent.
void CGUIManager::LinkParents(const CXMLNode& elements)
{
    for (unsigned i = 0; i < elements.GetChildCount(); ++i)
    {
        const CXMLNode& element = *elements.GetChild(i);
        const CXMLAttribute* name = element.GetAttribute("name");
        const CXMLAttribute* parent = element.GetAttribute("parent");
        if (!name || !parent)
            continue;
        CGUI* control = FindByName(name->GetValue());
        if (control && !control->GetParent())
            control->SetParent(FindByName(parent->GetValue()));
    }
}
