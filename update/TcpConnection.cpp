#include "update/TcpConnection.h"

#include "platform/Failure.h"
#include "platform/HostResolver.h"
#include "platform/SocketError.h"
#include "platform/StreamSocket.h"
#include "platform/WaitSlicing.h"

#include <algorithm>

namespace qm {

namespace {

constexpr int kConnectStepMs = 125;

} // namespace

void TcpConnection::close() {
    tcp::shutdownAndClose(m_fd);
    m_fd = kNoSocket;
}

void TcpConnection::open(const std::string& address, uint16_t port, int limitMs) {
    close();
    const tcp::Started started = tcp::startConnect(addressBytes(address), port);
    const NativeSocket fd = started.socket;
    // The connect goes on while this thread waits for it in steps of 125 ms, servicing the
    // window between steps; it wakes the moment the connect ends. The limit is kept on the
    // clock, not in steps.
    int result = started.result;
    const int64_t deadline = steadyMicroseconds() + int64_t{limitMs} * 1000;
    while (result == tcp::kInProgress) {
        const int64_t left = deadline - steadyMicroseconds();
        // Whole milliseconds, rounded up: the wait may end late by less than one, never early.
        result = tcp::connectOutcome(
            fd, static_cast<int>(std::clamp<int64_t>((left + 999) / 1000, 0, kConnectStepMs)));
        if (result != tcp::kInProgress) break;
        if ((m_pump && !m_pump()) || steadyMicroseconds() >= deadline) {
            closeSocket(fd);
            throw Failure("Connect timed out.");
        }
    }
    if (result != 0) {
        closeSocket(fd);
        throw EIdSocketError(result);
    }
    tcp::makeBlocking(fd);
    m_fd = fd;
    m_address = address;
    m_port = port;
}

void TcpConnection::sendAll(const std::string& data) {
    tcp::sendAll(m_fd, data.data(), data.size());
}

size_t TcpConnection::read(char* into, size_t max, int waitMs) {
    if (m_fd == kNoSocket) return 0;
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
    return tcp::receive(m_fd, into, max);
}

bool TcpConnection::closedByPeer() {
    // A look, not a wait: a kept connection the peer has not closed has nothing to read.
    return tcp::closedByPeer(m_fd);
}

} // namespace qm
