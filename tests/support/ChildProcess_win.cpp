#include "tests/support/ChildProcess.h"

#include "tests/support/TestSystem.h"

#include <fstream>
#include <windows.h>

namespace qm::test {

namespace {

// One argument of a command line as the C runtime splits it again: quoted, with the
// backslashes before a quote doubled.
std::string quoted(const std::string& arg) {
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, '\\');
    return out + "\"";
}

HANDLE handleOf(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

// Linux peers (nginx, tinyproxy, the demo server) run beside a test under Wine, which
// starts a Linux program as a process of the host that no Windows handle or pipe follows:
// the shell writes that process's id into a file, and the test ends it with kill(1).
bool isHostProgram(const std::string& program) {
    return !program.empty() && program.front() == '/';
}

std::string wineNameOf(const std::string& hostPath) {
    std::string name = "Z:" + hostPath;
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

// Starts a program with its output into `out`; true when it started.
bool startProgram(const std::vector<std::string>& argv, HANDLE out, HANDLE err, PROCESS_INFORMATION& info) {
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = out;
    start.hStdError = err;
    std::string command;
    for (const std::string& a : argv)
        command += (command.empty() ? "" : " ") + quoted(a);
    const std::string program = isHostProgram(argv[0]) ? wineNameOf(argv[0]) : argv[0];
    return CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &start, &info);
}

// The id the shell wrote, once it is there (a few seconds at most).
int hostPidFrom(const std::string& pidFile) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(pidFile);
        int pid = 0;
        if (in >> pid && pid > 0) {
            in.close();
            DeleteFileA(pidFile.c_str());
            return pid;
        }
        Sleep(10);
    }
    return -1;
}

// Whether the host process is there and not yet a zombie (no Windows process reaps it).
bool hostProcessLives(const std::string& pid) {
    std::ifstream stat("Z:/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const size_t name = line.rfind(')');
    return name != std::string::npos && line.compare(name, 3, ") Z") != 0;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE null = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    const bool host = !argv.empty() && isHostProgram(argv[0]);
    std::vector<std::string> command = argv;
    std::string pidFile;
    if (host) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int peers = 0;
        pidFile = std::string(temp) + "quillmark-peer-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(++peers) + ".pid";
        DeleteFileA(pidFile.c_str());
        command.insert(command.begin(),
                       {"/bin/sh", "-c", "echo $$ > \"$0\"; exec \"$@\"", hostPathOf(pidFile)});
    }
    PROCESS_INFORMATION info{};
    const bool started = !argv.empty() && startProgram(command, writeEnd, null, info);
    CloseHandle(writeEnd);
    CloseHandle(null);
    m_out = reinterpret_cast<std::intptr_t>(readEnd);
    if (!started) return;
    CloseHandle(info.hThread);
    if (host) {
        CloseHandle(info.hProcess);
        m_hostPid = hostPidFrom(pidFile);
        return;
    }
    m_process = reinterpret_cast<std::intptr_t>(info.hProcess);
    m_pid = static_cast<int>(info.dwProcessId);
}

ChildProcess::~ChildProcess() {
    if (m_hostPid > 0) {
        PROCESS_INFORMATION info{};
        const std::string pid = std::to_string(m_hostPid);
        // kill(1) has no handle to wait on either: the test waits until the process is gone.
        if (startProgram(
                {"/bin/sh", "-c",
                 "kill -TERM " + pid + "; while kill -0 " + pid + " 2>/dev/null; do sleep 0.02; done"},
                GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE), info)) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
        for (int i = 0; i < 300 && hostProcessLives(pid); ++i)
            Sleep(10);
    }
    if (m_process != -1) {
        TerminateProcess(handleOf(m_process), 1);
        WaitForSingleObject(handleOf(m_process), 10000);
        CloseHandle(handleOf(m_process));
    }
    if (m_out != -1) CloseHandle(handleOf(m_out));
}

std::string ChildProcess::readLine() {
    std::string line;
    char c;
    DWORD got = 0;
    while (m_out != -1 && ReadFile(handleOf(m_out), &c, 1, &got, nullptr) && got == 1 && c != '\n')
        line.push_back(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

} // namespace qm::test
