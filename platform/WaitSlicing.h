#pragma once
#include "platform/MessagePump.h"

namespace qm {

/// Wait values: a positive number is a limit in milliseconds, 0 looks once, -2 waits
/// without limit.
constexpr int kWaitForever = -2;
constexpr int kWaitSlice = 250;

/// The first slice of a wait: the remainder modulo 250, or 250 for a multiple of 250.
int firstWaitSlice(int waitMs);

/// Waits until `fd` is readable, in slices of at most 250 ms; after every slice in which
/// nothing arrived the pump runs. Returns false when nothing arrived in the wait or the
/// pump asked to give up. Readiness errors come back as readable, so the read reports them.
bool waitReadable(int fd, int waitMs, const MessagePump& pump);

} // namespace qm
