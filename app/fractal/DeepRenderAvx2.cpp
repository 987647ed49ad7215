// The deep renderer's plain steps four pixels at a time. Each lane walks
// its own pixel along the reference (its own m, gathered); after every step
// the lanes ask, all at once, whether anything but another plain step is
// due (an escape, a rebase, a renormalisation, a run, a tiny Z, the limit).
// Such a lane goes through the portable Settle and comes back, or takes the
// next pixel. Plain multiplies and adds in the portable order, no FMA, so
// every decision matches the portable loop's.
#include <algorithm>
#include <cstdint>

#include <immintrin.h>

#include "fractal/BilinearTable.h"
#include "fractal/DeepRender.h"
#include "fractal/ReferenceOrbit.h"
#include "fractal/detail/DeepWalk.h"

namespace
{

using fractal_detail::DeepContext;
using fractal_detail::DeepWalk;

// Vectors of four lanes stepped together. A step's chain of multiplies and
// adds, and the rebase that can reset it, is long: the other vector fills
// its latency.
constexpr int kVectors = 2;
constexpr int kLanes = 4 * kVectors;

// Z_m of each lane from the orbit's (re, im) pairs: four 16-byte loads and
// two shuffles, cheaper than two gathers on the processors measured.
inline void LoadPairs(const double* pairs, __m128i m, __m256d& re, __m256d& im)
{
    const uint64_t low = static_cast<uint64_t>(_mm_cvtsi128_si64(m));
    const uint64_t high = static_cast<uint64_t>(_mm_extract_epi64(m, 1));
    const double* const p0 = pairs + 2 * uint32_t(low);
    const double* const p1 = pairs + 2 * uint32_t(low >> 32);
    const double* const p2 = pairs + 2 * uint32_t(high);
    const double* const p3 = pairs + 2 * uint32_t(high >> 32);
    const __m256d even = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(p0)), _mm_loadu_pd(p2), 1);
    const __m256d odd = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(p1)), _mm_loadu_pd(p3), 1);
    re = _mm256_unpacklo_pd(even, odd);
    im = _mm256_unpackhi_pd(even, odd);
}

// The vector lanes' state between trips through Settle: dz, Z_m, and
// Z_{m+1} fetched a step ahead, so that no load waits on the rebase
// decision of the step before.
struct Vectors
{
    __m256d wr[kVectors], wi[kVectors], zr[kVectors], zi[kVectors], nr[kVectors], ni[kVectors];
    __m128i m[kVectors], n[kVectors];
};

class LaneSet
{
public:
    LaneSet(const DeepContext& context, const ComplexExp* offsets, uint32_t count, DeepPixel* out)
        : m_context(context), m_offsets(offsets), m_count(count), m_out(out)
    {
    }

    void Run()
    {
        for (int l = 0; l < kLanes; ++l)
            Refill(l);
        Vectors v;
        while (m_live != 0)
        {
            FromArrays(v);
            const int questions = StepUntilQuestion(v);
            ToArrays(v);
            Answer(questions);
        }
    }

private:
    // Gives the lane the next pixel that needs plain steps, or leaves it
    // idle when the row has none left: an idle lane steps with the others
    // (dz = 0 along the reference, its loads clamped to the orbit and its
    // questions ignored) until they are done, so the row's last pixels
    // still run four abreast.
    void Refill(int lane)
    {
        while (m_next < m_count)
        {
            const uint32_t p = m_next++;
            DeepWalk& walk = m_walk[lane];
            walk = DeepWalk();
            walk.Rescale(m_offsets[p], m_offsets[p]);
            if (!fractal_detail::Settle(m_context, walk, m_offsets[p], m_out[p]))
            {
                m_pixel[lane] = p;
                m_live |= 1 << lane;
                FromWalk(lane);
                return;
            }
        }
        m_live &= ~(1 << lane);
        m_walk[lane] = DeepWalk();
        m_walk[lane].m = 0;
        FromWalk(lane);
    }

    void FromWalk(int lane);
    void FromArrays(Vectors& v) const;
    void ToArrays(const Vectors& v);
    // Plain steps on every lane until a live one has a question; returns
    // the live lanes that have one, a bit each.
    int StepUntilQuestion(Vectors& v) const;
    // The loop itself, without the questions no lane can have: runs when
    // no table is used, the wide type while no lane is that small.
    template <bool kRuns, bool kWide>
    int StepLoop(Vectors& v) const;
    // Settles the lanes with a question; those that are done take the
    // next pixel.
    void Answer(int questions);

    const DeepContext& m_context;
    const ComplexExp* const m_offsets;
    const uint32_t m_count;
    DeepPixel* const m_out;
    uint32_t m_next = 0;
    int m_live = 0;
    DeepWalk m_walk[kLanes];
    uint32_t m_pixel[kLanes] = {};

    // The lanes in the vectors' layout, the truth between trips: wr, wi,
    // m, n and the Z values change in the vectors, the rest in Settle.
    alignas(32) double m_wr[kLanes], m_wi[kLanes], m_dr[kLanes], m_di[kLanes], m_sd[kLanes],
        m_inverse[kLanes], m_zr[kLanes], m_zi[kLanes], m_nr[kLanes], m_ni[kLanes];
    alignas(32) int64_t m_wide[kLanes];
    alignas(16) int32_t m_m[kLanes], m_n[kLanes];
};

void LaneSet::FromWalk(int l)
{
    const DeepWalk& p = m_walk[l];
    const CReferenceOrbit& orbit = *m_context.orbit;
    m_wr[l] = p.wr, m_wi[l] = p.wi, m_dr[l] = p.dr, m_di[l] = p.di, m_sd[l] = p.sd;
    m_inverse[l] = fractal_detail::InverseScale(p.s);
    m_m[l] = static_cast<int32_t>(p.m);
    m_n[l] = static_cast<int32_t>(p.n);
    m_wide[l] = p.s < fractal_detail::kWideBelow ? -1 : 0;
    m_zr[l] = orbit.Re(p.m);
    m_zi[l] = orbit.Im(p.m);
    const uint32_t next = std::min(p.m + 1, orbit.Last());
    m_nr[l] = orbit.Re(next);
    m_ni[l] = orbit.Im(next);
}

void LaneSet::FromArrays(Vectors& v) const
{
    for (int k = 0; k < kVectors; ++k)
    {
        v.wr[k] = _mm256_load_pd(m_wr + 4 * k);
        v.wi[k] = _mm256_load_pd(m_wi + 4 * k);
        v.zr[k] = _mm256_load_pd(m_zr + 4 * k);
        v.zi[k] = _mm256_load_pd(m_zi + 4 * k);
        v.nr[k] = _mm256_load_pd(m_nr + 4 * k);
        v.ni[k] = _mm256_load_pd(m_ni + 4 * k);
        v.m[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(m_m + 4 * k));
        v.n[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(m_n + 4 * k));
    }
}

void LaneSet::ToArrays(const Vectors& v)
{
    for (int k = 0; k < kVectors; ++k)
    {
        _mm256_store_pd(m_wr + 4 * k, v.wr[k]);
        _mm256_store_pd(m_wi + 4 * k, v.wi[k]);
        _mm256_store_pd(m_zr + 4 * k, v.zr[k]);
        _mm256_store_pd(m_zi + 4 * k, v.zi[k]);
        _mm256_store_pd(m_nr + 4 * k, v.nr[k]);
        _mm256_store_pd(m_ni + 4 * k, v.ni[k]);
        _mm_store_si128(reinterpret_cast<__m128i*>(m_m + 4 * k), v.m[k]);
        _mm_store_si128(reinterpret_cast<__m128i*>(m_n + 4 * k), v.n[k]);
    }
}

int LaneSet::StepUntilQuestion(Vectors& v) const
{
    bool wide = false;
    for (int l = 0; l < kLanes; ++l)
        wide |= m_wide[l] != 0;
    if (m_context.table)
        return wide ? StepLoop<true, true>(v) : StepLoop<true, false>(v);
    return wide ? StepLoop<false, true>(v) : StepLoop<false, false>(v);
}

template <bool kRuns, bool kWide>
int LaneSet::StepLoop(Vectors& v) const
{
    const CReferenceOrbit& orbit = *m_context.orbit;
    const double* const pairs = orbit.PairData();
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d four = _mm256_set1_pd(4.0);
    const __m256d high = _mm256_set1_pd(fractal_detail::kBandHigh);
    const __m256d low = _mm256_set1_pd(fractal_detail::kBandLow);
    const __m256d tiny = _mm256_set1_pd(CReferenceOrbit::kTiny);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d sign = _mm256_set1_pd(-0.0);
    // Z₁, where a rebased lane goes on.
    const uint32_t first = std::min(1u, orbit.Last());
    const __m256d firstRe = _mm256_set1_pd(orbit.Re(first));
    const __m256d firstIm = _mm256_set1_pd(orbit.Im(first));
    const __m128i one = _mm_set1_epi32(1);
    const __m128i last = _mm_set1_epi32(static_cast<int>(orbit.Last()));
    const __m128i limitLess = _mm_set1_epi32(static_cast<int>(m_context.limit) - 1);
    const __m128i align = _mm_set1_epi32(int((1u << CBilinearTable::kFirstLevel) - 1));

    Vectors s = v;
    int questions = 0;
    while (questions == 0)
    {
#pragma GCC unroll 4
        for (int k = 0; k < kVectors; ++k)
        {
            const __m256d dr = _mm256_load_pd(m_dr + 4 * k), di = _mm256_load_pd(m_di + 4 * k);
            const __m256d sd = _mm256_load_pd(m_sd + 4 * k);
            __m256d& wr = s.wr[k];
            __m256d& wi = s.wi[k];
            // dz ← 2 Z dz + dz² + dc, in PlainStep's order.
            const __m256d rr = _mm256_mul_pd(wr, wr), ii = _mm256_mul_pd(wi, wi);
            const __m256d ri = _mm256_mul_pd(wr, wi);
            const __m256d linRe = _mm256_sub_pd(_mm256_mul_pd(s.zr[k], wr), _mm256_mul_pd(s.zi[k], wi));
            const __m256d linIm = _mm256_add_pd(_mm256_mul_pd(s.zr[k], wi), _mm256_mul_pd(s.zi[k], wr));
            wr = _mm256_add_pd(
                _mm256_add_pd(_mm256_mul_pd(two, linRe), _mm256_mul_pd(sd, _mm256_sub_pd(rr, ii))), dr);
            wi = _mm256_add_pd(
                _mm256_add_pd(_mm256_mul_pd(two, linIm), _mm256_mul_pd(sd, _mm256_mul_pd(two, ri))), di);
            const __m128i m = _mm_add_epi32(s.m[k], one);
            s.n[k] = _mm_add_epi32(s.n[k], one);
            const __m256d zr = s.nr[k], zi = s.ni[k];
            // Z_{m+2} for the next step, unless this one rebases.
            const __m128i ahead = _mm_min_epi32(_mm_add_epi32(m, one), last);
            __m256d aheadRe, aheadIm;
            LoadPairs(pairs, ahead, aheadRe, aheadIm);

            // Settle's questions, every lane at once.
            const __m256d fr = _mm256_add_pd(zr, _mm256_mul_pd(sd, wr));
            const __m256d fi = _mm256_add_pd(zi, _mm256_mul_pd(sd, wi));
            const __m256d zz = _mm256_add_pd(_mm256_mul_pd(fr, fr), _mm256_mul_pd(fi, fi));
            const __m256d ww = _mm256_add_pd(_mm256_mul_pd(wr, wr), _mm256_mul_pd(wi, wi));
            __m256d due = _mm256_cmp_pd(zz, four, _CMP_NLE_UQ);
            due = _mm256_or_pd(due, _mm256_cmp_pd(ww, high, _CMP_GT_OQ));
            due = _mm256_or_pd(due, _mm256_and_pd(_mm256_cmp_pd(ww, low, _CMP_LT_OQ),
                                                  _mm256_cmp_pd(ww, zero, _CMP_NEQ_OQ)));
            const __m256d closer = _mm256_cmp_pd(zz, _mm256_mul_pd(_mm256_mul_pd(sd, sd), ww), _CMP_LT_OQ);
            if (kWide)
            {
                const __m256d tinyZ =
                    _mm256_and_pd(_mm256_cmp_pd(_mm256_andnot_pd(sign, zr), tiny, _CMP_LT_OQ),
                                  _mm256_cmp_pd(_mm256_andnot_pd(sign, zi), tiny, _CMP_LT_OQ));
                const __m256d wide = _mm256_castsi256_pd(
                    _mm256_load_si256(reinterpret_cast<const __m256i*>(m_wide + 4 * k)));
                // A wide lane rebases onto Z₀ = 0, where it needs a wide step.
                due = _mm256_or_pd(due, _mm256_and_pd(_mm256_or_pd(tinyZ, closer), wide));
            }
            __m128i counted = _mm_or_si128(_mm_cmpeq_epi32(m, last), _mm_cmpgt_epi32(s.n[k], limitLess));
            if (kRuns)
            {
                const __m128i atRun =
                    _mm_cmpeq_epi32(_mm_and_si128(_mm_sub_epi32(m, one), align), _mm_setzero_si128());
                counted = _mm_or_si128(counted, atRun);
            }
            due = _mm256_or_pd(due, _mm256_castsi256_pd(_mm256_cvtepi32_epi64(counted)));
            questions |= _mm256_movemask_pd(due) << (4 * k);

            // Settle's rebase in place, for lanes with no other question:
            // z · 2^-s, m = 0. The lanes with a question go to Settle as
            // they are.
            const __m256d rebase = _mm256_andnot_pd(due, closer);
            const __m256d inverse = _mm256_load_pd(m_inverse + 4 * k);
            wr = _mm256_blendv_pd(wr, _mm256_mul_pd(fr, inverse), rebase);
            wi = _mm256_blendv_pd(wi, _mm256_mul_pd(fi, inverse), rebase);
            const __m128i restart = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(
                _mm256_castpd_si256(rebase), _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
            s.m[k] = _mm_andnot_si128(restart, m);
            s.zr[k] = _mm256_andnot_pd(rebase, zr);
            s.zi[k] = _mm256_andnot_pd(rebase, zi);
            s.nr[k] = _mm256_blendv_pd(aheadRe, firstRe, rebase);
            s.ni[k] = _mm256_blendv_pd(aheadIm, firstIm, rebase);
        }
        questions &= m_live;
    }
    v = s;
    return questions;
}

void LaneSet::Answer(int questions)
{
    for (int bits = questions; bits != 0; bits &= bits - 1)
    {
        const int l = __builtin_ctz(bits);
        DeepWalk& p = m_walk[l];
        p.wr = m_wr[l];
        p.wi = m_wi[l];
        p.m = static_cast<uint32_t>(m_m[l]);
        p.n = static_cast<uint32_t>(m_n[l]);
        const uint32_t pixel = m_pixel[l];
        if (fractal_detail::Settle(m_context, p, m_offsets[pixel], m_out[pixel]))
            Refill(l);
        else
            FromWalk(l);
    }
}

} // namespace

void fractal_detail::IterateAvx2(const DeepContext& context, const ComplexExp* offsets,
                                 uint32_t count, DeepPixel* out)
{
    LaneSet(context, offsets, count, out).Run();
}
