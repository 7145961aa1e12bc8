#include "tests/support/UdpResponder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qm::test {

UdpResponder::UdpResponder(Reply reply, std::chrono::milliseconds delay)
    : m_reply(std::move(reply)), m_delay(delay) {
    m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("cannot bind a loopback UDP socket");
    int big = 1 << 20;
    ::setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
    socklen_t len = sizeof addr;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_wake = ::eventfd(0, EFD_CLOEXEC);
    m_thread = std::thread([this] { run(); });
}

UdpResponder::~UdpResponder() {
    m_stop = true;
    const uint64_t one = 1;
    (void)!::write(m_wake, &one, sizeof one);
    m_thread.join();
    ::close(m_wake);
    ::close(m_fd);
}

std::vector<std::string> UdpResponder::requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

namespace {
const std::string kProbe = "\xFF\xFF\xFF\xFFquillmark test probe";
} // namespace

std::vector<std::string> UdpResponder::requestsSoFar() {
    std::unique_lock<std::mutex> lock(m_mutex);
    const int seen = m_probesSeen;
    sendTo(m_port, kProbe);
    m_probed.wait_for(lock, std::chrono::seconds(10), [&] { return m_probesSeen > seen; });
    return m_requests;
}

void UdpResponder::sendTo(uint16_t port, const std::string& data) const {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    ::sendto(m_fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

void UdpResponder::run() {
    std::vector<char> buffer(65536);
    while (!m_stop) {
        // Sleeps until a request comes or the destructor wakes it.
        pollfd p[2]{{m_fd, POLLIN, 0}, {m_wake, POLLIN, 0}};
        if (::poll(p, 2, -1) <= 0 || !(p[0].revents & POLLIN)) continue;
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n =
            ::recvfrom(m_fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) continue;
        const std::string request(buffer.data(), static_cast<size_t>(n));
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (request == kProbe && from.sin_port == htons(m_port)) {
                ++m_probesSeen;
                m_probed.notify_all();
                continue;
            }
            m_requests.push_back(request);
        }
        m_lastClientPort = ntohs(from.sin_port);
        const std::string reply = m_reply(request);
        if (reply.empty()) continue;
        std::this_thread::sleep_for(m_delay);
        for (int i = 0; i < copies; ++i)
            ::sendto(m_fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLen);
    }
}

uint16_t closedLoopbackUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

} // namespace qm::test
