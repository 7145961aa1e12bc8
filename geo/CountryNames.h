#pragma once
#include <string>
#include <string_view>

namespace qm {

/// What a server whose country is not known is filed under.
inline constexpr std::string_view kUnknownCountry = "Unknown";

/// The English name of an ISO 3166 two-letter code ("DE" -> "Germany"), from Debian's
/// iso-codes, in plain ASCII ("Cote d'Ivoire"): a server database stores only such text
/// safely. Empty for a code that names no country.
std::string_view countryName(std::string_view code);

/// The name, or "Unknown" for a code that names none (or none at all).
std::string countryNameOrUnknown(std::string_view code);

} // namespace qm
