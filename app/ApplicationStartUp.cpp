// Start-up: the window, the resources, the panel and the first render, then
// the main loop. Until the GUI description can be loaded, the panel is a
// built-in one in the same description form: the info text, the progress
// bar and the shader and downsampling check boxes.
#include "Application.h"

#include <memory>

#include "core/Matrix.h"
#include "core/XML.h"
#include "gui/CheckBox.h"
#include "gui/ControlFactory.h"
#include "gui/Font.h"
#include "gui/Progress.h"
#include "render/Sprite.h"
#include "render/ShaderProgram.h"

namespace
{

constexpr const char* kTitle = "Vemmo - Orbisk";
constexpr const char* kStartGradient = "!vemmo.png";
// The font "resources/resources.xml" names for the panel's texts.
constexpr const char* kPanelFont = "DejaVuSans";

// First element on top; the view quad lies at depth 1 below all of it.
const char* const kPanel = R"(<gui>
  <font name="fntMandelbrot" x="10" y="8" w="780" h="66"/>
  <checkbox name="cboxShader" x="10" y="552" w="14" h="14" text="Shader">
    <offset w="80"/><ambient/><enable r="0.25" g="0.25" b="0.3" a="1"/>
    <hover r="0.4" g="0.4" b="0.5" a="1"/><down r="0.2" g="0.7" b="0.3" a="1"/>
  </checkbox>
  <checkbox name="cboxDownsample" x="110" y="552" w="14" h="14" text="Half size">
    <offset w="80"/><ambient/><enable r="0.25" g="0.25" b="0.3" a="1"/>
    <hover r="0.4" g="0.4" b="0.5" a="1"/><down r="0.2" g="0.7" b="0.3" a="1"/>
  </checkbox>
  <progress name="progress" x="10" y="576" w="780" h="12">
    <ambient/><emission r="0.15" g="0.15" b="0.2"/>
  </progress>
</gui>)";

} // namespace

int Application::StartUp(int, char**)
{
    if (CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0))
    {
        SetTitle(kTitle);
        CenterWindow(true, true);
        SetFramePeriod(33);
        // SDL may never report the size it made, so ask for it.
        OnResize(GetClientWidth(), GetClientHeight(), CDisplay::Restored);
        m_resources.Load("resources/resources.xml");
        BuildPanel();
        FindControls();
        ViewQuad.SetPosition(0.0f, 0.0f);
        ViewQuad.GetTransform().Set(CMatrix::TranslationZ, 1.0f);
        UseGradient(kStartGradient);

        FullImage.Create(ImageWidth, ImageHeight, 3, 24);
        FullImage.Upload({});
        HalfImage.Create(ImageWidth / 2, ImageHeight / 2, 3, 24);
        HalfImage.Upload({});
        CMaterial& material = ViewQuad.GetMaterial();
        material.AddTexture(0, FullImage.GetTextureName());
        material.AddTexture(1, 0);
        StartRender();
        MainLoop();
    }
    StopWorkers();
    return 0;
}

void Application::UseGradient(const String& file)
{
    // The workers read the palette through the job's copy, but a render of
    // the old colours is not worth finishing.
    StopWorkers();
    m_mandelbrot.LoadGradient(String("resources/gradients/") + file);
    StartRender();
}

void Application::BuildPanel()
{
    CSprite* glyphs = m_resources.FindSprite(kPanelFont);
    CXMLDocument document;
    if (!document.Parse(kPanel))
        return;
    m_captionFont = std::make_unique<CFont>();
    if (glyphs)
        m_captionFont->SetSprite(*glyphs);
    // A check box keeps its font's anchor: the caption sits at its right.
    m_captionFont->SetAlign(5);
    const CControlFactory factory;
    const unsigned count = document.GetChildCount();
    for (unsigned i = 0; i < count; ++i)
    {
        const CXMLNode& element = *document.GetChild(i);
        std::unique_ptr<CGUI> control = factory.Create(element.GetName());
        if (!control)
            continue;
        control->GetTransform().Set(CMatrix::TranslationZ, static_cast<float>(count - i + 1));
        if (auto* font = dynamic_cast<CFont*>(control.get()); font && glyphs)
            font->SetSprite(*glyphs);
        if (auto* button = dynamic_cast<CButton*>(control.get()))
            button->SetFont(m_captionFont.get());
        control->LoadAttributes(element);
        m_gui.Append(std::move(control));
    }
}

void Application::FindControls()
{
    m_fntDebug = dynamic_cast<CFont*>(m_gui.FindByName("fntDebug"));
    m_fntMandelbrot = dynamic_cast<CFont*>(m_gui.FindByName("fntMandelbrot"));
    m_progress = dynamic_cast<CProgress*>(m_gui.FindByName("progress"));
    m_cboxDownsample = dynamic_cast<CCheckBox*>(m_gui.FindByName("cboxDownsample"));
    m_cboxShader = dynamic_cast<CCheckBox*>(m_gui.FindByName("cboxShader"));
    if (m_cboxDownsample)
        ConnectSlot(m_slots, m_cboxDownsample->Clicked, this, &Application::OnDownsample);
    if (m_cboxShader)
        ConnectSlot(m_slots, m_cboxShader->Clicked, this, &Application::OnShader);
}
