// One pixel's walk along the reference orbit, shared by the deep renderer's
// portable loop and its AVX2 lanes, so that both take the same decisions on
// the same doubles.
#pragma once

#include <cstdint>

#include "fractal/FloatExp.h"

class CBilinearTable;
class CReferenceOrbit;
struct DeepPixel;

namespace fractal_detail
{

// A tiny reference value takes the wide type only while dz is below this
// power of two: above it, 2 Z w underflowing is lost next to the rest.
constexpr int64_t kWideBelow = -300;
// |w|² outside this band is renormalised: w stays far from overflow and
// underflow, so 2 Z w and dz² come out right in doubles.
constexpr double kBandHigh = 0x1p200;
constexpr double kBandLow = 0x1p-200;

// dz = (wr, wi) · 2^s with sd = 2^s as a double (0 when it underflows) and
// d = dc · 2^-s, at reference step m after n steps.
struct DeepWalk
{
    uint32_t m = 1;
    uint32_t n = 0;
    int64_t s = 0;
    double sd = 1.0;
    double wr = 0.0, wi = 0.0;
    double dr = 0.0, di = 0.0;

    ComplexExp Dz() const { return ComplexExp::Make(wr, wi, s); }
    void Rescale(const ComplexExp& dz, const ComplexExp& dc)
    {
        // A zero dz keeps the scale of dc, so that dc still counts next step.
        s = (dz.re == 0.0 && dz.im == 0.0) ? dc.e : dz.e;
        wr = ComplexExp::Shifted(dz.re, dz.e - s);
        wi = ComplexExp::Shifted(dz.im, dz.e - s);
        sd = ComplexExp::Shifted(1.0, s);
        dr = ComplexExp::Shifted(dc.re, dc.e - s);
        di = ComplexExp::Shifted(dc.im, dc.e - s);
    }
};

// 2^-s, for a rebase that keeps the walk's scale.
inline double InverseScale(int64_t s)
{
    return ScaleBy2(1.0, -s);
}

struct DeepContext
{
    const CReferenceOrbit* orbit = nullptr;
    // Null when runs are not taken.
    const CBilinearTable* table = nullptr;
    uint32_t limit = 0;
};

// Everything but the plain double step: the escape check, rebasing,
// renormalising, runs and steps through the wide type, until the next step
// is a plain one (false) or the pixel is done (true, result in `out`).
bool Settle(const DeepContext& context, DeepWalk& walk, const ComplexExp& dc, DeepPixel& out);

// The plain step dz ← 2 Z dz + dz² + dc in rescaled doubles.
inline void PlainStep(DeepWalk& p, double zr, double zi)
{
    const double wr = p.wr;
    const double wi = p.wi;
    p.wr = 2.0 * (zr * wr - zi * wi) + p.sd * (wr * wr - wi * wi) + p.dr;
    p.wi = 2.0 * (zr * wi + zi * wr) + p.sd * (2.0 * wr * wi) + p.di;
    ++p.m;
    ++p.n;
}

#if defined(__x86_64__) || defined(__i386__)
// In DeepRenderAvx2.cpp: `count` pixels four at a time.
void IterateAvx2(const DeepContext& context, const ComplexExp* offsets, uint32_t count,
                 DeepPixel* out);
#endif

} // namespace fractal_detail
