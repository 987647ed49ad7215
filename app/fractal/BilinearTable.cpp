#include "fractal/BilinearTable.h"

#include <algorithm>
#include <cmath>

#include "fractal/ReferenceOrbit.h"

BilinearStep CBilinearTable::Single(const CReferenceOrbit& orbit, uint32_t m)
{
    ComplexExp z = orbit.Exact(m);
    const FloatExp size = z.Abs();
    ++z.e; // 2 Z
    // The pixel must not leave the circle inside a run, where nobody looks:
    // the radius also keeps |Z + dz| within 2.
    const double room = std::max(0.0, 2.0 - std::sqrt(orbit.Norm(m)));
    FloatExp radius = size * FloatExp::FromDouble(kEpsilon);
    radius = std::min(radius, FloatExp::FromDouble(room), [](FloatExp a, FloatExp b) { return a < b; });
    return {z, ComplexExp::Make(1.0, 0.0, 0), radius};
}

BilinearStep CBilinearTable::Merge(const BilinearStep& x, const BilinearStep& y, FloatExp maxOffset)
{
    BilinearStep merged;
    merged.a = y.a * x.a;
    merged.b = y.a * x.b + y.b;
    // y's radius must hold for dz after x: |A_x| |dz| + |B_x| |dc| < R_y.
    const FloatExp scaleA = x.a.Abs();
    const FloatExp left = y.radius - x.b.Abs() * maxOffset;
    if (scaleA.IsZero() || !(left.m > 0.0))
        merged.radius = {};
    else
        merged.radius = std::min(x.radius, left / scaleA, [](FloatExp a, FloatExp b) { return a < b; });
    return merged;
}

void CBilinearTable::Build(const CReferenceOrbit& orbit, FloatExp maxOffset)
{
    m_levels.clear();
    const uint32_t first = 1u << kFirstLevel;
    const uint32_t steps = orbit.Last() > 1 ? orbit.Last() - 1 : 0;
    std::vector<BilinearStep> level;
    level.reserve(steps / first);
    for (uint32_t start = 1; start + first <= 1 + steps; start += first)
    {
        BilinearStep run = Single(orbit, start);
        for (uint32_t m = start + 1; m < start + first; ++m)
            run = Merge(run, Single(orbit, m), maxOffset);
        level.push_back(run);
    }
    while (!level.empty())
    {
        std::vector<BilinearStep> next;
        next.reserve(level.size() / 2);
        for (size_t i = 0; i + 1 < level.size(); i += 2)
            next.push_back(Merge(level[i], level[i + 1], maxOffset));
        m_levels.push_back(std::move(level));
        level = std::move(next);
    }
}

const BilinearStep* CBilinearTable::Find(uint32_t m, FloatExp dzAbs, uint32_t room,
                                         uint32_t& length) const
{
    if (m == 0)
        return nullptr;
    // Runs of 2^k steps start where m - 1 has k trailing zero bits or more.
    const unsigned aligned = m == 1 ? 63u : static_cast<unsigned>(__builtin_ctz(m - 1));
    if (aligned < kFirstLevel || m_levels.empty())
        return nullptr;
    for (size_t k = std::min<size_t>(m_levels.size(), aligned - kFirstLevel + 1); k-- > 0;)
    {
        const unsigned shift = static_cast<unsigned>(k) + kFirstLevel;
        const uint64_t runLength = uint64_t(1) << shift;
        if (runLength > room)
            continue;
        const uint64_t index = (m - 1) >> shift;
        if (index >= m_levels[k].size())
            continue;
        const BilinearStep& run = m_levels[k][index];
        if (dzAbs < run.radius)
        {
            length = static_cast<uint32_t>(runLength);
            return &run;
        }
    }
    return nullptr;
}
