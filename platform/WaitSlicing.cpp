#include "platform/WaitSlicing.h"

#include <cerrno>
#include <poll.h>

namespace qm {

int firstWaitSlice(int waitMs) {
    if (waitMs <= kWaitSlice)
        return waitMs;
    int rest = waitMs % kWaitSlice;
    return rest == 0 ? kWaitSlice : rest;
}

namespace {
bool readableWithin(int fd, int sliceMs) {
    pollfd p{fd, POLLIN, 0};
    for (;;) {
        int rc = ::poll(&p, 1, sliceMs);
        if (rc < 0 && errno == EINTR)
            continue;
        return rc != 0;
    }
}
} // namespace

bool waitReadable(int fd, int waitMs, const MessagePump& pump) {
    if (waitMs == 0)
        return readableWithin(fd, 0);
    bool forever = waitMs == kWaitForever || waitMs < 0;
    int left = waitMs;
    int slice = forever ? kWaitSlice : firstWaitSlice(waitMs);
    for (;;) {
        if (readableWithin(fd, slice))
            return true;
        if (pump && !pump())
            return false;
        if (!forever) {
            left -= slice;
            if (left <= 0)
                return false;
        }
        slice = kWaitSlice;
    }
}

} // namespace qm
