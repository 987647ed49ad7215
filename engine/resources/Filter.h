// Image filters: convolution with any kernel, a resize that samples through a
// small blur, and a rotation about the image centre. Filters hold no state;
// the classes only group the operations. Every result is a fresh image, and
// output may be the source itself.
#pragma once

#include <cstdint>

#include "core/Matrix.h"

class CImage;

class CFilter
{
public:
    virtual ~CFilter() = default;

    // output becomes an image of the source's size, channels and bits holding
    // the clamped convolution of every source pixel with the kernel.
    virtual void Apply(CImage& output, const CImage& source, const CMatrix& kernel);

    // Kernel-weighted sum around pixel (x, y), one float per channel in
    // values. Taps outside the image are dropped, not redistributed.
    static void Convolve(unsigned x, unsigned y, const CImage& image, const CMatrix& kernel,
                         float* values);
    // 0 below 0 (and for NaN), 255 above 255, otherwise truncated.
    static uint8_t Clamp(float value);
};

class CFilterResize : public CFilter
{
public:
    // Point-samples the source through a 3 × 3 blur; no area averaging.
    static CImage& Resize(CImage& output, const CImage& source, unsigned width, unsigned height);
};

class CFilterRotate : public CFilter
{
public:
    // Angles in degrees. With fit 1 the canvas grows to hold the turned
    // picture, which is then resized back to the source's size; any other fit
    // keeps the source's size and crops.
    static CImage& Rotate(CImage& output, const CImage& source, float angleX, float angleY,
                          float angleZ, int fit);
};

class CFilterBlur : public CFilter
{
public:
    // Odd-sized kernel (even sizes grow by one): centre weight in the middle,
    // falling linearly with the taxicab distance from edge weight to 0 at the
    // far corners.
    static CMatrix MakeBlurKernel(unsigned width, unsigned height, float edge, float centre);
    static CMatrix MakeSquareBlurKernel(unsigned size, float edge, float centre);
};
