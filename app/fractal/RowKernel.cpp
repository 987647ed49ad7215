// Path choice for the row kernel: AVX2 when the build and the CPU have it,
// else the portable loop; EscapeValue itself on request.
#include "fractal/RowKernel.h"

#include <atomic>

#include "fractal/Escape.h"
#include "fractal/detail/RowKernelPaths.h"

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

KernelWork GetKernelWork()
{
#if defined(__x86_64__) || defined(__i386__)
    return fractal_detail::Avx2Work();
#else
    return {};
#endif
}

void EscapeRow(double* out, int32_t x0, uint32_t count, int32_t y, uint32_t limit, double centreRe,
               double centreIm, double stepRe, double stepIm)
{
#if defined(__x86_64__) || defined(__i386__)
    if (Path().load(std::memory_order_relaxed) == KernelPath::Avx2)
    {
        fractal_detail::EscapeRowAvx2(out, x0, count, y, limit, centreRe, centreIm, stepRe, stepIm);
        return;
    }
#endif
    if (Path().load(std::memory_order_relaxed) == KernelPath::Reference)
    {
        for (uint32_t i = 0; i < count; ++i)
            out[i] = EscapeValue(x0 + static_cast<int32_t>(i), y, limit, centreRe, centreIm, stepRe,
                                 stepIm);
        return;
    }
    // The same mapping as EscapeValue, so c is the same double.
    const double ci = static_cast<double>(y) * stepIm + centreIm;
    for (uint32_t i = 0; i < count; ++i)
    {
        const double cr = static_cast<double>(x0 + static_cast<int32_t>(i)) * stepRe + centreRe;
        out[i] = fractal_detail::EscapeValueWithRepeats(cr, ci, limit);
    }
}

double fractal_detail::EscapeValueWithRepeats(double cr, double ci, uint32_t limit)
{
    double zr = cr;
    double zi = ci;
    uint32_t n = 0;
    if (cr * cr + ci * ci <= 4.0)
    {
        double savedZr = zr;
        double savedZi = zi;
        uint64_t nextSave = 1;
        while (n < limit)
        {
            ++n;
            const double nextRe = zr * zr - zi * zi + cr;
            zi = 2.0 * zr * zi + ci;
            zr = nextRe;
            if (!(zr * zr + zi * zi <= 4.0))
                break;
            if (zr == savedZr && zi == savedZi)
                return 0.0;
            if (n == nextSave)
            {
                savedZr = zr;
                savedZi = zi;
                nextSave *= 2;
            }
        }
    }
    if (n == limit)
        return 0.0;
    return EscapeTail(zr, zi, cr, ci, n);
}
