#include "platform/StreamSocket.h"

#include "platform/Failure.h"
#include "platform/SocketAddress.h"
#include "platform/SocketError.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qm::tcp {

namespace {
int native(NativeSocket s) {
    return static_cast<int>(s);
}
} // namespace

Started startConnect(const std::array<uint8_t, 4>& address, uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw EIdInvalidSocket();
    sockaddr_in local = anyLocalAddress();
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        throw Failure("Could not bind socket. Address and port are already in use.");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    const sockaddr_in to = socketAddress(address, port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return {fd, 0};
    const int err = errno;
    return {fd, err == EINPROGRESS || err == EINTR ? kInProgress : socketErrorCode(err)};
}

int connectOutcome(NativeSocket s, int waitMs) {
    pollfd p{native(s), POLLOUT, 0};
    const int rc = ::poll(&p, 1, waitMs);
    if (rc < 0) return errno == EINTR ? kInProgress : socketErrorCode(errno);
    if (rc == 0) return kInProgress;
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(native(s), SOL_SOCKET, SO_ERROR, &err, &len);
    return err == 0 ? 0 : socketErrorCode(err);
}

void makeBlocking(NativeSocket s) {
    ::fcntl(native(s), F_SETFL, ::fcntl(native(s), F_GETFL) & ~O_NONBLOCK);
}

void sendAll(NativeSocket s, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::send(native(s), data + done, size - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwLastSocketError();
        }
        done += static_cast<size_t>(n);
    }
}

size_t receive(NativeSocket s, char* into, size_t max) {
    for (;;) {
        const ssize_t n = ::recv(native(s), into, max, 0);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) throwLastSocketError();
    }
}

bool closedByPeer(NativeSocket s) {
    pollfd p{native(s), POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return false;
    char probe;
    const ssize_t n = ::recv(native(s), &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return false;
        throwLastSocketError();
    }
    return true;
}

void shutdownAndClose(NativeSocket s) {
    if (s == kNoSocket) return;
    ::shutdown(native(s), SHUT_RDWR);
    ::close(native(s));
}

} // namespace qm::tcp
