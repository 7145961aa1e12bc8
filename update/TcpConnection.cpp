#include "update/TcpConnection.h"

#include "platform/Failure.h"
#include "platform/HostResolver.h"
#include "platform/SocketError.h"
#include "platform/WaitSlicing.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qm {

namespace {

constexpr int kConnectStepMs = 125;

// The outcome of a connect under way, waited for at most `waitMs`: 0 when it succeeded,
// the error that ended it, or EINPROGRESS while it goes on.
int connectOutcome(int fd, int waitMs) {
    pollfd p{fd, POLLOUT, 0};
    const int rc = ::poll(&p, 1, waitMs);
    if (rc < 0) return errno == EINTR ? EINPROGRESS : errno;
    if (rc == 0) return EINPROGRESS;
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
    return err;
}

} // namespace

void TcpConnection::close() {
    if (m_fd >= 0) {
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_fd = -1;
    }
}

void TcpConnection::open(const std::string& address, uint16_t port, int limitMs) {
    close();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw EIdInvalidSocket();
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        throw Failure("Could not bind socket. Address and port are already in use.");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    const auto bytes = addressBytes(address);
    std::memcpy(&to.sin_addr, bytes.data(), 4);
    to.sin_port = htons(port);

    // The connect goes on while this thread waits for it in steps of 125 ms, servicing the
    // window between steps; it wakes the moment the connect ends. The limit is kept on the
    // clock, not in steps.
    int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 ? 0 : errno;
    const int64_t deadline = steadyMicroseconds() + int64_t{limitMs} * 1000;
    while (result == EINPROGRESS || result == EINTR) {
        const int64_t left = deadline - steadyMicroseconds();
        // Whole milliseconds, rounded up: the wait may end late by less than one, never early.
        result =
            connectOutcome(fd, static_cast<int>(std::clamp<int64_t>((left + 999) / 1000, 0, kConnectStepMs)));
        if (result != EINPROGRESS) break;
        if ((m_pump && !m_pump()) || steadyMicroseconds() >= deadline) {
            ::close(fd);
            throw Failure("Connect timed out.");
        }
    }
    if (result != 0) {
        ::close(fd);
        errno = result;
        throwLastSocketError();
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_address = address;
    m_port = port;
}

void TcpConnection::sendAll(const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(m_fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwLastSocketError();
        }
        done += static_cast<size_t>(n);
    }
}

size_t TcpConnection::read(char* into, size_t max, int waitMs) {
    if (m_fd < 0) return 0;
    // A server that sends without pause must not keep the window from being serviced:
    // every 250 ms of reading, the window gets its turn, data or not.
    const int64_t now = steadyMilliseconds();
    if (m_lastPump == 0) m_lastPump = now;
    if (now - m_lastPump >= kWaitSlice) {
        m_lastPump = now;
        if (m_pump && !m_pump()) throw Failure("Read Timeout");
    }
    const MessagePump pumpAndNote = [this] {
        m_lastPump = steadyMilliseconds();
        return !m_pump || m_pump();
    };
    if (!waitReadable(m_fd, waitMs, pumpAndNote)) throw Failure("Read Timeout");
    for (;;) {
        const ssize_t n = ::recv(m_fd, into, max, 0);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) throwLastSocketError();
    }
}

bool TcpConnection::closedByPeer() {
    // A look, not a wait: a kept connection the peer has not closed has nothing to read.
    pollfd p{m_fd, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return false;
    char probe;
    const ssize_t n = ::recv(m_fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) return true;
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return false;
        throwLastSocketError();
    }
    // Bytes nobody asked for: the connection is out of step, so start afresh.
    return true;
}

} // namespace qm
