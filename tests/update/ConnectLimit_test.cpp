#include "update/TcpConnection.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace qm;
using namespace std::chrono_literals;

namespace {

// A loopback listener whose accept queue is full and never served: one more connect
// hangs, as one to a silent host does.
class FullListener {
  public:
    FullListener() {
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
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
            m_fillers.push_back(fd);
        }
        std::this_thread::sleep_for(50ms);
    }
    ~FullListener() {
        for (int fd : m_fillers)
            ::close(fd);
        ::close(m_listener);
    }
    uint16_t port() const { return m_port; }

  private:
    int m_listener = -1;
    uint16_t m_port = 0;
    std::vector<int> m_fillers;
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
