#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

/// The four parts of an address text that the address field accepts: at most 15
/// characters, exactly three dots, each piece 1 to 3 digits without a leading zero
/// ("0" itself allowed) and at most 255. Anything else gives nothing.
std::optional<std::array<int, 4>> parseAddressText(std::string_view text);

/// The field's text from its four part texts: empty when all are empty, otherwise each
/// part as its decimal value (an empty part counting as 0, a value above 255 as 255)
/// joined by dots.
std::string addressTextFromParts(const std::array<std::string, 4>& parts);

/// True when a part's digits can take no further digit: three of them, or a value that
/// any further digit would push above 255.
bool partIsComplete(std::string_view part);

/// The four part texts of a pasted address: blanks around it are ignored, then four
/// pieces of 1 to 3 digits up to 255 joined by dots. Anything else gives nothing.
std::optional<std::array<std::string, 4>> partsOfPastedAddress(std::string_view text);

} // namespace qm
