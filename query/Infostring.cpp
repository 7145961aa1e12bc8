#include "query/Infostring.h"

#include "platform/TextTools.h"

namespace qm {

const std::string kInfoRequest("\xFF\xFF\xFF\xFFinfostring\0", 15);

namespace {
constexpr std::string_view kMarker = "\xFF\xFF\xFF\xFF";
}

bool isValidInfoReply(const std::string& reply) {
    return reply.size() >= 4 && reply.compare(0, 4, kMarker) == 0;
}

std::string infoValue(const std::string& reply, std::string_view key) {
    // The pairs begin at the first backslash after the marker and the response name.
    size_t pos = reply.find('\\', isValidInfoReply(reply) ? 4 : 0);
    while (pos != std::string::npos) {
        const size_t keyStart = pos + 1;
        const size_t keyEnd = reply.find('\\', keyStart);
        const std::string_view name = std::string_view(reply).substr(
            keyStart, keyEnd == std::string::npos ? std::string::npos : keyEnd - keyStart);
        if (keyEnd == std::string::npos) return name == key ? std::string() : "-";
        const size_t valueEnd = reply.find('\\', keyEnd + 1);
        if (name == key)
            return reply.substr(keyEnd + 1,
                                valueEnd == std::string::npos ? std::string::npos : valueEnd - keyEnd - 1);
        pos = valueEnd;
    }
    return "-";
}

std::string shownValue(const std::string& value) {
    return value.substr(0, value.find('\0'));
}

std::vector<std::string> infoLines(const std::string& reply) {
    auto v = [&](std::string_view key) { return escapedControls(shownValue(infoValue(reply, key))); };
    return {"Protocol: " + v("protocol"),
            "Address: " + v("address"),
            "Players: " + v("players") + "/" + v("max"),
            "Max. players: " + v("max"),
            "Bots: " + v("bots"),
            "Mod: " + v("gamedir"),
            "Mod description: " + v("description"),
            "Server: " + v("hostname"),
            "Map: " + v("map"),
            "Use of password: " + v("password")};
}

} // namespace qm
