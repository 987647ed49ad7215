#include "fractal/DeepRender.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cmath>

#include "fractal/Escape.h"
#include "fractal/RowKernel.h"
#include "fractal/detail/DeepWalk.h"

using fractal_detail::DeepContext;
using fractal_detail::DeepWalk;

namespace
{

constexpr uint32_t kRunAlign = (1u << CBilinearTable::kFirstLevel) - 1;
// Runs need |dz| below 2^-53 |Z|: a view whose pixels lie further apart
// than this almost never gets there, and looking would only cost.
constexpr double kRunsBelowStep = 0x1p-40;

bool UseAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    return GetKernelPath() == KernelPath::Avx2;
#else
    return false;
#endif
}

} // namespace

bool fractal_detail::Settle(const DeepContext& context, DeepWalk& p, const ComplexExp& dc,
                            DeepPixel& out)
{
    const CReferenceOrbit& orbit = *context.orbit;
    const uint32_t last = orbit.Last();
    for (;;)
    {
        if (p.n >= context.limit)
        {
            out = {context.limit, 0.0};
            return true;
        }
        // Where the pixel stands: z = Z_m + dz.
        if (p.s < kWideBelow && orbit.IsTiny(p.m))
        {
            const ComplexExp dz = p.Dz();
            const ComplexExp z = orbit.Exact(p.m) + dz;
            if (z.Norm() < dz.Norm() || p.m == last)
            {
                p.Rescale(z, dc);
                p.m = 0;
            }
        }
        else
        {
            const double zr = orbit.Re(p.m) + p.sd * p.wr;
            const double zi = orbit.Im(p.m) + p.sd * p.wi;
            const double zz = zr * zr + zi * zi;
            if (!(zz <= 4.0))
            {
                const double cr = orbit.CentreRe() + dc.Re();
                const double ci = orbit.CentreIm() + dc.Im();
                out = {p.n, EscapeTail(zr, zi, cr, ci, p.n)};
                return true;
            }
            const double ww = p.wr * p.wr + p.wi * p.wi;
            if (p.m == last)
            {
                p.Rescale(orbit.Exact(p.m) + p.Dz(), dc);
                p.m = 0;
            }
            else if (zz < p.sd * p.sd * ww)
            {
                // dz holds bits here (2^s is above 2^-540, or sd² would
                // not have beaten zz), so z in doubles is exact enough, and
                // the vector lanes rebase with the same two multiplies.
                const double inverse = fractal_detail::InverseScale(p.s);
                p.wr = zr * inverse;
                p.wi = zi * inverse;
                p.m = 0;
            }
            else if (ww > kBandHigh || (ww < kBandLow && ww != 0.0))
                p.Rescale(p.Dz(), dc);
        }

        // Runs start only at steps 1 + k × 16.
        if (context.table && ((p.m - 1) & kRunAlign) == 0)
        {
            // Cheap refusal first: no run is valid where a single step is not.
            const FloatExp dzSquared = FloatExp::Make(p.wr * p.wr + p.wi * p.wi, 2 * p.s);
            const double epsilon = CBilinearTable::kEpsilon;
            if (dzSquared < FloatExp::FromDouble(orbit.Norm(p.m) * epsilon * epsilon))
            {
                uint32_t length = 0;
                const BilinearStep* run =
                    context.table->Find(p.m, Sqrt(dzSquared), context.limit - p.n, length);
                if (run)
                {
                    p.Rescale(run->a * p.Dz() + run->b * dc, dc);
                    p.m += length;
                    p.n += length;
                    continue;
                }
            }
        }

        if (!(p.s < kWideBelow && orbit.IsTiny(p.m)))
            return false;
        // dz ← 2 Z dz + dz² + dc without underflow.
        const ComplexExp dz = p.Dz();
        ComplexExp twoZ = orbit.Exact(p.m);
        ++twoZ.e;
        p.Rescale(twoZ * dz + dz * dz + dc, dc);
        ++p.m;
        ++p.n;
    }
}

void CDeepRender::Prepare(const DeepView& view, bool skip)
{
    // The vector lanes count steps in 32-bit signed integers.
    assert(view.limit <= uint32_t(INT32_MAX) && "CDeepRender::Prepare(): limit above 2^31 - 1");
    m_view = view;
    m_orbit.Compute(view.re, view.im, view.PrecisionBits(), view.limit);
    const FloatExp finest = std::min(view.StepRe(), view.StepIm(), [](FloatExp a, FloatExp b) { return a < b; });
    m_skip = skip && finest < FloatExp::FromDouble(kRunsBelowStep);
    m_table = CBilinearTable();
    if (m_skip)
        m_table.Build(m_orbit, view.MaxOffset());
    m_pixels.assign(size_t(view.width) * view.height, DeepPixel{});
    m_nextRow.store(0);
}

DeepPixel CDeepRender::Iterate(const ComplexExp& dc) const
{
    const DeepContext context{&m_orbit, m_skip ? &m_table : nullptr, m_view.limit};
    DeepWalk p;
    p.Rescale(dc, dc);
    DeepPixel out;
    while (!fractal_detail::Settle(context, p, dc, out))
        fractal_detail::PlainStep(p, m_orbit.Re(p.m), m_orbit.Im(p.m));
    return out;
}

void CDeepRender::RenderRows()
{
    const DeepContext context{&m_orbit, m_skip ? &m_table : nullptr, m_view.limit};
    [[maybe_unused]] const bool avx2 = UseAvx2();
    std::vector<ComplexExp> offsets(m_view.width);
    const FloatExp stepRe = m_view.StepRe(), stepIm = m_view.StepIm();
    for (uint32_t row = m_nextRow.fetch_add(1); row < m_view.height; row = m_nextRow.fetch_add(1))
    {
        DeepPixel* line = m_pixels.data() + size_t(row) * m_view.width;
        for (uint32_t col = 0; col < m_view.width; ++col)
            offsets[col] = m_view.Offset(col, row, stepRe, stepIm);
#if defined(__x86_64__) || defined(__i386__)
        if (avx2)
        {
            fractal_detail::IterateAvx2(context, offsets.data(), m_view.width, line);
            continue;
        }
#endif
        for (uint32_t col = 0; col < m_view.width; ++col)
            line[col] = Iterate(offsets[col]);
    }
}

float CDeepRender::Progress() const
{
    if (m_view.height == 0)
        return 0.0f;
    const float share = static_cast<float>(m_nextRow.load()) / static_cast<float>(m_view.height);
    return share < 1.0f ? share : 1.0f;
}
