#include "fractal/ReferenceOrbit.h"

#include <algorithm>

#include "fractal/detail/Mpfr.h"

using fractal_detail::MakeMpfr;
using fractal_detail::Mpfr;
using fractal_detail::MpfrFromText;

namespace
{

FloatExp ToFloatExp(mpfr_srcptr x)
{
    if (mpfr_zero_p(x))
        return {};
    long exponent = 0;
    const double mantissa = mpfr_get_d_2exp(&exponent, x, MPFR_RNDN);
    return FloatExp::Make(mantissa, exponent);
}

} // namespace

void CReferenceOrbit::Compute(const std::string& re, const std::string& im, unsigned bits,
                              uint32_t limit)
{
    m_norm.assign(1, 0.0);
    m_pairs.assign(2, 0.0);
    m_tinyIndex.assign(1, 0);
    m_tinyValue.assign(1, ComplexExp{});

    const Mpfr cr = MpfrFromText(re, bits);
    const Mpfr ci = MpfrFromText(im, bits);
    m_centreRe = mpfr_get_d(cr.get(), MPFR_RNDN);
    m_centreIm = mpfr_get_d(ci.get(), MPFR_RNDN);
    Mpfr zr = MakeMpfr(bits), zi = MakeMpfr(bits), rr = MakeMpfr(bits), ii = MakeMpfr(bits),
         ri = MakeMpfr(bits);
    mpfr_set_zero(zr.get(), 1);
    mpfr_set_zero(zi.get(), 1);
    // Grown as it goes: a centre that escapes early needs none of the room
    // a long limit would reserve.
    for (uint32_t m = 1; m <= limit; ++m)
    {
        mpfr_sqr(rr.get(), zr.get(), MPFR_RNDN);
        mpfr_sqr(ii.get(), zi.get(), MPFR_RNDN);
        mpfr_mul(ri.get(), zr.get(), zi.get(), MPFR_RNDN);
        mpfr_sub(zr.get(), rr.get(), ii.get(), MPFR_RNDN);
        mpfr_add(zr.get(), zr.get(), cr.get(), MPFR_RNDN);
        mpfr_mul_2ui(zi.get(), ri.get(), 1, MPFR_RNDN);
        mpfr_add(zi.get(), zi.get(), ci.get(), MPFR_RNDN);

        const double r = mpfr_get_d(zr.get(), MPFR_RNDN);
        const double i = mpfr_get_d(zi.get(), MPFR_RNDN);
        m_norm.push_back(r * r + i * i);
        m_pairs.push_back(r);
        m_pairs.push_back(i);
        if (IsTiny(m))
        {
            m_tinyIndex.push_back(m);
            m_tinyValue.push_back(ComplexExp::FromParts(ToFloatExp(zr.get()), ToFloatExp(zi.get())));
        }
        if (!(m_norm.back() <= 4.0))
            break;
    }
}

ComplexExp CReferenceOrbit::Exact(uint32_t m) const
{
    if (!IsTiny(m))
        return ComplexExp::Make(Re(m), Im(m), 0);
    const auto at = std::lower_bound(m_tinyIndex.begin(), m_tinyIndex.end(), m);
    return m_tinyValue[size_t(at - m_tinyIndex.begin())];
}
