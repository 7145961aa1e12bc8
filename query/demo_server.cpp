// A stand-in game server for trying the Monitoring page and Detect by hand, and for
// tests: it answers the info request on a loopback port like a Half-Life server.
//   quillmark-demo-server [--port N] [--name TEXT] [--map NAME] [--players N] [--max N]
//                         [--gamedir DIR] [--delay-ms N] [--once]
#include "query/InfoReply.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

void usage() {
    std::fprintf(stderr, "usage: quillmark-demo-server [--port N] [--name TEXT] [--map NAME] [--players N]\n"
                         "                             [--max N] [--gamedir DIR] [--delay-ms N] [--once]\n");
}

} // namespace

int main(int argc, char* argv[]) {
    qm::ServerInfo info;
    int port = 27015;
    int delayMs = 0;
    bool once = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--port")
            port = std::atoi(next().c_str());
        else if (arg == "--name")
            info.hostname = next();
        else if (arg == "--map")
            info.map = next();
        else if (arg == "--players")
            info.players = std::atoi(next().c_str());
        else if (arg == "--max")
            info.maxPlayers = std::atoi(next().c_str());
        else if (arg == "--gamedir")
            info.gameDir = next();
        else if (arg == "--delay-ms")
            delayMs = std::atoi(next().c_str());
        else if (arg == "--once")
            once = true;
        else {
            usage();
            return 2;
        }
    }

    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        std::perror("quillmark-demo-server: bind");
        return 1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    info.address = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
    std::printf("listening on %s\n", info.address.c_str());
    std::fflush(stdout);

    const std::string reply = qm::buildInfoReply(info);
    char buffer[2048];
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0)
            continue;
        if (n < 5 || std::memcmp(buffer, "\xFF\xFF\xFF\xFF", 4) != 0)
            continue;
        const std::string command(buffer + 4, static_cast<size_t>(n) - 4);
        // "infostring" is the request of this program; "info"/"details" are the older
        // queries other clients send first.
        if (command.rfind("infostring", 0) != 0 && command.rfind("info", 0) != 0 && command.rfind("details", 0) != 0)
            continue;
        if (delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLen);
        if (once)
            break;
    }
    ::close(fd);
    return 0;
}
