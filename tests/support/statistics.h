#pragma once
// Shared by the statistical tests: a clock that counts its readings (how often
// the random source was reseeded) and the chi-square statistic.

#include "core/clock.h"

#include <vector>

namespace qh::test {

class CountingClock final : public Clock {
public:
    explicit CountingClock(double t = 36000.25) : m_t(t) {}
    double secondsSinceMidnight() const override
    {
        ++reads;
        return m_t;
    }
    mutable int reads = 0;

private:
    double m_t;
};

// Chi-square statistic of observed counts against one common expectation.
template <class Count>
double chiSquare(const std::vector<Count> &counts, double expected)
{
    double x = 0;
    for (Count c : counts)
        x += (double(c) - expected) * (double(c) - expected) / expected;
    return x;
}

} // namespace qh::test
