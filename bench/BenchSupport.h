#pragma once
// What several benchmarks share: an offscreen QApplication, the process's resident
// memory, and a range of demo servers on loopback.
#include "app/TfmMain.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <malloc.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace qm::bench {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    // Made once and never destroyed: a QApplication torn down among the exit handlers
    // outlives parts of Qt it needs.
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

inline double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

/// A "Key:   N kB" line of /proc/self/status, in KiB (VmRSS, VmHWM).
inline double memoryKib(const char* key) {
    std::ifstream f("/proc/self/status");
    for (std::string line; std::getline(f, line);)
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(std::string(key).size()));
    return 0;
}

/// Gives freed memory back to the system and sets the process's recorded peak back to
/// what it then holds, so that VmHWM after a step is that step's own peak.
inline void resetPeakMemory() {
    ::malloc_trim(0);
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::write(fd, "5", 1) != 1) std::perror("clear_refs");
    ::close(fd);
}

/// What a window of a benchmark runs with: answered dialogs, the real clock, no settings
/// file, no start-up checks, and no Steam of the machine's user looked at.
struct BenchWindowEnvironment {
    test::ScriptedDialogs dialogs;
    SteadyClock clock;
    TfmMainEnvironment env;
    BenchWindowEnvironment() {
        env.dialogs = &dialogs;
        env.clock = &clock;
        env.settingsDir = "/nonexistent/";
        env.startupChecksOnShow = false;
        env.homeFolder = "/nonexistent";
        env.steamRunning = [](const std::string&, const std::string&) { return false; };
    }
};

/// quillmark-demo-server on ports first..first+count-1, every `silentEvery`-th silent.
class DemoServers {
  public:
    DemoServers(int first, int count, int silentEvery = 0)
        : m_process([&] {
              std::vector<std::string> argv = {
                  QM_DEMO_SERVER, "--ports", std::to_string(first) + "-" + std::to_string(first + count - 1)};
              if (silentEvery > 0) {
                  argv.push_back("--silent-every");
                  argv.push_back(std::to_string(silentEvery));
              }
              return argv;
          }()),
          m_first(first), m_count(count) {
        m_process.readLine(); // "listening on ..." once every port is bound
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> list;
        for (int p = m_first; p < m_first + m_count; ++p)
            list.push_back("127.0.0.1:" + std::to_string(p) + " cstrike");
        return list;
    }

  private:
    test::ChildProcess m_process;
    int m_first;
    int m_count;
};

} // namespace qm::bench
