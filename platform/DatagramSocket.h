#pragma once
#include "platform/Clock.h"
#include "platform/MessagePump.h"
#include "platform/SocketSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// An IPv4 address and port, both in host order.
struct Endpoint {
    uint32_t address = 0;
    uint16_t port = 0;
    bool operator==(const Endpoint&) const = default;
    /// "a.b.c.d:port"
    std::string text() const;
    static Endpoint fromDotted(const std::string& dotted, uint16_t port);
};

struct EndpointHash {
    size_t operator()(const Endpoint& e) const { return (size_t(e.address) << 16) ^ e.port; }
};

/// An unconnected UDP socket for talking to many peers at once: never blocks, takes
/// datagrams from anyone (the caller matches them by sender), and reports a peer's closed
/// port (ICMP) with the peer it was about.
class DatagramSocket {
  public:
    DatagramSocket();
    ~DatagramSocket();
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;

    /// 0, or the Windows Sockets code of the failure.
    int sendTo(const Endpoint& to, std::string_view data);

    struct Datagram {
        Endpoint from;
        std::string data;
        bool truncated = false; // longer than the receive buffer
    };
    /// The next queued datagram, if any.
    std::optional<Datagram> receive();

    struct Unreachable {
        Endpoint peer;
        int code; // Windows Sockets code
    };
    /// Every ICMP report queued since the last call.
    std::vector<Unreachable> takeUnreachable();
    /// The Windows Sockets code of a report as the system gives it (errno on Linux,
    /// WSAGetLastError() on Windows): a closed port is "connection reset" on both.
    static int unreachableCode(int systemError);

    /// 0, or the Windows Sockets code of the failure.
    int setBroadcast(bool on);

    /// Waits up to `waitMs` for a datagram or a report; false when none came.
    bool wait(int waitMs) const { return waitMicroseconds(int64_t(waitMs) * 1000); }
    bool waitMicroseconds(int64_t micros) const;
    /// The same wait cut into slices with the message pump run between them (WaitSlicing.h).
    bool waitReadable(int waitMs, const MessagePump& pump, const Clock& clock) const;
    uint16_t localPort() const;

  private:
    NativeSocket m_fd = kNoSocket;
    std::vector<char> m_buffer;
    std::vector<Unreachable> m_reports; // closed ports told by a receive (Windows)
};

} // namespace qm
