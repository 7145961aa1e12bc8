#include "tests/support/UdpResponder.h"

#include "OsSockets.h"

#include <stdexcept>

namespace qm::test {

namespace {
const std::string kProbe = "\xFF\xFF\xFF\xFFquillmark test probe";
const std::string kStop = "\xFF\xFF\xFF\xFFquillmark test stop";

os::Socket native(std::intptr_t s) {
    return static_cast<os::Socket>(s);
}
} // namespace

UdpResponder::UdpResponder(Reply reply, std::chrono::milliseconds delay)
    : m_reply(std::move(reply)), m_delay(delay) {
    os::startSockets();
    m_fd = static_cast<std::intptr_t>(::socket(AF_INET, SOCK_DGRAM, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (native(m_fd) == os::kBadSocket ||
        ::bind(native(m_fd), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("cannot bind a loopback UDP socket");
    int big = 1 << 20;
    ::setsockopt(native(m_fd), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&big), sizeof big);
    socklen_t len = sizeof addr;
    ::getsockname(native(m_fd), reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { run(); });
}

UdpResponder::~UdpResponder() {
    m_stop = true;
    // Wakes the thread with a datagram of its own, which it reads as the order to stop.
    sendTo(m_port, kStop);
    m_thread.join();
    os::closeSocket(native(m_fd));
}

std::vector<std::string> UdpResponder::requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

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
    ::sendto(native(m_fd), data.data(), static_cast<int>(data.size()), 0, reinterpret_cast<sockaddr*>(&to),
             sizeof to);
}

void UdpResponder::run() {
    std::vector<char> buffer(65536);
    while (!m_stop) {
        // Sleeps until a request comes; the destructor sends one of its own.
        pollfd p{native(m_fd), POLLIN, 0};
        if (os::pollSockets(&p, 1, -1) <= 0 || !(p.revents & POLLIN)) continue;
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const auto n = ::recvfrom(native(m_fd), buffer.data(), static_cast<int>(buffer.size()), 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) continue;
        const std::string request(buffer.data(), static_cast<size_t>(n));
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const bool fromItself = from.sin_port == htons(m_port);
            if (fromItself && request == kStop) continue;
            if (fromItself && request == kProbe) {
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
            ::sendto(native(m_fd), reply.data(), static_cast<int>(reply.size()), 0,
                     reinterpret_cast<sockaddr*>(&from), fromLen);
    }
}

uint16_t closedLoopbackUdpPort() {
    os::startSockets();
    const os::Socket fd = ::socket(AF_INET, SOCK_DGRAM, 0);
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
