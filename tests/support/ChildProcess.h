#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

namespace qm::test {

/// A program the test starts and stops: its standard output can be read line by line,
/// its error output goes nowhere, and it is ended (SIGTERM) with the object.
class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// The next line the program printed, without its line end; empty at its end.
    std::string readLine();
    pid_t pid() const { return m_pid; }

  private:
    pid_t m_pid = -1;
    int m_out = -1;
};

/// True when a loopback TCP port takes connections.
bool acceptsConnections(unsigned short port);
/// Waits (up to a few seconds) until a loopback TCP port takes connections.
bool waitUntilAccepting(unsigned short port);

} // namespace qm::test
