#include "query/TIdUDPClient.h"

#include "platform/DatagramSocket.h"
#include "platform/SocketError.h"
#include "platform/WaitSlicing.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace qm {

namespace {
bool isIcmpReport(int err) {
    return err == ECONNREFUSED || err == EHOSTUNREACH || err == ENETUNREACH || err == EHOSTDOWN ||
           err == ENONET || err == EPROTO;
}
} // namespace

TIdUDPClient::TIdUDPClient(HostLookup lookup) : m_lookup(std::move(lookup)) {}

TIdUDPClient::~TIdUDPClient() {
    closeSocket();
}

void TIdUDPClient::closeSocket() {
    if (m_fd < 0) return;
    ::shutdown(m_fd, SHUT_WR);
    ::close(m_fd);
    m_fd = -1;
    m_hasPeer = false;
}

void TIdUDPClient::ensureSocket() {
    if (m_fd >= 0) return;
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) throw EIdInvalidSocket();
    int broadcast = BroadcastEnabled ? 1 : 0;
    if (::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &broadcast, sizeof broadcast) != 0)
        throwLastSocketError();
    // A closed port answers with an ICMP "port unreachable", which Windows reports on the
    // next receive; Linux tells an unconnected socket only through its error queue.
    int recvErr = 1;
    ::setsockopt(m_fd, IPPROTO_IP, IP_RECVERR, &recvErr, sizeof recvErr);
}

bool TIdUDPClient::peerPortUnreachable() {
    bool unreachable = false;
    // The error names the destination of the datagram it answers: only the present
    // destination's counts, as only its replies do.
    const Endpoint peer{ntohl(m_peerAddress), ntohs(m_peerPort)};
    for (const IcmpReport& r : takeIcmpReports(m_fd))
        unreachable = unreachable || (m_hasPeer && r.peer == peer && r.err == ECONNREFUSED);
    return unreachable;
}

uint16_t TIdUDPClient::localPort() const {
    sockaddr_in local{};
    socklen_t len = sizeof local;
    if (m_fd < 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &len) != 0) return 0;
    return ntohs(local.sin_port);
}

void TIdUDPClient::SendDatagram(const std::string& data, bool dropQueuedFirst) {
    const std::string address = resolveHost(Host, m_lookup);
    const auto bytes = addressBytes(address);
    // A new exchange gets a socket of its own, on a fresh local port: a late answer to an
    // earlier one can then never be taken for its answer, however late it comes.
    if (dropQueuedFirst) closeSocket();
    ensureSocket();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    std::memcpy(&to.sin_addr, bytes.data(), 4);
    to.sin_port = htons(static_cast<uint16_t>(Port & 0xFFFF));
    auto send = [&] {
        return ::sendto(m_fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    };
    ssize_t sent = send();
    // A port-unreachable report of an earlier datagram is handed to the next call on the
    // socket; the receive reports it from the error queue, so the send goes out all the same.
    if (sent < 0 && isIcmpReport(errno)) sent = send();
    if (sent < 0) {
        if (errno == EMSGSIZE) throw EIdPackageSizeTooBig();
        throwLastSocketError();
    }
    if (static_cast<size_t>(sent) < data.size()) throw EIdNotAllBytesSent();
    m_peerAddress = to.sin_addr.s_addr;
    m_peerPort = to.sin_port;
    m_hasPeer = true;
}

std::string TIdUDPClient::ReceiveDatagram(int32_t waitMs) {
    if (waitMs == -1) waitMs = ReceiveTimeout;
    ensureSocket();
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs > 0 ? waitMs : 0);
    std::vector<char> buffer(static_cast<size_t>(BufferSize > 0 ? BufferSize : 1));
    int32_t wait = waitMs;
    for (;;) {
        if (!waitReadable(m_fd, wait, m_pump)) return {};
        if (peerPortUnreachable()) throw EIdSocketError(SocketErrorCode::kConnectionReset);
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(m_fd, buffer.data(), buffer.size(), MSG_TRUNC | MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) {
            // An ICMP error comes through the error queue, read above; whoever it was about.
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && !isIcmpReport(errno))
                throwLastSocketError();
        } else {
            const bool fromPeer =
                !m_hasPeer || (from.sin_addr.s_addr == m_peerAddress && from.sin_port == m_peerPort);
            if (fromPeer) {
                char text[INET_ADDRSTRLEN] = {};
                ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
                m_lastSender = std::string(text) + ":" + std::to_string(ntohs(from.sin_port));
                // The system cuts an oversized datagram silently; it is an error here.
                if (static_cast<size_t>(n) > buffer.size()) throw EIdSocketError(SocketErrorCode::kMessageTooLong);
                return std::string(buffer.data(), static_cast<size_t>(n));
            }
            // Anyone else's datagram is dropped and the wait goes on.
        }
        if (waitMs > 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return {};
            wait = static_cast<int32_t>(left);
        } else if (waitMs == 0) {
            return {};
        }
    }
}

} // namespace qm
