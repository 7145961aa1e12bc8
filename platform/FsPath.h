#pragma once
// The program's paths are UTF-8 text; std::filesystem's paths are the system's. Every
// path goes from one to the other through these two: on Windows by way of UTF-16, since a
// narrow path there would be widened byte by byte and lose every character past ASCII.
#include <filesystem>
#include <string>

namespace qm {

/// A file system path of UTF-8 text.
std::filesystem::path fsPath(const std::string& utf8);

/// The UTF-8 text of a file system path.
std::string fsText(const std::filesystem::path& path);

} // namespace qm
