// A stand-in game server for trying the Monitoring page, Detect and the status table by
// hand, and for tests: it answers on loopback ports like a Half-Life server.
//   quillmark-demo-server [--port N | --ports FIRST-LAST] [--protocol legacy|a2s|a2s-open|goldsrc|all]
//                         [--name TEXT] [--map NAME] [--players N] [--max N] [--gamedir DIR]
//                         [--delay-ms N] [--silent-every N] [--once] [--master [--master-port N]]
// With --silent-every N, every N-th port of a range takes requests but never answers.
// With --master, a master server on --master-port (27010 unless told) lists the range.
#include "tools/DemoMaster.h"
#include "tools/DemoServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <optional>
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
                 "                             [--gamedir DIR] [--delay-ms N] [--silent-every N] [--once]\n"
                 "                             [--master [--master-port N]] [--rules N] [--password]\n");
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

struct DemoOptions {
    qm::ServerInfo info;
    int firstPort = 27015, lastPort = 27015;
    int delayMs = 0;
    bool once = false;
    int silentEvery = 0;
    bool master = false;
    int masterPort = 27010;
    int rules = 10;
    qm::DemoProtocol protocol = qm::DemoProtocol::All;
};

// The options given, or nothing when they will not do.
std::optional<DemoOptions> readOptions(int argc, char* argv[]) {
    DemoOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--once" || arg == "--master" || arg == "--password") {
            (arg == "--once" ? o.once : arg == "--master" ? o.master : o.info.password) = true;
            continue;
        }
        if (i + 1 >= argc) return std::nullopt;
        const std::string value = argv[++i];
        if (arg == "--port") {
            o.firstPort = o.lastPort = std::atoi(value.c_str());
        } else if (arg == "--ports") {
            const size_t dash = value.find('-');
            o.firstPort = std::atoi(value.c_str());
            o.lastPort = dash == std::string::npos ? o.firstPort : std::atoi(value.c_str() + dash + 1);
            if (o.firstPort <= 0 || o.lastPort < o.firstPort || o.lastPort > 65535) return std::nullopt;
        } else if (arg == "--protocol") {
            const auto p = qm::demoProtocolNamed(value);
            if (!p) return std::nullopt;
            o.protocol = *p;
        } else if (arg == "--name") {
            o.info.hostname = value;
        } else if (arg == "--map") {
            o.info.map = value;
        } else if (arg == "--players") {
            o.info.players = std::atoi(value.c_str());
        } else if (arg == "--max") {
            o.info.maxPlayers = std::atoi(value.c_str());
        } else if (arg == "--gamedir") {
            o.info.gameDir = value;
        } else if (arg == "--delay-ms") {
            o.delayMs = std::atoi(value.c_str());
        } else if (arg == "--master-port") {
            o.masterPort = std::atoi(value.c_str());
            if (o.masterPort < 0 || o.masterPort > 65535) return std::nullopt;
        } else if (arg == "--rules") {
            o.rules = std::atoi(value.c_str());
            if (o.rules < 0 || o.rules > 500) return std::nullopt; // 15 pieces at most
        } else if (arg == "--silent-every") {
            o.silentEvery = std::atoi(value.c_str());
        } else {
            return std::nullopt;
        }
    }
    return o;
}

// One socket and one server per port, all watched by one epoll set: a range of thousands
// of ports is as quick as one.
struct DemoServers {
    int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    std::vector<int> sockets;
    std::vector<qm::DemoServer> servers;
    std::vector<bool> silent;
    int masterSocket = -1;
    std::optional<qm::DemoMaster> master;
};

// The master's events carry this in place of a server's index.
constexpr uint32_t kMasterEvent = UINT32_MAX;

DemoServers openServers(const DemoOptions& o) {
    DemoServers d;
    for (int port = o.firstPort; port <= o.lastPort; ++port) {
        const int fd = bindLoopback(port);
        qm::ServerInfo own = o.info;
        own.address = "127.0.0.1:" + std::to_string(boundPort(fd));
        // With a range, each server is named after its port.
        if (o.lastPort > o.firstPort) own.hostname += " " + std::to_string(boundPort(fd));
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u32 = static_cast<uint32_t>(d.sockets.size());
        ::epoll_ctl(d.epoll, EPOLL_CTL_ADD, fd, &ev);
        d.silent.push_back(o.silentEvery > 0 && (port - o.firstPort) % o.silentEvery == o.silentEvery - 1);
        d.sockets.push_back(fd);
        d.servers.emplace_back(own, o.protocol);
        d.servers.back().setRules(o.rules);
    }
    if (o.master) {
        std::vector<qm::Endpoint> listed;
        for (const qm::DemoServer& server : d.servers) {
            const std::string& a = server.info().address;
            listed.push_back(qm::Endpoint::fromDotted(
                a.substr(0, a.rfind(':')), static_cast<uint16_t>(std::stoi(a.substr(a.rfind(':') + 1)))));
        }
        d.master.emplace(std::move(listed), o.info);
        d.masterSocket = bindLoopback(o.masterPort);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u32 = kMasterEvent;
        ::epoll_ctl(d.epoll, EPOLL_CTL_ADD, d.masterSocket, &ev);
    }
    return d;
}

void answerMaster(DemoServers& d) {
    char buffer[2048];
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(d.masterSocket, buffer, sizeof buffer, MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) return;
        const std::string page = d.master->answer(std::string_view(buffer, static_cast<size_t>(n)));
        if (!page.empty())
            ::sendto(d.masterSocket, page.data(), page.size(), 0, reinterpret_cast<sockaddr*>(&from),
                     fromLen);
    }
}

// Answers until killed, or with --once until the first answer that is not a challenge.
int serve(const DemoOptions& o, DemoServers& d) {
    char buffer[2048];
    epoll_event events[256];
    for (;;) {
        const int ready = ::epoll_wait(d.epoll, events, 256, -1);
        for (int e = 0; e < ready; ++e) {
            if (events[e].data.u32 == kMasterEvent) {
                answerMaster(d);
                continue;
            }
            const size_t i = events[e].data.u32;
            for (;;) {
                sockaddr_in from{};
                socklen_t fromLen = sizeof from;
                const ssize_t n = ::recvfrom(d.sockets[i], buffer, sizeof buffer, MSG_DONTWAIT,
                                             reinterpret_cast<sockaddr*>(&from), &fromLen);
                if (n < 0) break;
                if (d.silent[i]) continue;
                const std::vector<std::string> replies = d.servers[i].answers(
                    std::string(buffer, static_cast<size_t>(n)), from.sin_addr.s_addr, from.sin_port);
                if (replies.empty()) continue;
                if (o.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.delayMs));
                for (const std::string& reply : replies)
                    ::sendto(d.sockets[i], reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from),
                             fromLen);
                if (o.once && replies.front()[4] != 'A') return 0;
            }
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const std::optional<DemoOptions> options = readOptions(argc, argv);
    if (!options) {
        usage();
        return 2;
    }
    DemoServers servers = openServers(*options);
    std::printf("listening on %s", servers.servers.front().info().address.c_str());
    if (servers.servers.size() > 1) std::printf(" to %s", servers.servers.back().info().address.c_str());
    if (servers.master) std::printf(", master on 127.0.0.1:%d", boundPort(servers.masterSocket));
    std::printf("\n");
    std::fflush(stdout);
    return serve(*options, servers);
}
