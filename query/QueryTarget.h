#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace qm {

/// One server to ask: HOST or HOST:PORT, the port 27015 when missing.
struct QueryTarget {
    std::string host;
    int32_t port = 27015;
    std::string text() const { return host + ":" + std::to_string(port); }
};
std::optional<QueryTarget> parseQueryTarget(const std::string& text);

/// The server of a list entry "address:port gamedir", or of a plain "HOST:PORT".
std::optional<QueryTarget> targetOfEntry(const std::string& entry);

} // namespace qm
