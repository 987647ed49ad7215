// Helpers of the GUI's windowless tests: a control read from a description
// element, and mouse and key input through the input map's own builders
// (which also record the pointer position that ContainsCursor reads).
#pragma once

#include <gtest/gtest.h>

#include "core/XML.h"
#include "gui/GUI.h"
#include "shell/InputMap.h"

// `xml` holds one element inside a wrapper element.
inline void LoadXML(CGUI& control, const char* xml)
{
    CXMLDocument document;
    ASSERT_TRUE(document.Parse(xml));
    control.LoadAttributes(*document.GetChild(0));
}

inline void MoveTo(int x, int y)
{
    EmitMouseMove(x, y);
}

inline void ClickAt(int x, int y)
{
    EmitMouseMove(x, y);
    EmitMouseButton(CInputMap::Press, CInputMap::Left);
    EmitMouseButton(CInputMap::Release, CInputMap::Left);
}

// Each character as a character press, as typed text reaches the keyboard
// signal.
inline void Type(const char* text)
{
    for (const char* c = text; *c; ++c)
        EmitCharEvent(static_cast<unsigned char>(*c));
}
