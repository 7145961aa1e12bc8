#pragma once
// What the system a test runs on can stand for, and how a Linux peer program names a
// test's file. Windows keeps no Unix file modes or FIFOs; Wine, on top of Linux, passes no
// ICMP report of a closed UDP port to a Windows program.
#include <string>

namespace qm::test {

enum class Needs {
    UnixFileModes,    // modes, umask, and folders that refuse writes by their mode bits
    Fifos,            // named pipes in the file system
    FileSizeLimit,    // a full disk stood in by RLIMIT_FSIZE
    PortUnreachable,  // the system's report of a closed UDP port
    LinuxSteamPlaces, // Steam found below the home folder and through /proc
    SymbolicLinks,    // links made by any user (Windows asks a privilege for them)
    DatagramFloods,   // 10,000 datagrams read within the 100 ms they take to come
};

/// True on Windows, whose file errors come as Win32 codes.
bool onWindows();

/// Why this system cannot run a test that needs `what`; empty when it can.
std::string cannotRun(Needs what);

/// This process's id.
int currentProcessId();

/// Makes a FIFO (where the system has them); true when it did.
bool makeFifo(const std::string& path);

/// The permission bits of a file or folder (Linux); 0 where the system keeps none.
unsigned fileModeOf(const std::string& path);
/// Sets them; false where the system keeps none.
bool setFileMode(const std::string& path, unsigned mode);

/// Runs a command line through the system's shell (sh, or cmd on Windows) and returns its
/// exit status. The text is UTF-8: Windows gets it as wide text, whatever its code page.
int runCommandLine(const std::string& utf8);

/// A path as the system writes it in messages: backslashes on Windows.
std::string systemPathOf(const std::string& path);

/// The path under which a Linux peer (nginx, tinyproxy, the demo server) finds `path`:
/// the same path on Linux, the host path behind Wine's drive Z: under Wine.
std::string hostPathOf(const std::string& path);

} // namespace qm::test

/// Skips the test, with the reason printed, where the system cannot stand for `what`.
#define QM_SKIP_UNLESS_SYSTEM_HAS(what)                                                                      \
    if (const std::string qmWhy = ::qm::test::cannotRun(::qm::test::Needs::what); !qmWhy.empty())            \
    GTEST_SKIP() << qmWhy
