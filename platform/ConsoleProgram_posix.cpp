#include "platform/ConsoleProgram.h"

namespace qm {

std::vector<std::string> commandArguments(int argc, char* argv[]) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

// A Linux terminal takes the bytes as they come.
void useUtf8Console() {}

} // namespace qm
