// Escape values for a run of pixels along one row, bit for bit the same as
// EscapeValue for each pixel; vectorised with AVX2 where the CPU has it.
// The smooth-value tail is shared here so the paths cannot drift apart.
#pragma once

#include <cmath>
#include <cstdint>

enum class KernelPath
{
    Scalar,
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

// The smooth value of a point that escaped after n steps with z = (zr, zi).
// Internal linkage: the AVX2 file's copy must never be the one the linker
// keeps for the other files, which may run on CPUs without AVX2.
static inline double EscapeTail(double zr, double zi, double cr, double ci, uint32_t n)
{
    // Two more steps push |z| far enough out that the fractional part below
    // joins up smoothly across iteration bands.
    for (int extra = 0; extra < 2; ++extra)
    {
        const double nextRe = zr * zr - zi * zi + cr;
        zi = 2.0 * zr * zi + ci;
        zr = nextRe;
    }
    // n + 2 in double: in 32-bit unsigned it would wrap for the largest limits.
    return (static_cast<double>(n) + 2.0) -
           std::log(std::log(std::sqrt(zr * zr + zi * zi))) / std::log(2.0);
}

#if defined(__x86_64__) || defined(__i386__)
// In RowKernelAvx2.cpp, the only file built with -mavx2.
void EscapeRowAvx2(double* out, int32_t x0, uint32_t count, int32_t y, uint32_t limit,
                   double centreRe, double centreIm, double stepRe, double stepIm);
#endif

} // namespace detail
