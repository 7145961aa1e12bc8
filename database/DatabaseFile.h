#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// Writes the lines as a database file (each scrambled with the key of its number, ended
/// with CR LF) in one go; a complete file replaces the target, and when the target's folder
/// takes no temporary file it is written in place. A line that cannot be stored stops it
/// before any file is touched: its index is returned. File failures are thrown (FileError).
std::optional<size_t> writeDatabaseLines(const std::string& path, const std::vector<std::string_view>& lines);
std::optional<size_t> writeDatabaseLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace qm
