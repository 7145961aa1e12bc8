#pragma once
#include <string>
#include <string_view>

namespace qm {

/// The JSON text with what a JSON reader refuses inside its strings made readable, so
/// that one bad text costs that text alone: a byte that is no part of valid UTF-8, or a
/// control byte, becomes the six characters of "\\xNN" (the value reads \xNN); a lone
/// surrogate escape "\ud800" becomes "\\ud800" (the value reads \ud800). Everything
/// else, strings that are valid included, stays byte for byte.
std::string withBadStringsEscaped(std::string_view json);

} // namespace qm
