// The deep renderer's check: sampled pixels iterated directly in MPFR, with
// no perturbation, no rebasing and no skipping, and their escape counts set
// against the render's. A render passes when at least 99.9 % of the samples
// agree and no four or more neighbouring samples disagree (glitches come as
// blobs; a lone pixel on a band's edge is rounding).
#pragma once

#include <cstdint>
#include <functional>

#include "fractal/DeepView.h"

struct DeepCheckResult
{
    uint32_t samples = 0;
    uint32_t mismatches = 0;
    // Mismatched samples in the largest group of neighbours on the sample
    // grid (eight neighbours each).
    uint32_t largestCluster = 0;

    bool Passed() const
    {
        return samples > 0 && uint64_t(mismatches) * 1000 <= samples && largestCluster < 4;
    }
};

// EscapeValue's step count for the pixel, iterated in MPFR at `bits`: the
// limit for a point taken as inside.
uint32_t ExactSteps(const DeepView& view, uint32_t col, uint32_t row, unsigned bits);

// Compares `steps` with ExactSteps on a grid of at most 64 × 64 pixels
// spread evenly over the image (every pixel of a smaller image), on up to
// `threads` threads.
DeepCheckResult CheckDeepRender(const DeepView& view,
                                const std::function<uint32_t(uint32_t col, uint32_t row)>& steps,
                                unsigned threads);
