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
    // markers are unscrambled whole: the entries between them need their first byte only.
    std::optional<std::string> previousMarker;
    while (!in.atEnd()) {
        std::optional<std::string> marker = in.readLineStartingWith('/');
        if (previousMarker) summary.countries.push_back(previousMarker->substr(1));
        previousMarker = std::move(marker);
    }
    return summary;
}

std::vector<std::string> countryEntries(const std::string& path, const std::string& country) {
    Db2Reader in(path);
    std::vector<std::string> entries;
    bool found = false;
    while (!in.atEnd() && !found) {
        // Every line counts, an empty one too: its text from the second character on is
        // empty. Only lines of the one length that can match are unscrambled.
        const std::optional<std::string> line = country.empty() ? std::optional<std::string>(in.readLine())
                                                                : in.readLineOfLength(country.size() + 1);
        found = line && std::string_view(*line).substr(std::min<size_t>(1, line->size())) == country;
    }
    if (!found) return entries;
    while (!in.atEnd()) {
        std::string line = in.readLine();
        if (isCountryMarker(line)) break;
        entries.push_back(std::move(line));
    }
    return entries;
}

} // namespace qm
