#include "update/TcpConnection.h"

#include "platform/Failure.h"
#include "platform/HostResolver.h"
#include "platform/SocketError.h"
#include "platform/WaitSlicing.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace qm {

namespace {

constexpr int kConnectStepMs = 125;

// Runs on the connect thread: a non-blocking connect watched until it ends or is called off.
int connectUntilDone(int fd, const sockaddr_in& to, const std::atomic<bool>& cancel) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    while (!cancel) {
        pollfd p{fd, POLLOUT, 0};
        const int rc = ::poll(&p, 1, 25);
        if (rc < 0 && errno != EINTR) return errno;
        if (rc > 0) {
            int err = 0;
            socklen_t len = sizeof err;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
            return err;
        }
    }
    return ETIMEDOUT;
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

    // The connect runs on its own thread; this one wakes the moment it ends, and between
    // steps of 125 ms services the window. The limit is kept on the clock, not in steps.
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    std::atomic<bool> cancel{false};
    int result = 0;
    std::thread connector([&] {
        const int r = connectUntilDone(fd, to, cancel);
        const std::lock_guard<std::mutex> guard(lock);
        result = r;
        done = true;
        ended.notify_one();
    });
    bool givenUp = false;
    const int64_t deadline = steadyMilliseconds() + limitMs;
    {
        std::unique_lock<std::mutex> guard(lock);
        for (;;) {
            const int64_t left = deadline - steadyMilliseconds();
            const int64_t step = std::clamp<int64_t>(left, 0, kConnectStepMs);
            if (ended.wait_for(guard, std::chrono::milliseconds(step), [&] { return done; })) break;
            guard.unlock();
            const bool keepGoing = !m_pump || m_pump();
            guard.lock();
            if (done) break;
            if (!keepGoing || steadyMilliseconds() >= deadline) {
                givenUp = true;
                break;
            }
        }
    }
    cancel = true;
    connector.join();
    if (givenUp && result == ETIMEDOUT) {
        ::close(fd);
        throw Failure("Connect timed out.");
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
    pollfd p{m_fd, POLLIN, 0};
    if (::poll(&p, 1, 1) <= 0) return false;
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
