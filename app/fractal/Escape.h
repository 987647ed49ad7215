// Escape-time evaluation of one point with a smooth iteration count, and the
// two halves of its smooth tail, which the row kernel's paths share so that
// no path can drift from the others. All arithmetic is IEEE double, built
// without contraction, so every compiler produces the same bits.
#pragma once

#include <cmath>
#include <cstdint>

// Smooth escape value of the point (x × stepRe + centreRe, y × stepIm +
// centreIm) under z ← z² + c with bailout radius 2; 0 for a point taken as
// inside the set (limit reached, or limit 0). Pure and reentrant.
double EscapeValue(int32_t x, int32_t y, uint32_t limit, double centreRe, double centreIm,
                   double stepRe, double stepIm);

// The tail is defined here with internal linkage: the AVX2 file's copies
// must never be the ones the linker keeps for the other files, which may run
// on processors without AVX2.

// Two more steps push |z| far enough out that the fractional part of the
// value joins up smoothly across iteration bands; this gives that |z|.
static inline double EscapeModulus(double zr, double zi, double cr, double ci)
{
    for (int extra = 0; extra < 2; ++extra)
    {
        const double nextRe = zr * zr - zi * zi + cr;
        zi = 2.0 * zr * zi + ci;
        zr = nextRe;
    }
    return std::sqrt(zr * zr + zi * zi);
}

static inline double SmoothValue(double modulus, uint32_t n)
{
    // n + 2 in double: in 32-bit unsigned it would wrap for the largest limits.
    return (static_cast<double>(n) + 2.0) - std::log(std::log(modulus)) / std::log(2.0);
}

// The smooth value of a point that escaped after n steps with z = (zr, zi).
static inline double EscapeTail(double zr, double zi, double cr, double ci, uint32_t n)
{
    return SmoothValue(EscapeModulus(zr, zi, cr, ci), n);
}
