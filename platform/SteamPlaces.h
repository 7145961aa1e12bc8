#pragma once
#include <string>
#include <vector>

namespace qm {

/// The places this system keeps Steam in for the user whose home folder is `home`, most
/// likely first. Linux: the native one and the links to it, the Flatpak and the Snap one,
/// below the home folder. Windows: the folder Steam registered (HKCU\Software\Valve\Steam,
/// SteamPath), then its default folder.
std::vector<std::string> steamFolderCandidates(const std::string& home);

/// The places a Linux desktop keeps Steam in, below the home folder: the native one and
/// the links to it, the Flatpak and the Snap one (also Wine's Steam beside a Linux one).
std::vector<std::string> steamFoldersBelowHome(const std::string& home);

/// The process ids that Steam recorded as its own, newest record first: its pid files on
/// Linux (~/.steam/steam.pid, steam.pid in the Steam folder), the registry's
/// ActiveProcess\pid on Windows. A record may be stale.
std::vector<int> steamPidsOnRecord(const std::string& home, const std::string& steamFolder);

} // namespace qm
