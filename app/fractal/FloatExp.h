// Numbers with a double's mantissa and a 64-bit binary exponent, for the
// deep views whose pixel spacing and orbit differences lie far below what a
// double can hold (1e-308). Slow next to plain doubles: the perturbation
// loop keeps its differences in doubles and comes here only where a double
// would underflow.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace fractal_detail
{

// x · 2^k, rounded once as ldexp would, without its call where 2^k is a
// normal double (the perturbation loop renormalises often).
inline double ScaleBy2(double x, int64_t k)
{
    if (k >= -1022 && k <= 1023)
    {
        const uint64_t bits = static_cast<uint64_t>(k + 1023) << 52;
        double power;
        std::memcpy(&power, &bits, sizeof power);
        return x * power;
    }
    // Past a double's reach whatever finite x is: ±0, or ±∞ unless x is 0.
    // Deep views land here at every renormalisation, so ldexp is spared.
    if (k < -2200 && std::isfinite(x))
        return x * 0.0;
    if (k > 2200 && std::isfinite(x))
        return x == 0.0 ? x : x * HUGE_VAL;
    return std::ldexp(x, static_cast<int>(std::clamp<int64_t>(k, -4000, 4000)));
}

// frexp's exponent of a finite x other than 0, read off the bits when x is
// normal.
inline int BinaryExponent(double x)
{
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    if (biased != 0)
        return biased - 1022;
    int exponent = 0;
    std::frexp(x, &exponent);
    return exponent;
}

} // namespace fractal_detail

// m · 2^e with 0.5 ≤ |m| < 1, or m = 0 and e = 0.
struct FloatExp
{
    double m = 0.0;
    int64_t e = 0;

    static FloatExp Make(double mantissa, int64_t exponent)
    {
        if (mantissa == 0.0 || !std::isfinite(mantissa))
            return {mantissa, 0};
        const int shift = fractal_detail::BinaryExponent(mantissa);
        return {fractal_detail::ScaleBy2(mantissa, -shift), exponent + shift};
    }
    static FloatExp FromDouble(double value) { return Make(value, 0); }
    double ToDouble() const { return std::ldexp(m, static_cast<int>(std::clamp<int64_t>(e, -4000, 4000))); }
    bool IsZero() const { return m == 0.0; }
};

inline FloatExp operator*(FloatExp a, FloatExp b)
{
    return FloatExp::Make(a.m * b.m, a.e + b.e);
}

inline FloatExp operator/(FloatExp a, FloatExp b)
{
    return FloatExp::Make(a.m / b.m, a.e - b.e);
}

inline FloatExp operator+(FloatExp a, FloatExp b)
{
    if (a.IsZero())
        return b;
    if (b.IsZero())
        return a;
    if (a.e < b.e)
        std::swap(a, b);
    // Past 64 bits of difference the smaller one cannot change the sum.
    if (a.e - b.e > 64)
        return a;
    return FloatExp::Make(a.m + std::ldexp(b.m, static_cast<int>(b.e - a.e)), a.e);
}

inline FloatExp operator-(FloatExp a)
{
    return {-a.m, a.e};
}

inline FloatExp operator-(FloatExp a, FloatExp b)
{
    return a + -b;
}

// Order of two values that are not negative.
inline bool operator<(FloatExp a, FloatExp b)
{
    if (b.IsZero())
        return false;
    if (a.IsZero())
        return true;
    return a.e != b.e ? a.e < b.e : a.m < b.m;
}

inline FloatExp Sqrt(FloatExp a)
{
    if (a.IsZero())
        return a;
    // An even exponent halves exactly.
    const int64_t odd = a.e & 1;
    return FloatExp::Make(std::sqrt(odd ? a.m * 2.0 : a.m), (a.e - odd) / 2);
}

// A complex number whose parts share one exponent: (re, im) · 2^e with the
// larger part's magnitude in [0.5, 1), or all 0. A part more than 2^1000
// below the other loses its low bits, which never matters next to the other.
struct ComplexExp
{
    double re = 0.0;
    double im = 0.0;
    int64_t e = 0;

    static ComplexExp Make(double re, double im, int64_t exponent)
    {
        const double larger = std::max(std::fabs(re), std::fabs(im));
        if (larger == 0.0 || !std::isfinite(larger))
            return {larger == 0.0 ? 0.0 : re, larger == 0.0 ? 0.0 : im, 0};
        const int shift = fractal_detail::BinaryExponent(larger);
        return {fractal_detail::ScaleBy2(re, -shift), fractal_detail::ScaleBy2(im, -shift),
                exponent + shift};
    }
    static ComplexExp FromParts(FloatExp re, FloatExp im)
    {
        // A zero part has no exponent to speak of.
        const int64_t e = re.IsZero() ? im.e : im.IsZero() ? re.e : std::max(re.e, im.e);
        return Make(Shifted(re.m, re.e - e), Shifted(im.m, im.e - e), e);
    }
    // The parts as doubles; 0 or a denormal where they underflow.
    double Re() const { return Shifted(re, e); }
    double Im() const { return Shifted(im, e); }
    // |z|² and |z|.
    FloatExp Norm() const { return FloatExp::Make(re * re + im * im, 2 * e); }
    FloatExp Abs() const { return FloatExp::Make(std::sqrt(re * re + im * im), e); }

    static double Shifted(double value, int64_t by) { return fractal_detail::ScaleBy2(value, by); }
};

inline ComplexExp operator*(const ComplexExp& a, const ComplexExp& b)
{
    return ComplexExp::Make(a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re, a.e + b.e);
}

inline ComplexExp operator*(const ComplexExp& a, FloatExp b)
{
    return ComplexExp::Make(a.re * b.m, a.im * b.m, a.e + b.e);
}

inline ComplexExp operator+(ComplexExp a, ComplexExp b)
{
    if (a.re == 0.0 && a.im == 0.0)
        return b;
    if (b.re == 0.0 && b.im == 0.0)
        return a;
    if (a.e < b.e)
        std::swap(a, b);
    if (a.e - b.e > 64)
        return a;
    const int64_t by = b.e - a.e;
    return ComplexExp::Make(a.re + ComplexExp::Shifted(b.re, by), a.im + ComplexExp::Shifted(b.im, by),
                            a.e);
}

inline ComplexExp operator-(const ComplexExp& a)
{
    return {-a.re, -a.im, a.e};
}
