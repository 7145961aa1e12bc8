#include "platform/UserFolders.h"

#include "platform/WideText_win.h"

#include <shlobj.h>
#include <windows.h>

namespace qm {

namespace {

std::string knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK) folder = utf8Of(path);
    ::CoTaskMemFree(path);
    return folder;
}

} // namespace

std::string userConfigFolder(const char*, const std::string& home) {
    const std::string appData = knownFolder(FOLDERID_RoamingAppData);
    return appData.empty() ? home + "\\AppData\\Roaming" : appData;
}

std::string userDocumentsFolder(const std::string&, const std::string& home) {
    const std::string documents = knownFolder(FOLDERID_Documents);
    return documents.empty() ? home : documents;
}

std::string settingsFolderName() {
    return "Quillmark";
}

} // namespace qm
