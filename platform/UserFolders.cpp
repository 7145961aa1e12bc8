#include "platform/UserFolders.h"

#include "platform/TextTools.h"

namespace qm {

std::string documentsFolder(const std::string& userDirsText, const std::string& home) {
    // Lines such as XDG_DOCUMENTS_DIR="$HOME/Documents", as xdg-user-dirs writes them.
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
    for (std::string_view line : splitLines(userDirsText)) {
        line = trimmed(line);
        if (line.substr(0, kKey.size()) != kKey) continue;
        line.remove_prefix(kKey.size());
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
            line = line.substr(1, line.size() - 2);
        std::string folder(line);
        if (folder.rfind("$HOME", 0) == 0) folder = home + folder.substr(5);
        if (!folder.empty() && folder.front() == '/' && folder != "/") return folder;
    }
    return home;
}

} // namespace qm
