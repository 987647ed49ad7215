#include "fractal/DeepView.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/String.h"
#include "core/XML.h"
#include "fractal/detail/Mpfr.h"

namespace
{

using fractal_detail::MakeMpfr;
using fractal_detail::Mpfr;

// Reads the whole of `text` into x; false for blanks, trailing text or a
// value that is not finite.
bool ReadWhole(const char* text, mpfr_ptr x)
{
    if (*text == '\0' || std::isspace(static_cast<unsigned char>(*text)))
        return false;
    char* end = nullptr;
    mpfr_strtofr(x, text, &end, 0, MPFR_RNDN);
    return *end == '\0' && mpfr_number_p(x);
}

// A step keeps only the mantissa bits that leave room for the pixel index
// x (|x| ≤ pixels ÷ 2), so that x × step, a pixel's c − centre, is exact in
// a double. Rounded, an offset would be off by up to 2^-53 of itself, and
// near the boundary that alone moves a long orbit's escape step.
FloatExp Step(FloatExp scale, double span, uint32_t pixels)
{
    if (pixels == 0)
        return {};
    const FloatExp step = scale * FloatExp::FromDouble(span / static_cast<double>(pixels));
    int indexBits = 0;
    std::frexp(static_cast<double>(pixels >> 1), &indexBits);
    const int bits = 53 - indexBits;
    return FloatExp::Make(std::ldexp(std::nearbyint(std::ldexp(step.m, bits)), -bits), step.e);
}

} // namespace

FloatExp DeepView::StepRe() const
{
    return Step(scale, 3.0, width);
}

FloatExp DeepView::StepIm() const
{
    return Step(scale, 2.0, height);
}

ComplexExp DeepView::Offset(uint32_t col, uint32_t row) const
{
    return Offset(col, row, StepRe(), StepIm());
}

ComplexExp DeepView::Offset(uint32_t col, uint32_t row, FloatExp stepRe, FloatExp stepIm) const
{
    const int32_t x = static_cast<int32_t>(col - (width >> 1));
    const int32_t y = static_cast<int32_t>(row - (height >> 1));
    return ComplexExp::FromParts(stepRe * FloatExp::FromDouble(x), stepIm * FloatExp::FromDouble(y));
}

FloatExp DeepView::MaxOffset() const
{
    // The corner farthest from the centre pixel is column 0, row 0.
    return Offset(0, 0).Abs() + StepRe() + StepIm();
}

unsigned DeepView::PrecisionBits() const
{
    const FloatExp re = StepRe();
    const FloatExp im = StepIm();
    const int64_t finest = std::min(re.IsZero() ? 0 : re.e, im.IsZero() ? 0 : im.e);
    return static_cast<unsigned>(std::max<int64_t>(64, 64 - finest));
}

bool IsRealText(const char* text)
{
    Mpfr x = MakeMpfr(64);
    return ReadWhole(text, x.get());
}

bool ParseScale(const char* text, FloatExp& scale)
{
    Mpfr x = MakeMpfr(64);
    if (!ReadWhole(text, x.get()) || mpfr_sgn(x.get()) < 0)
        return false;
    if (mpfr_zero_p(x.get()))
    {
        scale = {};
        return true;
    }
    long exponent = 0;
    const double mantissa = mpfr_get_d_2exp(&exponent, x.get(), MPFR_RNDN);
    const FloatExp parsed = FloatExp::Make(mantissa, exponent);
    // The top stays where a double ends, as the shallow path reads it.
    if (parsed.e < kMinScaleExponent || parsed.e > 1024 || !std::isfinite(parsed.ToDouble()))
        return false;
    scale = parsed;
    return true;
}

bool DoubleHolds(const DeepView& view, double centreRe, double centreIm)
{
    const double magnitude = std::max({1.0, std::fabs(centreRe), std::fabs(centreIm)});
    const FloatExp finest = std::min(view.StepRe(), view.StepIm(), [](FloatExp a, FloatExp b) { return a < b; });
    if (finest.IsZero())
        return true;
    return !(finest < FloatExp::FromDouble(std::ldexp(magnitude, -42)));
}

bool ReadDeepPreset(const char* path, const std::string& name, DeepView& view)
{
    CXMLDocument document;
    if (!document.Load(String(path)))
        return false;
    for (unsigned i = 0; i < document.GetChildCount(); ++i)
    {
        const CXMLNode* node = document.GetChild(i);
        if (name != node->GetAttributeString("name").GetText())
            continue;
        const std::string re = node->GetAttributeString("real").GetText();
        const std::string im = node->GetAttributeString("imaginary").GetText();
        const std::string limit = node->GetAttributeString("iterations").GetText();
        FloatExp scale;
        char* end = nullptr;
        const unsigned long long parsed = std::strtoull(limit.c_str(), &end, 10);
        if (!IsRealText(re.c_str()) || !IsRealText(im.c_str()) ||
            !ParseScale(node->GetAttributeString("scale").GetText(), scale) || limit.empty() ||
            limit[0] < '0' || limit[0] > '9' || *end != '\0' || parsed > UINT32_MAX)
            return false;
        view.re = re;
        view.im = im;
        view.scale = scale;
        view.limit = static_cast<uint32_t>(parsed);
        return true;
    }
    return false;
}
