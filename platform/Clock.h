#pragma once
#include <chrono>
#include <cstdint>

namespace qm {

/// The program's one clock: a high-resolution counter with its frequency in counts per
/// second. Everything that measures or waits reads time through one of these, so tests can
/// hand in a clock they move by hand.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual int64_t frequency() const = 0;
    virtual int64_t counter() const = 0;
    /// The counter in microseconds.
    int64_t microseconds() const {
        const int64_t f = frequency(), c = counter();
        // Split so that a nanosecond counter of a long uptime cannot overflow.
        return c / f * 1000000 + c % f * 1000000 / f;
    }
};

class SteadyClock : public Clock {
  public:
    int64_t frequency() const override {
        using Period = std::chrono::steady_clock::period;
        return Period::den / Period::num;
    }
    int64_t counter() const override { return std::chrono::steady_clock::now().time_since_epoch().count(); }
};

/// The system's steady clock, for whoever is not given another.
inline const Clock& steadyClock() {
    static const SteadyClock clock;
    return clock;
}

/// A clock that stands still until it is moved, for tests and simulations.
class ManualClock : public Clock {
  public:
    int64_t frequency() const override { return 1000000; }
    int64_t counter() const override { return m_micros; }
    void advanceMicroseconds(int64_t micros) { m_micros += micros; }
    void advanceMilliseconds(int64_t ms) { m_micros += ms * 1000; }

  private:
    int64_t m_micros = 1000000;
};

} // namespace qm
