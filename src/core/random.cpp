#include "core/random.h"

#include "core/clock.h"

#include <bit>
#include <cstring>

namespace qh {

namespace {

std::uint64_t splitMix64(std::uint64_t &x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

RandomSource::RandomSource(std::uint64_t seed)
{
    std::uint64_t x = seed;
    for (auto &word : m_state)
        word = splitMix64(x);
}

void RandomSource::reseed(double secondsSinceMidnight)
{
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof secondsSinceMidnight);
    std::memcpy(&bits, &secondsSinceMidnight, sizeof bits);
    // The reseed counter makes each fold distinct even for equal readings, and
    // the state words are xored, never replaced, so nothing restarts.
    std::uint64_t x = bits ^ (++m_reseeds * 0xD1B54A32D192ED03ull);
    for (auto &word : m_state)
        word ^= splitMix64(x);
    if ((m_state[0] | m_state[1] | m_state[2] | m_state[3]) == 0)
        m_state[0] = 1; // xoshiro must never hold the all-zero state
    next64();
}

void RandomSource::reseed(const Clock &clock)
{
    reseed(clock.secondsSinceMidnight());
}

std::uint64_t RandomSource::next64()
{
    auto &s = m_state;
    const std::uint64_t result = std::rotl(s[1] * 5, 7) * 9;
    const std::uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = std::rotl(s[3], 45);
    return result;
}

int RandomSource::indexFromBits(std::uint32_t m, int i, int n)
{
    // (m * span) < 2^32 * 2^31 fits in 64 bits, so the product is exact.
    const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(n) + 1 - i);
    return i + static_cast<int>((static_cast<std::uint64_t>(m) * span) >> 32);
}

int RandomSource::nextIndex(int i, int n)
{
    return indexFromBits(static_cast<std::uint32_t>(next64() >> 32), i, n);
}

} // namespace qh
