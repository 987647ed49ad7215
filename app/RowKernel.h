// Escape values for a run of pixels along one row, bit for bit the same as
// EscapeValue for each pixel; vectorised with AVX2 where the CPU has it.
// The smooth-value tail is shared here so the paths cannot drift apart.
//
// One shortcut, exact by construction: an orbit that comes back to a value
// it had (both parts equal) repeats for ever, all inside, so it is counted
// as reaching the limit without running the rest. Equal operands give equal
// IEEE results (at most the sign of a zero differs, and that never changes a
// later value or comparison), so the repeat is certain, not estimated.
#pragma once

#include <cmath>
#include <cstdint>

enum class KernelPath
{
    Reference, // EscapeValue pixel by pixel: the baseline the others must match
    Scalar,    // portable, with the exact repeat shortcut
    Avx2
};

// out[i] = EscapeValue(x0 + i, y, limit, centreRe, centreIm, stepRe, stepIm)
// for i in 0 … count − 1.
void EscapeRow(double* out, int32_t x0, uint32_t count, int32_t y, uint32_t limit, double centreRe,
               double centreIm, double stepRe, double stepIm);

// Forces a path (for tests and benchmarks); false, leaving the path as it
// was, if this build or CPU lacks it. The default is the fastest available.
bool SetKernelPath(KernelPath path);
KernelPath GetKernelPath();

namespace detail
{

// The smooth value of a point that escaped after n steps with z = (zr, zi),
// in two halves so that the vector path can run the first on four points at
// once, with the same operations. Internal linkage: the AVX2 file's copies
// must never be the ones the linker keeps for the other files, which may run
// on CPUs without AVX2.
//
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

static inline double EscapeTail(double zr, double zi, double cr, double ci, uint32_t n)
{
    return SmoothValue(EscapeModulus(zr, zi, cr, ci), n);
}

// The portable path for one point: EscapeValue's loop, plus Brent's repeat
// check (z compared with a copy saved at steps 1, 2, 4, 8, ...).
double EscapeValueWithRepeats(double cr, double ci, uint32_t limit);

#if defined(__x86_64__) || defined(__i386__)
// In RowKernelAvx2.cpp, the only file built with -mavx2.
void EscapeRowAvx2(double* out, int32_t x0, uint32_t count, int32_t y, uint32_t limit,
                   double centreRe, double centreIm, double stepRe, double stepIm);
#endif

} // namespace detail
