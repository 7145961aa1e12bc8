#include "platform/ProgramStart.h"

namespace qm {

std::string windowsCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& a : arguments) {
        if (!line.empty()) line.push_back(' ');
        if (!a.empty() && a.find_first_of(" \t\n\v\"") == std::string::npos) {
            line += a;
            continue;
        }
        // Quoted: backslashes count only before a quote, where each is doubled.
        line.push_back('"');
        size_t backslashes = 0;
        for (const char c : a) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            line.push_back(c);
        }
        line.append(2 * backslashes, '\\');
        line.push_back('"');
    }
    return line;
}

} // namespace qm
