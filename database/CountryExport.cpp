#include "database/CountryExport.h"

#include "database/DatabaseFile.h"
#include "database/Db2Format.h"
#include "platform/Paths.h"

#include <algorithm>
#include <deque>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace qm {

namespace {

constexpr std::string_view kUnknown = "Unknown";

// The lines as views: into the servers' entries, and into `owned` for the header and the
// markers (a deque keeps its strings where they are). A database of 100,000 servers is
// grouped without copying an entry.
std::vector<std::string_view> groupedLines(const std::string& build, const std::string& date,
                                           const std::vector<ServerOfCountry>& servers,
                                           std::deque<std::string>& owned) {
    std::unordered_set<std::string_view> seen;
    seen.reserve(servers.size());
    std::unordered_map<std::string_view, std::vector<const std::string*>> byCountry;
    size_t count = 0;
    for (const ServerOfCountry& s : servers) {
        if (!seen.insert(s.entry).second) continue;
        byCountry[s.country.empty() ? kUnknown : std::string_view(s.country)].push_back(&s.entry);
        ++count;
    }
    std::vector<std::string_view> countries;
    countries.reserve(byCountry.size());
    for (const auto& [country, entries] : byCountry)
        countries.push_back(country);
    // By name, the servers of no known country last.
    std::sort(countries.begin(), countries.end(), [](std::string_view a, std::string_view b) {
        if ((a == kUnknown) != (b == kUnknown)) return b == kUnknown;
        return a < b;
    });
    std::vector<std::string_view> lines;
    lines.reserve(4 + countries.size() + count);
    for (const std::string& header : {std::string(kDb2ProductName), build, date, std::to_string(count)})
        lines.push_back(owned.emplace_back(header));
    for (std::string_view country : countries) {
        lines.push_back(owned.emplace_back("/" + std::string(country)));
        for (const std::string* entry : byCountry[country])
            lines.push_back(*entry);
    }
    return lines;
}

} // namespace

std::vector<std::string> countryDatabaseLines(const std::string& build, const std::string& date,
                                              const std::vector<ServerOfCountry>& servers) {
    std::deque<std::string> owned;
    const std::vector<std::string_view> lines = groupedLines(build, date, servers, owned);
    return {lines.begin(), lines.end()};
}

Outcome exportCountryDatabase(const std::string& path, const std::string& build, const std::string& date,
                              const std::vector<ServerOfCountry>& servers) {
    if (path.empty() || build.empty() || date.empty()) return {"Error: fill export options first", {}, false};
    std::deque<std::string> owned;
    std::vector<std::string_view> lines = groupedLines(build, date, servers, owned);
    // A line's bytes depend on its number: entries that cannot be stored are dropped one at
    // a time until the whole file can be (a drop moves every line after it).
    size_t leftOut = 0;
    while (const std::optional<size_t> bad = writeDatabaseLines(path, lines)) {
        if (*bad < 4 || lines[*bad].front() == '/')
            return {"Error: the line '" + std::string(lines[*bad]) +
                        "' holds characters a database cannot store; nothing was exported",
                    {},
                    false};
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*bad));
        lines[3] = owned.emplace_back(std::to_string(std::stoull(std::string(lines[3])) - 1));
        ++leftOut;
    }
    std::string status = "Exporting complete: " + absolutePath(path);
    if (leftOut > 0)
        status += " (" + std::to_string(leftOut) +
                  " servers left out: their entries hold characters a database cannot store)";
    return {status, {}, true};
}

} // namespace qm
