#include "database/DatabaseBrowser.h"

#include "database/Db2File.h"
#include "database/Db2Format.h"

namespace qm {

std::optional<DatabaseSummary> loadDatabase(const std::string& path) {
    Db2Reader in(path);
    if (in.readLine() != kDb2ProductName)
        return std::nullopt;
    DatabaseSummary summary;
    summary.build = in.readLine();
    summary.date = in.readLine();
    summary.count = in.readLine();
    // A line counts as a marker only once a further line has been read after it.
    std::optional<std::string> previous;
    while (!in.atEnd()) {
        std::string line = in.readLine();
        if (previous && isCountryMarker(*previous))
            summary.countries.push_back(previous->substr(1));
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
        found = !line.empty() && line.compare(1, std::string::npos, country) == 0;
    }
    if (!found)
        return entries;
    while (!in.atEnd()) {
        std::string line = in.readLine();
        if (isCountryMarker(line))
            break;
        entries.push_back(std::move(line));
    }
    return entries;
}

} // namespace qm
