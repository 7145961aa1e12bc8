#pragma once
// The steady clock run faster, so that a wait the program measures on its clock passes in
// a fraction of the time; for tests of fixed waits.
#include "platform/Clock.h"

namespace qm::test {

class ScaledClock : public Clock {
  public:
    explicit ScaledClock(int64_t factor) : m_factor(factor) {}
    int64_t frequency() const override { return steadyClock().frequency(); }
    int64_t counter() const override { return steadyClock().counter() * m_factor; }

  private:
    int64_t m_factor;
};

} // namespace qm::test
