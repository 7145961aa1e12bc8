#pragma once
#include "platform/MessagePump.h"
#include "platform/SocketSystem.h"
#include "update/ByteSource.h"

#include <cstdint>
#include <string>

namespace qm {

/// One TCP connection to a dotted IPv4 address, read in waits cut into slices.
class TcpConnection : public ByteSource {
  public:
    explicit TcpConnection(MessagePump pump) : m_pump(std::move(pump)) {}
    ~TcpConnection() override { close(); }
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    /// Binds to any local port and connects within `limitMs`, waiting for the connect in
    /// 125 ms steps and running the pump between them.
    void open(const std::string& address, uint16_t port, int limitMs);
    bool isOpen() const { return m_fd != kNoSocket; }
    void close();

    void sendAll(const std::string& data);
    size_t read(char* into, size_t max, int waitMs) override;
    /// True when the peer has closed a kept connection; throws the socket error of a reset.
    bool closedByPeer();

    const std::string& address() const { return m_address; }
    uint16_t port() const { return m_port; }

  private:
    MessagePump m_pump;
    NativeSocket m_fd = kNoSocket;
    int64_t m_lastPump = 0;
    std::string m_address;
    uint16_t m_port = 0;
};

} // namespace qm
