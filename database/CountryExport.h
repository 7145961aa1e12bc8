#pragma once
#include "platform/Outcome.h"

#include <string>
#include <vector>

namespace qm {

/// A server for a database of today's servers: its entry ("address:port gamedir") and the
/// name of its country (empty when not known).
struct ServerOfCountry {
    std::string entry;
    std::string country;
};

/// The lines of a database of servers grouped by country: "Quillmark", build, date, the
/// number of servers, then "/Country" and its entries for every country, sorted by name,
/// with the servers of no known country last under "/Unknown". An entry given twice is
/// written once.
std::vector<std::string> countryDatabaseLines(const std::string& build, const std::string& date,
                                              const std::vector<ServerOfCountry>& servers);

/// Writes such a database, whole or not at all (a complete file replaces the target).
/// Entries the format cannot store are left out and counted in the status. File failures
/// are thrown (FileError).
Outcome exportCountryDatabase(const std::string& path, const std::string& build, const std::string& date,
                              const std::vector<ServerOfCountry>& servers);

} // namespace qm
