#include "tools/ServerJson.h"

#include "tools/JsonText.h"

namespace qm {

namespace {

// A count the server gave as text, or null when it gave none that is a number.
std::string jsonCount(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return "null";
    return std::to_string(std::stoi(text));
}

std::string jsonFields(const ServerReport& r) {
    std::string out = "{";
    bool first = true;
    for (const std::string& line : r.answer.lines(r.host, r.port)) {
        const size_t colon = line.find(": ");
        out += (first ? "" : ",") + jsonString(line.substr(0, colon)) + ":" +
               jsonString(colon == std::string::npos ? "" : line.substr(colon + 2));
        first = false;
    }
    return out + "}";
}

} // namespace

std::string serverJson(const ServerReport& r) {
    const bool answered = r.answer.answered();
    const ServerSummary s = r.answer.summary();
    std::string out =
        "{\"server\":" + jsonString(r.server) + ",\"answered\":" + (answered ? "true" : "false");
    out += ",\"protocol\":" + (answered ? jsonString(r.answer.protocolName()) : "null");
    out += ",\"name\":" + (answered ? jsonString(s.name) : "null");
    out += ",\"map\":" + (answered ? jsonString(s.map) : "null");
    out += ",\"players\":" + jsonCount(s.players) + ",\"max\":" + jsonCount(s.maxPlayers) +
           ",\"bots\":" + jsonCount(s.bots);
    out += ",\"ping\":" + (r.pingMs >= 0 ? std::to_string(r.pingMs) : std::string("null"));
    out += ",\"state\":" + jsonString(r.state);
    out += ",\"error\":" + (answered ? std::string("null") : jsonString(r.state));
    out += ",\"fields\":" + (answered ? jsonFields(r) : std::string("null"));
    return out + "}";
}

} // namespace qm
