#include "tests/support/ChildProcess.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qm::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int out[2];
    if (::pipe(out) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(out[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::close(out[0]);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(out[1]);
    m_out = out[0];
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) ::close(m_out);
}

std::string ChildProcess::readLine() {
    std::string line;
    char c;
    while (m_out >= 0 && ::read(m_out, &c, 1) == 1 && c != '\n')
        line.push_back(c);
    return line;
}

bool acceptsConnections(unsigned short port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

bool waitUntilAccepting(unsigned short port) {
    for (int i = 0; i < 250 && !acceptsConnections(port); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return acceptsConnections(port);
}

} // namespace qm::test
