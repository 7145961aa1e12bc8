#include "update/TcpConnection.h"

#include <gtest/gtest.h>

#include "OsSockets.h"

#include <chrono>
#include <thread>

using namespace qm;
using namespace std::chrono_literals;

namespace {

// A loopback listener whose accept queue is full and never served: one more connect
// hangs, as one to a silent host does.
class FullListener {
  public:
    FullListener() {
        test::os::startSockets();
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_listener, 0);
        socklen_t len = sizeof addr;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        for (int i = 0; i < 4; ++i) {
            const test::os::Socket fd = ::socket(AF_INET, SOCK_STREAM, 0);
            test::os::setNonBlocking(fd);
            ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
            m_fillers.push_back(fd);
        }
        std::this_thread::sleep_for(50ms);
    }
    ~FullListener() {
        for (const test::os::Socket fd : m_fillers)
            test::os::closeSocket(fd);
        test::os::closeSocket(m_listener);
    }
    uint16_t port() const { return m_port; }

  private:
    test::os::Socket m_listener = test::os::kBadSocket;
    uint16_t m_port = 0;
    std::vector<test::os::Socket> m_fillers;
};

} // namespace

TEST(ConnectLimit, IsTimeOnTheClockNotACountOfSteps) {
    FullListener silent;
    // Every servicing of the window takes 200 ms: counted in 125 ms steps, a 300 ms limit
    // would take three steps and almost a second.
    TcpConnection connection([] {
        std::this_thread::sleep_for(200ms);
        return true;
    });
    const auto start = std::chrono::steady_clock::now();
    try {
        connection.open("127.0.0.1", silent.port(), 300);
        ADD_FAILURE() << "the connect to a full listener went through";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Connect timed out.");
    }
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, 700ms);
}
