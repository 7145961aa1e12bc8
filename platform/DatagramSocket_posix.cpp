#include "platform/DatagramSocket.h"

#include "platform/SocketAddress.h"
#include "platform/SocketError.h"
#include "platform/SocketSystem.h"
#include "platform/WaitSlicing.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qm {

namespace {

int native(NativeSocket s) {
    return static_cast<int>(s);
}

// The largest datagram UDP carries; anything a server sends fits.
constexpr size_t kMaxDatagram = 65536;
// Room for the replies of hundreds of servers arriving together.
constexpr int kReceiveBuffer = 4 * 1024 * 1024;

} // namespace

DatagramSocket::DatagramSocket() : m_buffer(kMaxDatagram) {
    startSockets();
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0) throw EIdInvalidSocket();
    int size = kReceiveBuffer;
    ::setsockopt(native(m_fd), SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    int on = 1;
    ::setsockopt(native(m_fd), IPPROTO_IP, IP_RECVERR, &on, sizeof on);
}

DatagramSocket::~DatagramSocket() {
    closeSocket(m_fd);
}

int DatagramSocket::sendTo(const Endpoint& to, std::string_view data) {
    const sockaddr_in a = socketAddress(to);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ssize_t sent = ::sendto(native(m_fd), data.data(), data.size(), 0,
                                      reinterpret_cast<const sockaddr*>(&a), sizeof a);
        if (sent == static_cast<ssize_t>(data.size())) return 0;
        // A pending ICMP report of another peer fails the call once; it is read from the
        // error queue, so the datagram is sent again.
        if (sent < 0 && (errno == ECONNREFUSED || errno == EHOSTUNREACH || errno == ENETUNREACH)) continue;
        if (sent < 0 && (errno == EAGAIN || errno == ENOBUFS)) return SocketErrorCode::kNoBufferSpace;
        return sent < 0 ? lastSocketError() : SocketErrorCode::kMessageTooLong;
    }
    return lastSocketError();
}

std::optional<DatagramSocket::Datagram> DatagramSocket::receive() {
    for (;;) {
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(native(m_fd), m_buffer.data(), m_buffer.size(), MSG_TRUNC,
                                     reinterpret_cast<sockaddr*>(&from), &len);
        if (n >= 0) {
            const size_t kept = std::min(static_cast<size_t>(n), m_buffer.size());
            return Datagram{endpointOf(from), std::string(m_buffer.data(), kept),
                            static_cast<size_t>(n) > kept};
        }
        if (errno == EINTR) continue;
        // An ICMP report shows as a failed receive; takeUnreachable() reads it.
        return std::nullopt;
    }
}

namespace {

// An ICMP report the system queued on the socket (IP_RECVERR): the peer of the datagram
// it answers, and its errno value.
struct IcmpReport {
    Endpoint peer;
    int err = 0;
};

std::vector<IcmpReport> takeIcmpReports(int fd) {
    std::vector<IcmpReport> reports;
    for (;;) {
        char control[512];
        sockaddr_in origin{};
        char scrap[1];
        iovec iov{scrap, sizeof scrap};
        msghdr msg{};
        msg.msg_name = &origin;
        msg.msg_namelen = sizeof origin;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        if (::recvmsg(fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT) < 0) return reports;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) continue;
            sock_extended_err err{};
            std::memcpy(&err, CMSG_DATA(c), sizeof err);
            if (err.ee_origin == SO_EE_ORIGIN_ICMP)
                reports.push_back({endpointOf(origin), static_cast<int>(err.ee_errno)});
        }
    }
}

} // namespace

int DatagramSocket::unreachableCode(int systemError) {
    // A closed port is the "connection reset" Windows reports for UDP.
    return systemError == ECONNREFUSED ? SocketErrorCode::kConnectionReset : socketErrorCode(systemError);
}

std::vector<DatagramSocket::Unreachable> DatagramSocket::takeUnreachable() {
    std::vector<Unreachable> unreachable;
    for (const IcmpReport& r : takeIcmpReports(native(m_fd)))
        unreachable.push_back({r.peer, unreachableCode(r.err)});
    return unreachable;
}

bool DatagramSocket::waitMicroseconds(int64_t micros) const {
    pollfd p{native(m_fd), POLLIN, 0};
    const int64_t wait = micros < 0 ? 0 : micros;
    const timespec limit{static_cast<time_t>(wait / 1000000), static_cast<long>(wait % 1000000 * 1000)};
    return ::ppoll(&p, 1, &limit, nullptr) > 0;
}

bool DatagramSocket::waitReadable(int waitMs, const MessagePump& pump, const Clock& clock) const {
    return qm::waitReadable(m_fd, waitMs, pump, clock);
}

int DatagramSocket::setBroadcast(bool on) {
    const int value = on ? 1 : 0;
    return ::setsockopt(native(m_fd), SOL_SOCKET, SO_BROADCAST, &value, sizeof value) == 0
               ? 0
               : lastSocketError();
}

uint16_t DatagramSocket::localPort() const {
    sockaddr_in local{};
    socklen_t len = sizeof local;
    return ::getsockname(native(m_fd), reinterpret_cast<sockaddr*>(&local), &len) == 0 ? ntohs(local.sin_port)
                                                                                       : 0;
}

} // namespace qm
