#pragma once
#include <chrono>
#include <cstdint>

namespace qm {

/// A high-resolution counter: its frequency in counts per second and its present count.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t frequency() const = 0;
    virtual int64_t counter() const = 0;
};

class SteadyClock : public Clock {
public:
    int64_t frequency() const override {
        using Period = std::chrono::steady_clock::period;
        return Period::den / Period::num;
    }
    int64_t counter() const override { return std::chrono::steady_clock::now().time_since_epoch().count(); }
};

} // namespace qm
