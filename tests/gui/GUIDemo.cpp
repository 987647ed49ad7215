// A look at the first controls by hand: a wrapping DejaVu label, a button,
// a check box with a caption and a scroll bar in the 800 x 600 window,
// driven by the real mouse; a second label reports what they did. Run from
// the source root (it reads resources/fonts/DejaVuSans.ttf). No skins yet:
// every control is a plain coloured quad.

#include <memory>

#include "core/Matrix.h"
#include "core/String.h"
#include "core/XML.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/ControlFactory.h"
#include "gui/Font.h"
#include "gui/GUIManager.h"
#include "gui/Scroll.h"
#include "render/AppGL.h"
#include "render/FlatViewSupport.h"
#include "support/GlyphAtlas.h"

namespace
{

constexpr unsigned GlyphHeight = 16;

// Elements in drawing priority order, as the description file will list
// them: the first is on top.
const char* const Description = R"(<gui>
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
            if (auto* button = dynamic_cast<CButton*>(control.get()))
                button->SetFont(&m_captionFont);
            control->LoadAttributes(element);
            m_manager.Append(std::move(control));
        }
    }

    void ConnectControls()
    {
        m_status = dynamic_cast<CFont*>(m_manager.FindByName("status"));
        m_check = dynamic_cast<CCheckBox*>(m_manager.FindByName("check"));
        m_scroll = dynamic_cast<CScroll*>(m_manager.FindByName("scroll"));
        CGUI* button = m_manager.FindByName("button");
        if (!m_status || !m_check || !m_scroll || !button)
            return;
        ColourPart(m_scroll->Thumb(), 0.6f, 0.45f, 0.2f);
        ColourPart(m_scroll->Decrement(), 0.3f, 0.3f, 0.45f);
        ColourPart(m_scroll->Increment(), 0.3f, 0.3f, 0.45f);
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

    void ShowStatus()
    {
        String text;
        text.Format("Button clicks: %d\nChecked: %s\nScroll value: %.1f", m_clicks,
                    m_check->IsChecked() ? "yes" : "no", double(m_scroll->Value()));
        m_status->SetText(text);
    }

    GlyphAtlas m_atlas;
    CFont m_captionFont;
    CGUIManager m_manager;
    CFont* m_status = nullptr;
    CCheckBox* m_check = nullptr;
    CScroll* m_scroll = nullptr;
    int m_clicks = 0;
    Connections m_slots;
};

GUIDemo g_demo;

} // namespace

int main(int argc, char** argv)
{
    return RunApp(argc, argv);
}
