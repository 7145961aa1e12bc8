#pragma once
#include <cstdint>
#include <memory>
#include <string>

struct MMDB_s;

namespace qm {

/// A country database in the MaxMind DB format (the shipped geo-whois-asn-country file,
/// or a GeoLite2-Country file the player has), read with libmaxminddb: which country an
/// IPv4 address is in.
class CountryDatabase {
  public:
    /// Opens the file; the problem, in words, when it is missing or no country database.
    struct Opened;
    static Opened open(const std::string& path);
    ~CountryDatabase();
    CountryDatabase(const CountryDatabase&) = delete;
    CountryDatabase& operator=(const CountryDatabase&) = delete;

    /// The address's two-letter ISO 3166 code in capitals ("DE"); empty when the database
    /// names no country for it. `address` is in host order (127.0.0.1 is 0x7F000001).
    std::string countryCode(uint32_t address) const;
    /// The same for a dotted address; empty for a text that is none.
    std::string countryCodeOf(const std::string& dotted) const;

    /// What the file says it is ("country ipv4") and when it was built (seconds since 1970).
    std::string databaseType() const;
    uint64_t buildEpoch() const;

  private:
    CountryDatabase();
    std::unique_ptr<MMDB_s> m_db;
};

struct CountryDatabase::Opened {
    std::unique_ptr<CountryDatabase> database;
    std::string problem;
};

} // namespace qm
