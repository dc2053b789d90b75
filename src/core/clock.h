#pragma once
// The time of day that reseeds the random source before every draw. Injected
// so tests can hold the clock still and prove draws still differ.

namespace qh {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, fraction included.
    virtual double secondsSinceMidnight() const = 0;
};

class SystemClock final : public Clock {
public:
    double secondsSinceMidnight() const override;
};

// A clock that always reads the same time (or whatever a test sets).
class FixedClock final : public Clock {
public:
    explicit FixedClock(double seconds = 0.0) : m_seconds(seconds) {}
    double secondsSinceMidnight() const override { return m_seconds; }
    void set(double seconds) { m_seconds = seconds; }

private:
    double m_seconds;
};

} // namespace qh
