#pragma once
#include "platform/Clock.h"
#include "platform/MessagePump.h"
#include "platform/SocketSystem.h"

#include <cstdint>
#include <functional>

namespace qm {

/// Wait values: a positive number is a limit in milliseconds, 0 looks once, -2 waits
/// without limit.
constexpr int kWaitForever = -2;
constexpr int kWaitSlice = 250;

/// Microseconds and milliseconds on the steady clock.
int64_t steadyMicroseconds();
int64_t steadyMilliseconds();

/// The first slice of a wait: the remainder modulo 250, or 250 for a multiple of 250.
int firstWaitSlice(int waitMs);

/// Waits until the socket `fd` is readable, in slices of at most 250 ms; after every slice in which
/// nothing arrived the pump runs. The limit is kept on `now`, so a slow pump cannot
/// stretch it by more than one slice. Returns false when nothing arrived in the wait or
/// the pump asked to give up. Readiness errors come back as readable, so the read
/// reports them. The limit is measured in microseconds, finer than itself, so a wait never
/// ends early.
bool waitReadable(NativeSocket fd, int waitMs, const MessagePump& pump, const Clock& clock = steadyClock());

} // namespace qm
