#include "platform/DatagramSocket.h"

#include "platform/SocketAddress.h"
#include "platform/SocketError.h"
#include "platform/WaitSlicing.h"

#include <algorithm>
#include <mswsock.h>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace qm {

namespace {

SOCKET native(NativeSocket s) {
    return static_cast<SOCKET>(s);
}

constexpr size_t kMaxDatagram = 65536;
constexpr int kReceiveBuffer = 4 * 1024 * 1024;

} // namespace

DatagramSocket::DatagramSocket() : m_buffer(kMaxDatagram) {
    startSockets();
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) throw EIdInvalidSocket();
    m_fd = static_cast<NativeSocket>(s);
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    int size = kReceiveBuffer;
    ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
    // A closed port's ICMP report comes back as WSAECONNRESET from the next receive, with
    // the peer it was about: exactly what is wanted, so the report stays on.
    BOOL report = TRUE;
    DWORD returned = 0;
    ::WSAIoctl(s, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
}

DatagramSocket::~DatagramSocket() {
    closeSocket(m_fd);
}

int DatagramSocket::sendTo(const Endpoint& to, std::string_view data) {
    const sockaddr_in a = socketAddress(to);
    const int sent = ::sendto(native(m_fd), data.data(), static_cast<int>(data.size()), 0,
                              reinterpret_cast<const sockaddr*>(&a), sizeof a);
    if (sent == static_cast<int>(data.size())) return 0;
    if (sent != SOCKET_ERROR) return SocketErrorCode::kMessageTooLong;
    const int code = ::WSAGetLastError();
    return code == WSAEWOULDBLOCK ? SocketErrorCode::kNoBufferSpace : code;
}

std::optional<DatagramSocket::Datagram> DatagramSocket::receive() {
    for (;;) {
        sockaddr_in from{};
        int len = sizeof from;
        const int n = ::recvfrom(native(m_fd), m_buffer.data(), static_cast<int>(m_buffer.size()), 0,
                                 reinterpret_cast<sockaddr*>(&from), &len);
        if (n != SOCKET_ERROR)
            return Datagram{endpointOf(from), std::string(m_buffer.data(), static_cast<size_t>(n)), false};
        const int code = ::WSAGetLastError();
        // Windows cuts an oversized datagram and says so.
        if (code == WSAEMSGSIZE)
            return Datagram{endpointOf(from), std::string(m_buffer.data(), m_buffer.size()), true};
        if (code == WSAECONNRESET) {
            m_reports.push_back({endpointOf(from), unreachableCode(code)});
            continue;
        }
        return std::nullopt;
    }
}

int DatagramSocket::unreachableCode(int systemError) {
    // Windows Sockets codes are the program's own already.
    return systemError;
}

std::vector<DatagramSocket::Unreachable> DatagramSocket::takeUnreachable() {
    // Reports wait in line with the datagrams: those at the head are read now.
    for (;;) {
        sockaddr_in from{};
        int len = sizeof from;
        char scrap[1];
        const int n =
            ::recvfrom(native(m_fd), scrap, sizeof scrap, MSG_PEEK, reinterpret_cast<sockaddr*>(&from), &len);
        if (n != SOCKET_ERROR || ::WSAGetLastError() != WSAECONNRESET) break;
        m_reports.push_back({endpointOf(from), unreachableCode(WSAECONNRESET)});
    }
    std::vector<Unreachable> reports;
    reports.swap(m_reports);
    return reports;
}

bool DatagramSocket::waitMicroseconds(int64_t micros) const {
    if (!m_reports.empty()) return true;
    const int64_t ms = micros <= 0 ? 0 : (micros + 999) / 1000;
    return socketReadableWithin(m_fd, static_cast<int>(std::min<int64_t>(ms, 1 << 30)));
}

bool DatagramSocket::waitReadable(int waitMs, const MessagePump& pump, const Clock& clock) const {
    return !m_reports.empty() || qm::waitReadable(m_fd, waitMs, pump, clock);
}

int DatagramSocket::setBroadcast(bool on) {
    const BOOL value = on ? TRUE : FALSE;
    return ::setsockopt(native(m_fd), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&value),
                        sizeof value) == 0
               ? 0
               : ::WSAGetLastError();
}

uint16_t DatagramSocket::localPort() const {
    sockaddr_in local{};
    int len = sizeof local;
    return ::getsockname(native(m_fd), reinterpret_cast<sockaddr*>(&local), &len) == 0 ? ntohs(local.sin_port)
                                                                                       : 0;
}

} // namespace qm
