// Deep views by perturbation: one reference orbit at the centre in MPFR,
// and every pixel iterated as its difference dz from that orbit in doubles.
//
// - Rebasing: when the pixel's full value Z + dz gets smaller than dz, or
//   the reference ends, the pixel goes on from its full value against the
//   start of the reference (Z₀ = 0). No secondary references.
// - Rescaling: dz is kept as w · 2^s with |w| near 1 and s any 64-bit
//   exponent, so differences far below 1e-308 still iterate in doubles;
//   w is renormalised when it leaves [2^-32, 2^32]. Where the reference
//   itself is tiny and dz too small for a double, that one step goes through
//   the wide-exponent type.
// - Skipping: runs of linear steps from CBilinearTable, unless switched off.
//
// The escape count follows EscapeValue's (n steps after z = c, inside at
// the limit) and the smooth value comes from the pixel's full final z.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "fractal/BilinearTable.h"
#include "fractal/DeepView.h"
#include "fractal/ReferenceOrbit.h"

// One pixel's outcome: steps as EscapeValue counts them (the limit for a
// point taken as inside) and the smooth value (0 inside).
struct DeepPixel
{
    uint32_t steps = 0;
    double value = 0.0;
};

class CDeepRender
{
public:
    // Computes the reference orbit (the slow part, on the calling thread)
    // and, when `skip`, the table of linear runs; zeroes the row counter.
    void Prepare(const DeepView& view, bool skip);

    // One pixel, from c − centre.
    DeepPixel Iterate(const ComplexExp& offset) const;

    // Worker side, as CFractal's: rows from one counter until none is left.
    // Any number of threads may run it at once.
    void RenderRows();
    float Progress() const;

    const DeepView& GetView() const { return m_view; }
    const CReferenceOrbit& GetOrbit() const { return m_orbit; }
    // Results of the last render, row by row from the bottom.
    const DeepPixel& At(uint32_t col, uint32_t row) const
    {
        return m_pixels[size_t(row) * m_view.width + col];
    }

private:
    DeepView m_view;
    CReferenceOrbit m_orbit;
    CBilinearTable m_table;
    bool m_skip = false;
    std::vector<DeepPixel> m_pixels;
    std::atomic<uint32_t> m_nextRow{0};
};
