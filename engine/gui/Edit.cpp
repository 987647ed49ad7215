// CEdit: the key rules, the focus that gates them and the text's inset.
// Typed characters go into the text as they are: only a programmatic
// SetText turns backslash-n into a line break.

#include "gui/Edit.h"

#include "core/XML.h"
#include "gui/detail/Parts.h"
#include "shell/InputMap.h"

namespace
{

constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int FirstPrintable = 32;
constexpr int LastAccepted = 127;

String WithCharacter(const String& text, char c)
{
    String out(text);
    out.Append(String(&c, 1));
    return out;
}

} // namespace

unsigned CEdit::s_focusedCount = 0;

CEdit::CEdit()
{
    m_typeCode = TypeEdit;
    m_enabled = true;
    m_font.SetParent(this);
    m_timer.SetInterval(CaretPeriod);
    ConnectSlot(m_connections, Resized, this, &CEdit::OnResized);
    ConnectSlot(m_connections, FocusChanged, this, &CEdit::OnFocusChanged);
    ConnectSlot(m_connections, GetKeyboardSignal(), this, &CEdit::OnKey);
    ConnectSlot(m_connections, m_timer.Elapsed, this, &CEdit::OnCaret);
}

CEdit::~CEdit()
{
    OnFocusChanged(false);
}

void CEdit::Draw()
{
    CGUI::Draw();
    if (IsVisible())
        gui_detail::DrawAt(m_font, gui_detail::Depth(*this) + 1.0f);
}

void CEdit::CopyFrom(const CGUI& other)
{
    if (&other == this)
        return;
    CGUI::CopyFrom(other);
    const auto* edit = dynamic_cast<const CEdit*>(&other);
    if (!edit)
        return;
    m_font.CopyFrom(edit->m_font);
    m_font.SetParent(this);
    m_multiline = edit->m_multiline;
    m_number = edit->m_number;
    m_limit = edit->m_limit;
    m_border = edit->m_border;
    OnFocusChanged(false);
}

void CEdit::LoadAttributes(const CXMLNode& node)
{
    CGUI::LoadAttributes(node);
    if (node.GetAttribute("text"))
        m_font.SetText(node.GetAttributeString("text"));
    if (node.GetAttribute("borderSize"))
        SetBorder(node.GetAttributeFloat("borderSize"));
    if (node.GetAttribute("multiline"))
        m_multiline = node.GetAttributeBool("multiline");
    if (node.GetAttribute("password"))
        m_font.SetPassword(node.GetAttributeBool("password"));
    if (node.GetAttribute("number"))
        m_number = node.GetAttributeBool("number");
    if (node.GetAttribute("limit"))
    {
        // A negative limit in a hand-written file takes nothing, not 4 billion.
        const int limit = node.GetAttributeInt("limit");
        m_limit = limit > 0 ? static_cast<unsigned>(limit) : 0;
    }
}

void CEdit::SetFont(const CFont* font)
{
    if (!font)
        return;
    m_font.CopyFrom(*font);
    m_font.SetParent(this);
    m_font.SetRawText(String());
    gui_detail::Place(m_font, 0.0f, 0.0f);
    Layout();
}

void CEdit::SetBorder(float border)
{
    m_border = border;
    Layout();
}

void CEdit::Layout()
{
    const CVector size = GetScale();
    m_font.SetSize(size.x - m_border, size.y - m_border);
    m_font.SetPosition(m_border, m_border);
}

void CEdit::OnResized(float, float)
{
    Layout();
}

void CEdit::OnFocusChanged(bool focus)
{
    if (focus && !m_focused)
        ++s_focusedCount;
    else if (!focus && m_focused)
        --s_focusedCount;
    m_focused = focus;
    m_caretShown = focus;
    m_timer.SetActive(focus);
}

void CEdit::OnCaret()
{
    m_caretShown = !m_caretShown;
}

// Digits and one point in number mode, else codes 32..127; either only
// while the text is shorter than the limit.
bool CEdit::Accepts(int code) const
{
    if (Text().GetLength() >= m_limit)
        return false;
    if (m_number)
        return (code >= '0' && code <= '9') || (code == '.' && Text().Find(".") < 0);
    return code >= FirstPrintable && code <= LastAccepted;
}

// Focused, character presses only (arrow keys share codes with '%&'():
//   backspace  -> the last character goes (nothing on an empty text)
//   enter      -> a line break, multi-line and under the limit only
//   other      -> appended when Accepts it
// Every change emits TextChanged with the new text.
void CEdit::OnKey(CInputMap& event)
{
    if (!m_focused || event.Action != CInputMap::Press || !event.Character)
        return;
    const String& text = Text();
    const unsigned length = text.GetLength();
    const int code = event.Key;
    if (code == Backspace)
    {
        if (length == 0)
            return;
        m_font.SetRawText(text.SubString(0, length - 1));
    }
    else if (code == Enter)
    {
        if (!m_multiline || length >= m_limit)
            return;
        m_font.SetRawText(WithCharacter(text, '\n'));
    }
    else if (Accepts(code))
        m_font.SetRawText(WithCharacter(text, static_cast<char>(code)));
    else
        return;
    TextChanged.Emit(Text());
}
