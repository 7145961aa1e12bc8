#include "platform/ProcessList.h"

#include "platform/TextTools.h"
#include "platform/WideText_win.h"

#include <algorithm>
#include <memory>
#include <tlhelp32.h>
#include <windows.h>

namespace qm {

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// The user a process runs as, as the bytes of its SID; empty when it cannot be read.
std::string userOf(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
    const Handle tokenHandle(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    if (size == 0 || !::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    return std::string(static_cast<const char*>(sid), ::GetLengthSid(sid));
}

const std::string& thisUser() {
    static const std::string user = userOf(::GetCurrentProcess());
    return user;
}

} // namespace

std::optional<std::string> processName(int pid, const std::string&) {
    const Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
    if (!process) return std::nullopt;
    std::wstring path(MAX_PATH, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return std::nullopt;
    path.resize(size);
    const std::string name = utf8Of(path);
    return name.substr(name.find_last_of("\\/") + 1);
}

bool isProcessOfThisUser(int pid, const std::string&) {
    if (pid <= 0) return false;
    const Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
    if (!process) return false;
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process.get(), &exitCode) || exitCode != STILL_ACTIVE) return false;
    const std::string user = userOf(process.get());
    return !user.empty() && user == thisUser();
}

std::vector<int> processesOfThisUserNamed(const std::vector<std::string>& names,
                                          const std::string& procRoot) {
    std::vector<int> found;
    const Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        // Windows names are compared without regard to case: "Steam.exe" is steam.exe.
        const std::string name = utf8Of(entry.szExeFile);
        const bool wanted = std::any_of(names.begin(), names.end(),
                                        [&](const std::string& n) { return equalsIgnoringCase(n, name); });
        const int pid = static_cast<int>(entry.th32ProcessID);
        if (wanted && isProcessOfThisUser(pid, procRoot)) found.push_back(pid);
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace qm
