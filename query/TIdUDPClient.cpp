#include "query/TIdUDPClient.h"

#include "platform/DatagramSocket.h"
#include "platform/SocketError.h"

namespace qm {

TIdUDPClient::TIdUDPClient(HostLookup lookup, const Clock& clock)
    : m_lookup(std::move(lookup)), m_clock(clock) {}

TIdUDPClient::~TIdUDPClient() = default;

void TIdUDPClient::ensureSocket() {
    if (m_socket) return;
    m_socket = std::make_unique<DatagramSocket>();
    m_hasPeer = false;
    if (const int code = m_socket->setBroadcast(BroadcastEnabled)) throw EIdSocketError(code);
}

uint16_t TIdUDPClient::localPort() const {
    return m_socket ? m_socket->localPort() : 0;
}

void TIdUDPClient::SendDatagram(const std::string& data, bool dropQueuedFirst) {
    const std::string address = resolveHost(Host, m_lookup);
    const Endpoint to = Endpoint::fromDotted(address, static_cast<uint16_t>(Port & 0xFFFF));
    // A new exchange gets a socket of its own, on a fresh local port: a late answer to an
    // earlier one can then never be taken for its answer, however late it comes.
    if (dropQueuedFirst) m_socket.reset();
    ensureSocket();
    if (const int code = m_socket->sendTo(to, data)) {
        if (code == SocketErrorCode::kMessageTooLong) throw EIdPackageSizeTooBig();
        throw EIdSocketError(code);
    }
    m_peer = to;
    m_hasPeer = true;
}

bool TIdUDPClient::peerPortUnreachable() {
    bool unreachable = false;
    // A report names the destination of the datagram it answers: only the present
    // destination's counts, as only its replies do.
    for (const DatagramSocket::Unreachable& u : m_socket->takeUnreachable())
        unreachable =
            unreachable || (m_hasPeer && u.peer == m_peer && u.code == SocketErrorCode::kConnectionReset);
    return unreachable;
}

std::string TIdUDPClient::ReceiveDatagram(int32_t waitMs) {
    if (waitMs == -1) waitMs = ReceiveTimeout;
    ensureSocket();
    const int64_t deadline = m_clock.microseconds() + int64_t{waitMs > 0 ? waitMs : 0} * 1000;
    int32_t wait = waitMs;
    for (;;) {
        if (!m_socket->waitReadable(wait, m_pump, m_clock)) return {};
        if (peerPortUnreachable()) throw EIdSocketError(SocketErrorCode::kConnectionReset);
        while (auto d = m_socket->receive()) {
            // Anyone else's datagram is dropped and the wait goes on.
            if (m_hasPeer && !(d->from == m_peer)) continue;
            m_lastSender = d->from.text();
            // The system cuts an oversized datagram silently; it is an error here.
            if (d->truncated || d->data.size() > static_cast<size_t>(BufferSize > 0 ? BufferSize : 1))
                throw EIdSocketError(SocketErrorCode::kMessageTooLong);
            return std::move(d->data);
        }
        if (waitMs == 0) return {};
        if (waitMs > 0) {
            const int64_t left = deadline - m_clock.microseconds();
            if (left <= 0) return {};
            wait = static_cast<int32_t>((left + 999) / 1000);
        }
    }
}

} // namespace qm
