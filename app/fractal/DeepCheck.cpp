#include "fractal/DeepCheck.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "fractal/detail/Mpfr.h"

using fractal_detail::MakeMpfr;
using fractal_detail::Mpfr;
using fractal_detail::MpfrFromText;

namespace
{

constexpr uint32_t kGrid = 64;

// x × step exactly, added to the centre.
void AddOffset(mpfr_ptr c, FloatExp step, int32_t x, mpfr_prec_t bits)
{
    Mpfr offset = MakeMpfr(bits);
    mpfr_set_d(offset.get(), step.m, MPFR_RNDN);
    mpfr_mul_si(offset.get(), offset.get(), x, MPFR_RNDN);
    mpfr_mul_2si(offset.get(), offset.get(), static_cast<long>(step.e), MPFR_RNDN);
    mpfr_add(c, c, offset.get(), MPFR_RNDN);
}

// Labels the groups of neighbouring true cells and returns the largest size.
uint32_t LargestCluster(const std::vector<char>& bad, uint32_t cols, uint32_t rows)
{
    std::vector<char> seen(bad.size(), 0);
    std::vector<uint32_t> stack;
    uint32_t largest = 0;
    for (uint32_t start = 0; start < bad.size(); ++start)
    {
        if (!bad[start] || seen[start])
            continue;
        uint32_t size = 0;
        seen[start] = 1;
        stack.assign(1, start);
        while (!stack.empty())
        {
            const uint32_t cell = stack.back();
            stack.pop_back();
            ++size;
            const int64_t cx = cell % cols, cy = cell / cols;
            for (int64_t y = cy - 1; y <= cy + 1; ++y)
                for (int64_t x = cx - 1; x <= cx + 1; ++x)
                {
                    if (x < 0 || y < 0 || x >= cols || y >= rows)
                        continue;
                    const uint32_t next = static_cast<uint32_t>(y * cols + x);
                    if (bad[next] && !seen[next])
                    {
                        seen[next] = 1;
                        stack.push_back(next);
                    }
                }
        }
        largest = std::max(largest, size);
    }
    return largest;
}

} // namespace

uint32_t ExactSteps(const DeepView& view, uint32_t col, uint32_t row, unsigned bits)
{
    const Mpfr cr = MpfrFromText(view.re, bits);
    const Mpfr ci = MpfrFromText(view.im, bits);
    AddOffset(cr.get(), view.StepRe(), static_cast<int32_t>(col - (view.width >> 1)), bits);
    AddOffset(ci.get(), view.StepIm(), static_cast<int32_t>(row - (view.height >> 1)), bits);
    Mpfr zr = MakeMpfr(bits), zi = MakeMpfr(bits), rr = MakeMpfr(bits), ii = MakeMpfr(bits),
         ri = MakeMpfr(bits), norm = MakeMpfr(bits);
    mpfr_set(zr.get(), cr.get(), MPFR_RNDN);
    mpfr_set(zi.get(), ci.get(), MPFR_RNDN);
    // The same count as EscapeValue: z = c is step 0; escaping at the
    // limit-th step counts as inside.
    for (uint32_t n = 0; n < view.limit; ++n)
    {
        mpfr_sqr(rr.get(), zr.get(), MPFR_RNDN);
        mpfr_sqr(ii.get(), zi.get(), MPFR_RNDN);
        mpfr_add(norm.get(), rr.get(), ii.get(), MPFR_RNDN);
        if (mpfr_cmp_ui(norm.get(), 4) > 0)
            return n;
        mpfr_mul(ri.get(), zr.get(), zi.get(), MPFR_RNDN);
        mpfr_sub(zr.get(), rr.get(), ii.get(), MPFR_RNDN);
        mpfr_add(zr.get(), zr.get(), cr.get(), MPFR_RNDN);
        mpfr_mul_2ui(zi.get(), ri.get(), 1, MPFR_RNDN);
        mpfr_add(zi.get(), zi.get(), ci.get(), MPFR_RNDN);
    }
    return view.limit;
}

DeepCheckResult CheckDeepRender(const DeepView& view,
                                const std::function<uint32_t(uint32_t col, uint32_t row)>& steps,
                                unsigned threads)
{
    const uint32_t cols = std::min(view.width, kGrid);
    const uint32_t rows = std::min(view.height, kGrid);
    const uint32_t count = cols * rows;
    const unsigned bits = view.PrecisionBits() + 64;
    std::vector<char> bad(count, 0);
    std::atomic<uint32_t> next{0};
    const auto work = [&]
    {
        for (uint32_t i = next.fetch_add(1); i < count; i = next.fetch_add(1))
        {
            const uint32_t gx = i % cols, gy = i / cols;
            // The middle of each grid cell.
            const uint32_t col = static_cast<uint32_t>((uint64_t(2 * gx + 1) * view.width) / (2 * cols));
            const uint32_t row = static_cast<uint32_t>((uint64_t(2 * gy + 1) * view.height) / (2 * rows));
            bad[i] = steps(col, row) != ExactSteps(view, col, row, bits);
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads; ++t)
    {
        try
        {
            workers.emplace_back(work);
        }
        catch (const std::system_error&)
        {
            break;
        }
    }
    work();
    for (std::thread& worker : workers)
        worker.join();

    DeepCheckResult result;
    result.samples = count;
    result.mismatches = static_cast<uint32_t>(std::count(bad.begin(), bad.end(), 1));
    result.largestCluster = LargestCluster(bad, cols, rows);
    return result;
}
