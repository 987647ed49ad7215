#include "core/Random.h"

namespace
{
constexpr int N = 624;
constexpr int M = 397;

struct TwisterState
{
    uint32_t mt[N];
    int index = N + 1; // not yet seeded
};

// Shared by every generator object; used from the main thread only.
TwisterState& State()
{
    static TwisterState state;
    return state;
}
} // namespace

uint32_t CRandomGenerator::Range(uint32_t lo, uint32_t hi)
{
    const uint32_t n = hi - lo + 1u;
    if (n == 0)
        return lo;
    return lo + Next() % n;
}

uint32_t CRandomGenerator::Range(uint32_t hi)
{
    return Range(0, hi);
}

float CRandomGenerator::NextFloat()
{
    return static_cast<float>(static_cast<double>(Next()) * (1.0 / 4294967296.0));
}

void CMersenneTwister::Seed(uint32_t seed)
{
    TwisterState& s = State();
    s.mt[0] = seed;
    for (int i = 1; i < N; ++i)
        s.mt[i] = 1812433253u * (s.mt[i - 1] ^ (s.mt[i - 1] >> 30)) + static_cast<uint32_t>(i);
    s.index = N;
}

void CMersenneTwister::SeedArray(const uint32_t* key, int length)
{
    Seed(19650218u);
    if (!key || length <= 0)
        return; // nothing to mix in; the reference would read past the key
    uint32_t* mt = State().mt;
    int i = 1, j = 0;
    for (int k = N > length ? N : length; k; --k)
    {
        mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525u)) + key[j] +
                static_cast<uint32_t>(j);
        if (++i >= N)
        {
            mt[0] = mt[N - 1];
            i = 1;
        }
        if (++j >= length)
            j = 0;
    }
    for (int k = N - 1; k; --k)
    {
        mt[i] =
            (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941u)) - static_cast<uint32_t>(i);
        if (++i >= N)
        {
            mt[0] = mt[N - 1];
            i = 1;
        }
    }
    mt[0] = 0x80000000u;
}

uint32_t CMersenneTwister::Next()
{
    static constexpr uint32_t Mag01[2] = {0u, 0x9908b0dfu};
    TwisterState& s = State();
    if (s.index >= N)
    {
        if (s.index == N + 1)
            Seed(5489u);
        int k = 0;
        for (; k < N - M; ++k)
        {
            const uint32_t y = (s.mt[k] & 0x80000000u) | (s.mt[k + 1] & 0x7fffffffu);
            s.mt[k] = s.mt[k + M] ^ (y >> 1) ^ Mag01[y & 1u];
        }
        for (; k < N - 1; ++k)
        {
            const uint32_t y = (s.mt[k] & 0x80000000u) | (s.mt[k + 1] & 0x7fffffffu);
            s.mt[k] = s.mt[k + (M - N)] ^ (y >> 1) ^ Mag01[y & 1u];
        }
        const uint32_t y = (s.mt[N - 1] & 0x80000000u) | (s.mt[0] & 0x7fffffffu);
        s.mt[N - 1] = s.mt[M - 1] ^ (y >> 1) ^ Mag01[y & 1u];
        s.index = 0;
    }
    uint32_t y = s.mt[s.index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}
