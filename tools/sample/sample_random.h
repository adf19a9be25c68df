#pragma once
// The sample disc's own pseudo-random numbers: a 64-bit xorshift with a fixed seed, so that the
// sample holds the same bytes on every run and with every standard library.

#include <cstdint>

namespace tarvo::sample {

class SampleRandom {
public:
    explicit SampleRandom(std::uint64_t seed) : m_state(seed ? seed : 0x9E3779B97F4A7C15ull) {}

    std::uint64_t next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state * 0x2545F4914F6CDD1Dull;
    }
    // A number from lo to hi, both included (lo <= hi).
    int range(int lo, int hi) {
        return lo + static_cast<int>((next() >> 16) % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool chance(int percent) { return range(0, 99) < percent; }
    // A number from 0 to 1 (exclusive), for the sound synthesis.
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }

private:
    std::uint64_t m_state;
};

}  // namespace tarvo::sample
