#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

/// Reads a whole number the way the program reads every typed or stored number: leading
/// blanks, an optional sign, then decimal digits or hexadecimal digits after "$", "0x" or
/// "0X", and nothing after the digits. A decimal value outside the signed 32-bit range, an
/// empty text or anything else gives no value.
std::optional<int32_t> parseInteger(std::string_view text);

/// parseInteger, or a Failure "'<text>' is not a valid integer value".
int32_t toInteger(const std::string& text);

} // namespace qm
