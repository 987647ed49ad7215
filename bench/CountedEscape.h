// EscapeValue's algorithm with a counter, for benchmarks that report
// iterations per second: loop steps plus the two extra steps of an escaped
// point. It returns the value so that callers can check it walked the same
// orbit as the real function; it never runs inside a timed loop.
#pragma once

#include <cmath>
#include <cstdint>

inline double CountedEscapeValue(int32_t x, int32_t y, uint32_t limit, double centreRe,
                                 double centreIm, double stepRe, double stepIm,
                                 uint64_t& iterations)
{
    const double cr = static_cast<double>(x) * stepRe + centreRe;
    const double ci = static_cast<double>(y) * stepIm + centreIm;
    double zr = cr;
    double zi = ci;
    uint32_t n = 0;
    if (cr * cr + ci * ci <= 4.0)
    {
        while (n < limit)
        {
            ++n;
            const double nextRe = zr * zr - zi * zi + cr;
            zi = 2.0 * zr * zi + ci;
            zr = nextRe;
            if (!(zr * zr + zi * zi <= 4.0))
                break;
        }
    }
    iterations += n;
    if (n == limit)
        return 0.0;
    iterations += 2;
    for (int extra = 0; extra < 2; ++extra)
    {
        const double nextRe = zr * zr - zi * zi + cr;
        zi = 2.0 * zr * zi + ci;
        zr = nextRe;
    }
    return (static_cast<double>(n) + 2.0) -
           std::log(std::log(std::sqrt(zr * zr + zi * zi))) / std::log(2.0);
}
