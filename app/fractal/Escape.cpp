#include "fractal/Escape.h"

double EscapeValue(int32_t x, int32_t y, uint32_t limit, double centreRe, double centreIm,
                   double stepRe, double stepIm)
{
    const double cr = static_cast<double>(x) * stepRe + centreRe;
    const double ci = static_cast<double>(y) * stepIm + centreIm;
    // The first step from z = 0 gives z = c, so start there.
    double zr = cr;
    double zi = ci;
    uint32_t n = 0;

    // Comparisons are written as "still inside" so that a not-a-number
    // modulus leaves like an escape; a squared modulus of exactly 4 stays.
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
    if (n == limit)
        return 0.0;
    return EscapeTail(zr, zi, cr, ci, n);
}
