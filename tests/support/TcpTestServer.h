#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qm::test {

/// A scripted HTTP peer on 127.0.0.1: every accepted connection is handed to the
/// script, one after the other, on the server's own thread.
class TcpTestServer {
  public:
    class Connection {
      public:
        explicit Connection(std::intptr_t fd, TcpTestServer& server) : m_fd(fd), m_server(server) {}
        /// The next request head (through its empty line); empty when the peer closed.
        std::string readRequest();
        /// False once the peer is gone.
        bool send(const std::string& bytes);
        /// True while the server runs.
        bool running() const;
        /// Waits until the server is being stopped (a peer that never answers).
        void waitForStop();
        std::intptr_t fd() const { return m_fd; }

      private:
        std::intptr_t m_fd; // a socket of the system's
        TcpTestServer& m_server;
        std::string m_pending;
    };
    using Script = std::function<void(Connection&)>;

    explicit TcpTestServer(Script script);
    ~TcpTestServer();

    uint16_t port() const { return m_port; }
    std::vector<std::string> requests() const;
    int connections() const { return m_connections; }
    /// Waits until the server has closed `count` connections after their scripts.
    void waitForClosed(int count);

  private:
    void run();

    std::intptr_t m_listen = -1;
    uint16_t m_port = 0;
    Script m_script;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    std::condition_variable m_closedChanged;
    int m_closed = 0;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

/// A free loopback TCP port, for servers started as separate programs.
uint16_t freeLoopbackPort();

} // namespace qm::test
