// Escape values for a run of pixels along one row, bit for bit the same as
// EscapeValue for each pixel; vectorised with AVX2 where the CPU has it.
//
// One shortcut, exact by construction: an orbit that comes back to a value
// it had (both parts equal) repeats for ever, all inside, so it is counted
// as reaching the limit without running the rest. Equal operands give equal
// IEEE results (at most the sign of a zero differs, and that never changes a
// later value or comparison), so the repeat is certain, not estimated.
#pragma once

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

// Work the AVX2 path has done on the calling thread so far. Each vector step
// steps four lanes; steps the repeat shortcut skips are never executed, so
// they are not counted. Of the lane steps, the live ones are those of
// pixels still being evaluated: the rest step lanes that wait for the row's
// last pixels.
struct KernelWork
{
    uint64_t vectorSteps = 0;
    uint64_t liveLaneSteps = 0;
};
KernelWork GetKernelWork();

// Forces a path (for tests and benchmarks); false, leaving the path as it
// was, if this build or CPU lacks it. The default is the fastest available.
bool SetKernelPath(KernelPath path);
KernelPath GetKernelPath();
