// Image filters. Sums are single-precision and taken tap by tap in kernel
// order (row, then column) so that results are reproducible to the bit.
// Every source read is bounded by the source's size and buffer; an image
// without pixels reads as nothing.
#include "resources/Filter.h"

#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/Rotation.h"
#include "core/Vector.h"
#include "resources/Image.h"

namespace
{

// The kernel's weights flattened once, so the per-pixel loop does no
// bounds-checked matrix reads.
struct Kernel
{
    explicit Kernel(const CMatrix& matrix)
        : rows(matrix.GetRows()), cols(matrix.GetCols()), weights(size_t(rows) * cols)
    {
        for (size_t i = 0; i < weights.size(); ++i)
            weights[i] = matrix.Get(unsigned(i));
    }

    unsigned rows;
    unsigned cols;
    std::vector<float> weights;
};

// Sums weight × byte k around pixel (x, y) into values, tap by tap in kernel
// order, skipping taps whose row or column falls outside the image. N is the
// channel count when known at compile time, 0 for the image's own count.
template <unsigned N>
void ConvolveAt(int64_t x, int64_t y, const CImage& image, const Kernel& kernel, float* values)
{
    const unsigned channels = N ? N : image.GetChannels();
    // Local sums when the count is known: stores through `values` may alias
    // the pixel bytes and would keep every sum out of registers.
    float local[N ? N : 1];
    float* sums = N ? local : values;
    for (unsigned k = 0; k < channels; ++k)
        sums[k] = 0.0f;

    const uint8_t* pixels = image.GetPixels();
    const int64_t width = image.GetWidth();
    const int64_t height = image.GetHeight();
    const int64_t top = y - int64_t(kernel.rows - 1) / 2;
    const int64_t left = x - int64_t(kernel.cols - 1) / 2;
    const float* weight = kernel.weights.data();
    for (unsigned i = 0; pixels && i < kernel.rows; ++i, weight += kernel.cols)
    {
        const int64_t r = top + i;
        if (r < 0 || r >= height)
            continue;
        const uint8_t* row = pixels + size_t(r) * size_t(width) * channels;
        for (unsigned j = 0; j < kernel.cols; ++j)
        {
            const int64_t c = left + j;
            if (c < 0 || c >= width)
                continue;
            const uint8_t* pixel = row + size_t(c) * channels;
            // Unrolled, the sums of a known count stay in registers.
#pragma GCC unroll 4
            for (unsigned k = 0; k < channels; ++k)
                sums[k] += weight[j] * float(pixel[k]);
        }
    }
    for (unsigned k = 0; N && k < channels; ++k)
        values[k] = sums[k];
}

// Output pixel (c, r) becomes the clamped convolution around source pixel
// (columns[c], rows[r]); output is already created at that size with the
// source's channels.
template <unsigned N>
void ConvolveGrid(CImage& output, const CImage& source, const Kernel& kernel,
                  const std::vector<int64_t>& columns, const std::vector<int64_t>& rows)
{
    const unsigned channels = N ? N : source.GetChannels();
    float local[N ? N : 1];
    std::vector<float> scratch(N ? 0 : channels);
    float* values = N ? local : scratch.data();
    uint8_t* out = output.GetPixels();
    for (size_t r = 0; out && r < rows.size(); ++r)
    {
        for (size_t c = 0; c < columns.size(); ++c, out += channels)
        {
            ConvolveAt<N>(columns[c], rows[r], source, kernel, values);
            for (unsigned k = 0; k < channels; ++k)
                out[k] = CFilter::Clamp(values[k]);
        }
    }
}

void ConvolveGrid(CImage& output, const CImage& source, const Kernel& kernel,
                  const std::vector<int64_t>& columns, const std::vector<int64_t>& rows)
{
    assert(output.GetWidth() == columns.size() && output.GetHeight() == rows.size() &&
           output.GetChannels() == source.GetChannels() && "ConvolveGrid(): output not created");
    switch (source.GetChannels())
    {
    case 1:
        return ConvolveGrid<1>(output, source, kernel, columns, rows);
    case 2:
        return ConvolveGrid<2>(output, source, kernel, columns, rows);
    case 3:
        return ConvolveGrid<3>(output, source, kernel, columns, rows);
    case 4:
        return ConvolveGrid<4>(output, source, kernel, columns, rows);
    default:
        return ConvolveGrid<0>(output, source, kernel, columns, rows);
    }
}

// Truncates toward zero; false when that falls outside 0 … limit − 1 or the
// value is not a number, either of which would make the conversion undefined.
bool ToIndex(float value, unsigned limit, unsigned& index)
{
    if (!(value > -1.0f) || !(value < float(limit)))
        return false;
    index = unsigned(value);
    return index < limit;
}

// Truncates a non-negative size, saturating rather than overflowing.
unsigned ToSize(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 4294967296.0f)
        return std::numeric_limits<unsigned>::max();
    return unsigned(value);
}

} // namespace

void CFilter::Apply(CImage& output, const CImage& source, const CMatrix& kernel)
{
    if (&output == &source)
    {
        // Create would free the pixels still to be read.
        const CImage copy(source);
        Apply(output, copy, kernel);
        return;
    }

    std::vector<int64_t> columns(source.GetWidth());
    std::vector<int64_t> rows(source.GetHeight());
    for (size_t i = 0; i < columns.size(); ++i)
        columns[i] = int64_t(i);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = int64_t(i);
    output.Create(source.GetWidth(), source.GetHeight(), source.GetChannels(), source.GetBits());
    ConvolveGrid(output, source, Kernel(kernel), columns, rows);
}

void CFilter::Convolve(unsigned x, unsigned y, const CImage& image, const CMatrix& kernel,
                       float* values)
{
    assert((values || image.GetChannels() == 0) && "CFilter::Convolve(): null values");
    ConvolveAt<0>(x, y, image, Kernel(kernel), values);
}

uint8_t CFilter::Clamp(float value)
{
    // Written so that NaN lands on 0: converting it to a byte is undefined.
    if (!(value >= 0.0f))
        return 0;
    if (value > 255.0f)
        return 255;
    return uint8_t(value);
}

CImage& CFilterResize::Resize(CImage& output, const CImage& source, unsigned width, unsigned height)
{
    if (&output == &source)
    {
        const CImage copy(source);
        return Resize(output, copy, width, height);
    }

    // The source column and row each output column and row samples; a zero
    // target has none, so its step is never needed.
    const float stepX = width ? float(source.GetWidth()) / float(width) : 0.0f;
    const float stepY = height ? float(source.GetHeight()) / float(height) : 0.0f;
    std::vector<int64_t> columns(width);
    std::vector<int64_t> rows(height);
    for (unsigned c = 0; c < width; ++c)
        columns[c] = int64_t(float(c) * stepX);
    for (unsigned r = 0; r < height; ++r)
        rows[r] = int64_t(float(r) * stepY);

    output.Create(width, height, source.GetChannels(), source.GetBits());
    ConvolveGrid(output, source, Kernel(CFilterBlur::MakeSquareBlurKernel(3, 0.25f, 0.5f)), columns,
                 rows);
    return output;
}

CImage& CFilterRotate::Rotate(CImage& output, const CImage& source, float angleX, float angleY,
                              float angleZ, int fit)
{
    if (&output == &source)
    {
        const CImage copy(source);
        return Rotate(output, copy, angleX, angleY, angleZ, fit);
    }

    // Output pixels are pulled from the source, so points map back through
    // the inverse rotation.
    CMatrix rotation(4, 4);
    RotationFromEuler(rotation.GetElements(), angleX, angleY, angleZ);
    const CMatrix inverse = rotation.Inverse();

    const unsigned sourceWidth = source.GetWidth();
    const unsigned sourceHeight = source.GetHeight();
    const float hw = float(sourceWidth) * 0.5f;
    const float hh = float(sourceHeight) * 0.5f;

    // A fitted picture is drawn on its own canvas first; otherwise straight
    // into the output, which is never the source by now.
    CImage canvas;
    CImage& target = fit == 1 ? canvas : output;
    if (fit == 1)
    {
        const CVector a = inverse.ApplyRotation(CVector(hw, hh, 0.0f, 0.0f));
        const CVector b = inverse.ApplyRotation(CVector(hw, -hh, 0.0f, 0.0f));
        // Written as comparisons so a NaN corner keeps the source's extent.
        float ex = hw;
        float ey = hh;
        for (const CVector& corner : {a, b})
        {
            if (std::fabs(corner.x) > ex)
                ex = std::fabs(corner.x);
            if (std::fabs(corner.y) > ey)
                ey = std::fabs(corner.y);
        }
        target.Create(ToSize(ex * 2.0f), ToSize(ey * 2.0f), source.GetChannels(), source.GetBits());
    }
    else
    {
        target.Create(sourceWidth, sourceHeight, source.GetChannels(), source.GetBits());
    }

    const unsigned width = target.GetWidth();
    const unsigned height = target.GetHeight();
    const float cx = float(width) * 0.5f;
    const float cy = float(height) * 0.5f;
    for (unsigned i = 0; i < height; ++i)
    {
        for (unsigned j = 0; j < width; ++j)
        {
            const CVector t =
                inverse.ApplyRotation(CVector(cx - float(j), cy - float(i), 0.0f, 0.0f));
            unsigned sx = 0;
            unsigned sy = 0;
            if (!ToIndex(t.x + hw, sourceWidth, sx) || !ToIndex(t.y + hh, sourceHeight, sy))
                continue;
            if (const uint8_t* pixel = source.GetPixel(sx, sy))
                target.SetPixel(j, i, pixel);
        }
    }

    if (fit == 1)
        CFilterResize::Resize(output, canvas, sourceWidth, sourceHeight);
    return output;
}

CMatrix CFilterBlur::MakeBlurKernel(unsigned width, unsigned height, float edge, float centre)
{
    const unsigned rows = height + (height % 2 == 0 ? 1 : 0);
    const unsigned cols = width + (width % 2 == 0 ? 1 : 0);
    const unsigned e = (height - height % 2) / 2;
    const unsigned g = (width - width % 2) / 2;

    CMatrix kernel(rows, cols);
    for (unsigned i = 0; i < rows; ++i)
    {
        for (unsigned j = 0; j < cols; ++j)
        {
            const unsigned f = i > e ? i - e : e - i;
            const unsigned h = j > g ? j - g : g - j;
            // e + g is 0 only for the 1 × 1 kernel, which has no off-centre entry.
            const float weight = f + h == 0 ? centre : edge * (1.0f - float(f + h) / float(e + g));
            kernel.Set(i, j, weight);
        }
    }
    return kernel;
}

CMatrix CFilterBlur::MakeSquareBlurKernel(unsigned size, float edge, float centre)
{
    return MakeBlurKernel(size, size, edge, centre);
}
