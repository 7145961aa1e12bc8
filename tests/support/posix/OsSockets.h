#pragma once
// The BSD socket calls the test peers use, as Linux has them.
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qm::test::os {

using Socket = int;
inline constexpr Socket kBadSocket = -1;
inline constexpr int kNoSignal = MSG_NOSIGNAL;
/// What the system reports for a datagram sent to a closed port.
inline constexpr int kClosedPortError = ECONNREFUSED;

inline void startSockets() {}
inline void closeSocket(Socket s) {
    ::close(s);
}
inline int pollSockets(pollfd* fds, unsigned count, int timeoutMs) {
    return ::poll(fds, count, timeoutMs);
}
inline bool setNonBlocking(Socket s) {
    return ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) | O_NONBLOCK) == 0;
}

inline bool lastCallWouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

} // namespace qm::test::os
