#include "query/QueryTarget.h"

namespace qm {

std::optional<QueryTarget> parseQueryTarget(const std::string& text) {
    QueryTarget t;
    const size_t colon = text.rfind(':');
    t.host = text.substr(0, colon);
    if (t.host.empty()) return std::nullopt;
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
