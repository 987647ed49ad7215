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
    const __m128i align =
        _mm_set1_epi32(m_context.table ? int((1u << CBilinearTable::kFirstLevel) - 1) : -1);
    const __m128i runsOff = _mm_set1_epi32(m_context.table ? 0 : -1);

    alignas(32) double a[5][kLanes];
    alignas(32) int64_t wide[kLanes];
    alignas(16) int32_t mm[kLanes], nn[kLanes];
    for (;;)
    {
        // Lanes to vectors.
        for (int l = 0; l < kLanes; ++l)
        {
            const DeepWalk& p = m_walk[l];
            a[0][l] = p.wr, a[1][l] = p.wi, a[2][l] = p.dr, a[3][l] = p.di, a[4][l] = p.sd;
            mm[l] = static_cast<int32_t>(p.m);
            nn[l] = static_cast<int32_t>(p.n);
            wide[l] = p.s < fractal_detail::kWideBelow ? -1 : 0;
        }
        __m256d wr[kVectors], wi[kVectors], zr[kVectors], zi[kVectors];
        __m128i m[kVectors], n[kVectors];
        for (int v = 0; v < kVectors; ++v)
        {
            wr[v] = _mm256_load_pd(a[0] + 4 * v);
            wi[v] = _mm256_load_pd(a[1] + 4 * v);
            m[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(mm + 4 * v));
            n[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(nn + 4 * v));
            zr[v] = Gather(zre, m[v]);
            zi[v] = Gather(zim, m[v]);
        }

        int events = 0;
        while (events == 0)
        {
            for (int v = 0; v < kVectors; ++v)
            {
                const __m256d dr = _mm256_load_pd(a[2] + 4 * v), di = _mm256_load_pd(a[3] + 4 * v);
                const __m256d sd = _mm256_load_pd(a[4] + 4 * v);
                // dz ← 2 Z dz + dz² + dc, in PlainStep's order.
                const __m256d rr = _mm256_mul_pd(wr[v], wr[v]), ii = _mm256_mul_pd(wi[v], wi[v]);
                const __m256d ri = _mm256_mul_pd(wr[v], wi[v]);
                const __m256d linRe =
                    _mm256_sub_pd(_mm256_mul_pd(zr[v], wr[v]), _mm256_mul_pd(zi[v], wi[v]));
                const __m256d linIm =
                    _mm256_add_pd(_mm256_mul_pd(zr[v], wi[v]), _mm256_mul_pd(zi[v], wr[v]));
                wr[v] = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(two, linRe),
                                                    _mm256_mul_pd(sd, _mm256_sub_pd(rr, ii))),
                                      dr);
                wi[v] = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(two, linIm),
                                                    _mm256_mul_pd(sd, _mm256_mul_pd(two, ri))),
                                      di);
                m[v] = _mm_add_epi32(m[v], one);
                n[v] = _mm_add_epi32(n[v], one);
                zr[v] = Gather(zre, m[v]);
                zi[v] = Gather(zim, m[v]);

                // Settle's questions, every lane at once.
                const __m256d fr = _mm256_add_pd(zr[v], _mm256_mul_pd(sd, wr[v]));
                const __m256d fi = _mm256_add_pd(zi[v], _mm256_mul_pd(sd, wi[v]));
                const __m256d zz = _mm256_add_pd(_mm256_mul_pd(fr, fr), _mm256_mul_pd(fi, fi));
                const __m256d ww =
                    _mm256_add_pd(_mm256_mul_pd(wr[v], wr[v]), _mm256_mul_pd(wi[v], wi[v]));
                __m256d due = _mm256_cmp_pd(zz, four, _CMP_NLE_UQ);
                due = _mm256_or_pd(
                    due, _mm256_cmp_pd(zz, _mm256_mul_pd(_mm256_mul_pd(sd, sd), ww), _CMP_LT_OQ));
                due = _mm256_or_pd(due, _mm256_cmp_pd(ww, high, _CMP_GT_OQ));
                due = _mm256_or_pd(due, _mm256_and_pd(_mm256_cmp_pd(ww, low, _CMP_LT_OQ),
                                                      _mm256_cmp_pd(ww, zero, _CMP_NEQ_OQ)));
                const __m256d tinyZ =
                    _mm256_and_pd(_mm256_cmp_pd(_mm256_andnot_pd(sign, zr[v]), tiny, _CMP_LT_OQ),
                                  _mm256_cmp_pd(_mm256_andnot_pd(sign, zi[v]), tiny, _CMP_LT_OQ));
                const __m256d wideScale = _mm256_castsi256_pd(
                    _mm256_load_si256(reinterpret_cast<const __m256i*>(wide + 4 * v)));
                due = _mm256_or_pd(due, _mm256_and_pd(tinyZ, wideScale));
                __m128i counted =
                    _mm_or_si128(_mm_cmpeq_epi32(m[v], lastM), _mm_cmpgt_epi32(n[v], limitLess));
                const __m128i atRun = _mm_cmpeq_epi32(_mm_and_si128(_mm_sub_epi32(m[v], one), align),
                                                      _mm_setzero_si128());
                counted = _mm_or_si128(counted, _mm_andnot_si128(runsOff, atRun));
                due = _mm256_or_pd(due, _mm256_castsi256_pd(_mm256_cvtepi32_epi64(counted)));
                events |= _mm256_movemask_pd(due) << (4 * v);
            }
        }

        // Vectors to lanes; the lanes with a question go through Settle.
        for (int v = 0; v < kVectors; ++v)
        {
            _mm256_store_pd(a[0] + 4 * v, wr[v]);
            _mm256_store_pd(a[1] + 4 * v, wi[v]);
            _mm_store_si128(reinterpret_cast<__m128i*>(mm + 4 * v), m[v]);
            _mm_store_si128(reinterpret_cast<__m128i*>(nn + 4 * v), n[v]);
        }
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
