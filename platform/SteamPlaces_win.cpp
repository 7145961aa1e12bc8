#include "platform/SteamPlaces.h"

#include "platform/WideText_win.h"

#include <windows.h>

namespace qm {

namespace {

const wchar_t kSteamKey[] = L"Software\\Valve\\Steam";

std::wstring registryText(const wchar_t* key, const wchar_t* value) {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

} // namespace

std::vector<std::string> steamFolderCandidates(const std::string&) {
    std::vector<std::string> folders;
    // Steam writes its path with forward slashes ("c:/program files (x86)/steam").
    const std::string registered = utf8Of(registryText(kSteamKey, L"SteamPath"));
    if (!registered.empty()) folders.push_back(registered);
    wchar_t programFiles[MAX_PATH];
    const DWORD n = ::GetEnvironmentVariableW(L"ProgramFiles(x86)", programFiles, MAX_PATH);
    folders.push_back(n > 0 && n < MAX_PATH ? utf8Of(programFiles) + "\\Steam"
                                            : "C:\\Program Files (x86)\\Steam");
    return folders;
}

std::vector<int> steamPidsOnRecord(const std::string&, const std::string&) {
    DWORD pid = 0;
    DWORD size = sizeof pid;
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam\\ActiveProcess", L"pid", RRF_RT_REG_DWORD,
                       nullptr, &pid, &size) != ERROR_SUCCESS ||
        pid == 0)
        return {};
    return {static_cast<int>(pid)};
}

} // namespace qm
