// AVX2 row kernel: 16 pixels per block as four independent vectors stepped
// together, so the multiply-add chains of one hide the latency of the others.
// Plain multiplies and adds only (no FMA), each rounded as in EscapeValue.
#include <immintrin.h>

#include "RowKernel.h"

namespace
{

constexpr int kVectors = 4;
constexpr uint32_t kBlock = 4 * kVectors;

} // namespace

void detail::EscapeRowAvx2(double* out, int32_t x0, uint32_t count, int32_t y, uint32_t limit,
                           double centreRe, double centreIm, double stepRe, double stepIm)
{
    const double ci = static_cast<double>(y) * stepIm + centreIm;
    const __m256d four = _mm256_set1_pd(4.0);
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d vci = _mm256_set1_pd(ci);

    for (uint32_t start = 0; start < count; start += kBlock)
    {
        alignas(32) double cr[kBlock];
        for (uint32_t i = 0; i < kBlock; ++i)
        {
            // Lanes past the end get a point outside radius 2: they never run.
            cr[i] =
                start + i < count
                    ? static_cast<double>(x0 + static_cast<int32_t>(start + i)) * stepRe + centreRe
                    : 4.0;
        }

        __m256d vcr[kVectors], zr[kVectors], zi[kVectors], n[kVectors], active[kVectors];
        for (int v = 0; v < kVectors; ++v)
        {
            vcr[v] = _mm256_load_pd(cr + 4 * v);
            zr[v] = vcr[v];
            zi[v] = vci;
            n[v] = _mm256_setzero_pd();
            const __m256d mod =
                _mm256_add_pd(_mm256_mul_pd(vcr[v], vcr[v]), _mm256_mul_pd(vci, vci));
            // Ordered compare: a not-a-number modulus counts as escaped.
            active[v] = _mm256_cmp_pd(mod, four, _CMP_LE_OQ);
        }

        for (uint32_t k = 0; k < limit; ++k)
        {
            __m256d any = active[0];
            for (int v = 1; v < kVectors; ++v)
                any = _mm256_or_pd(any, active[v]);
            if (_mm256_movemask_pd(any) == 0)
                break;
            for (int v = 0; v < kVectors; ++v)
            {
                const __m256d nextRe = _mm256_add_pd(
                    _mm256_sub_pd(_mm256_mul_pd(zr[v], zr[v]), _mm256_mul_pd(zi[v], zi[v])),
                    vcr[v]);
                const __m256d nextIm =
                    _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(two, zr[v]), zi[v]), vci);
                // Escaped lanes keep z and n as they were at the escape.
                zr[v] = _mm256_blendv_pd(zr[v], nextRe, active[v]);
                zi[v] = _mm256_blendv_pd(zi[v], nextIm, active[v]);
                n[v] = _mm256_add_pd(n[v], _mm256_and_pd(one, active[v]));
                const __m256d mod =
                    _mm256_add_pd(_mm256_mul_pd(zr[v], zr[v]), _mm256_mul_pd(zi[v], zi[v]));
                active[v] = _mm256_and_pd(active[v], _mm256_cmp_pd(mod, four, _CMP_LE_OQ));
            }
        }

        alignas(32) double outZr[kBlock], outZi[kBlock], outN[kBlock];
        for (int v = 0; v < kVectors; ++v)
        {
            _mm256_store_pd(outZr + 4 * v, zr[v]);
            _mm256_store_pd(outZi + 4 * v, zi[v]);
            _mm256_store_pd(outN + 4 * v, n[v]);
        }
        for (uint32_t i = 0; i < kBlock && start + i < count; ++i)
        {
            // Counts stay below 2^32, exact in a double.
            const uint32_t steps = static_cast<uint32_t>(outN[i]);
            out[start + i] =
                steps == limit ? 0.0 : EscapeTail(outZr[i], outZi[i], cr[i], ci, steps);
        }
    }
}
