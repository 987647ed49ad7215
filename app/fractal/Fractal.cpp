// The fractal state's view arithmetic and the row-at-a-time render loop the
// workers share. All arithmetic is IEEE double, built without contraction so
// that every compiler produces the same bits.
#include "fractal/Fractal.h"

#include <cassert>
#include <vector>

#include "fractal/RowKernel.h"
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

CFractal::CFractal() : CFractal(String("resources/locations.xml")) {}

CFractal::CFractal(const String& locationsPath)
{
    LoadLocations(locationsPath);
}

void CFractal::LoadLocations(const String& path)
{
    m_locations = ReadLocations(path);
    if (m_locations.empty())
        return;
    const CLocation& first = m_locations.front();
    m_iterationLimit = static_cast<uint32_t>(first.iterations);
    m_centreRe = first.real;
    m_centreIm = first.imaginary;
    m_scale = first.scale;
}

bool CFractal::ReadGradient(const String& path, CImage* picture)
{
    std::vector<PaletteEntry>().swap(m_palette);
    // One decode gives the pixels and their size together, and a refused
    // file leaves the picture as it was.
    CImage decoded;
    CImage& target = picture ? *picture : decoded;
    if (!LoadPicture(path.GetText(), target))
    {
        m_palette = BuiltInPalette();
        return false;
    }
    m_palette = GradientPalette(target.GetPixels(), target.GetWidth(), target.GetChannels());
    return true;
}

void CFractal::ResetJob(uint32_t width, uint32_t rows)
{
    m_width = width;
    m_rows = rows;
    m_nextRow.store(0);
    m_finishedWorkers.store(0);
    m_stopJob.store(false);
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

float CFractal::Progress() const
{
    if (m_rows == 0)
        return 0.0f;
    // Each worker takes one row past the end before it stops.
    const float share = static_cast<float>(m_nextRow.load()) / static_cast<float>(m_rows);
    return share < 1.0f ? share : 1.0f;
}

void CFractal::FinishWorker()
{
    // Park the counter first, so that once the main thread sees every worker
    // finished nothing of this job writes to the counters any more.
    m_nextRow.store(m_rows);
    m_finishedWorkers.fetch_add(1);
}

double CFractal::PixelValue(uint32_t col, uint32_t row) const
{
    const int32_t x = static_cast<int32_t>(col - (m_width >> 1));
    const int32_t y = static_cast<int32_t>(row - (m_rows >> 1));
    return EscapeValue(x, y, m_jobLimit, m_jobCentreRe, m_jobCentreIm, m_jobStepRe, m_jobStepIm);
}

void CFractal::PixelColour(double value, uint8_t rgb[3]) const
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

void CFractal::RenderRow(uint32_t row, CImage& image) const
{
    assert(image.GetChannels() == 3 && "CFractal::RenderRow(): image needs 3 channels");
    assert(image.GetWidth() == m_width && image.GetHeight() == m_rows &&
           "CFractal::RenderRow(): image is not the size of the job");
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

void CFractal::RenderRows(CImage& image)
{
    // Checked once a row: a restart waits for at most one row per worker,
    // however large the image and the limit.
    for (uint32_t row = TakeRow(); row < m_rows && !IsJobStopped(); row = TakeRow())
        RenderRow(row, image);
    FinishWorker();
}

void CFractal::SetCentre(double re, double im)
{
    m_centreRe = re;
    m_centreIm = im;
}
