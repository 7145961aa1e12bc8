#pragma once
#include <cstdint>
#include <string>

namespace qm::test {

/// A pipe that a program the test starts writes to by name, and that the test reads to its
/// end: the end comes when the writer closes it, so no clock is waited on. A FIFO in the
/// test's folder on Linux, a named pipe (\\.\pipe\...) on Windows.
class ToldPipe {
  public:
    /// `folder` holds the FIFO on Linux; Windows names the pipe after it.
    explicit ToldPipe(const std::string& folder);
    ~ToldPipe();
    ToldPipe(const ToldPipe&) = delete;
    ToldPipe& operator=(const ToldPipe&) = delete;

    /// The name a writer opens as a file; empty when the pipe could not be made.
    const std::string& name() const { return m_name; }
    /// Waits for a writer and reads what it writes until it closes the pipe.
    std::string readToEnd();

  private:
    std::string m_name;
    std::intptr_t m_handle = -1;
};

} // namespace qm::test
