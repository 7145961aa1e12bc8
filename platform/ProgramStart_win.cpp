#include "platform/ProgramStart.h"

#include "platform/WideText_win.h"

#include <windows.h>

namespace qm {

std::string systemSearchPath() {
    return {};
}

std::string startProgram(const ProgramLaunch& launch, const std::string&) {
    std::vector<std::string> all{launch.program};
    all.insert(all.end(), launch.arguments.begin(), launch.arguments.end());
    std::wstring line = wideOf(windowsCommandLine(all));
    const std::wstring program = wideOf(launch.program);
    const std::wstring folder = wideOf(launch.folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return "Could not start " + launch.program + " (Windows error " + std::to_string(::GetLastError()) +
               ").";
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return {};
}

} // namespace qm
