#pragma once
#include <string>

namespace qm {

/// The text of a game location up to its first "hl.exe" (byte-exact), or empty when it
/// holds none: "C:\Games\Half-Life\hl.exe" gives "C:\Games\Half-Life\".
std::string gameDirectory(const std::string& location);

/// The files below the game directory, in the game's own (backslash) spelling.
std::string favouritesFileOf(const std::string& location);
std::string backupFileOf(const std::string& location);
/// The favourites file that some non-Steam builds read instead: config\rev_ServerBrowser.vdf.
std::string revFavouritesFileOf(const std::string& location);

/// True when `location` names an existing file and the favourites file derived from it
/// exists too: the check of Browse and of the start-up detection.
bool isGameLocation(const std::string& location);

inline constexpr const char* kHlExeFound = "'hl.exe' was found";

} // namespace qm
