// MPFR numbers owned by a unique_ptr, for the deep view's files only.
#pragma once

#include <memory>
#include <string>

#include <mpfr.h>

namespace fractal_detail
{

struct MpfrDeleter
{
    void operator()(__mpfr_struct* x) const
    {
        mpfr_clear(x);
        delete x;
    }
};
using Mpfr = std::unique_ptr<__mpfr_struct, MpfrDeleter>;

inline Mpfr MakeMpfr(mpfr_prec_t bits)
{
    Mpfr x(new __mpfr_struct);
    mpfr_init2(x.get(), bits);
    return x;
}

// The text as a number of `bits`; the caller has checked it with IsRealText.
inline Mpfr MpfrFromText(const std::string& text, mpfr_prec_t bits)
{
    Mpfr x = MakeMpfr(bits);
    mpfr_strtofr(x.get(), text.c_str(), nullptr, 0, MPFR_RNDN);
    return x;
}

} // namespace fractal_detail
