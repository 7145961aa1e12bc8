#pragma once
#include <string>
#include <vector>

namespace qm {

/// The country database shipped with the program (ip-location-db's geo-whois-asn-country,
/// IPv4), and the note of its version and date beside it.
inline constexpr const char* kCountryDataFile = "geo-whois-asn-country-ipv4.mmdb";
inline constexpr const char* kCountryDataNote = "country-data.txt";

/// The first of `folders` (each with its trailing separator) that holds the shipped file,
/// with the file's name; empty when none does.
std::string findCountryData(const std::vector<std::string>& folders);

/// Where a program of ours finds the shipped file: beside it (a portable copy, the build's
/// program folder), else in the share/quillmark folder of an installed tree beside its bin.
std::vector<std::string> countryDataFolders(const std::string& executableDir);

} // namespace qm
