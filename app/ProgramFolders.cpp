#include "app/ProgramFolders.h"

#include "platform/FsPath.h"
#include "platform/Paths.h"
#include "platform/UserFolders.h"

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
    const fs::path share = fs::weakly_canonical(fsPath(exe) / ".." / "share" / "quillmark", ec);
    // Installed (also into a prefix of the user's own, such as ~/.local) when the shared
    // files sit beside bin/; otherwise portable as long as the folder takes writes.
    const bool installedLayout = !ec && isFile(fsText(share / "index.html"));
    folders.portable = !installedLayout && folderTakesWrites(exe) && !writeProtected(exe);
    if (folders.portable) {
        folders.settingsDir = folders.dataDir = exe;
        return folders;
    }
    const std::string config = userConfigFolder(xdgConfigHome, home);
    folders.settingsDir = withSeparator(config) + settingsFolderName() + "/";
    // The shared files of an installed tree; a copy unpacked where it cannot write (such
    // as Program Files on Windows) has them beside itself.
    folders.dataDir = withSeparator(!ec && fs::is_directory(share, ec) ? fsText(share) : exe);
    const std::string documents = userDocumentsFolder(config, home);
    folders.documentsDir = withSeparator(fs::is_directory(fsPath(documents), ec) ? documents : home);
    return folders;
}

void makeSettingsFolder(const std::string& settingsDir) {
    std::error_code ec;
    if (settingsDir.empty() || fs::is_directory(fsPath(settingsDir), ec)) return;
    fs::create_directories(fsPath(settingsDir), ec);
    // The settings hold the proxy's password: the folder is the user's alone.
    fs::permissions(fsPath(settingsDir), fs::perms::owner_all, fs::perm_options::replace, ec);
}

} // namespace qm
