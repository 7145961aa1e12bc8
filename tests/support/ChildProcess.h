#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qm::test {

/// A program the test starts and stops: its standard output can be read line by line,
/// its error output goes nowhere, and it is ended (SIGTERM; on Windows, terminated) with
/// the object.
class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// The next line the program printed, without its line end; empty at its end.
    std::string readLine();
    int pid() const { return m_pid; }

  private:
    int m_pid = -1;
    std::intptr_t m_process = -1; // the system's handle of it (Windows)
    std::intptr_t m_out = -1;     // the read end of its output
    int m_hostPid = -1;           // a Linux peer started under Wine: its process id there
};

/// True when a loopback TCP port takes connections.
bool acceptsConnections(unsigned short port);
/// Waits (up to a few seconds) until a loopback TCP port takes connections.
bool waitUntilAccepting(unsigned short port);

} // namespace qm::test
