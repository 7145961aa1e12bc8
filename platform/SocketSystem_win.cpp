#include "platform/SocketSystem.h"

#include <mutex>
#include <winsock2.h>

namespace qm {

void startSockets() {
    // Winsock 2.2, started once and kept for the life of the process.
    static std::once_flag started;
    std::call_once(started, [] {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    });
}

void closeSocket(NativeSocket s) {
    if (s != kNoSocket) ::closesocket(static_cast<SOCKET>(s));
}

int lastSocketError() {
    return ::WSAGetLastError();
}

int socketErrorCode(int err) {
    return err;
}

bool socketReadableWithin(NativeSocket s, int waitMs) {
    WSAPOLLFD p{};
    p.fd = static_cast<SOCKET>(s);
    p.events = POLLRDNORM;
    return ::WSAPoll(&p, 1, waitMs) != 0;
}

} // namespace qm
