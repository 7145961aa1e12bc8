#include "tests/support/ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
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
    if (m_out >= 0) ::close(static_cast<int>(m_out));
}

std::string ChildProcess::readLine() {
    std::string line;
    char c;
    while (m_out >= 0 && ::read(static_cast<int>(m_out), &c, 1) == 1 && c != '\n')
        line.push_back(c);
    return line;
}

} // namespace qm::test
