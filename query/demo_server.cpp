// A stand-in game server for trying the Monitoring page, Detect and the status table by
// hand, and for tests: it answers on loopback ports like a Half-Life server.
//   quillmark-demo-server [--port N | --ports FIRST-LAST] [--protocol legacy|a2s|a2s-open|goldsrc|all]
//                         [--name TEXT] [--map NAME] [--players N] [--max N] [--gamedir DIR]
//                         [--delay-ms N] [--silent-every N] [--once]
// With --silent-every N, every N-th port of a range takes requests but never answers.
#include "query/DemoServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: quillmark-demo-server [--port N | --ports FIRST-LAST]\n"
                 "                             [--protocol legacy|a2s|a2s-open|goldsrc|all]\n"
                 "                             [--name TEXT] [--map NAME] [--players N] [--max N]\n"
                 "                             [--gamedir DIR] [--delay-ms N] [--silent-every N] [--once]\n");
}

int bindLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        std::perror("quillmark-demo-server: bind");
        std::exit(1);
    }
    return fd;
}

int boundPort(int fd) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

} // namespace

int main(int argc, char* argv[]) {
    qm::ServerInfo info;
    int firstPort = 27015, lastPort = 27015;
    int delayMs = 0;
    bool once = false;
    int silentEvery = 0;
    qm::DemoProtocol protocol = qm::DemoProtocol::All;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--port") {
            firstPort = lastPort = std::atoi(next().c_str());
        } else if (arg == "--ports") {
            const std::string range = next();
            const size_t dash = range.find('-');
            firstPort = std::atoi(range.c_str());
            lastPort = dash == std::string::npos ? firstPort : std::atoi(range.c_str() + dash + 1);
            if (firstPort <= 0 || lastPort < firstPort || lastPort > 65535) {
                usage();
                return 2;
            }
        } else if (arg == "--protocol") {
            const auto p = qm::demoProtocolNamed(next());
            if (!p) {
                usage();
                return 2;
            }
            protocol = *p;
        } else if (arg == "--name") {
            info.hostname = next();
        } else if (arg == "--map") {
            info.map = next();
        } else if (arg == "--players") {
            info.players = std::atoi(next().c_str());
        } else if (arg == "--max") {
            info.maxPlayers = std::atoi(next().c_str());
        } else if (arg == "--gamedir") {
            info.gameDir = next();
        } else if (arg == "--delay-ms") {
            delayMs = std::atoi(next().c_str());
        } else if (arg == "--silent-every") {
            silentEvery = std::atoi(next().c_str());
        } else if (arg == "--once") {
            once = true;
        } else {
            usage();
            return 2;
        }
    }

    // One socket and one server per port; with a range, each server is named after its port.
    // epoll keeps a range of thousands of ports as quick as one.
    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    std::vector<int> sockets;
    std::vector<qm::DemoServer> servers;
    std::vector<bool> silent;
    for (int port = firstPort; port <= lastPort; ++port) {
        const int fd = bindLoopback(port);
        qm::ServerInfo own = info;
        own.address = "127.0.0.1:" + std::to_string(boundPort(fd));
        if (lastPort > firstPort) own.hostname += " " + std::to_string(boundPort(fd));
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u32 = static_cast<uint32_t>(sockets.size());
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &ev);
        silent.push_back(silentEvery > 0 && (port - firstPort) % silentEvery == silentEvery - 1);
        sockets.push_back(fd);
        servers.emplace_back(own, protocol);
    }
    std::printf("listening on %s", servers.front().info().address.c_str());
    if (servers.size() > 1) std::printf(" to %s", servers.back().info().address.c_str());
    std::printf("\n");
    std::fflush(stdout);

    char buffer[2048];
    epoll_event events[256];
    for (;;) {
        const int ready = ::epoll_wait(epoll, events, 256, -1);
        for (int e = 0; e < ready; ++e) {
            const size_t i = events[e].data.u32;
            for (;;) {
                sockaddr_in from{};
                socklen_t fromLen = sizeof from;
                const ssize_t n = ::recvfrom(sockets[i], buffer, sizeof buffer, MSG_DONTWAIT,
                                             reinterpret_cast<sockaddr*>(&from), &fromLen);
                if (n < 0) break;
                if (silent[i]) continue;
                const std::string reply = servers[i].answer(std::string(buffer, static_cast<size_t>(n)),
                                                            from.sin_addr.s_addr, from.sin_port);
                if (reply.empty()) continue;
                if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                ::sendto(sockets[i], reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from),
                         fromLen);
                // A challenge is no answer yet: --once waits for the one that follows it.
                if (once && reply[4] != 'A') return 0;
            }
        }
    }
}
