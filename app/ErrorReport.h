#pragma once
#include <string>

namespace qm {

/// The text of the error box for a failure no operation caught: the failure's own text,
/// with a full stop added when its last character sorts after the full stop
/// ("File not found" becomes "File not found.", "Socket Error # 10061\r\nConnection refused." stays).
std::string errorReportText(const std::string& message);

} // namespace qm
