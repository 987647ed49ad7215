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

} // namespace

void fractal_detail::EscapeRowAvx2(double* out, int32_t x0, uint32_t count, int32_t y, uint32_t limit,
                           double centreRe, double centreIm, double stepRe, double stepIm)
{
    if (limit == 0)
    {
        // No steps at all: every value is 0, whatever the point.
        for (uint32_t i = 0; i < count; ++i)
            out[i] = 0.0;
        return;
    }

    const double ci = static_cast<double>(y) * stepIm + centreIm;
    const __m256d four = _mm256_set1_pd(4.0);
    const __m256d vci = _mm256_set1_pd(ci);

    // Lane state the hot loop reads from memory; z lives in registers.
    alignas(32) double cr[kLanes];
    alignas(32) double savedZr[kLanes];
    alignas(32) double savedZi[kLanes];
    uint32_t pixel[kLanes];
    // Per vector: the step it was loaded at, and when to save z next.
    uint64_t loadedAt[kVectors];
    uint64_t nextSave[kVectors];

    // Escaped points wait here for their smooth values, worked out after
    // the row in one pass the processor can overlap, four at a time up to
    // the logarithms. Per thread, so that rows on other workers never meet.
    thread_local PendingTails pending;
    pending.Reserve(count);
    uint32_t waiting = 0;
    auto escaped = [&](uint32_t p, double lzr, double lzi, double lcr, uint32_t n)
    {
        pending.zr[waiting] = lzr;
        pending.zi[waiting] = lzi;
        pending.cr[waiting] = lcr;
        pending.n[waiting] = n;
        pending.pixel[waiting] = p;
        ++waiting;
    };

    __m256d zr[kVectors], zi[kVectors], diff[kVectors];
    uint32_t inside = 0; // one bit per lane still iterating
    uint32_t nextPixel = 0;
    uint64_t k = 0;

    // Loads the next pixels of the row into vector v (a vector in which no
    // pixel stays inside takes the next four). Unused lanes get c = 4, which
    // is outside and never counted.
    auto load = [&](int v, __m256d& vzr, __m256d& vzi, __m256d& vdiff)
    {
        uint32_t bits = 0;
        while (bits == 0 && nextPixel < count)
        {
            for (int lane = 0; lane < 4; ++lane)
            {
                const int l = 4 * v + lane;
                if (nextPixel >= count)
                {
                    cr[l] = 4.0;
                    continue;
                }
                const uint32_t p = nextPixel++;
                const double c =
                    static_cast<double>(x0 + static_cast<int32_t>(p)) * stepRe + centreRe;
                cr[l] = c;
                pixel[l] = p;
                // Ordered: a not-a-number modulus counts as escaped.
                if (c * c + ci * ci <= 4.0)
                    bits |= 1u << lane;
                else
                    escaped(p, c, ci, c, 0);
            }
        }
        if (bits == 0)
        {
            for (int lane = 0; lane < 4; ++lane)
                cr[4 * v + lane] = 4.0;
        }
        vzr = _mm256_load_pd(cr + 4 * v);
        vzi = vci;
        vdiff = _mm256_sub_pd(_mm256_mul_pd(vzr, vzr), _mm256_mul_pd(vzi, vzi));
        _mm256_store_pd(savedZr + 4 * v, vzr);
        _mm256_store_pd(savedZi + 4 * v, vzi);
        loadedAt[v] = k;
        nextSave[v] = bits ? k + 1 : kNever;
        inside = (inside & ~(0xFu << (4 * v))) | (bits << (4 * v));
    };

    // The next step at which some vector reaches the limit or saves z.
    auto nextEvent = [&]
    {
        uint64_t next = kNever;
        for (int v = 0; v < kVectors; ++v)
        {
            if (((inside >> (4 * v)) & 0xFu) == 0)
                continue;
            next = std::min(next, std::min(loadedAt[v] + limit, nextSave[v]));
        }
        return next;
    };

#pragma GCC unroll 4
    for (int v = 0; v < kVectors; ++v)
        load(v, zr[v], zi[v], diff[v]);
    uint64_t event = nextEvent();

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
            zr[v] = _mm256_add_pd(diff[v], _mm256_load_pd(cr + 4 * v));
            zi[v] = nextIm;
            // The squares serve both the modulus and the next step's real part.
            const __m256d zr2 = _mm256_mul_pd(zr[v], zr[v]);
            const __m256d zi2 = _mm256_mul_pd(zi[v], zi[v]);
            diff[v] = _mm256_sub_pd(zr2, zi2);
            const __m256d modulus = _mm256_add_pd(zr2, zi2);
            // Unordered: a not-a-number modulus counts as having left.
            const __m256d flag =
                _mm256_or_pd(_mm256_cmp_pd(modulus, four, _CMP_NLE_UQ),
                             _mm256_cmp_pd(zr[v], _mm256_load_pd(savedZr + 4 * v), _CMP_EQ_OQ));
            flagged |= static_cast<uint32_t>(_mm256_movemask_pd(flag)) << (4 * v);
        }
        flagged &= inside;
        if (flagged == 0 && k != event)
            continue;

        if (flagged != 0)
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
                    const uint32_t n = static_cast<uint32_t>(k - loadedAt[l / 4]);
                    if (n == limit)
                        out[pixel[l]] = 0.0;
                    else
                        escaped(pixel[l], lzr, lzi, cr[l], n);
                }
                else if (lzi == savedZi[l])
                {
                    // Equal doubles step to equal doubles, so a lane back at a
                    // value it had, all of them inside, stays inside for ever:
                    // it counts as reaching the limit.
                    out[pixel[l]] = 0.0;
                }
                else
                {
                    continue;
                }
                inside &= ~(1u << l);
            }
        }

        if (k == event)
        {
#pragma GCC unroll 4
            for (int v = 0; v < kVectors; ++v)
            {
                const uint32_t mask = 0xFu << (4 * v);
                if ((inside & mask) == 0)
                    continue;
                if (k - loadedAt[v] == limit)
                {
                    for (int l = 4 * v; l < 4 * v + 4; ++l)
                        if (inside & (1u << l))
                            out[pixel[l]] = 0.0;
                    inside &= ~mask;
                }
                else if (k == nextSave[v])
                {
                    // Brent's doubling: a cycle of any length is caught once
                    // the gap between saves outgrows it.
                    _mm256_store_pd(savedZr + 4 * v, zr[v]);
                    _mm256_store_pd(savedZi + 4 * v, zi[v]);
                    nextSave[v] = k + (k - loadedAt[v]);
                }
            }
        }

#pragma GCC unroll 4
        for (int v = 0; v < kVectors; ++v)
            if ((inside & (0xFu << (4 * v))) == 0 && nextPixel < count)
                load(v, zr[v], zi[v], diff[v]);
        event = nextEvent();
    }

    // EscapeModulus on four points at a time, the same operations in the
    // same order (the square root is correctly rounded either way); the
    // logarithms stay scalar, the very calls EscapeValue makes.
    const __m256d two = _mm256_set1_pd(2.0);
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
