// What the PNG encoder and decoder must agree on, defined once so the two
// cannot drift apart: the signature and the Paeth predictor.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace resources_detail
{

inline constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Whichever neighbour is nearest left + up - upperLeft; ties prefer left,
// then up, as the format requires.
inline uint8_t Paeth(int left, int up, int upperLeft)
{
    const int p = left + up - upperLeft;
    const int pa = std::abs(p - left);
    const int pb = std::abs(p - up);
    const int pc = std::abs(p - upperLeft);
    if (pa <= pb && pa <= pc)
        return uint8_t(left);
    return uint8_t(pb <= pc ? up : upperLeft);
}

} // namespace resources_detail
