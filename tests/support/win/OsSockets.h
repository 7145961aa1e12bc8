#pragma once
// The BSD socket calls the test peers use, as Winsock 2 has them.
#include <winsock2.h>
#include <ws2tcpip.h>

namespace qm::test::os {

using Socket = SOCKET;
inline constexpr Socket kBadSocket = INVALID_SOCKET;
inline constexpr int kNoSignal = 0; // Winsock raises no signal on a closed peer
/// What the system reports for a datagram sent to a closed port.
inline constexpr int kClosedPortError = WSAECONNRESET;

inline void startSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}
inline void closeSocket(Socket s) {
    ::closesocket(s);
}
inline int pollSockets(pollfd* fds, unsigned count, int timeoutMs) {
    return ::WSAPoll(fds, count, timeoutMs);
}
inline bool setNonBlocking(Socket s) {
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
}

inline bool lastCallWouldBlock() {
    return ::WSAGetLastError() == WSAEWOULDBLOCK;
}

} // namespace qm::test::os
