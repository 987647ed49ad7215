// A view that may lie past double precision: the centre as the text it was
// given (any number of digits) and the scale as a wide-exponent number, down
// to 2^-8000 (about 1e-2408). The pixel mapping is the shallow one's, with
// the steps scale × 3 ÷ width and scale × 2 ÷ height, their mantissas cut
// so that every pixel's offset from the centre is exact in a double.
#pragma once

#include <cstdint>
#include <string>

#include "fractal/FloatExp.h"

struct DeepView
{
    std::string re = "-0.5";
    std::string im = "0";
    FloatExp scale = FloatExp::FromDouble(1.0);
    uint32_t width = 256;
    uint32_t height = 256;
    uint32_t limit = 256;

    FloatExp StepRe() const;
    FloatExp StepIm() const;
    // c − centre for a pixel (rows numbered from the bottom).
    ComplexExp Offset(uint32_t col, uint32_t row) const;
    // The same with StepRe() and StepIm() worked out once, for whole rows.
    ComplexExp Offset(uint32_t col, uint32_t row, FloatExp stepRe, FloatExp stepIm) const;
    // Largest |c − centre| over the image.
    FloatExp MaxOffset() const;
    // Bits of the centre and orbit: enough to tell neighbouring pixels apart,
    // plus a margin for the rounding of long orbits.
    unsigned PrecisionBits() const;
};

// The smallest scale a deep view takes; below it the orbit's precision and
// time grow past what a batch render should ask for.
constexpr int64_t kMinScaleExponent = -8000;

// A real number in decimal (or the C library's other notations) taken as
// the whole of `text`, finite. Its exact value is kept as text.
bool IsRealText(const char* text);
// A scale ≥ 0 as a wide-exponent number: 0, or between 2^-8000 and the
// largest double. Exponents far past a double's ("1e-1000") are fine.
bool ParseScale(const char* text, FloatExp& scale);

// Whether plain doubles hold the view: false once a pixel step falls below
// about 2^-42 of the centre's magnitude (or of 1), where neighbouring
// pixels start to share their c.
bool DoubleHolds(const DeepView& view, double centreRe, double centreIm);

// Fills the centre, scale and limit from the element named `name` in an XML
// file of deep presets (root elements with "name", "real", "imaginary",
// "scale" and "iterations", all as text). False, leaving `view` alone, when
// the file or the name is missing or a value does not read.
bool ReadDeepPreset(const char* path, const std::string& name, DeepView& view);
