// Escape-time evaluation with a smooth iteration count, the pixel-to-plane
// mapping, the palette lookup and the row-at-a-time render loop the workers
// share; the preset locations and the gradients. All arithmetic is IEEE
// double, built without contraction so that every compiler produces the
// same bits.
#include "Mandelbrot.h"

#include <cassert>
#include <cmath>
#include <memory>
#include <vector>

#include "RowKernel.h"
#include "core/XML.h"
#include "resources/Image.h"
#include "resources/PictureFile.h"

namespace
{

// Palette components are byte values held in floats; anything outside
// 0..255 (or not a number) is pinned rather than left to an undefined cast.
uint8_t ToByte(float component)
{
    if (!(component > 0.0f))
        return 0;
    if (component >= 255.0f)
        return 255;
    return static_cast<uint8_t>(component);
}

} // namespace

double EscapeValue(int32_t x, int32_t y, uint32_t limit, double centreRe, double centreIm,
                   double stepRe, double stepIm)
{
    const double cr = static_cast<double>(x) * stepRe + centreRe;
    const double ci = static_cast<double>(y) * stepIm + centreIm;
    // The first step from z = 0 gives z = c, so start there.
    double zr = cr;
    double zi = ci;
    uint32_t n = 0;

    // Comparisons are written as "still inside" so that a not-a-number
    // modulus leaves like an escape; a squared modulus of exactly 4 stays.
    if (cr * cr + ci * ci <= 4.0)
    {
        while (n < limit)
        {
            ++n;
            const double nextRe = zr * zr - zi * zi + cr;
            zi = 2.0 * zr * zi + ci;
            zr = nextRe;
            if (!(zr * zr + zi * zi <= 4.0))
                break;
        }
    }
    if (n == limit)
        return 0.0;
    return detail::EscapeTail(zr, zi, cr, ci, n);
}

size_t PaletteIndex(double value, uint32_t limit, size_t count)
{
    if (limit == 0 || count == 0)
        return 0;
    const double index = value / static_cast<double>(limit) * static_cast<double>(count);
    // Far-out points have negative values and the last two iterations can
    // overshoot the limit: clamp in double, before a conversion could
    // overflow. Not-a-number fails the comparison and takes entry 0.
    if (!(index >= 1.0))
        return 0;
    if (index >= static_cast<double>(count))
        return count - 1;
    return static_cast<size_t>(index);
}

std::vector<PaletteEntry> GradientPalette(const uint8_t* pixels, unsigned width, unsigned channels)
{
    assert(channels >= 1 && channels <= 4 && "GradientPalette(): channels must be 1 to 4");
    std::vector<PaletteEntry> palette;
    palette.reserve(width);
    for (unsigned i = 0; i < width; ++i)
    {
        const uint8_t* p = pixels + size_t(i) * channels;
        // Grey is spread over red, green and blue; reading three bytes would
        // take the next pixel (and run off the end of a one-row picture).
        const bool grey = channels < 3;
        palette.emplace_back(static_cast<float>(p[0]), static_cast<float>(grey ? p[0] : p[1]),
                             static_cast<float>(grey ? p[0] : p[2]), 0.0f);
    }
    return palette;
}

CMandelbrot::CMandelbrot() : CMandelbrot(String("resources/locations.xml")) {}

CMandelbrot::CMandelbrot(const String& locationsPath)
{
    LoadLocations(locationsPath);
}

void CMandelbrot::LoadLocations(const String& path)
{
    CXMLDocument document;
    if (!document.Load(path))
        return;
    // Every child of the root is a location, whatever its tag.
    for (unsigned i = 0; i < document.GetChildCount(); ++i)
    {
        const CXMLNode* node = document.GetChild(i);
        CLocation location;
        location.name = node->GetAttributeString("name");
        location.iterations = node->GetAttributeInt("iterations");
        location.real = node->GetAttributeDouble("real");
        location.imaginary = node->GetAttributeDouble("imaginary");
        location.scale = node->GetAttributeDouble("scale");
        m_locations.push_back(location);
    }
    if (m_locations.empty())
        return;
    const CLocation& first = m_locations.front();
    m_iterationLimit = static_cast<uint32_t>(first.iterations);
    m_centreRe = first.real;
    m_centreIm = first.imaginary;
    m_scale = first.scale;
}

bool CMandelbrot::ReadGradient(const String& path)
{
    std::vector<PaletteEntry>().swap(m_palette);
    // One decode gives the pixels and their size together, and a refused
    // file leaves the texture as it was.
    if (!LoadPicture(path.GetText(), m_paletteTexture))
    {
        m_palette = BuiltInPalette();
        return false;
    }
    m_palette = GradientPalette(m_paletteTexture.GetPixels(), m_paletteTexture.GetWidth(),
                                m_paletteTexture.GetChannels());
    return true;
}

bool CMandelbrot::LoadGradient(const String& path)
{
    if (!ReadGradient(path))
        return false;
    CTexture::UploadOptions options;
    options.freePixels = true;
    m_paletteTexture.Upload(options);
    return true;
}

void CMandelbrot::ResetJob(uint32_t width, uint32_t rows)
{
    m_width = width;
    m_rows = rows;
    m_nextRow.store(0);
    m_finishedWorkers.store(0);
    m_stepRe = width != 0 ? 3.0 / static_cast<double>(width) : 0.0;
    m_stepIm = rows != 0 ? 2.0 / static_cast<double>(rows) : 0.0;

    m_jobLimit = m_iterationLimit;
    m_jobCentreRe = m_centreRe;
    m_jobCentreIm = m_centreIm;
    // The scaled steps are rounded once here and only then multiplied by
    // the pixel offset; the other order gives different low bits.
    m_jobStepRe = m_scale * m_stepRe;
    m_jobStepIm = m_scale * m_stepIm;
    m_jobColours.resize(m_palette.size());
    for (size_t i = 0; i < m_palette.size(); ++i)
        m_jobColours[i] = {ToByte(m_palette[i].x), ToByte(m_palette[i].y), ToByte(m_palette[i].z)};
}

float CMandelbrot::Progress() const
{
    if (m_rows == 0)
        return 0.0f;
    // Each worker takes one row past the end before it stops.
    const float share = static_cast<float>(m_nextRow.load()) / static_cast<float>(m_rows);
    return share < 1.0f ? share : 1.0f;
}

void CMandelbrot::FinishWorker()
{
    // Park the counter first, so that once the main thread sees every worker
    // finished nothing of this job writes to the counters any more.
    m_nextRow.store(m_rows);
    m_finishedWorkers.fetch_add(1);
}

double CMandelbrot::PixelValue(uint32_t col, uint32_t row) const
{
    const int32_t x = static_cast<int32_t>(col - (m_width >> 1));
    const int32_t y = static_cast<int32_t>(row - (m_rows >> 1));
    return EscapeValue(x, y, m_jobLimit, m_jobCentreRe, m_jobCentreIm, m_jobStepRe, m_jobStepIm);
}

void CMandelbrot::PixelColour(double value, uint8_t rgb[3]) const
{
    if (m_jobColours.empty())
    {
        rgb[0] = rgb[1] = rgb[2] = 0;
        return;
    }
    const std::array<uint8_t, 3>& colour =
        m_jobColours[PaletteIndex(value, m_jobLimit, m_jobColours.size())];
    rgb[0] = colour[0];
    rgb[1] = colour[1];
    rgb[2] = colour[2];
}

void CMandelbrot::RenderRow(uint32_t row, CImage& image) const
{
    assert(image.GetChannels() == 3 && "CMandelbrot::RenderRow(): image needs 3 channels");
    assert(image.GetWidth() == m_width && image.GetHeight() == m_rows &&
           "CMandelbrot::RenderRow(): image is not the size of the job");
    // One spare byte: SetPixel copies as many bytes as the image has channels.
    uint8_t pixel[4] = {0, 0, 0, 255};
    // The same mapping as PixelValue, with the whole row evaluated at once.
    std::vector<double> values(m_width);
    const int32_t x0 = static_cast<int32_t>(0u - (m_width >> 1));
    const int32_t y = static_cast<int32_t>(row - (m_rows >> 1));
    EscapeRow(values.data(), x0, m_width, y, m_jobLimit, m_jobCentreRe, m_jobCentreIm, m_jobStepRe,
              m_jobStepIm);
    // The job's own image is coloured in place: a copy per pixel through a
    // small buffer cost as much as a tenth of a render. Any other image goes
    // through the checked SetPixel.
    uint8_t* line = image.GetPixel(0, row);
    const bool direct = line && image.GetChannels() == 3 && image.GetWidth() == m_width;
    for (uint32_t col = 0; col < m_width; ++col)
    {
        if (direct)
        {
            PixelColour(values[col], line + 3 * size_t(col));
            continue;
        }
        PixelColour(values[col], pixel);
        image.SetPixel(col, row, pixel);
    }
}

void CMandelbrot::RenderRows(CImage& image)
{
    for (uint32_t row = TakeRow(); row < m_rows; row = TakeRow())
        RenderRow(row, image);
    FinishWorker();
}

void CMandelbrot::SetCentre(double re, double im)
{
    m_centreRe = re;
    m_centreIm = im;
}
