#include "database/DatabaseBrowser.h"

#include "database/Db2File.h"
#include "database/Db2Format.h"

#include <algorithm>
#include <string_view>

namespace qm {

std::optional<DatabaseSummary> loadDatabase(const std::string& path) {
    Db2Reader in(path);
    if (in.readLine() != kDb2ProductName) return std::nullopt;
    DatabaseSummary summary;
    summary.build = in.readLine();
    summary.date = in.readLine();
    summary.count = in.readLine();
    // A line counts as a marker only once a further line has been read after it. Only
    // markers are unscrambled: the entries between them are passed over by their first byte.
    while (const auto marker = in.readOnToLineStartingWith('/')) {
        std::string name = marker->plain().substr(1);
        if (!in.atEnd()) summary.countries.push_back(std::move(name));
    }
    return summary;
}

namespace {

// Whether a line, from its second character on, is `country`. Scrambling keeps a line's
// length, so only lines of the one length that can match are unscrambled.
bool namesCountry(const Db2RawLine& line, std::string_view country) {
    if (line.bytes.size() != country.size() + (line.bytes.empty() ? 0 : 1)) return false;
    for (size_t i = 0; i < country.size(); ++i)
        if (unscrambledByte(line.bytes, line.key, i + 1) != country[i]) return false;
    return true;
}

} // namespace

std::vector<std::string> countryEntries(const std::string& path, const std::string& country) {
    Db2Reader in(path);
    std::vector<std::string> entries;
    bool found = false;
    // Every line counts, an empty one too: its text from the second character on is empty.
    // Only lines of the one length that can match are looked at.
    while (!found && !in.atEnd()) {
        if (country.empty()) { // an empty line names it too
            found = namesCountry(in.readRawLine(), country);
            continue;
        }
        const auto line = in.readOnToLineOfLength(country.size() + 1);
        if (!line) break;
        found = namesCountry(*line, country);
    }
    if (!found) return entries;
    while (!in.atEnd()) {
        const Db2RawLine line = in.readRawLine();
        if (line.first() == '/') break;
        entries.push_back(line.plain());
    }
    return entries;
}

} // namespace qm
