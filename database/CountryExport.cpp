#include "database/CountryExport.h"

#include "database/DatabaseFile.h"
#include "database/Db2Format.h"
#include "platform/Paths.h"

#include <algorithm>
#include <map>
#include <unordered_set>

namespace qm {

namespace {

constexpr std::string_view kUnknown = "Unknown";

// Countries by name, the unknown ones last.
struct CountryOrder {
    bool operator()(const std::string& a, const std::string& b) const {
        if ((a == kUnknown) != (b == kUnknown)) return b == kUnknown;
        return a < b;
    }
};

} // namespace

std::vector<std::string> countryDatabaseLines(const std::string& build, const std::string& date,
                                              const std::vector<ServerOfCountry>& servers) {
    std::map<std::string, std::vector<const std::string*>, CountryOrder> byCountry;
    std::unordered_set<std::string> seen;
    size_t count = 0;
    for (const ServerOfCountry& s : servers) {
        if (!seen.insert(s.entry).second) continue;
        byCountry[s.country.empty() ? std::string(kUnknown) : s.country].push_back(&s.entry);
        ++count;
    }
    std::vector<std::string> lines{std::string(kDb2ProductName), build, date, std::to_string(count)};
    lines.reserve(4 + byCountry.size() + count);
    for (const auto& [country, entries] : byCountry) {
        lines.push_back("/" + country);
        for (const std::string* entry : entries)
            lines.push_back(*entry);
    }
    return lines;
}

Outcome exportCountryDatabase(const std::string& path, const std::string& build, const std::string& date,
                              const std::vector<ServerOfCountry>& servers) {
    if (path.empty() || build.empty() || date.empty()) return {"Error: fill export options first", {}, false};
    std::vector<std::string> lines = countryDatabaseLines(build, date, servers);
    // A line's bytes depend on its number: entries that cannot be stored are dropped one at
    // a time until the whole file can be (a drop moves every line after it).
    size_t leftOut = 0;
    while (const std::optional<size_t> bad = writeDatabaseLines(path, lines)) {
        if (*bad < 4 || lines[*bad].front() == '/')
            return {"Error: the line '" + lines[*bad] +
                        "' holds characters a database cannot store; nothing was exported",
                    {},
                    false};
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*bad));
        lines[3] = std::to_string(std::stoull(lines[3]) - 1);
        ++leftOut;
    }
    std::string status = "Exporting complete: " + absolutePath(path);
    if (leftOut > 0)
        status += " (" + std::to_string(leftOut) +
                  " servers left out: their entries hold characters a "
                  "database cannot store)";
    return {status, {}, true};
}

} // namespace qm
