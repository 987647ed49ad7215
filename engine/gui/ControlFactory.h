// The tag -> control table the description loader creates controls through:
// one maker per element tag, tags compared exactly ("Button" is not
// "button").
//
// A new table already holds every kind this module builds ("gui" -> CGUI,
// "button", "checkbox", "font", "progress", "scroll", "edit", "list",
// "combo", "window", "frame", "control" (the control bar), "menu"; each
// control kind added here registers itself in the constructor), so the
// loader needs no set-up and the tag list lives in one place. Callers may add their own tags
// or replace a built-in maker.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "core/String.h"

class CGUI;

class CControlFactory
{
public:
    using Maker = std::function<std::unique_ptr<CGUI>()>;

    CControlFactory();

    // A later maker for the same tag replaces the earlier one.
    void Register(const String& tag, Maker make);
    // Makes the control with its default constructor.
    template <class Control>
    void Register(const String& tag)
    {
        Register(tag, [] { return std::unique_ptr<CGUI>(std::make_unique<Control>()); });
    }

    // Null for an unregistered tag; valid until the next Register.
    const Maker* Find(const String& tag) const;
    // A new control, or null for an unregistered tag.
    std::unique_ptr<CGUI> Create(const String& tag) const;

private:
    // A dozen tags or so: a linear scan is all the look-up needs.
    std::vector<std::pair<String, Maker>> m_makers;
};
