#include "platform/WaitSlicing.h"

#include "platform/SocketSystem.h"

#include <algorithm>

namespace qm {

int64_t steadyMicroseconds() {
    return steadyClock().microseconds();
}

int64_t steadyMilliseconds() {
    return steadyClock().microseconds() / 1000;
}

int firstWaitSlice(int waitMs) {
    if (waitMs <= kWaitSlice) return waitMs;
    int rest = waitMs % kWaitSlice;
    return rest == 0 ? kWaitSlice : rest;
}

bool waitReadable(NativeSocket fd, int waitMs, const MessagePump& pump, const Clock& clock) {
    if (waitMs == 0) return socketReadableWithin(fd, 0);
    const bool forever = waitMs == kWaitForever || waitMs < 0;
    const int64_t deadline = forever ? 0 : clock.microseconds() + int64_t{waitMs} * 1000;
    int slice = forever ? kWaitSlice : firstWaitSlice(waitMs);
    for (;;) {
        if (socketReadableWithin(fd, slice)) return true;
        if (pump && !pump()) return false;
        slice = kWaitSlice;
        if (!forever) {
            const int64_t left = deadline - clock.microseconds();
            if (left <= 0) return false;
            // Whole milliseconds, rounded up: the wait may end late by less than one, never early.
            slice = static_cast<int>(std::min<int64_t>(slice, (left + 999) / 1000));
        }
    }
}

} // namespace qm
