#include "platform/HostResolver.h"

#include "platform/IntText.h"
#include "platform/SocketError.h"
#include "platform/TextTools.h"

namespace qm {

namespace {
std::array<std::string, 4> dottedParts(const std::string& host) {
    std::array<std::string, 4> parts;
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        size_t dot = host.find('.', start);
        if (dot == std::string::npos) {
            parts[static_cast<size_t>(i)] = start <= host.size() ? host.substr(start) : std::string();
            start = host.size() + 1;
            continue;
        }
        parts[static_cast<size_t>(i)] = host.substr(start, dot - start);
        start = dot + 1;
    }
    parts[3] = start <= host.size() ? host.substr(start) : std::string();
    return parts;
}

} // namespace

bool isDottedAddress(const std::string& host) {
    for (const auto& part : dottedParts(host)) {
        auto value = parseInteger(part);
        if (!value || *value < 0 || *value > 255) return false;
    }
    return true;
}

std::string resolveHost(const std::string& host, const HostLookup& lookup) {
    if (equalsIgnoringCase(host, "LOCALHOST")) return "127.0.0.1";
    if (isDottedAddress(host)) return host;
    HostLookupResult result = lookup(host);
    if (result.errorCode != 0 || result.address.empty())
        throw EIdSocketError(result.errorCode != 0 ? result.errorCode : SocketErrorCode::kHostNotFound);
    return result.address;
}

std::array<uint8_t, 4> addressBytes(const std::string& dotted) {
    std::array<uint8_t, 4> bytes{};
    auto parts = dottedParts(dotted);
    for (size_t i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(parseInteger(parts[i]).value_or(0));
    return bytes;
}

} // namespace qm
