#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qm::test {

/// A game server stand-in on 127.0.0.1: answers every datagram with what `reply` returns
/// for it (nothing for an empty text), after `delay`. Records the requests it got.
class UdpResponder {
  public:
    using Reply = std::function<std::string(const std::string& request)>;
    explicit UdpResponder(Reply reply, std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    ~UdpResponder();

    uint16_t port() const { return m_port; }
    std::vector<std::string> requests() const;
    /// Every request sent to it before this call, read: a probe sent to its own socket
    /// queues behind them, and the call returns once the probe is read.
    std::vector<std::string> requestsSoFar();
    /// Sends `data` from this responder's socket to a loopback port.
    void sendTo(uint16_t port, const std::string& data) const;
    /// The port of the client whose request came last (0 before any).
    uint16_t lastClientPort() const { return m_lastClientPort; }
    /// How many times each reply is sent.
    std::atomic<int> copies{1};

  private:
    void run();

    std::intptr_t m_fd = -1; // a socket of the system's
    uint16_t m_port = 0;
    Reply m_reply;
    std::chrono::milliseconds m_delay;
    std::atomic<bool> m_stop{false};
    std::atomic<uint16_t> m_lastClientPort{0};
    mutable std::mutex m_mutex;
    std::condition_variable m_probed;
    int m_probesSeen = 0;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

/// A loopback UDP port with nothing behind it: datagrams sent there come back as
/// "port unreachable".
uint16_t closedLoopbackUdpPort();

} // namespace qm::test
