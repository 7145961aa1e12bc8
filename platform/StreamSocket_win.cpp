#include "platform/StreamSocket.h"

#include "platform/Failure.h"
#include "platform/SocketAddress.h"
#include "platform/SocketError.h"

#include <algorithm>
#include <cstring>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace qm::tcp {

namespace {
SOCKET native(NativeSocket s) {
    return static_cast<SOCKET>(s);
}

void setNonBlocking(SOCKET s, bool on) {
    u_long value = on ? 1 : 0;
    ::ioctlsocket(s, FIONBIO, &value);
}
} // namespace

Started startConnect(const std::array<uint8_t, 4>& address, uint16_t port) {
    startSockets();
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw EIdInvalidSocket();
    sockaddr_in local = anyLocalAddress();
    if (::bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::closesocket(s);
        throw Failure("Could not bind socket. Address and port are already in use.");
    }
    setNonBlocking(s, true);
    const sockaddr_in to = socketAddress(address, port);
    const NativeSocket socket = static_cast<NativeSocket>(s);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return {socket, 0};
    const int err = ::WSAGetLastError();
    // Windows says "would block" for a connect under way.
    return {socket, err == WSAEWOULDBLOCK || err == WSAEINPROGRESS ? kInProgress : err};
}

int connectOutcome(NativeSocket s, int waitMs) {
    // A refused connect shows in the error set, not as writable.
    WSAPOLLFD p{};
    p.fd = native(s);
    p.events = POLLWRNORM;
    const int rc = ::WSAPoll(&p, 1, waitMs);
    if (rc == SOCKET_ERROR) return ::WSAGetLastError();
    if (rc == 0) return kInProgress;
    int err = 0;
    int len = sizeof err;
    ::getsockopt(native(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len);
    return err;
}

void makeBlocking(NativeSocket s) {
    setNonBlocking(native(s), false);
}

void sendAll(NativeSocket s, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const int n =
            ::send(native(s), data + done, static_cast<int>(std::min<size_t>(size - done, 1 << 30)), 0);
        if (n == SOCKET_ERROR) throwLastSocketError();
        done += static_cast<size_t>(n);
    }
}

size_t receive(NativeSocket s, char* into, size_t max) {
    const int n = ::recv(native(s), into, static_cast<int>(std::min<size_t>(max, 1 << 30)), 0);
    if (n == SOCKET_ERROR) throwLastSocketError();
    return static_cast<size_t>(n);
}

bool closedByPeer(NativeSocket s) {
    if (!socketReadableWithin(s, 0)) return false;
    // The connection is blocking here; a peek of a socket with nothing to read would
    // wait, and the look above says there is something: end of stream, or stray bytes.
    char probe;
    const int n = ::recv(native(s), &probe, 1, MSG_PEEK);
    if (n == SOCKET_ERROR) throwLastSocketError();
    return true;
}

void shutdownAndClose(NativeSocket s) {
    if (s == kNoSocket) return;
    ::shutdown(native(s), SD_BOTH);
    ::closesocket(native(s));
}

} // namespace qm::tcp
