#pragma once
#include "platform/Clock.h"
#include "platform/DatagramSocket.h"
#include "platform/HostResolver.h"
#include "platform/MessagePump.h"

#include <cstdint>
#include <memory>
#include <string>

namespace qm {

/// The window's one UDP client: one datagram socket at a time, made at the first send of an
/// exchange, one destination. Waits are cut into slices with the message pump run
/// between them. Only datagrams from the destination of the last send are taken, and
/// whatever was still queued is dropped before a new request goes out, so a late reply
/// of one server is never read as another's.
class TIdUDPClient {
  public:
    explicit TIdUDPClient(HostLookup lookup = systemHostLookup, const Clock& clock = steadyClock());
    ~TIdUDPClient();
    TIdUDPClient(const TIdUDPClient&) = delete;
    TIdUDPClient& operator=(const TIdUDPClient&) = delete;

    std::string Host;
    int32_t Port = 0;
    /// The wait of a receive that asks for the default (-1); -2 waits without limit.
    int32_t ReceiveTimeout = -2;
    int32_t BufferSize = 8192;
    bool BroadcastEnabled = false;

    /// Sends every byte of `data` as one datagram to Host:Port. A new exchange (not a
    /// further request of the same one) starts on a fresh socket: nothing queued for an
    /// earlier one, nor coming late for it, reaches it.
    void SendDatagram(const std::string& data, bool dropQueuedFirst = true);
    /// The next datagram from the destination within `waitMs`, or the empty text.
    std::string ReceiveDatagram(int32_t waitMs = -1);

    void setMessagePump(MessagePump pump) { m_pump = std::move(pump); }
    /// The sender of the datagram received last, "address:port".
    const std::string& lastSender() const { return m_lastSender; }
    /// The local port the socket got at its first send (0 before).
    uint16_t localPort() const;

  private:
    void ensureSocket();
    /// Takes the socket's reports; true when one told that the present destination's port
    /// is closed.
    bool peerPortUnreachable();

    HostLookup m_lookup;
    const Clock& m_clock;
    MessagePump m_pump;
    std::unique_ptr<DatagramSocket> m_socket;
    Endpoint m_peer;
    bool m_hasPeer = false;
    std::string m_lastSender;
};

} // namespace qm
