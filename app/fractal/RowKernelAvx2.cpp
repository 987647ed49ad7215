// AVX2 row kernel: four vectors of four pixels stepped together, so the
// multiply-add chains of one hide the latency of the others. Plain multiplies
// and adds only (no FMA), each rounded as in EscapeValue.
//
// Lanes are not masked step by step: every lane keeps iterating, and a lane's
// z and step count are taken at the step it leaves the circle. A vector
// whose four pixels are all done takes the next four of the row, so one slow
// pixel holds up three others rather than fifteen.
//
// The hot loop takes four steps a pass and asks one cheap question per
// vector and pass: is a lane outside the circle at the pass's third step, or
// back at its saved z after the fourth? With |c|² <= kRimSquared, once |z| >
// 2, |z² + c| > 2 by a margin no rounding can close, so a lane that left at
// any earlier step is still out at the third, and one that leaves at the
// fourth is caught in the next pass. The z a pass starts from is kept, so
// the answer is sorted out exactly off the hot path, the pass redone from it.
// Pixels beyond that rim, a thin ring, go through the portable path whole.
#include <algorithm>
#include <cstdint>
#include <vector>

#include <immintrin.h>

#include "fractal/Escape.h"
#include "fractal/detail/RowKernelPaths.h"

namespace
{

constexpr int kVectors = 4;
constexpr int kLanes = 4 * kVectors;
constexpr uint64_t kNever = ~uint64_t(0);
constexpr uint64_t kStepsPerPass = 4;
// The first save of z after c itself. Every save is a trip off the hot path,
// and most orbits leave or settle long after their first few steps, so
// saving at 4, 8 and 16 only cost time. A multiple of kStepsPerPass, as the
// saves must fall at the ends of passes.
constexpr uint64_t kFirstSave = 32;
// |c|² at most this (|c| < 1.975): z² + c then stays out once |z| > 2, with
// room to spare for the few rounding errors of one step.
constexpr double kRimSquared = 3.9;

// Escaped points of one row, by field; sized in fours for the vector pass.
struct PendingTails
{
    std::vector<double> zr, zi, cr;
    std::vector<uint32_t> n, pixel;

    void Reserve(uint32_t count)
    {
        const size_t size = (size_t(count) + 3) & ~size_t(3);
        if (zr.size() >= size)
            return;
        zr.resize(size);
        zi.resize(size);
        cr.resize(size);
        n.resize(size);
        pixel.resize(size);
    }
};

// Escaped points wait here for their smooth values, worked out after the
// row in one pass the processor can overlap, four at a time up to the
// logarithms. Per thread, so that rows on other workers never meet.
PendingTails& ThreadTails()
{
    thread_local PendingTails tails;
    return tails;
}

// One row's walk. The hot loop keeps z in registers; everything a lane needs
// off the hot path (its c, its saved z, its pixel, when it was loaded) is
// here, and so are the rare steps: loading pixels, retiring lanes, the
// events at the limit and at a save, and the smooth tails after the row.
class RowWalk
{
public:
    // ci is the row's imaginary part, the same double EscapeValue forms.
    RowWalk(double* out, int32_t x0, uint32_t count, uint32_t limit, double centreRe,
            double stepRe, double ci, PendingTails& tails)
        : m_out(out), m_x0(x0), m_count(count), m_limit(limit), m_centreRe(centreRe),
          m_stepRe(stepRe), m_ci(ci), pending(tails)
    {
    }

    // Returns how many escaped points wait in Tails() for their values.
    [[gnu::always_inline]] inline uint32_t Run();
    // Vector steps and live lane steps this walk executed.
    KernelWork Work() const { return {uint64_t(kVectors) * m_k, m_liveSteps}; }

private:
    [[gnu::always_inline]] void Escaped(uint32_t p, double zr, double zi, double cr, uint32_t n)
    {
        pending.zr[m_waiting] = zr;
        pending.zi[m_waiting] = zi;
        pending.cr[m_waiting] = cr;
        pending.n[m_waiting] = n;
        pending.pixel[m_waiting] = p;
        ++m_waiting;
    }

    // Inlined into Run: out of line, they would take the addresses of the
    // vectors and keep z out of registers in the hot loop.
    [[gnu::always_inline]] inline void Load(int v, __m256d& zr, __m256d& zi);
    [[gnu::always_inline]] inline uint64_t NextEvent() const;
    [[gnu::always_inline]] inline void Retire(uint32_t flagged);
    // A lane that left the circle after n steps with z = (zr, zi).
    [[gnu::always_inline]] inline void Left(int l, uint64_t n, double zr, double zi);
    [[gnu::always_inline]] inline void OnEvent(const __m256d* zr, const __m256d* zi);

    double* const m_out;
    const int32_t m_x0;
    const uint32_t m_count;
    const uint32_t m_limit;
    const double m_centreRe;
    const double m_stepRe;
    const double m_ci;

    // Lane state the hot loop reads from memory; z lives in registers.
    alignas(32) double m_cr[kLanes];
    alignas(32) double m_savedZr[kLanes];
    alignas(32) double m_savedZi[kLanes];
    // The z the last pass started from.
    alignas(32) double m_passZr[kLanes];
    alignas(32) double m_passZi[kLanes];
    uint32_t m_pixel[kLanes];
    // Per vector: the step it was loaded at, and when to save z next.
    uint64_t m_loadedAt[kVectors];
    uint64_t m_nextSave[kVectors];

    uint32_t m_inside = 0; // one bit per lane still iterating
    uint32_t m_nextPixel = 0;
    uint64_t m_k = 0;
    uint32_t m_waiting = 0;
    uint64_t m_liveSteps = 0;

    PendingTails& pending;
};

// Loads the next pixels of the row into vector v (a vector in which no
// pixel stays inside takes the next four). Unused lanes get c = 4, which is
// outside and never counted.
void RowWalk::Load(int v, __m256d& zr, __m256d& zi)
{
    uint32_t bits = 0;
    // Most often all four next pixels are inside the rim: their c and the
    // test four at a time, the same operations as one by one below.
    if (m_count - m_nextPixel >= 4)
    {
        const __m256d c = _mm256_add_pd(
            _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_add_epi32(
                              _mm_set1_epi32(m_x0 + static_cast<int32_t>(m_nextPixel)),
                              _mm_setr_epi32(0, 1, 2, 3))),
                          _mm256_set1_pd(m_stepRe)),
            _mm256_set1_pd(m_centreRe));
        const __m256d modulus = _mm256_add_pd(_mm256_mul_pd(c, c), _mm256_set1_pd(m_ci * m_ci));
        if (_mm256_movemask_pd(_mm256_cmp_pd(modulus, _mm256_set1_pd(kRimSquared), _CMP_LE_OQ)) ==
            0xF)
        {
            _mm256_store_pd(m_cr + 4 * v, c);
            for (int lane = 0; lane < 4; ++lane)
                m_pixel[4 * v + lane] = m_nextPixel + static_cast<uint32_t>(lane);
            m_nextPixel += 4;
            bits = 0xF;
        }
    }
    while (bits == 0 && m_nextPixel < m_count)
    {
        for (int lane = 0; lane < 4; ++lane)
        {
            const int l = 4 * v + lane;
            m_cr[l] = 4.0;
            if (m_nextPixel >= m_count)
                continue;
            const uint32_t p = m_nextPixel++;
            const double c = static_cast<double>(m_x0 + static_cast<int32_t>(p)) * m_stepRe +
                             m_centreRe;
            const double modulus = c * c + m_ci * m_ci;
            // Ordered: a not-a-number modulus counts as escaped.
            if (modulus <= kRimSquared)
            {
                m_cr[l] = c;
                m_pixel[l] = p;
                bits |= 1u << lane;
            }
            else if (modulus <= 4.0)
                m_out[p] = fractal_detail::EscapeValueWithRepeats(c, m_ci, m_limit);
            else
                Escaped(p, c, m_ci, c, 0);
        }
    }
    zr = _mm256_load_pd(m_cr + 4 * v);
    zi = _mm256_set1_pd(m_ci);
    _mm256_store_pd(m_savedZr + 4 * v, zr);
    _mm256_store_pd(m_savedZi + 4 * v, zi);
    m_loadedAt[v] = m_k;
    m_nextSave[v] = bits ? m_k + kFirstSave : kNever;
    m_inside = (m_inside & ~(0xFu << (4 * v))) | (bits << (4 * v));
}

// The first step at which some vector reaches the limit or saves z; it is
// handled at the end of the pass that reaches it.
uint64_t RowWalk::NextEvent() const
{
    uint64_t next = kNever;
    for (int v = 0; v < kVectors; ++v)
    {
        if (((m_inside >> (4 * v)) & 0xFu) == 0)
            continue;
        next = std::min(next, std::min(m_loadedAt[v] + m_limit, m_nextSave[v]));
    }
    return next;
}

void RowWalk::Left(int l, uint64_t n, double zr, double zi)
{
    m_liveSteps += n;
    // Leaving at the limit or later (the pass may overshoot it) is staying
    // inside, as in EscapeValue.
    if (n >= m_limit)
        m_out[m_pixel[l]] = 0.0;
    else
        Escaped(m_pixel[l], zr, zi, m_cr[l], static_cast<uint32_t>(n));
}

// Sorts out the lanes the hot loop flagged, with the z their pass started
// from: a lane that left the circle at a step the pass looked at is done; a
// lane back at its saved z is inside for ever.
void RowWalk::Retire(uint32_t flagged)
{
    for (uint32_t bits = flagged; bits != 0; bits &= bits - 1)
    {
        const int l = __builtin_ctz(bits);
        const uint64_t n = m_k - kStepsPerPass - m_loadedAt[l / 4];
        double zr = m_passZr[l];
        double zi = m_passZi[l];
        // The very operations the vector lane ran, so the same doubles; the
        // pass's flag covers every z but its last.
        uint64_t s = 0;
        while (s < kStepsPerPass && zr * zr + zi * zi <= 4.0)
        {
            const double nextRe = (zr * zr - zi * zi) + m_cr[l];
            zi = (zr * 2.0) * zi + m_ci;
            zr = nextRe;
            ++s;
        }
        if (s < kStepsPerPass)
        {
            Left(l, n + s, zr, zi);
        }
        else
        {
            // Not out, so flagged for being back at its saved z, both parts.
            // Equal doubles step to equal doubles, so a lane back at a value
            // it had, all of them inside, stays inside for ever: it counts as
            // reaching the limit.
            m_out[m_pixel[l]] = 0.0;
            m_liveSteps += n + kStepsPerPass;
        }
        m_inside &= ~(1u << l);
    }
}

// At the end of a pass that reached an event: vectors at or past the limit
// are done, inside (Retire has taken out the lanes that left before it);
// vectors due to save z do so.
void RowWalk::OnEvent(const __m256d* zr, const __m256d* zi)
{
#pragma GCC unroll 8
    for (int v = 0; v < kVectors; ++v)
    {
        const uint32_t mask = 0xFu << (4 * v);
        if ((m_inside & mask) == 0)
            continue;
        if (m_k - m_loadedAt[v] >= m_limit)
        {
            for (int l = 4 * v; l < 4 * v + 4; ++l)
                if (m_inside & (1u << l))
                {
                    m_out[m_pixel[l]] = 0.0;
                    m_liveSteps += m_limit;
                }
            m_inside &= ~mask;
        }
        else if (m_k >= m_nextSave[v])
        {
            // Brent's doubling: a cycle of any length is caught once the gap
            // between saves outgrows it.
            _mm256_store_pd(m_savedZr + 4 * v, zr[v]);
            _mm256_store_pd(m_savedZi + 4 * v, zi[v]);
            m_nextSave[v] = m_k + (m_k - m_loadedAt[v]);
        }
    }
}

uint32_t RowWalk::Run()
{
    const __m256d four = _mm256_set1_pd(4.0);
    // Opaque to the compiler, which would turn 2.0 * zr back into zr + zr:
    // the same double either way, but the multipliers have room to spare.
    __m256d two = _mm256_set1_pd(2.0);
    asm("" : "+x"(two));
    const __m256d vci = _mm256_set1_pd(m_ci);
    __m256d zr[kVectors], zi[kVectors];

#pragma GCC unroll 8
    for (int v = 0; v < kVectors; ++v)
        Load(v, zr[v], zi[v]);
    uint64_t event = NextEvent();
    // The hot loop's own copies, in registers; the rare steps see the members.
    uint64_t k = m_k;
    uint32_t inside = m_inside;

    while (inside != 0)
    {
        k += kStepsPerPass;
        // Step by step across the vectors, so that the out-of-order core
        // finds the independent chains side by side (vector by vector, four
        // steps each, it did not look far enough ahead).
#pragma GCC unroll 8
        for (int v = 0; v < kVectors; ++v)
        {
            _mm256_store_pd(m_passZr + 4 * v, zr[v]);
            _mm256_store_pd(m_passZi + 4 * v, zi[v]);
        }
#pragma GCC unroll 8
        for (uint64_t s = 1; s < kStepsPerPass; ++s)
#pragma GCC unroll 8
            for (int v = 0; v < kVectors; ++v)
            {
                const __m256d zrSquared = _mm256_mul_pd(zr[v], zr[v]);
                const __m256d ziSquared = _mm256_mul_pd(zi[v], zi[v]);
                zi[v] = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(zr[v], two), zi[v]), vci);
                zr[v] = _mm256_add_pd(_mm256_sub_pd(zrSquared, ziSquared),
                                      _mm256_load_pd(m_cr + 4 * v));
            }
        // One mask per vector: lanes out at the third step (the last step's
        // squares serve the modulus too) or back at the saved z after it.
        uint32_t flagged = 0;
#pragma GCC unroll 8
        for (int v = 0; v < kVectors; ++v)
        {
            const __m256d zrSquared = _mm256_mul_pd(zr[v], zr[v]);
            const __m256d ziSquared = _mm256_mul_pd(zi[v], zi[v]);
            const __m256d modulus = _mm256_add_pd(zrSquared, ziSquared);
            zi[v] = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(zr[v], two), zi[v]), vci);
            zr[v] = _mm256_add_pd(_mm256_sub_pd(zrSquared, ziSquared), _mm256_load_pd(m_cr + 4 * v));
            // Unordered: a not-a-number modulus counts as having left.
            // Both parts: the real part alone often settles steps before the
            // imaginary one, and each such pass was a needless trip.
            const __m256d back =
                _mm256_and_pd(_mm256_cmp_pd(zr[v], _mm256_load_pd(m_savedZr + 4 * v), _CMP_EQ_OQ),
                              _mm256_cmp_pd(zi[v], _mm256_load_pd(m_savedZi + 4 * v), _CMP_EQ_OQ));
            const __m256d flag = _mm256_or_pd(_mm256_cmp_pd(modulus, four, _CMP_NLE_UQ), back);
            flagged |= static_cast<uint32_t>(_mm256_movemask_pd(flag)) << (4 * v);
        }
        flagged &= inside;
        if (flagged == 0 && k < event)
            continue;

        m_k = k;
        if (flagged != 0)
            Retire(flagged);
        if (k >= event)
            OnEvent(zr, zi);

#pragma GCC unroll 8
        for (int v = 0; v < kVectors; ++v)
            if ((m_inside & (0xFu << (4 * v))) == 0 && m_nextPixel < m_count)
                Load(v, zr[v], zi[v]);
        event = NextEvent();
        inside = m_inside;
    }
    return m_waiting;
}

// EscapeModulus on four points at a time, the same operations in the same
// order (the square root is correctly rounded either way); the logarithms
// stay scalar, the very calls EscapeValue makes.
void FinishTails(double* out, PendingTails& pending, uint32_t waiting, double ci)
{
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d vci = _mm256_set1_pd(ci);
    for (uint32_t i = waiting; i % 4 != 0; ++i)
        pending.zr[i] = pending.zi[i] = pending.cr[i] = 0.0;
    for (uint32_t i = 0; i < waiting; i += 4)
    {
        __m256d tzr = _mm256_loadu_pd(&pending.zr[i]);
        __m256d tzi = _mm256_loadu_pd(&pending.zi[i]);
        const __m256d tcr = _mm256_loadu_pd(&pending.cr[i]);
        for (int extra = 0; extra < 2; ++extra)
        {
            const __m256d nextRe =
                _mm256_add_pd(_mm256_sub_pd(_mm256_mul_pd(tzr, tzr), _mm256_mul_pd(tzi, tzi)), tcr);
            tzi = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(two, tzr), tzi), vci);
            tzr = nextRe;
        }
        _mm256_storeu_pd(&pending.zr[i], _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(tzr, tzr),
                                                                      _mm256_mul_pd(tzi, tzi))));
    }
    for (uint32_t i = 0; i < waiting; ++i)
        out[pending.pixel[i]] = SmoothValue(pending.zr[i], pending.n[i]);
}

} // namespace

void fractal_detail::EscapeRowAvx2(double* out, int32_t x0, uint32_t count, int32_t y,
                                   uint32_t limit, double centreRe, double centreIm, double stepRe,
                                   double stepIm)
{
    if (limit == 0)
    {
        // No steps at all: every value is 0, whatever the point.
        for (uint32_t i = 0; i < count; ++i)
            out[i] = 0.0;
        return;
    }
    const double ci = static_cast<double>(y) * stepIm + centreIm;
    PendingTails& pending = ThreadTails();
    pending.Reserve(count);
    RowWalk walk(out, x0, count, limit, centreRe, stepRe, ci, pending);
    const uint32_t waiting = walk.Run();
    FinishTails(out, pending, waiting, ci);
    KernelWork& work = Avx2Work();
    work.vectorSteps += walk.Work().vectorSteps;
    work.liveLaneSteps += walk.Work().liveLaneSteps;
}

KernelWork& fractal_detail::Avx2Work()
{
    thread_local KernelWork work;
    return work;
}
