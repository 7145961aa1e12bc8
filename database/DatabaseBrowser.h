#pragma once
#include <optional>
#include <string>
#include <vector>

namespace qm {

/// What a database shows on the Import page once loaded.
struct DatabaseSummary {
    std::string build;
    std::string date;
    std::string count;
    /// One name per country marker, in file order (the box sorts them).
    std::vector<std::string> countries;
};

/// Reads a database's header and country markers. Nothing when line 0 is not the product
/// name; a file that cannot be opened is thrown (FileError). The file's last line is
/// never taken as a marker.
std::optional<DatabaseSummary> loadDatabase(const std::string& path);

/// The entry lines after the first line that, from its second character on, equals
/// `country` byte for byte (header lines included in the search), up to the next marker.
/// Empty when no line matches. Thrown (FileError) when the file cannot be opened.
std::vector<std::string> countryEntries(const std::string& path, const std::string& country);

inline bool isCountryMarker(const std::string& line) {
    return !line.empty() && line[0] == '/';
}

} // namespace qm
