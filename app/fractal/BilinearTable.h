// Skipping iterations: along the reference orbit, a run of perturbation
// steps dz ← 2 Z dz + dz² + dc is linear in dz and dc while |dz| stays small
// next to |Z| (dz² below a double's rounding of 2 Z dz), so the whole run is
// one step dz ← A dz + B dc, valid while |dz| < R at its start. Runs of 16,
// 32, 64, … steps are kept as a tree of merged steps; a pixel takes the
// longest run that starts where it stands and is valid for its dz.
#pragma once

#include <cstdint>
#include <vector>

#include "fractal/FloatExp.h"

class CReferenceOrbit;

struct BilinearStep
{
    ComplexExp a;
    ComplexExp b;
    FloatExp radius;
};

class CBilinearTable
{
public:
    // The shortest run kept is 2^kFirstLevel steps; shorter ones save less
    // than their look-up costs.
    static constexpr unsigned kFirstLevel = 4;
    // dz² is dropped while |dz| < kEpsilon × |Z|: below the rounding of the
    // linear term.
    static constexpr double kEpsilon = 0x1p-53;

    // Runs along [1, orbit.Last()); maxOffset bounds |dc| over the image.
    void Build(const CReferenceOrbit& orbit, FloatExp maxOffset);

    // The longest run starting at reference step m, of at most `room`
    // steps, valid for |dz| = dzAbs; null when none is. Its length goes to
    // `length`.
    const BilinearStep* Find(uint32_t m, FloatExp dzAbs, uint32_t room, uint32_t& length) const;
    // The single step at m, as the runs are built from.
    static BilinearStep Single(const CReferenceOrbit& orbit, uint32_t m);
    // x then y.
    static BilinearStep Merge(const BilinearStep& x, const BilinearStep& y, FloatExp maxOffset);

private:
    // m_levels[k] holds runs of 2^(k + kFirstLevel) steps, the i-th starting
    // at step 1 + i × 2^(k + kFirstLevel).
    std::vector<std::vector<BilinearStep>> m_levels;
};
