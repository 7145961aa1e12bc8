#include "platform/FsPath.h"

namespace qm {

// Linux paths are bytes, taken as they are.
std::filesystem::path fsPath(const std::string& utf8) {
    return std::filesystem::path(utf8);
}

std::string fsText(const std::filesystem::path& path) {
    return path.string();
}

} // namespace qm
