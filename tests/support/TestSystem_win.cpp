#include "tests/support/TestSystem.h"

#include "platform/WideText_win.h"

#include <windows.h>

#include <cstdlib>

namespace qm::test {

namespace {

bool underWine() {
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

} // namespace

bool onWindows() {
    return true;
}

std::string cannotRun(Needs what) {
    switch (what) {
    case Needs::UnixFileModes:
        return "Windows keeps no Unix file modes: a file is read-only by its attribute, and a folder's "
               "read-only attribute refuses no writes";
    case Needs::Fifos:
        return "Windows has no FIFOs in its file system";
    case Needs::FileSizeLimit:
        return "Windows has no file size limit (RLIMIT_FSIZE) to stand in for a full disk";
    case Needs::PortUnreachable:
        return underWine() ? "Wine passes no ICMP \"port unreachable\" report to a Windows program" : "";
    case Needs::DatagramFloods:
        return underWine() ? "each receive under Wine is a call to its server: a flood of 10,000 datagrams "
                             "fills the kernel's queue before Wine drains it"
                           : "";
    case Needs::SymbolicLinks:
        return "a symbolic link on Windows needs a privilege (or developer mode), and the C++ library "
               "of mingw-w64 makes none";
    case Needs::LinuxSteamPlaces:
        return "Steam on Windows is found through the registry and Toolhelp, not /proc and ~/.steam";
    }
    return {};
}

int currentProcessId() {
    return static_cast<int>(GetCurrentProcessId());
}

int runCommandLine(const std::string& utf8) {
    // cmd /c drops the first and the last quote of a line that holds more than two: one
    // more pair around the whole line keeps the quotes of its paths.
    return _wsystem(wideOf("\"" + utf8 + "\"").c_str());
}

bool makeFifo(const std::string&) {
    return false;
}

unsigned fileModeOf(const std::string&) {
    return 0;
}

bool setFileMode(const std::string&, unsigned) {
    return false;
}

std::string systemPathOf(const std::string& path) {
    std::string native = path;
    for (char& c : native)
        if (c == '/') c = '\\';
    return native;
}

std::string hostPathOf(const std::string& path) {
    // Wine tells the host's name of any of its paths; on Windows there is no host.
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return path;
    const std::wstring wide(path.begin(), path.end()); // test paths are ASCII
    char* name = unixName(wide.c_str());
    if (!name) return path;
    std::string host = name;
    HeapFree(GetProcessHeap(), 0, name);
    // A trailing separator names a folder: it stays.
    if (!path.empty() && (path.back() == '/' || path.back() == '\\') && host.back() != '/') host += '/';
    return host;
}

} // namespace qm::test
