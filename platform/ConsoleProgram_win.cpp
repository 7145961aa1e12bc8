#include "platform/ConsoleProgram.h"

#include "platform/WideText_win.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

namespace qm {

std::vector<std::string> commandArguments(int, char*[]) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i)
        arguments.push_back(utf8Of(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void useUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
    // Line ends as written: a redirected output is byte for byte the Linux build's.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
}

} // namespace qm
