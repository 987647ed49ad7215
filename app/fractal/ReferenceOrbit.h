// The orbit of a deep view's centre, Z ← Z² + C from Z = 0, iterated in
// MPFR at the view's precision and kept as doubles with |Z|² beside them.
// Values below a double's comfortable range (parts under 2^-500: Z₀ = 0,
// and the near-returns of an orbit close to a mini-set's nucleus) are kept
// exactly as well, for the few steps the perturbation takes them through
// the wide-exponent type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fractal/FloatExp.h"

class CReferenceOrbit
{
public:
    // Below this (in both parts) a stored Z counts as tiny.
    static constexpr double kTiny = 0x1p-500;

    // Iterates until |Z| > 2 or Z_limit is stored, whichever comes first.
    // `re` and `im` have passed IsRealText.
    void Compute(const std::string& re, const std::string& im, unsigned bits, uint32_t limit);

    // Index of the last stored Z: the reference ends there.
    uint32_t Last() const { return static_cast<uint32_t>(m_pairs.size() / 2 - 1); }
    double Re(uint32_t m) const { return m_pairs[2 * size_t(m)]; }
    double Im(uint32_t m) const { return m_pairs[2 * size_t(m) + 1]; }
    double Norm(uint32_t m) const { return m_norm[m]; }
    // Z_m as (re, im) side by side, for the vector lanes' loads.
    const double* PairData() const { return m_pairs.data(); }
    bool IsTiny(uint32_t m) const { return std::fabs(Re(m)) < kTiny && std::fabs(Im(m)) < kTiny; }
    // Z_m without underflow.
    ComplexExp Exact(uint32_t m) const;
    // C as doubles, for the smooth tail.
    double CentreRe() const { return m_centreRe; }
    double CentreIm() const { return m_centreIm; }

private:
    std::vector<double> m_norm;
    // Z_m as re, im side by side.
    std::vector<double> m_pairs;
    // The tiny values by index, in order.
    std::vector<uint32_t> m_tinyIndex;
    std::vector<ComplexExp> m_tinyValue;
    double m_centreRe = 0.0;
    double m_centreIm = 0.0;
};
