#pragma once

namespace qm {

inline constexpr const char* kAboutText =
    "Quillmark\n"
    "Version " QM_VERSION "\n"
    "\n"
    "Favourites manager for Half-Life and Counter-Strike.\n"
    "\n"
    "The Quillmark developers\n"
    "Web: http://quillmark.example/\n"
    "Mail: dev@quillmark.example\n"
    "\n"
    "Quillmark is free to use and to pass on unchanged. It comes without warranty of any "
    "kind: back up your favourites (Options page, Back Up) before you overwrite them. "
    "Half-Life and Counter-Strike are trademarks of their owners; Quillmark is not "
    "made or endorsed by them.";

} // namespace qm
