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
    // A line counts as a marker only once a further line has been read after it.
    std::optional<std::string> previous;
    while (!in.atEnd()) {
        std::string line = in.readLine();
        if (previous && isCountryMarker(*previous)) summary.countries.push_back(previous->substr(1));
        previous = std::move(line);
    }
    return summary;
}

std::vector<std::string> countryEntries(const std::string& path, const std::string& country) {
    Db2Reader in(path);
    std::vector<std::string> entries;
    bool found = false;
    while (!in.atEnd() && !found) {
        const std::string line = in.readLine();
        // Every line counts, an empty one too: its text from the second character on is empty.
        found = std::string_view(line).substr(std::min<size_t>(1, line.size())) == country;
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
