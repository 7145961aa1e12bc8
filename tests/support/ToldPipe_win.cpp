#include "tests/support/ToldPipe.h"

#include <windows.h>

#include <functional>

namespace qm::test {

ToldPipe::ToldPipe(const std::string& folder) {
    const std::string name = "\\\\.\\pipe\\quillmark-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(std::hash<std::string>{}(folder));
    const HANDLE pipe = ::CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                           0, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return;
    m_handle = reinterpret_cast<std::intptr_t>(pipe);
    m_name = name;
}

ToldPipe::~ToldPipe() {
    if (m_handle != -1) ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

std::string ToldPipe::readToEnd() {
    if (m_handle == -1) return {};
    const HANDLE pipe = reinterpret_cast<HANDLE>(m_handle);
    // A writer that came before the wait has already connected.
    if (!::ConnectNamedPipe(pipe, nullptr) && ::GetLastError() != ERROR_PIPE_CONNECTED) return {};
    std::string told;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        told.append(buffer, got);
    return told;
}

} // namespace qm::test
