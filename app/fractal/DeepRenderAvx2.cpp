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

constexpr int kLanes = 4;

// values[m] for each lane. The masked form, from zeros: GCC warns of the
// plain one's undefined start.
inline __m256d Gather(const double* values, __m128i m)
{
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), values, m, all, 8);
}

class LaneSet
{
public:
    LaneSet(const DeepContext& context, const ComplexExp* offsets, uint32_t count, DeepPixel* out)
        : m_context(context), m_offsets(offsets), m_count(count), m_out(out)
    {
    }

    void Run();

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

    const DeepContext& m_context;
    const ComplexExp* const m_offsets;
    const uint32_t m_count;
    DeepPixel* const m_out;
    uint32_t m_next = 0;
    DeepWalk m_walk[kLanes];
    uint32_t m_pixel[kLanes] = {};
};

void LaneSet::Run()
{
    for (int l = 0; l < kLanes; ++l)
        if (!Load(l))
        {
            // Fewer pixels than lanes need steps: no vectors for them.
            for (int k = 0; k < l; ++k)
                Finish(k);
            return;
        }

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
    const __m128i lastM = _mm_set1_epi32(static_cast<int>(orbit.Last()));
    const __m128i limitLess = _mm_set1_epi32(static_cast<int>(m_context.limit) - 1);
    const __m128i align = _mm_set1_epi32(m_context.table ? int((1u << CBilinearTable::kFirstLevel) - 1) : -1);
    const __m128i runsOff = _mm_set1_epi32(m_context.table ? 0 : -1);

    for (;;)
    {
        // Lanes to vectors.
        alignas(32) double a[6][kLanes];
        alignas(16) int32_t mm[kLanes], nn[kLanes];
        alignas(32) int64_t wide[kLanes];
        for (int l = 0; l < kLanes; ++l)
        {
            const DeepWalk& p = m_walk[l];
            a[0][l] = p.wr, a[1][l] = p.wi, a[2][l] = p.dr, a[3][l] = p.di, a[4][l] = p.sd;
            mm[l] = static_cast<int32_t>(p.m);
            nn[l] = static_cast<int32_t>(p.n);
            wide[l] = p.s < fractal_detail::kWideBelow ? -1 : 0;
        }
        __m256d wr = _mm256_load_pd(a[0]), wi = _mm256_load_pd(a[1]);
        const __m256d dr = _mm256_load_pd(a[2]), di = _mm256_load_pd(a[3]);
        const __m256d sd = _mm256_load_pd(a[4]);
        const __m256d sdsd = _mm256_mul_pd(sd, sd);
        const __m256d wideScale = _mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<const __m256i*>(wide)));
        __m128i m = _mm_load_si128(reinterpret_cast<const __m128i*>(mm));
        __m128i n = _mm_load_si128(reinterpret_cast<const __m128i*>(nn));
        __m256d zr = Gather(zre, m);
        __m256d zi = Gather(zim, m);

        int events = 0;
        while (events == 0)
        {
            // dz ← 2 Z dz + dz² + dc, in PlainStep's order.
            const __m256d rr = _mm256_mul_pd(wr, wr), ii = _mm256_mul_pd(wi, wi);
            const __m256d ri = _mm256_mul_pd(wr, wi);
            const __m256d nextRe = _mm256_add_pd(
                _mm256_add_pd(_mm256_mul_pd(two, _mm256_sub_pd(_mm256_mul_pd(zr, wr), _mm256_mul_pd(zi, wi))),
                              _mm256_mul_pd(sd, _mm256_sub_pd(rr, ii))),
                dr);
            const __m256d nextIm = _mm256_add_pd(
                _mm256_add_pd(_mm256_mul_pd(two, _mm256_add_pd(_mm256_mul_pd(zr, wi), _mm256_mul_pd(zi, wr))),
                              _mm256_mul_pd(sd, _mm256_mul_pd(two, ri))),
                di);
            wr = nextRe;
            wi = nextIm;
            m = _mm_add_epi32(m, one);
            n = _mm_add_epi32(n, one);
            zr = Gather(zre, m);
            zi = Gather(zim, m);

            // Settle's questions, every lane at once.
            const __m256d fr = _mm256_add_pd(zr, _mm256_mul_pd(sd, wr));
            const __m256d fi = _mm256_add_pd(zi, _mm256_mul_pd(sd, wi));
            const __m256d zz = _mm256_add_pd(_mm256_mul_pd(fr, fr), _mm256_mul_pd(fi, fi));
            const __m256d ww = _mm256_add_pd(_mm256_mul_pd(wr, wr), _mm256_mul_pd(wi, wi));
            __m256d due = _mm256_cmp_pd(zz, four, _CMP_NLE_UQ);
            due = _mm256_or_pd(due, _mm256_cmp_pd(zz, _mm256_mul_pd(sdsd, ww), _CMP_LT_OQ));
            due = _mm256_or_pd(due, _mm256_cmp_pd(ww, high, _CMP_GT_OQ));
            due = _mm256_or_pd(due, _mm256_and_pd(_mm256_cmp_pd(ww, low, _CMP_LT_OQ),
                                                  _mm256_cmp_pd(ww, zero, _CMP_NEQ_OQ)));
            const __m256d tinyZ = _mm256_and_pd(_mm256_cmp_pd(_mm256_andnot_pd(sign, zr), tiny, _CMP_LT_OQ),
                                                _mm256_cmp_pd(_mm256_andnot_pd(sign, zi), tiny, _CMP_LT_OQ));
            due = _mm256_or_pd(due, _mm256_and_pd(tinyZ, wideScale));
            __m128i counted = _mm_or_si128(_mm_cmpeq_epi32(m, lastM), _mm_cmpgt_epi32(n, limitLess));
            counted = _mm_or_si128(counted, _mm_andnot_si128(
                                                runsOff, _mm_cmpeq_epi32(_mm_and_si128(_mm_sub_epi32(m, one), align),
                                                                         _mm_setzero_si128())));
            due = _mm256_or_pd(due, _mm256_castsi256_pd(_mm256_cvtepi32_epi64(counted)));
            events = _mm256_movemask_pd(due);
        }

        // Vectors to lanes; the lanes with a question go through Settle.
        _mm256_store_pd(a[0], wr);
        _mm256_store_pd(a[1], wi);
        _mm_store_si128(reinterpret_cast<__m128i*>(mm), m);
        _mm_store_si128(reinterpret_cast<__m128i*>(nn), n);
        for (int l = 0; l < kLanes; ++l)
        {
            DeepWalk& p = m_walk[l];
            p.wr = a[0][l];
            p.wi = a[1][l];
            p.m = static_cast<uint32_t>(mm[l]);
            p.n = static_cast<uint32_t>(nn[l]);
        }
        for (int l = 0; l < kLanes; ++l)
        {
            if (!(events & (1 << l)))
                continue;
            const uint32_t pixel = m_pixel[l];
            if (!fractal_detail::Settle(m_context, m_walk[l], m_offsets[pixel], m_out[pixel]))
                continue;
            if (!Load(l))
            {
                // The row's last pixels: the other lanes finish alone.
                for (int k = 0; k < kLanes; ++k)
                    if (k != l)
                        Finish(k);
                return;
            }
        }
    }
}

} // namespace

void fractal_detail::IterateAvx2(const DeepContext& context, const ComplexExp* offsets,
                                 uint32_t count, DeepPixel* out)
{
    LaneSet(context, offsets, count, out).Run();
}
