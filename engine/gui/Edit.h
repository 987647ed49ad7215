// A single- or multi-line text entry: while focused it takes the characters
// of the global keyboard signal, backspace and (multi-line) enter. Input can
// be held to decimal numbers and to a length; the text can be masked.
#pragma once

#include <climits>

#include "core/Signal.h"
#include "core/String.h"
#include "core/Timer.h"
#include "gui/Font.h"
#include "gui/GUI.h"

class CXMLNode;

class CEdit : public CGUI
{
public:
    static constexpr unsigned NoLimit = UINT_MAX;
    // The caret blinks at this period while focused.
    static constexpr unsigned CaretPeriod = 300;

    CEdit();
    ~CEdit() override;

    // The box, then the text one unit nearer.
    void Draw() override;
    // From another edit box also the text font, the modes, the limit and
    // the border; the copy is not focused.
    void CopyFrom(const CGUI& other) override;
    void LoadAttributes(const CXMLNode& node) override;

    // Turns backslash-n into a line break (see CFont::SetText); emits no
    // TextChanged.
    void SetText(const String& text) { m_font.SetText(text); }
    // Stored as given, no escapes; emits no TextChanged.
    void SetRawText(const String& text) { m_font.SetRawText(text); }
    const String& Text() const { return m_font.Text(); }
    // The text font copies `font` with an empty text; null is ignored.
    void SetFont(const CFont* font);
    void SetMultiline(bool multiline) { m_multiline = multiline; }
    void SetNumber(bool number) { m_number = number; }
    void SetLimit(unsigned limit) { m_limit = limit; }
    void SetPassword(bool password) { m_font.SetPassword(password); }
    void SetBorder(float border);
    bool IsMultiline() const { return m_multiline; }
    bool IsNumber() const { return m_number; }
    unsigned GetLimit() const { return m_limit; }
    float GetBorder() const { return m_border; }
    bool IsFocused() const { return m_focused; }
    // Whether some edit box has the focus now. Every box hears every key,
    // so while one is focused typed characters are its text, whatever
    // else listens to the keyboard.
    static bool IsAnyFocused() { return s_focusedCount > 0; }
    // Flips each caret period while focused; off otherwise.
    bool IsCaretShown() const { return m_caretShown; }
    const CTimer& CaretTimer() const { return m_timer; }
    CFont& TextFont() { return m_font; }

    CSignal<const String&> TextChanged;

private:
    void OnResized(float w, float h);
    void OnFocusChanged(bool focus);
    void OnKey(CInputMap& event);
    void OnCaret();
    bool Accepts(int code) const;
    void Layout();

    CFont m_font;
    bool m_focused = false;
    bool m_multiline = false;
    bool m_number = false;
    unsigned m_limit = NoLimit;
    float m_border = 0.0f;
    bool m_caretShown = false;
    CTimer m_timer;

    // Main thread only, as all key handling.
    static unsigned s_focusedCount;
};
