// Start-up and the control panel: the window, the resources, the panel read
// from resources/gui.xml, the first render and the main loop, and the
// handlers of the panel's combo boxes. Every control may be missing from the
// description (or be of another kind than its name says); its uses are
// skipped then.
#include "Application.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include <GL/gl.h>

#include "core/FileSystem.h"
#include "core/Matrix.h"
#include "core/XML.h"
#include "gui/CheckBox.h"
#include "gui/Combo.h"
#include "gui/Font.h"
#include "gui/Progress.h"

namespace
{

constexpr const char* kTitle = "Vemmo - Orbisk";
constexpr const char* kStartGradient = "!vemmo.png";
constexpr const char* kGradientFolder = "resources/gradients";

// The control so named when it is of the kind `code` stands for, else null:
// a font named "progress" must not be driven as a progress bar.
template <class Control>
Control* FindControl(const CGUIManager& gui, const char* name, int code)
{
    CGUI* control = gui.FindByName(name);
    if (!control || control->TypeCode() != code)
        return nullptr;
    return static_cast<Control*>(control);
}

// A decimal integer as the standard library reads it (leading blanks, a
// sign, digits; 0 when there are none), or false when it does not fit.
bool ReadInteger(const String& text, long long& value)
{
    errno = 0;
    value = std::strtoll(text.GetText(), nullptr, 10);
    return errno != ERANGE;
}

} // namespace

int Application::StartUp(int, char**)
{
    if (!CreateGLWindow(800, 600, true, true, false, 32, 24, 8, 0))
    {
        StopWorkers();
        return 1;
    }
    SetTitle(kTitle);
    CenterWindow(true, true);
    SetFramePeriod(33);
    // SDL may never report the size it made, so ask for it.
    OnResize(GetClientWidth(), GetClientHeight(), CDisplay::Restored);
    m_resources.Load("resources/resources.xml");
    // A description that is missing or does not parse leaves no panel.
    m_gui.Load("resources/gui.xml", m_resources);
    FindControls();
    ViewQuad.SetPosition(0.0f, 0.0f);
    ViewQuad.GetTransform().Set(CMatrix::TranslationZ, 1.0f);
    FillPanel();
    ConnectPanel();
    String gradient(kStartGradient);
    OnGradient(gradient, 0, 0);

    FullImage.Create(ImageWidth, ImageHeight, 3, 24);
    FullImage.Upload({});
    HalfImage.Create(ImageWidth / 2, ImageHeight / 2, 3, 24);
    HalfImage.Upload({});
    CMaterial& material = ViewQuad.GetMaterial();
    material.AddTexture(0, FullImage.GetTextureName());
    material.AddTexture(1, 0);
    StartRender();
    MainLoop();
    StopWorkers();
    return 0;
}

void Application::FindControls()
{
    m_fntDebug = FindControl<CFont>(m_gui, "fntDebug", CGUI::TypeFont);
    m_fntMandelbrot = FindControl<CFont>(m_gui, "fntMandelbrot", CGUI::TypeFont);
    m_guiPanel = m_gui.FindByName("guiPanel");
    m_cboxGradients = FindControl<CCombo>(m_gui, "cboxGradients", CGUI::TypeCombo);
    m_cboxLocations = FindControl<CCombo>(m_gui, "cboxLocations", CGUI::TypeCombo);
    m_cboxResolution = FindControl<CCombo>(m_gui, "cboxResolution", CGUI::TypeCombo);
    m_cboxIterations = FindControl<CCombo>(m_gui, "cboxIterations", CGUI::TypeCombo);
    m_progress = FindControl<CProgress>(m_gui, "progress", CGUI::TypeProgress);
    m_cboxDownsample = FindControl<CCheckBox>(m_gui, "cboxDownsample", CGUI::TypeCheckBox);
    m_cboxShader = FindControl<CCheckBox>(m_gui, "cboxShader", CGUI::TypeCheckBox);
}

void Application::FillPanel()
{
    FillGradients();
    FillLocations();
    if (m_cboxResolution)
        m_cboxResolution->SetSelected(0);
    if (m_cboxIterations)
        m_cboxIterations->SetSelected(0);
}

void Application::FillGradients()
{
    if (!m_cboxGradients)
        return;
    // Byte order, so that "!vemmo.png" leads and the order is the same on
    // every system; the listing's own order folds case.
    CXMLNode listing;
    ListDirectory(listing, kGradientFolder, String(), 0);
    std::vector<String> names;
    for (unsigned i = 0; i < listing.GetChildCount(); ++i)
        names.push_back(listing.GetChild(i)->GetAttributeString("name"));
    std::sort(names.begin(), names.end(),
              [](const String& a, const String& b) { return a.Compare(b) < 0; });
    for (unsigned i = 0; i < names.size(); ++i)
        m_cboxGradients->AddItem(i, names[i]);
    m_cboxGradients->SetSelected(0);
}

void Application::FillLocations()
{
    if (!m_cboxLocations)
        return;
    const std::vector<CLocation>& locations = m_mandelbrot.GetLocations();
    for (unsigned i = 0; i < locations.size(); ++i)
        m_cboxLocations->AddItem(i, locations[i].name);
    m_cboxLocations->SetSelected(0);
}

void Application::ConnectPanel()
{
    if (m_cboxGradients)
        ConnectSlot(m_slots, m_cboxGradients->Selection, this, &Application::OnGradient);
    if (m_cboxLocations)
        ConnectSlot(m_slots, m_cboxLocations->Selection, this, &Application::OnLocation);
    if (m_cboxResolution)
        ConnectSlot(m_slots, m_cboxResolution->Selection, this, &Application::OnResolution);
    if (m_cboxIterations)
        ConnectSlot(m_slots, m_cboxIterations->Selection, this, &Application::OnIterations);
    if (m_cboxDownsample)
        ConnectSlot(m_slots, m_cboxDownsample->Clicked, this, &Application::OnDownsample);
    if (m_cboxShader)
        ConnectSlot(m_slots, m_cboxShader->Clicked, this, &Application::OnShader);
}

void Application::OnLocation(String&, int row, int)
{
    const std::vector<CLocation>& locations = m_mandelbrot.GetLocations();
    if (row >= 0 && static_cast<size_t>(row) < locations.size())
    {
        const CLocation& location = locations[static_cast<size_t>(row)];
        // A negative count would wrap to a limit of four billion.
        if (location.iterations >= 0)
            m_mandelbrot.SetIterationLimit(static_cast<uint32_t>(location.iterations));
        m_mandelbrot.SetCentre(location.real, location.imaginary);
        m_mandelbrot.SetScale(location.scale);
    }
    if (m_cboxIterations)
    {
        String limit;
        limit.Format("%d", static_cast<int>(m_mandelbrot.GetIterationLimit()));
        m_cboxIterations->SelectByText(limit);
    }
    StartRender();
}

void Application::OnGradient(String& text, int, int)
{
    // The workers read the palette through the job's copy, but a render of
    // the old colours is not worth finishing.
    StopWorkers();
    m_mandelbrot.LoadGradient(String(kGradientFolder) + "/" + text);
    StartRender();
}

void Application::OnResolution(String& text, int, int)
{
    long long width = 0;
    long long height = 0;
    if (!ReadInteger(text.GetToken("x", 0), width) || !ReadInteger(text.GetToken("x", 1), height))
        return;
    if (width < 0 || height < 0 || width > MaxImageSide || height > MaxImageSide)
        return;
    if (HasContext())
    {
        // The upload pads the render to a square power of two.
        GLint maxTexture = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
        long long side = 1;
        while (side < width || side < height)
            side *= 2;
        if (maxTexture > 0 && side > maxTexture)
            return;
    }
    ImageWidth = static_cast<uint32_t>(width);
    ImageHeight = static_cast<uint32_t>(height);
    StopWorkers();
    FullImage.Create(ImageWidth, ImageHeight, 3, 24);
    StartRender();
}

void Application::OnIterations(String& text, int, int)
{
    long long limit = 0;
    if (!ReadInteger(text, limit) || limit < 0 || limit > INT_MAX)
        return;
    m_mandelbrot.SetIterationLimit(static_cast<uint32_t>(limit));
    StartRender();
}
