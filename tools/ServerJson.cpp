#include "tools/ServerJson.h"

#include "tools/JsonText.h"

#include "geo/CountryNames.h"
#include "platform/TextTools.h"
#include "query/ServerDetails.h"

#include <cstdio>

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

std::string playersJson(const PlayersAnswer& a) {
    if (!a.offered) return "null";
    std::string out = "[";
    for (const A2sPlayer& p : a.players)
        out += std::string(out.size() > 1 ? "," : "") + "{\"name\":" + jsonString(p.name) +
               ",\"score\":" + std::to_string(p.score) +
               ",\"seconds\":" + std::to_string(static_cast<int64_t>(p.seconds > 0 ? p.seconds : 0)) + "}";
    return out + "]";
}

std::string rulesJson(const RulesAnswer& a) {
    if (!a.offered) return "null";
    std::string out = "[";
    for (const A2sRule& r : a.rules)
        out += std::string(out.size() > 1 ? "," : "") + "{\"name\":" + jsonString(r.name) +
               ",\"value\":" + jsonString(r.value) + "}";
    return out + "]";
}

} // namespace

std::string countryText(const ServerReport& r) {
    return r.country && !r.country->empty() ? *r.country : "-";
}

std::string extrasText(const ServerReport& r) {
    std::string out;
    if (r.players) {
        if (!r.players->offered) out += "  players: " + r.players->failure + "\n";
        for (const A2sPlayer& p : r.players->players)
            out += "  player\t" + escapedControls(p.name) + "\t" + std::to_string(p.score) + "\t" +
                   connectedTime(p.seconds) + "\n";
    }
    if (r.rules) {
        if (!r.rules->offered) out += "  rules: " + r.rules->failure + "\n";
        for (const A2sRule& rule : r.rules->rules)
            out += "  rule\t" + escapedControls(rule.name) + "\t" + escapedControls(rule.value) + "\n";
    }
    return out;
}

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
    const std::string dir = answered ? r.answer.gameDir() : std::string();
    out += ",\"gamedir\":" + (dir.empty() ? std::string("null") : jsonString(dir));
    if (r.country) {
        const std::string_view name = countryName(*r.country);
        out += ",\"country\":" + (r.country->empty() ? std::string("null") : jsonString(*r.country));
        out += ",\"country_name\":" + (name.empty() ? std::string("null") : jsonString(std::string(name)));
    }
    if (r.players) out += ",\"player_list\":" + playersJson(*r.players);
    if (r.rules) out += ",\"rules\":" + rulesJson(*r.rules);
    return out + "}";
}

} // namespace qm
