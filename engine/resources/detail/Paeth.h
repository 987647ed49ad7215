// The PNG Paeth predictor, one definition for the encoder that filters with
// it and the decoder that undoes it, so the two cannot drift apart.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace resources_detail
{

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
