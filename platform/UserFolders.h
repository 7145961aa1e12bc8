#pragma once
#include <string>

namespace qm {

/// Where an installed program keeps this user's settings, without a trailing separator.
/// Linux: $XDG_CONFIG_HOME when it is absolute (`xdgConfigHome` is its value, null or
/// empty when not set), else ~/.config. Windows: the roaming application data folder
/// (%APPDATA%).
std::string userConfigFolder(const char* xdgConfigHome, const std::string& home);

/// The user's documents folder: Linux's XDG documents folder (named in user-dirs.dirs of
/// `configFolder`), Windows' Documents; `home` when there is none.
std::string userDocumentsFolder(const std::string& configFolder, const std::string& home);

/// The XDG documents folder from `userDirsText` (the text of ~/.config/user-dirs.dirs),
/// "$HOME" standing for `home`; `home` itself when the text names none or a relative one.
std::string documentsFolder(const std::string& userDirsText, const std::string& home);

/// The name of the program's settings folder inside the user's config folder.
std::string settingsFolderName();

} // namespace qm
