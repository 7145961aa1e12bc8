#pragma once
#include "platform/MessagePump.h"

#include <cstdint>
#include <functional>

namespace qm {

/// Wait values: a positive number is a limit in milliseconds, 0 looks once, -2 waits
/// without limit.
constexpr int kWaitForever = -2;
constexpr int kWaitSlice = 250;

/// Microseconds on a clock that never goes back; every limit of a wait is measured on it,
/// finer than the limits themselves so that a wait never ends early.
using MonotonicClock = std::function<int64_t()>;
int64_t steadyMicroseconds();
int64_t steadyMilliseconds();

/// The first slice of a wait: the remainder modulo 250, or 250 for a multiple of 250.
int firstWaitSlice(int waitMs);

/// Waits until `fd` is readable, in slices of at most 250 ms; after every slice in which
/// nothing arrived the pump runs. The limit is kept on `now`, so a slow pump cannot
/// stretch it by more than one slice. Returns false when nothing arrived in the wait or
/// the pump asked to give up. Readiness errors come back as readable, so the read
/// reports them.
bool waitReadable(int fd, int waitMs, const MessagePump& pump,
                  const MonotonicClock& now = steadyMicroseconds);

} // namespace qm
