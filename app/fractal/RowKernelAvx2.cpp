// AVX2 row kernel: four vectors of four pixels stepped together, so the
// multiply-add chains of one hide the latency of the others. Plain multiplies
// and adds only (no FMA), each rounded as in EscapeValue.
//
// Lanes are not masked step by step: every lane keeps iterating, and a lane's
// z and step count are taken at the step it leaves the circle (once |z| > 2
// with |c| <= 2 it only grows, and only the first leaving counts anyway).
// A vector whose four pixels are all done takes the next four of the row,
// so one slow pixel holds up three others rather than fifteen. The hot loop
// asks one cheap question per vector and step (did a lane leave, or is its
// real part back at the saved one?) and sorts out the answer off the hot path.
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
    [[gnu::always_inline]] inline void Load(int v, __m256d& zr, __m256d& zi, __m256d& diff);
    [[gnu::always_inline]] inline uint64_t NextEvent() const;
    [[gnu::always_inline]] inline void Retire(uint32_t flagged, const __m256d* zr,
                                              const __m256d* zi);
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
    uint32_t m_pixel[kLanes];
    // Per vector: the step it was loaded at, and when to save z next.
    uint64_t m_loadedAt[kVectors];
    uint64_t m_nextSave[kVectors];

    uint32_t m_inside = 0; // one bit per lane still iterating
    uint32_t m_nextPixel = 0;
    uint64_t m_k = 0;
    uint32_t m_waiting = 0;

    PendingTails& pending;
};

// Loads the next pixels of the row into vector v (a vector in which no
// pixel stays inside takes the next four). Unused lanes get c = 4, which is
// outside and never counted.
void RowWalk::Load(int v, __m256d& zr, __m256d& zi, __m256d& diff)
{
    uint32_t bits = 0;
    while (bits == 0 && m_nextPixel < m_count)
    {
        for (int lane = 0; lane < 4; ++lane)
        {
            const int l = 4 * v + lane;
            if (m_nextPixel >= m_count)
            {
                m_cr[l] = 4.0;
                continue;
            }
            const uint32_t p = m_nextPixel++;
            const double c = static_cast<double>(m_x0 + static_cast<int32_t>(p)) * m_stepRe +
                             m_centreRe;
            m_cr[l] = c;
            m_pixel[l] = p;
            // Ordered: a not-a-number modulus counts as escaped.
            if (c * c + m_ci * m_ci <= 4.0)
                bits |= 1u << lane;
            else
                Escaped(p, c, m_ci, c, 0);
        }
    }
    if (bits == 0)
    {
        for (int lane = 0; lane < 4; ++lane)
            m_cr[4 * v + lane] = 4.0;
    }
    zr = _mm256_load_pd(m_cr + 4 * v);
    zi = _mm256_set1_pd(m_ci);
    diff = _mm256_sub_pd(_mm256_mul_pd(zr, zr), _mm256_mul_pd(zi, zi));
    _mm256_store_pd(m_savedZr + 4 * v, zr);
    _mm256_store_pd(m_savedZi + 4 * v, zi);
    m_loadedAt[v] = m_k;
    m_nextSave[v] = bits ? m_k + 1 : kNever;
    m_inside = (m_inside & ~(0xFu << (4 * v))) | (bits << (4 * v));
}

// The next step at which some vector reaches the limit or saves z.
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

// Sorts out the lanes the hot loop flagged: a lane that left the circle is
// done (at the limit it counts as inside), a lane back at its saved z is
// inside for ever, and one whose real part only happened to match goes on.
void RowWalk::Retire(uint32_t flagged, const __m256d* zr, const __m256d* zi)
{
    alignas(32) double laneZr[kLanes], laneZi[kLanes];
#pragma GCC unroll 4
    for (int v = 0; v < kVectors; ++v)
    {
        _mm256_store_pd(laneZr + 4 * v, zr[v]);
        _mm256_store_pd(laneZi + 4 * v, zi[v]);
    }
    for (uint32_t bits = flagged; bits != 0; bits &= bits - 1)
    {
        const int l = __builtin_ctz(bits);
        const double lzr = laneZr[l];
        const double lzi = laneZi[l];
        // The same two products and sum as the vector lane computed.
        if (!(lzr * lzr + lzi * lzi <= 4.0))
        {
            // Steps below the limit stay below 2^32.
            const uint32_t n = static_cast<uint32_t>(m_k - m_loadedAt[l / 4]);
            if (n == m_limit)
                m_out[m_pixel[l]] = 0.0;
            else
                Escaped(m_pixel[l], lzr, lzi, m_cr[l], n);
        }
        else if (lzi == m_savedZi[l])
        {
            // Equal doubles step to equal doubles, so a lane back at a
            // value it had, all of them inside, stays inside for ever: it
            // counts as reaching the limit.
            m_out[m_pixel[l]] = 0.0;
        }
        else
        {
            continue;
        }
        m_inside &= ~(1u << l);
    }
}

// At an event step: vectors at the limit are done, inside; vectors due to
// save z do so.
void RowWalk::OnEvent(const __m256d* zr, const __m256d* zi)
{
#pragma GCC unroll 4
    for (int v = 0; v < kVectors; ++v)
    {
        const uint32_t mask = 0xFu << (4 * v);
        if ((m_inside & mask) == 0)
            continue;
        if (m_k - m_loadedAt[v] == m_limit)
        {
            for (int l = 4 * v; l < 4 * v + 4; ++l)
                if (m_inside & (1u << l))
                    m_out[m_pixel[l]] = 0.0;
            m_inside &= ~mask;
        }
        else if (m_k == m_nextSave[v])
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
    const __m256d vci = _mm256_set1_pd(m_ci);
    __m256d zr[kVectors], zi[kVectors], diff[kVectors];

#pragma GCC unroll 4
    for (int v = 0; v < kVectors; ++v)
        Load(v, zr[v], zi[v], diff[v]);
    uint64_t event = NextEvent();
    // The hot loop's own copies, in registers; the rare steps see the members.
    uint64_t k = m_k;
    uint32_t inside = m_inside;

    while (inside != 0)
    {
        ++k;
        // One mask per vector: lanes that left the circle or whose real part
        // is back at the saved one.
        uint32_t flagged = 0;
#pragma GCC unroll 4
        for (int v = 0; v < kVectors; ++v)
        {
            // zr + zr is 2.0 * zr exactly, overflow included.
            const __m256d nextIm =
                _mm256_add_pd(_mm256_mul_pd(_mm256_add_pd(zr[v], zr[v]), zi[v]), vci);
            zr[v] = _mm256_add_pd(diff[v], _mm256_load_pd(m_cr + 4 * v));
            zi[v] = nextIm;
            // The squares serve both the modulus and the next step's real part.
            const __m256d zr2 = _mm256_mul_pd(zr[v], zr[v]);
            const __m256d zi2 = _mm256_mul_pd(zi[v], zi[v]);
            diff[v] = _mm256_sub_pd(zr2, zi2);
            const __m256d modulus = _mm256_add_pd(zr2, zi2);
            // Unordered: a not-a-number modulus counts as having left.
            const __m256d flag =
                _mm256_or_pd(_mm256_cmp_pd(modulus, four, _CMP_NLE_UQ),
                             _mm256_cmp_pd(zr[v], _mm256_load_pd(m_savedZr + 4 * v), _CMP_EQ_OQ));
            flagged |= static_cast<uint32_t>(_mm256_movemask_pd(flag)) << (4 * v);
        }
        flagged &= inside;
        if (flagged == 0 && k != event)
            continue;

        m_k = k;
        if (flagged != 0)
            Retire(flagged, zr, zi);
        if (k == event)
            OnEvent(zr, zi);

#pragma GCC unroll 4
        for (int v = 0; v < kVectors; ++v)
            if ((m_inside & (0xFu << (4 * v))) == 0 && m_nextPixel < m_count)
                Load(v, zr[v], zi[v], diff[v]);
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
}
