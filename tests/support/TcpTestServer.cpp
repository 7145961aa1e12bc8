#include "tests/support/TcpTestServer.h"

#include "OsSockets.h"

#include <stdexcept>

namespace qm::test {

namespace {
os::Socket native(std::intptr_t s) {
    return static_cast<os::Socket>(s);
}
} // namespace

TcpTestServer::TcpTestServer(Script script) : m_script(std::move(script)) {
    os::startSockets();
    m_listen = static_cast<std::intptr_t>(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(native(m_listen), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(native(m_listen), 8) != 0)
        throw std::runtime_error("cannot listen on the loopback");
    socklen_t len = sizeof addr;
    ::getsockname(native(m_listen), reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { run(); });
}

TcpTestServer::~TcpTestServer() {
    m_stop = true;
    m_thread.join();
    os::closeSocket(native(m_listen));
}

std::vector<std::string> TcpTestServer::requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void TcpTestServer::run() {
    while (!m_stop) {
        pollfd p{native(m_listen), POLLIN, 0};
        if (os::pollSockets(&p, 1, 20) <= 0) continue;
        const os::Socket fd = ::accept(native(m_listen), nullptr, nullptr);
        if (fd == os::kBadSocket) continue;
        ++m_connections;
        // Sends wait in steps, so that a peer that never reads (or whose hang-up the
        // system never reports) cannot hold the server past its stop.
        os::setNonBlocking(fd);
        Connection c(static_cast<std::intptr_t>(fd), *this);
        m_script(c);
        os::closeSocket(fd);
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_closed;
        m_closedChanged.notify_all();
    }
}

void TcpTestServer::waitForClosed(int count) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_closedChanged.wait_for(lock, std::chrono::seconds(10), [&] { return m_closed >= count; });
}

std::string TcpTestServer::Connection::readRequest() {
    char buf[4096];
    for (;;) {
        const size_t end = m_pending.find("\r\n\r\n");
        if (end != std::string::npos) {
            std::string request = m_pending.substr(0, end + 4);
            m_pending.erase(0, end + 4);
            std::lock_guard<std::mutex> lock(m_server.m_mutex);
            m_server.m_requests.push_back(request);
            return request;
        }
        pollfd p{native(m_fd), POLLIN, 0};
        if (os::pollSockets(&p, 1, 5000) <= 0) return {};
        const auto n = ::recv(native(m_fd), buf, sizeof buf, 0);
        if (n <= 0) return {};
        m_pending.append(buf, static_cast<size_t>(n));
    }
}

bool TcpTestServer::Connection::send(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const auto n =
            ::send(native(m_fd), bytes.data() + done, static_cast<int>(bytes.size() - done), os::kNoSignal);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n == 0 || !os::lastCallWouldBlock()) return false;
        pollfd p{native(m_fd), POLLOUT, 0};
        while (os::pollSockets(&p, 1, 20) == 0)
            if (m_server.m_stop) return false;
    }
    return true;
}

bool TcpTestServer::Connection::running() const {
    return !m_server.m_stop;
}

void TcpTestServer::Connection::waitForStop() {
    while (!m_server.m_stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

uint16_t freeLoopbackPort() {
    os::startSockets();
    const os::Socket fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    os::closeSocket(fd);
    return ntohs(addr.sin_port);
}

} // namespace qm::test
