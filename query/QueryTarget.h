#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

/// One server to ask: HOST or HOST:PORT, the port 27015 when missing.
struct QueryTarget {
    std::string host;
    int32_t port = 27015;
    std::string text() const { return host + ":" + std::to_string(port); }
};
/// HOST[:PORT] with a host that is a name (letters, digits, "-", "_", dots between) or a
/// dotted address, and a port from 1 to 65535; nothing otherwise.
std::optional<QueryTarget> parseQueryTarget(const std::string& text);
bool isHostName(std::string_view host);

/// The server of a list entry "address:port gamedir", or of a plain "HOST:PORT".
std::optional<QueryTarget> targetOfEntry(const std::string& entry);

} // namespace qm
