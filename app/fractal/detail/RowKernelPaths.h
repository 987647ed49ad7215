// The row kernel's paths behind EscapeRow, for its own files only.
#pragma once

#include <cstdint>

#include "fractal/RowKernel.h"

namespace fractal_detail
{

// The portable path for one point: EscapeValue's loop, plus Brent's repeat
// check (z compared with a copy saved at steps 1, 2, 4, 8, ...).
double EscapeValueWithRepeats(double cr, double ci, uint32_t limit);

#if defined(__x86_64__) || defined(__i386__)
// In RowKernelAvx2.cpp, the only file built with -mavx2.
void EscapeRowAvx2(double* out, int32_t x0, uint32_t count, int32_t y, uint32_t limit,
                   double centreRe, double centreIm, double stepRe, double stepIm);
// The calling thread's count, kept by EscapeRowAvx2 once per row.
KernelWork& Avx2Work();
#endif

} // namespace fractal_detail
