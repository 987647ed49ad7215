// Path choice for the row kernel: AVX2 when the build and the CPU have it,
// else EscapeValue pixel by pixel.
#include "RowKernel.h"

#include <atomic>

#include "Mandelbrot.h"

namespace
{

bool HasAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// A function-local static: callers in other files' static initialisers
// must not see it before its first choice is made.
std::atomic<KernelPath>& Path()
{
    static std::atomic<KernelPath> path{HasAvx2() ? KernelPath::Avx2 : KernelPath::Scalar};
    return path;
}

} // namespace

bool SetKernelPath(KernelPath path)
{
    if (path == KernelPath::Avx2 && !HasAvx2())
        return false;
    Path().store(path);
    return true;
}

KernelPath GetKernelPath()
{
    return Path().load();
}

void EscapeRow(double* out, int32_t x0, uint32_t count, int32_t y, uint32_t limit, double centreRe,
               double centreIm, double stepRe, double stepIm)
{
#if defined(__x86_64__) || defined(__i386__)
    if (Path().load(std::memory_order_relaxed) == KernelPath::Avx2)
    {
        detail::EscapeRowAvx2(out, x0, count, y, limit, centreRe, centreIm, stepRe, stepIm);
        return;
    }
#endif
    for (uint32_t i = 0; i < count; ++i)
        out[i] =
            EscapeValue(x0 + static_cast<int32_t>(i), y, limit, centreRe, centreIm, stepRe, stepIm);
}
