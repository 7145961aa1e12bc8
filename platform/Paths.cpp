#include "platform/Paths.h"

#include "platform/FsPath.h"

#include <algorithm>
#include <filesystem>

namespace qm {

std::string nativePath(const std::string& path) {
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(fsPath(nativePath(path)), ec);
    return ec ? path : fsText(absolute.lexically_normal());
}

bool isAbsolutePath(const std::string& path) {
    return !path.empty() && fsPath(nativePath(path)).is_absolute();
}

std::string folderOf(const std::string& path) {
    // Either separator: a path picked on Windows comes with backslashes.
    auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

} // namespace qm
