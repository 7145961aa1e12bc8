#include "platform/FsPath.h"

#include "platform/WideText_win.h"

namespace qm {

std::filesystem::path fsPath(const std::string& utf8) {
    return std::filesystem::path(wideOf(utf8));
}

std::string fsText(const std::filesystem::path& path) {
    return utf8Of(path.wstring());
}

} // namespace qm
