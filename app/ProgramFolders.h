#pragma once
#include "platform/UserFolders.h"

#include <string>

namespace qm {

/// Where the program keeps its files. A portable program (its own folder takes writes:
/// an unpacked copy, the build folder) keeps everything beside itself; an installed one
/// (its folder takes no writes, or share/quillmark/ stands beside its bin/) keeps the
/// settings in the user's config folder and finds its help page and sample database in
/// the installed share/quillmark/.
struct ProgramFolders {
    bool portable = true;
    std::string settingsDir; // with a trailing separator
    std::string dataDir;     // with a trailing separator
    /// An installed program's user's documents folder (XDG DOCUMENTS, else home), with a
    /// trailing separator; empty for a portable one.
    std::string documentsDir;
};

/// `xdgConfigHome` is the value of XDG_CONFIG_HOME (userConfigFolder).
ProgramFolders locateProgramFolders(const std::string& executableDir, const char* xdgConfigHome,
                                    const std::string& home);

/// Makes the settings folder (and its parents) when it is missing, owner-only.
void makeSettingsFolder(const std::string& settingsDir);

} // namespace qm
