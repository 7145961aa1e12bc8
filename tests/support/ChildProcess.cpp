#include "tests/support/ChildProcess.h"

#include "OsSockets.h"

#include <chrono>
#include <thread>

namespace qm::test {

bool acceptsConnections(unsigned short port) {
    os::startSockets();
    const os::Socket fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    os::closeSocket(fd);
    return ok;
}

bool waitUntilAccepting(unsigned short port) {
    for (int i = 0; i < 250 && !acceptsConnections(port); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return acceptsConnections(port);
}

} // namespace qm::test
