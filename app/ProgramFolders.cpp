#include "app/ProgramFolders.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/TextTools.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace qm {

namespace {

std::string withSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

} // namespace

ProgramFolders locateProgramFolders(const std::string& executableDir, const char* xdgConfigHome,
                                    const std::string& home) {
    ProgramFolders folders;
    const std::string exe = withSeparator(executableDir);
    std::error_code ec;
    const fs::path share = fs::weakly_canonical(fs::path(exe) / ".." / "share" / "quillmark", ec);
    // Installed (also into a prefix of the user's own, such as ~/.local) when the shared
    // files sit beside bin/; otherwise portable as long as the folder takes writes.
    const bool installedLayout = !ec && isFile((share / "index.html").string());
    folders.portable = !installedLayout && folderTakesWrites(exe) && !writeProtected(exe);
    if (folders.portable) {
        folders.settingsDir = folders.dataDir = exe;
        return folders;
    }
    const std::string xdg = xdgConfigHome ? xdgConfigHome : "";
    const std::string config = !xdg.empty() && xdg.front() == '/' ? xdg : withSeparator(home) + ".config";
    folders.settingsDir = withSeparator(config) + "quillmark/";
    folders.dataDir = withSeparator(ec ? exe + "../share/quillmark" : share.string());
    std::string userDirs;
    try {
        userDirs = readFileBytes(withSeparator(config) + "user-dirs.dirs");
    } catch (const std::exception&) {
        // No such file: the home folder is the documents folder.
    }
    const std::string documents = documentsFolder(userDirs, home);
    folders.documentsDir = withSeparator(fs::is_directory(documents, ec) ? documents : home);
    return folders;
}

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

void makeSettingsFolder(const std::string& settingsDir) {
    std::error_code ec;
    if (settingsDir.empty() || fs::is_directory(settingsDir, ec)) return;
    fs::create_directories(settingsDir, ec);
    // The settings hold the proxy's password: the folder is the user's alone.
    fs::permissions(settingsDir, fs::perms::owner_all, fs::perm_options::replace, ec);
}

} // namespace qm
