// CControlFactory: the built-in tags and the exact-match look-up.

#include "gui/ControlFactory.h"

#include <cassert>

#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/Combo.h"
#include "gui/ControlBar.h"
#include "gui/Edit.h"
#include "gui/Font.h"
#include "gui/Frame.h"
#include "gui/GUI.h"
#include "gui/List.h"
#include "gui/Menu.h"
#include "gui/Progress.h"
#include "gui/Scroll.h"
#include "gui/Window.h"

CControlFactory::CControlFactory()
{
    Register<CGUI>("gui");
    Register<CButton>("button");
    Register<CCheckBox>("checkbox");
    Register<CFont>("font");
    Register<CProgress>("progress");
    Register<CScroll>("scroll");
    Register<CEdit>("edit");
    Register<CList>("list");
    Register<CCombo>("combo");
    Register<CWindow>("window");
    Register<CFrame>("frame");
    Register<CControlBar>("control");
    Register<CMenu>("menu");
}

void CControlFactory::Register(const String& tag, Maker make)
{
    assert(make && "CControlFactory::Register(): empty maker");
    for (auto& entry : m_makers)
        if (entry.first == tag)
        {
            entry.second = std::move(make);
            return;
        }
    m_makers.emplace_back(tag, std::move(make));
}

const CControlFactory::Maker* CControlFactory::Find(const String& tag) const
{
    for (const auto& entry : m_makers)
        if (entry.first == tag)
            return &entry.second;
    return nullptr;
}

std::unique_ptr<CGUI> CControlFactory::Create(const String& tag) const
{
    const Maker* make = Find(tag);
    return make ? (*make)() : nullptr;
}
