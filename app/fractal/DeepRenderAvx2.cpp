// The deep renderer's plain steps four pixels at a time. Each lane walks
// its own pixel along the reference (its own m, gathered); after every step
// the lanes ask, all at once, whether anything but another plain step is
// due (an escape, a rebase, a renormalisation, a run, a tiny Z, the limit).
// Such a lane goes through the portable Settle and comes back, or takes the
// next pixel. Plain multiplies and adds in the portable order, no FMA, so
// every decision matches the portable loop's.
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

// Two vectors of four lanes stepped together: the chain of one step's
// multiplies and adds is long, and the other vector fills its latency.
constexpr int kVectors = 2;
constexpr int kLanes = 4 * kVectors;

// values[m] for each lane. The masked form, from zeros: GCC warns of the
// plain one's undefined start.
inline __m256d Gather(const double* values, __m128i m)
{
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), values, m, all, 8);
}

// The vector lanes' state between trips through Settle.
struct Vectors
{
    __m256d wr[kVectors], wi[kVectors], zr[kVectors], zi[kVectors];
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
            if (!Load(l))
            {
                // Fewer pixels than lanes need steps: no vectors for them.
                for (int k = 0; k < l; ++k)
                    Finish(k);
                return;
            }
        Vectors v;
        do
            ToVectors(v);
        while (Answer(v, StepUntilQuestion(v)));
    }

private:
    // Gives the lane the next pixel that needs plain steps; false when none
    // is left.
    bool Load(int lane)
    {
        while (m_next < m_count)
        {
            const uint32_t p = m_next++;
            DeepWalk walk;
            walk.Rescale(m_offsets[p], m_offsets[p]);
            if (!fractal_detail::Settle(m_context, walk, m_offsets[p], m_out[p]))
            {
                m_walk[lane] = walk;
                m_pixel[lane] = p;
                return true;
            }
        }
        return false;
    }
    // The rest of a lane's pixel without vectors. Settle comes first: the
    // lane may have a question from its last vector step still open.
    void Finish(int lane)
    {
        DeepWalk& p = m_walk[lane];
        const CReferenceOrbit& orbit = *m_context.orbit;
        const uint32_t pixel = m_pixel[lane];
        while (!fractal_detail::Settle(m_context, p, m_offsets[pixel], m_out[pixel]))
            fractal_detail::PlainStep(p, orbit.Re(p.m), orbit.Im(p.m));
    }

    void ToVectors(Vectors& v);
    // Plain steps on every lane until one has a question; returns the
    // lanes that have one, a bit each.
    int StepUntilQuestion(Vectors& v);
    // Takes the lanes back from the vectors and settles those with a
    // question; false once the row has run out of pixels (the other lanes
    // are then finished alone).
    bool Answer(const Vectors& v, int questions);

    const DeepContext& m_context;
    const ComplexExp* const m_offsets;
    const uint32_t m_count;
    DeepPixel* const m_out;
    uint32_t m_next = 0;
    DeepWalk m_walk[kLanes];
    uint32_t m_pixel[kLanes] = {};

    // The lanes in the vectors' layout; wr, wi, m and n change in the
    // vectors only, the rest only in Settle.
    alignas(32) double m_wr[kLanes], m_wi[kLanes], m_dr[kLanes], m_di[kLanes], m_sd[kLanes],
        m_inverse[kLanes];
    alignas(32) int64_t m_wide[kLanes];
    alignas(16) int32_t m_m[kLanes], m_n[kLanes];
};

void LaneSet::ToVectors(Vectors& v)
{
    for (int l = 0; l < kLanes; ++l)
    {
        const DeepWalk& p = m_walk[l];
        m_wr[l] = p.wr, m_wi[l] = p.wi, m_dr[l] = p.dr, m_di[l] = p.di, m_sd[l] = p.sd;
        m_inverse[l] = fractal_detail::InverseScale(p.s);
        m_m[l] = static_cast<int32_t>(p.m);
        m_n[l] = static_cast<int32_t>(p.n);
        m_wide[l] = p.s < fractal_detail::kWideBelow ? -1 : 0;
    }
    const double* const zre = m_context.orbit->ReData();
    const double* const zim = m_context.orbit->ImData();
    for (int k = 0; k < kVectors; ++k)
    {
        v.wr[k] = _mm256_load_pd(m_wr + 4 * k);
        v.wi[k] = _mm256_load_pd(m_wi + 4 * k);
        v.m[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(m_m + 4 * k));
        v.n[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(m_n + 4 * k));
        v.zr[k] = Gather(zre, v.m[k]);
        v.zi[k] = Gather(zim, v.m[k]);
    }
}

int LaneSet::StepUntilQuestion(Vectors& v)
{
    const CReferenceOrbit& orbit = *m_context.orbit;
    const double* const zre = orbit.ReData();
    const double* const zim = orbit.ImData();
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d four = _mm256_set1_pd(4.0);
    const __m256d high = _mm256_set1_pd(fractal_detail::kBandHigh);
    const __m256d low = _mm256_set1_pd(fractal_detail::kBandLow);
    const __m256d tiny = _mm256_set1_pd(CReferenceOrbit::kTiny);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d sign = _mm256_set1_pd(-0.0);
    const __m128i one = _mm_set1_epi32(1);
    const __m128i last = _mm_set1_epi32(static_cast<int>(orbit.Last()));
    const __m128i limitLess = _mm_set1_epi32(static_cast<int>(m_context.limit) - 1);
    const __m128i align =
        _mm_set1_epi32(m_context.table ? int((1u << CBilinearTable::kFirstLevel) - 1) : -1);
    const __m128i runsOff = _mm_set1_epi32(m_context.table ? 0 : -1);

    Vectors s = v;
    int questions = 0;
    while (questions == 0)
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
            s.m[k] = _mm_add_epi32(s.m[k], one);
            s.n[k] = _mm_add_epi32(s.n[k], one);
            s.zr[k] = Gather(zre, s.m[k]);
            s.zi[k] = Gather(zim, s.m[k]);

            // Settle's questions, every lane at once.
            const __m256d fr = _mm256_add_pd(s.zr[k], _mm256_mul_pd(sd, wr));
            const __m256d fi = _mm256_add_pd(s.zi[k], _mm256_mul_pd(sd, wi));
            const __m256d zz = _mm256_add_pd(_mm256_mul_pd(fr, fr), _mm256_mul_pd(fi, fi));
            const __m256d ww = _mm256_add_pd(_mm256_mul_pd(wr, wr), _mm256_mul_pd(wi, wi));
            __m256d due = _mm256_cmp_pd(zz, four, _CMP_NLE_UQ);
            due = _mm256_or_pd(due, _mm256_cmp_pd(ww, high, _CMP_GT_OQ));
            due = _mm256_or_pd(due, _mm256_and_pd(_mm256_cmp_pd(ww, low, _CMP_LT_OQ),
                                                  _mm256_cmp_pd(ww, zero, _CMP_NEQ_OQ)));
            const __m256d tinyZ =
                _mm256_and_pd(_mm256_cmp_pd(_mm256_andnot_pd(sign, s.zr[k]), tiny, _CMP_LT_OQ),
                              _mm256_cmp_pd(_mm256_andnot_pd(sign, s.zi[k]), tiny, _CMP_LT_OQ));
            const __m256d wide =
                _mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<const __m256i*>(m_wide + 4 * k)));
            const __m256d closer = _mm256_cmp_pd(zz, _mm256_mul_pd(_mm256_mul_pd(sd, sd), ww), _CMP_LT_OQ);
            // A wide lane rebases onto Z₀ = 0, where it needs a wide step.
            due = _mm256_or_pd(due, _mm256_and_pd(_mm256_or_pd(tinyZ, closer), wide));
            __m128i counted = _mm_or_si128(_mm_cmpeq_epi32(s.m[k], last), _mm_cmpgt_epi32(s.n[k], limitLess));
            const __m128i atRun =
                _mm_cmpeq_epi32(_mm_and_si128(_mm_sub_epi32(s.m[k], one), align), _mm_setzero_si128());
            counted = _mm_or_si128(counted, _mm_andnot_si128(runsOff, atRun));
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
            s.m[k] = _mm_andnot_si128(restart, s.m[k]);
            s.zr[k] = _mm256_andnot_pd(rebase, s.zr[k]);
            s.zi[k] = _mm256_andnot_pd(rebase, s.zi[k]);
        }
    v = s;
    return questions;
}

bool LaneSet::Answer(const Vectors& v, int questions)
{
    for (int k = 0; k < kVectors; ++k)
    {
        _mm256_store_pd(m_wr + 4 * k, v.wr[k]);
        _mm256_store_pd(m_wi + 4 * k, v.wi[k]);
        _mm_store_si128(reinterpret_cast<__m128i*>(m_m + 4 * k), v.m[k]);
        _mm_store_si128(reinterpret_cast<__m128i*>(m_n + 4 * k), v.n[k]);
    }
    for (int l = 0; l < kLanes; ++l)
    {
        DeepWalk& p = m_walk[l];
        p.wr = m_wr[l];
        p.wi = m_wi[l];
        p.m = static_cast<uint32_t>(m_m[l]);
        p.n = static_cast<uint32_t>(m_n[l]);
    }
    for (int l = 0; l < kLanes; ++l)
    {
        if (!(questions & (1 << l)))
            continue;
        const uint32_t pixel = m_pixel[l];
        if (!fractal_detail::Settle(m_context, m_walk[l], m_offsets[pixel], m_out[pixel]) || Load(l))
            continue;
        // The row's last pixels: the other lanes finish alone.
        for (int k = 0; k < kLanes; ++k)
            if (k != l)
                Finish(k);
        return false;
    }
    return true;
}

} // namespace

void fractal_detail::IterateAvx2(const DeepContext& context, const ComplexExp* offsets,
                                 uint32_t count, DeepPixel* out)
{
    LaneSet(context, offsets, count, out).Run();
}
