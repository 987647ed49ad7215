// Pseudo-random numbers: an interface with ranged integers and floats in
// [0, 1], and the MT19937 Mersenne Twister in its reference form. The
// twister's state is process-wide: every object draws from one sequence.
#pragma once

#include <cstdint>

class CRandomGenerator
{
public:
    virtual ~CRandomGenerator() = default;
    virtual void Seed(uint32_t seed) = 0;
    // lo + Next() mod (hi - lo + 1), the count wrapping in 32 bits: the full
    // range (0, 4294967295) has count 0 and returns lo.
    virtual uint32_t Range(uint32_t lo, uint32_t hi);
    virtual uint32_t Range(uint32_t hi);
    virtual uint32_t Next() = 0;
    virtual float NextFloat();
};

class CMersenneTwister : public CRandomGenerator
{
public:
    using CRandomGenerator::Range;

    void Seed(uint32_t seed) override;
    uint32_t Next() override;
    virtual void SeedArray(const uint32_t* key, int length);
};
