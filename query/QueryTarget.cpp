#include "query/QueryTarget.h"

namespace qm {

bool isHostName(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    size_t label = 0;
    for (const char c : host) {
        if (c == '.') {
            if (label == 0) return false;
            label = 0;
            continue;
        }
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '-' || c == '_';
        if (!allowed || ++label > 63) return false;
    }
    return true;
}

std::optional<QueryTarget> parseQueryTarget(const std::string& text) {
    QueryTarget t;
    const size_t colon = text.rfind(':');
    t.host = text.substr(0, colon);
    // Only a name or an address is ever looked up: "http://x" or "a b" is neither.
    if (!isHostName(t.host)) return std::nullopt;
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        t.port = std::stoi(port);
        if (t.port < 1 || t.port > 65535) return std::nullopt;
    }
    return t;
}

std::optional<QueryTarget> targetOfEntry(const std::string& entry) {
    return parseQueryTarget(entry.substr(0, entry.find(' ')));
}

} // namespace qm
