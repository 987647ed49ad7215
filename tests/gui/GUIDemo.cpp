// A look at the controls by hand: a wrapping DejaVu label, a button, a check
// box, a scroll bar, an edit box, a combo box with a scrolling list, a
// draggable window with a close button, a frame around a panel and a menu
// tree in the 800 x 600 window, driven by the real mouse and keyboard; a
// second label reports what they did. Run from the source root (it reads
// resources/fonts/DejaVuSans.ttf). No skins yet: every control is a plain
// coloured quad.

#include <memory>

#include "core/Matrix.h"
#include "core/String.h"
#include "core/XML.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/Combo.h"
#include "gui/ControlFactory.h"
#include "gui/Edit.h"
#include "gui/Font.h"
#include "gui/Frame.h"
#include "gui/GUIManager.h"
#include "gui/Menu.h"
#include "gui/Scroll.h"
#include "gui/Window.h"
#include "render/AppGL.h"
#include "render/FlatViewSupport.h"
#include "support/GlyphAtlas.h"

namespace
{

constexpr unsigned GlyphHeight = 16;

// Elements in drawing priority order, as the description file will list
// them: the first is on top.
const char* const Description = R"(<gui>
  <menu name="file" x="40" y="6" w="90" h="24" text="Menu" spacing="8">
    <ambient/><emission r="0.2" g="0.2" b="0.3"/><hover r="0.4" g="0.4" b="0.7" a="0.8"/>
  </menu>
  <menu name="show" w="120" h="24" text="Show window" spacing="8">
    <ambient/><emission r="0.25" g="0.25" b="0.35"/><hover r="0.4" g="0.4" b="0.7" a="0.8"/>
  </menu>
  <menu name="recent" w="120" h="24" text="Recent  >" spacing="8">
    <ambient/><emission r="0.25" g="0.25" b="0.35"/><hover r="0.4" g="0.4" b="0.7" a="0.8"/>
  </menu>
  <menu name="first" w="100" h="24" text="first.xml" spacing="8">
    <ambient/><emission r="0.3" g="0.3" b="0.4"/><hover r="0.4" g="0.4" b="0.7" a="0.8"/>
  </menu>
  <menu name="second" w="100" h="24" text="second.xml" spacing="8">
    <ambient/><emission r="0.3" g="0.3" b="0.4"/><hover r="0.4" g="0.4" b="0.7" a="0.8"/>
  </menu>
  <window name="window" x="470" y="330" w="300" h="200" text="A window: drag me by the title">
    <ambient/><emission r="0.18" g="0.2" b="0.28"/>
    <gui h="24"><ambient/><emission r="0.3" g="0.35" b="0.6"/></gui>
    <button w="18" h="18"><ambient/><enable r="0.7" g="0.2" b="0.2" a="1"/>
      <hover r="0.9" g="0.3" b="0.3" a="1"/><down r="0.5" g="0.1" b="0.1" a="1"/></button>
  </window>
  <combo name="combo" x="40" y="420" w="200" h="150">
    <edit w="176" h="24" borderSize="4"><ambient/><emission r="0.15" g="0.15" b="0.2"/></edit>
    <button w="24" h="24"><ambient/><enable r="0.3" g="0.3" b="0.45" a="1"/>
      <hover r="0.4" g="0.4" b="0.6" a="1"/><down r="0.2" g="0.2" b="0.3" a="1"/></button>
    <list spacing="2"><ambient/><emission r="0.12" g="0.12" b="0.16"/>
      <hover r="0.3" g="0.3" b="0.5" a="0.7"/><select r="0.2" g="0.5" b="0.3" a="0.8"/>
      <column name="name" w="180"><item text="Mercury"/><item text="Venus"/><item text="Earth"/>
        <item text="Mars"/><item text="Jupiter"/><item text="Saturn"/><item text="Uranus"/>
        <item text="Neptune"/></column></list>
  </combo>
  <edit name="edit" x="40" y="370" w="200" h="26" borderSize="4" limit="24">
    <ambient/><emission r="0.15" g="0.15" b="0.2"/>
  </edit>
  <frame name="frame" x="270" y="240" w="120" h="80" borderX="2" borderY="2"><alpha value="0"/></frame>
  <gui name="panel" x="270" y="240" w="120" h="80"><ambient/><emission r="0.35" g="0.3" b="0.2"/></gui>
  <font name="label" x="40" y="40" w="330" h="130" align="1"
        text="A label in DejaVu Sans: its lines are centred and wrap at the edge of the box.\nA newline starts a line of its own."/>
  <font name="status" x="430" y="40" w="330" h="130" align="8"/>
  <button name="button" x="40" y="220" w="160" h="40" text="Press me">
    <ambient/><enable r="0.2" g="0.3" b="0.6" a="1"/><hover r="0.3" g="0.45" b="0.85" a="1"/>
    <down r="0.1" g="0.15" b="0.4" a="1"/><disable r="0.3" g="0.3" b="0.3" a="1"/>
  </button>
  <checkbox name="check" x="40" y="300" w="20" h="20" text="Check me">
    <offset w="130"/><ambient/><enable r="0.25" g="0.25" b="0.25" a="1"/>
    <hover r="0.4" g="0.4" b="0.4" a="1"/><down r="0.2" g="0.7" b="0.3" a="1"/>
  </checkbox>
  <scroll name="scroll" x="430" y="220" w="20" h="300" max="20">
    <ambient/><emission r="0.15" g="0.15" b="0.2"/>
  </scroll>
</gui>)";

void ColourPart(CButton& part, float r, float g, float b)
{
    part.GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
    part.SetStateColour(CButton::Normal, CVector(r, g, b, 1));
    part.SetStateColour(CButton::Hover, CVector(r * 1.4f, g * 1.4f, b * 1.4f, 1));
    part.SetStateColour(CButton::Down, CVector(r * 0.6f, g * 0.6f, b * 0.6f, 1));
    part.SetState(CButton::Normal);
}

void ColourScroll(CScroll& scroll)
{
    scroll.GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
    scroll.GetMaterial().SetEmission(CVector(0.15f, 0.15f, 0.2f, 0));
    ColourPart(scroll.Thumb(), 0.6f, 0.45f, 0.2f);
    ColourPart(scroll.Decrement(), 0.3f, 0.3f, 0.45f);
    ColourPart(scroll.Increment(), 0.3f, 0.3f, 0.45f);
}

class GUIDemo : public CAppGL
{
public:
    int StartUp(int, char**) override
    {
        if (!CreateGLWindow(800, 600, true, false, false, 32, 24, 8, 0))
            return 0;
        SetTitle("Vemmo GUI demo");
        CenterWindow(true, true);
        SetFramePeriod(33);
        if (!m_atlas.Load(GlyphHeight))
            return 1;
        m_captionFont.SetSprite(m_atlas.sprite);
        // A check box keeps its font's anchor: the caption sits at the right.
        m_captionFont.SetAlign(5);
        // Texts start at the left; list rows are as tall as this font's box.
        m_textFont.SetSprite(m_atlas.sprite);
        m_textFont.SetAlign(3);
        m_textFont.SetSize(180, 22);
        BuildControls();
        ConnectControls();
        MainLoop();
        return 0;
    }

    void DrawFrame() override
    {
        SetUpFlatView();
        m_manager.Draw();
    }

private:
    // What the loader will do, for the tags built so far.
    void BuildControls()
    {
        CXMLDocument document;
        if (!document.Parse(Description))
            return;
        const CControlFactory factory;
        const unsigned count = document.GetChildCount();
        for (unsigned i = 0; i < count; ++i)
        {
            const CXMLNode& element = *document.GetChild(i);
            std::unique_ptr<CGUI> control = factory.Create(element.GetName());
            if (!control)
                continue;
            control->GetTransform().Set(CMatrix::TranslationZ, static_cast<float>(count - i));
            if (auto* font = dynamic_cast<CFont*>(control.get()))
                font->SetSprite(m_atlas.sprite);
            GiveFont(*control);
            control->LoadAttributes(element);
            m_manager.Append(std::move(control));
        }
    }

    void GiveFont(CGUI& control)
    {
        if (auto* button = dynamic_cast<CButton*>(&control))
            button->SetFont(&m_captionFont);
        else if (auto* edit = dynamic_cast<CEdit*>(&control))
            edit->SetFont(&m_textFont);
        else if (auto* combo = dynamic_cast<CCombo*>(&control))
            combo->SetFont(&m_textFont);
        else if (auto* window = dynamic_cast<CWindow*>(&control))
            window->SetFont(&m_textFont);
        else if (auto* menu = dynamic_cast<CMenu*>(&control))
            menu->SetFont(&m_textFont);
    }

    // What the loader will do with "parent" attributes and a frame's cells.
    void BuildTreeAndFrame()
    {
        auto menu = [this](const char* name)
        { return dynamic_cast<CMenu*>(m_manager.FindByName(name)); };
        CMenu* file = menu("file");
        CMenu* recent = menu("recent");
        CMenu* show = menu("show");
        if (file && recent && show)
        {
            file->AddItem(show);
            file->AddItem(recent);
            ConnectSlot(m_slots, show->Clicked, this, &GUIDemo::OnShowWindow);
            for (const char* name : {"first", "second"})
                if (CMenu* item = menu(name))
                {
                    recent->AddItem(item);
                    ConnectSlot(m_slots, item->Clicked, this, &GUIDemo::OnRecent);
                }
        }
        if (auto* frame = dynamic_cast<CFrame*>(m_manager.FindByName("frame")))
        {
            CGUI piece;
            piece.GetMaterial().SetAmbient(CVector(0, 0, 0, 1));
            for (int i = 0; i < static_cast<int>(CFrame::CellCount); ++i)
            {
                const bool corner = i == 0 || i == 2 || i == 5 || i == 7;
                piece.SetSize(8, 8);
                piece.GetMaterial().SetEmission(corner ? CVector(0.9f, 0.75f, 0.3f, 0)
                                                       : CVector(0.6f, 0.5f, 0.25f, 0));
                frame->SetCell(i, piece);
            }
            frame->Refresh();
        }
    }

    void ConnectControls()
    {
        BuildTreeAndFrame();
        m_edit = dynamic_cast<CEdit*>(m_manager.FindByName("edit"));
        m_combo = dynamic_cast<CCombo*>(m_manager.FindByName("combo"));
        m_window = dynamic_cast<CWindow*>(m_manager.FindByName("window"));
        if (!m_edit || !m_combo || !m_window)
            return;
        ColourScroll(m_combo->List().ScrollBar());
        m_combo->List().ScrollBar().SetSize(12, 12);
        m_combo->Layout();
        ConnectSlot(m_slots, m_edit->TextChanged, this, &GUIDemo::OnText);
        ConnectSlot(m_slots, m_combo->Selection, this, &GUIDemo::OnSelection);
        ConnectSlot(m_slots, m_window->CloseButton().Clicked, this, &GUIDemo::OnCloseWindow);
        m_combo->SetSelected(2);

        m_status = dynamic_cast<CFont*>(m_manager.FindByName("status"));
        m_check = dynamic_cast<CCheckBox*>(m_manager.FindByName("check"));
        m_scroll = dynamic_cast<CScroll*>(m_manager.FindByName("scroll"));
        CGUI* button = m_manager.FindByName("button");
        if (!m_status || !m_check || !m_scroll || !button)
            return;
        ColourScroll(*m_scroll);
        ConnectSlot(m_slots, button->Clicked, this, &GUIDemo::OnButtonClicked);
        ConnectSlot(m_slots, m_check->Clicked, this, &GUIDemo::ShowStatus);
        ConnectSlot(m_slots, m_scroll->ValueChanged, this, &GUIDemo::OnValueChanged);
        ShowStatus();
    }

    void OnButtonClicked()
    {
        ++m_clicks;
        ShowStatus();
    }

    void OnValueChanged(float) { ShowStatus(); }
    void OnText(const String&) { ShowStatus(); }
    void OnSelection(String& text, int, int)
    {
        m_choice = text;
        ShowStatus();
    }
    void OnShowWindow() { m_window->SetVisible(true); }
    void OnCloseWindow() { m_window->SetVisible(false); }
    void OnRecent()
    {
        m_recent.Format("%d", ++m_recentClicks);
        ShowStatus();
    }

    void ShowStatus()
    {
        if (!m_status || !m_check || !m_scroll)
            return;
        String text;
        text.Format("Button clicks: %d\nChecked: %s\nScroll value: %.1f\nTyped: %s\n"
                    "Chosen: %s\nRecent files opened: %s",
                    m_clicks, m_check->IsChecked() ? "yes" : "no", double(m_scroll->Value()),
                    m_edit ? m_edit->Text().GetText() : "", m_choice.GetText(), m_recent.GetText());
        // Typed text is shown as typed: no escapes.
        m_status->SetRawText(text);
    }

    GlyphAtlas m_atlas;
    CFont m_captionFont;
    CFont m_textFont;
    CGUIManager m_manager;
    CFont* m_status = nullptr;
    CCheckBox* m_check = nullptr;
    CScroll* m_scroll = nullptr;
    CEdit* m_edit = nullptr;
    CCombo* m_combo = nullptr;
    CWindow* m_window = nullptr;
    String m_choice;
    String m_recent = "0";
    int m_recentClicks = 0;
    int m_clicks = 0;
    Connections m_slots;
};

GUIDemo g_demo;

} // namespace

int main(int argc, char** argv)
{
    return RunApp(argc, argv);
}
