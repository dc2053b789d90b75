#pragma once
// The random source of both modes: xoshiro256** with a reseed that folds the
// clock reading into the running state. Reseeding twice with the same time
// therefore continues the sequence instead of restarting it, so draws made
// within one tick of the clock still differ.

#include <array>
#include <cstdint>

namespace qh {

class Clock;

class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed = 0x51A6E5EEDull);

    // Mixes a time reading (seconds since midnight) into the state.
    void reseed(double secondsSinceMidnight);
    // Mixes the clock's current reading into the state.
    void reseed(const Clock &clock);

    std::uint64_t next64();
    // i + floor(u * (n + 1 - i)) for u = m / 2^32 computed exactly in integers,
    // so it lies in [i, n] and can never reach n + 1. Requires i <= n.
    int nextIndex(int i, int n);

    // The 32-bit value u is made of; exposed for tests of the index arithmetic.
    static int indexFromBits(std::uint32_t m, int i, int n);

private:
    std::array<std::uint64_t, 4> m_state{};
    std::uint64_t m_reseeds = 0;
};

} // namespace qh
