// The interactive view's side of the application: the frame, the keyboard
// and mouse handlers that pan and zoom, the window-size handler, the shader
// switch, the info text and screenshots. All of it runs on the main thread;
// the workers only ever see the view through the job's snapshot.
#include "Application.h"

#include <cmath>
#include <cstdio>

#include <GL/gl.h>

#include "gui/CheckBox.h"
#include "gui/Edit.h"
#include "gui/Font.h"
#include "render/Draw.h"
#include "render/Light.h"
#include "render/ShaderProgram.h"
#include "shell/InputMap.h"

namespace
{

// key                   effect on the view                       arms the delay
// 37, 65361  left       centre real -= scale x step re x 10      yes
// 38, 65362  up         centre imaginary += scale x step im x 10 yes
// 39, 65363  right      centre real += scale x step re x 10      yes
// 40, 65364  down       centre imaginary -= scale x step im x 10 yes
// 97   a                scale x 2                                yes
// 115  s                scale x 1.25                             yes
// 120  x                scale x 0.75                             yes
// 122  z                scale x 0.5                              yes
// 100  d                toggle "fntDebug", then "fntMandelbrot"  no
// 112  p                screenshot                               no
// Any press, known or not, then refreshes the info text. While an edit box
// has the focus, typed characters are its text and do none of this; the
// arrows, which type nothing, still pan.
struct ViewKey
{
    int key;
    double panRe; // output pixels
    double panIm;
    double zoom; // 1 for none
};

constexpr ViewKey kViewKeys[] = {
    {37, -10.0, 0.0, 1.0},  {65361, -10.0, 0.0, 1.0}, {38, 0.0, 10.0, 1.0},
    {65362, 0.0, 10.0, 1.0}, {39, 10.0, 0.0, 1.0},    {65363, 10.0, 0.0, 1.0},
    {40, 0.0, -10.0, 1.0},  {65364, 0.0, -10.0, 1.0}, {97, 0.0, 0.0, 2.0},
    {115, 0.0, 0.0, 1.25},  {120, 0.0, 0.0, 0.75},    {122, 0.0, 0.0, 0.5},
};
constexpr int kKeyToggleTexts = 100;
constexpr int kKeyScreenshot = 112;

// button       recentre on the pointer   then the scale
// 0 left       yes                       x 0.5
// 1 right      yes                       x 2
// 2 middle     yes                       unchanged
// other        no                        unchanged (the delay is not armed)
constexpr double kButtonZoom[] = {0.5, 2.0, 1.0};

// A scale every later step can still work with.
bool IsUsableScale(double scale)
{
    return std::isfinite(scale) && std::fpclassify(scale) == FP_NORMAL;
}

ShaderUniform Uniform(const char* name, int32_t value)
{
    return ShaderUniform(name, value);
}

ShaderUniform Uniform(const char* name, float value)
{
    ShaderUniform uniform;
    uniform.name = name;
    uniform.floats[0] = value;
    uniform.count = 1;
    return uniform;
}

void PrintShaderError(const char* stage, const String& log)
{
    // The log is an argument, never the format: it is the driver's text.
    const unsigned length = log.GetLength();
    const bool endsLine = length > 0 && log.GetAt(length - 1) == '\n';
    std::printf("%s Shader Error: %s%s", stage, log.GetText(), endsLine ? "" : "\n");
    std::fflush(stdout);
}

void ToggleVisible(CFont* font)
{
    if (font)
        font->SetVisible(!font->IsVisible());
}

} // namespace

void Application::DrawFrame()
{
    ClearScreen(0.5f, 0.5f, 0.5f, 0.0f);
    LoadModelView(nullptr);
    glPushMatrix();
    MultMatrix(Camera.Inverse());
    CLight light;
    light.position = CVector(m_windowSize.x * 0.5f, m_windowSize.y * 0.5f, 500.0f, 0.0f);
    ApplyLight(0, light);

    PollRender();
    if (m_shader)
    {
        m_shader->Use(true);
        SetViewUniforms();
    }
    ViewQuad.Draw();
    if (m_shader)
        m_shader->Use(false);
    m_gui.Draw();
    glPopMatrix();
}

void Application::SetViewUniforms()
{
    // The shader sees the view only in single precision.
    const float scale = static_cast<float>(m_mandelbrot.GetScale());
    m_shader->ApplyIntUniform(
        Uniform("maxIteration", static_cast<int32_t>(m_mandelbrot.GetIterationLimit())));
    m_shader->ApplyFloatUniform(Uniform("real", static_cast<float>(m_mandelbrot.GetCentreRe())));
    m_shader->ApplyFloatUniform(
        Uniform("imaginary", static_cast<float>(m_mandelbrot.GetCentreIm())));
    m_shader->ApplyFloatUniform(Uniform("scaleX", static_cast<float>(scale * 3.0)));
    m_shader->ApplyFloatUniform(Uniform("scaleY", scale + scale));
}

void Application::OnKey(CInputMap& input)
{
    if (input.Action != CInputMap::Press)
        return;
    if (input.Character && CEdit::IsAnyFocused())
        return;
    for (const ViewKey& rule : kViewKeys)
    {
        if (rule.key != input.Key)
            continue;
        const double scale = m_mandelbrot.GetScale();
        if (rule.panRe != 0.0 || rule.panIm != 0.0)
            MoveCentre(m_mandelbrot.GetCentreRe() + scale * m_mandelbrot.GetStepRe() * rule.panRe,
                       m_mandelbrot.GetCentreIm() + scale * m_mandelbrot.GetStepIm() * rule.panIm);
        if (rule.zoom != 1.0)
            Zoom(rule.zoom);
        RenderDelay.SetActive(true);
    }
    if (input.Key == kKeyToggleTexts)
    {
        ToggleVisible(m_fntDebug);
        ToggleVisible(m_fntMandelbrot);
    }
    else if (input.Key == kKeyScreenshot)
        TakeScreenshot();
    ShowInfoText();
}

void Application::OnMouse(CInputMap& input)
{
    const int px = static_cast<int>(input.Position.x);
    const int py = static_cast<int>(input.Position.y);
    if (m_gui.ControlAt(px, py))
        return;
    if (input.Action != CInputMap::Press)
        return;
    // Minimised, the window has no size to map the pointer through.
    const unsigned width = static_cast<unsigned>(GetWidth());
    const unsigned height = static_cast<unsigned>(GetHeight());
    if (GetWidth() <= 0 || GetHeight() <= 0)
        return;
    if (input.Code < sizeof kButtonZoom / sizeof kButtonZoom[0])
    {
        const double nx = static_cast<double>(input.Position.x) / width - 0.5;
        const double ny = -static_cast<double>(input.Position.y) / height + 0.5;
        const double scale = m_mandelbrot.GetScale();
        MoveCentre(m_mandelbrot.GetCentreRe() + scale * nx * 3.0,
                   m_mandelbrot.GetCentreIm() + scale * ny * 2.0);
        if (kButtonZoom[input.Code] != 1.0)
            Zoom(kButtonZoom[input.Code]);
        RenderDelay.SetActive(true);
    }
    ShowInfoText();
}

void Application::Zoom(double factor)
{
    const double scale = m_mandelbrot.GetScale() * factor;
    if (IsUsableScale(scale))
        m_mandelbrot.SetScale(scale);
}

void Application::MoveCentre(double re, double im)
{
    if (std::isfinite(re) && std::isfinite(im))
        m_mandelbrot.SetCentre(re, im);
}

void Application::OnResize(int width, int height, CDisplay::SizeType kind)
{
    // Minimised: a projection of no size would divide by zero, and the
    // view keeps the size it had.
    if (width <= 0 || height <= 0 || kind == CDisplay::Minimized)
        return;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    m_windowSize.Set(w, h);
    SetViewport(0, 0, width, height);
    const CMatrix projection = OrthoMatrix(0.0f, w, h, 0.0f, 0.0f, 1000.0f);
    LoadProjection(&projection);
    LoadModelView(nullptr);
    Camera.SetIdentity();
    Camera.SetTranslation(w, h, 0.0f);
    ViewQuad.SetSize(w, h);
    if (HasContext())
        RunFrame();
}

void Application::OnShader()
{
    CMaterial& material = ViewQuad.GetMaterial();
    if (!m_cboxShader || !m_cboxShader->IsChecked())
    {
        m_shader.reset();
        m_shaderActive = false;
        material.SetTexture(1, 0);
        return;
    }
    if (m_shader)
        return;
    auto program = std::make_unique<CShaderProgram>();
    if (!program->CompileFile(CShaderProgram::Vertex, VertexShaderPath))
        PrintShaderError("Vertex", program->GetLog());
    else if (!program->CompileFile(CShaderProgram::Fragment, FragmentShaderPath))
        PrintShaderError("Fragment", program->GetLog());
    else
    {
        program->StoreUniform(ShaderUniform("tex0", 0));
        program->StoreUniform(ShaderUniform("tex1", 1));
        m_shader = std::move(program);
        m_shaderActive = true;
    }
    material.SetTexture(1, m_mandelbrot.GetPaletteTexture().GetTextureName());
}

String Application::InfoText() const
{
    String text;
    text.Format("Real: %.32f\nImaginary: %.32f\nScale: %.32f", m_mandelbrot.GetCentreRe(),
                m_mandelbrot.GetCentreIm(), m_mandelbrot.GetScale());
    return text;
}

void Application::ShowInfoText()
{
    const String text = InfoText();
    if (m_fntMandelbrot)
        m_fntMandelbrot->SetText(text);
    if (m_printInfo)
    {
        std::printf("%s\n", text.GetText());
        std::fflush(stdout);
    }
}

std::string Application::TakeScreenshot()
{
    // Copies taken when a render was published: the workers may be writing
    // FullImage again by now, and HalfImage starts out as a blank.
    std::shared_ptr<const CImage> picture = m_downsampling ? m_lastHalf : m_lastRender;
    return m_screenshots.Write(std::move(picture), ScreenshotCounter, m_screenshotFolder);
}
