#include "platform/UserFolders.h"

#include "platform/TextFile.h"

namespace qm {

std::string userConfigFolder(const char* xdgConfigHome, const std::string& home) {
    // A relative XDG_CONFIG_HOME is ignored, as the XDG rules say.
    const std::string xdg = xdgConfigHome ? xdgConfigHome : "";
    if (!xdg.empty() && xdg.front() == '/')
        return xdg.size() > 1 && xdg.back() == '/' ? xdg.substr(0, xdg.size() - 1) : xdg;
    return home + (home.empty() || home.back() != '/' ? "/" : "") + ".config";
}

std::string userDocumentsFolder(const std::string& configFolder, const std::string& home) {
    std::string userDirs;
    try {
        userDirs = readFileBytes(configFolder + "/user-dirs.dirs");
    } catch (const std::exception&) {
        // No such file: the home folder is the documents folder.
    }
    return documentsFolder(userDirs, home);
}

std::string settingsFolderName() {
    return "quillmark";
}

} // namespace qm
