#include "fractal/DeepRender.h"

#include <cmath>

#include "fractal/Escape.h"

namespace
{

// A tiny reference value takes the wide type only while dz is below this
// power of two: above it, 2 Z w underflowing is lost next to the rest.
constexpr int64_t kWideBelow = -300;
// |w|² outside this band is renormalised.
constexpr double kBandHigh = 0x1p64;
constexpr double kBandLow = 0x1p-64;
constexpr uint32_t kRunAlign = (1u << CBilinearTable::kFirstLevel) - 1;

// One pixel's walk: dz = (wr, wi) · 2^s with sd = 2^s as a double (0 when
// it underflows), d = dc · 2^-s, at reference step m after n steps.
struct Walk
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

} // namespace

void CDeepRender::Prepare(const DeepView& view, bool skip)
{
    m_view = view;
    m_skip = skip;
    m_orbit.Compute(view.re, view.im, view.PrecisionBits(), view.limit);
    m_table = CBilinearTable();
    if (skip)
        m_table.Build(m_orbit, view.MaxOffset());
    m_pixels.assign(size_t(view.width) * view.height, DeepPixel{});
    m_nextRow.store(0);
}

DeepPixel CDeepRender::Iterate(const ComplexExp& dc) const
{
    const uint32_t limit = m_view.limit;
    const uint32_t last = m_orbit.Last();
    const FloatExp epsilonSquared = FloatExp::FromDouble(CBilinearTable::kEpsilon * CBilinearTable::kEpsilon);
    Walk p;
    p.Rescale(dc, dc);
    for (;;)
    {
        if (p.n >= limit)
            return {limit, 0.0};
        const bool wide = p.s < kWideBelow && m_orbit.IsTiny(p.m);
        // Where the pixel stands: z = Z_m + dz.
        if (wide)
        {
            const ComplexExp dz = p.Dz();
            const ComplexExp z = m_orbit.Exact(p.m) + dz;
            if (z.Norm() < dz.Norm() || p.m == last)
            {
                p.Rescale(z, dc);
                p.m = 0;
            }
        }
        else
        {
            const double zr = m_orbit.Re(p.m) + p.sd * p.wr;
            const double zi = m_orbit.Im(p.m) + p.sd * p.wi;
            const double zz = zr * zr + zi * zi;
            if (!(zz <= 4.0))
            {
                const double cr = m_orbit.CentreRe() + dc.Re();
                const double ci = m_orbit.CentreIm() + dc.Im();
                return {p.n, EscapeTail(zr, zi, cr, ci, p.n)};
            }
            const double ww = p.wr * p.wr + p.wi * p.wi;
            if (zz < p.sd * p.sd * ww || p.m == last)
            {
                p.Rescale(m_orbit.Exact(p.m) + p.Dz(), dc);
                p.m = 0;
            }
            else if (ww > kBandHigh || (ww < kBandLow && ww != 0.0))
                p.Rescale(p.Dz(), dc);
        }

        // Runs start only at steps 1 + k × 16.
        if (m_skip && ((p.m - 1) & kRunAlign) == 0)
        {
            // Cheap refusal first: no run is valid where a single step is not.
            const FloatExp dzSquared = FloatExp::Make(p.wr * p.wr + p.wi * p.wi, 2 * p.s);
            if (dzSquared < FloatExp::FromDouble(m_orbit.Norm(p.m)) * epsilonSquared)
            {
                uint32_t length = 0;
                const BilinearStep* run = m_table.Find(p.m, Sqrt(dzSquared), limit - p.n, length);
                if (run)
                {
                    p.Rescale(run->a * p.Dz() + run->b * dc, dc);
                    p.m += length;
                    p.n += length;
                    continue;
                }
            }
        }

        if (p.s < kWideBelow && m_orbit.IsTiny(p.m))
        {
            // dz ← 2 Z dz + dz² + dc without underflow.
            const ComplexExp dz = p.Dz();
            ComplexExp twoZ = m_orbit.Exact(p.m);
            ++twoZ.e;
            p.Rescale(twoZ * dz + dz * dz + dc, dc);
        }
        else
        {
            const double zr = m_orbit.Re(p.m);
            const double zi = m_orbit.Im(p.m);
            const double wr = p.wr;
            const double wi = p.wi;
            p.wr = 2.0 * (zr * wr - zi * wi) + p.sd * (wr * wr - wi * wi) + p.dr;
            p.wi = 2.0 * (zr * wi + zi * wr) + p.sd * (2.0 * wr * wi) + p.di;
        }
        ++p.m;
        ++p.n;
    }
}

void CDeepRender::RenderRows()
{
    const uint32_t rows = m_view.height;
    for (uint32_t row = m_nextRow.fetch_add(1); row < rows; row = m_nextRow.fetch_add(1))
        for (uint32_t col = 0; col < m_view.width; ++col)
            m_pixels[size_t(row) * m_view.width + col] = Iterate(m_view.Offset(col, row));
}

float CDeepRender::Progress() const
{
    if (m_view.height == 0)
        return 0.0f;
    const float share = static_cast<float>(m_nextRow.load()) / static_cast<float>(m_view.height);
    return share < 1.0f ? share : 1.0f;
}
