#include "query/ServerDetails.h"

#include "platform/TextTools.h"
#include "query/Infostring.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace qm {

namespace {

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::string serverTypeText(char type) {
    switch (type) {
    case 'd':
    case 'D':
        return "dedicated";
    case 'l':
    case 'L':
        return "listen";
    case 'p':
    case 'P':
        return "HLTV proxy";
    default:
        return readableBytes(std::string(1, type));
    }
}

std::string environmentText(char os) {
    switch (os) {
    case 'l':
    case 'L':
        return "Linux";
    case 'w':
    case 'W':
        return "Windows";
    case 'm':
    case 'o':
        return "macOS";
    default:
        return readableBytes(std::string(1, os));
    }
}

std::string yesNo(bool yes) {
    return yes ? "yes" : "no";
}

std::string countsText(int players, int maxPlayers, int bots) {
    const auto shown = [](int n) { return n < 0 ? std::string("-") : std::to_string(n); };
    return shown(players) + "/" + shown(maxPlayers) + " (" + shown(bots) + " bots)";
}

void infostringFacts(const std::string& reply, ServerFacts& facts) {
    const auto v = [&](std::string_view key) { return escapedControls(shownValue(infoValue(reply, key))); };
    facts.players = wholeNumber(v("players")).value_or(-1);
    facts.maxPlayers = wholeNumber(v("max")).value_or(-1);
    facts.bots = wholeNumber(v("bots")).value_or(-1);
    const std::string type = v("type");
    const std::string os = v("os");
    facts.fields = {{"Name", v("hostname")},
                    {"Map", v("map")},
                    {"Game directory", v("gamedir")},
                    {"Game", v("description")},
                    {"Players", countsText(facts.players, facts.maxPlayers, facts.bots)},
                    {"Server type", type.size() == 1 ? serverTypeText(type[0]) : type},
                    {"OS", os.size() == 1 ? environmentText(os[0]) : os},
                    {"Password", yesNo(facts.password)},
                    {"VAC", v("secure") == "1" ? "secured" : "not secured"},
                    {"Version", "-"},
                    {"Protocol", "infostring, version " + v("protocol")}};
}

void a2sFacts(const A2sInfo& info, ServerFacts& facts) {
    facts.players = info.players;
    facts.maxPlayers = info.maxPlayers;
    facts.bots = info.bots.value_or(-1);
    facts.fields = {{"Name", escapedControls(info.name)},
                    {"Map", escapedControls(info.map)},
                    {"Game directory", escapedControls(info.folder)},
                    {"Game", escapedControls(info.game)},
                    {"Players", countsText(facts.players, facts.maxPlayers, facts.bots)},
                    {"Server type", serverTypeText(info.serverType)},
                    {"OS", environmentText(info.environment)},
                    {"Password", yesNo(facts.password)},
                    {"VAC", info.vac == 1 ? "secured" : "not secured"},
                    {"Version", info.version.empty() ? "-" : escapedControls(info.version)},
                    {"Protocol", std::string(info.layout == 'm' ? "A2S (GoldSrc)" : "A2S") + ", version " +
                                     std::to_string(info.protocol)}};
}

} // namespace

bool needsPassword(const ServerAnswer& answer) {
    if (answer.kind == ServerAnswer::Kind::Infostring)
        return shownValue(infoValue(answer.infostring, "password")) == "1";
    return answer.kind == ServerAnswer::Kind::A2s && answer.info.visibility == 1;
}

std::optional<uint16_t> gamePortOf(const ServerAnswer& answer) {
    const std::optional<int> port =
        answer.kind == ServerAnswer::Kind::A2s ? answer.info.gamePort : std::nullopt;
    if (!port || *port <= 0 || *port > 0xFFFF) return std::nullopt;
    return static_cast<uint16_t>(*port);
}

ServerFacts factsOf(const ServerAnswer& answer, const std::string& address) {
    ServerFacts facts;
    facts.password = needsPassword(answer);
    facts.gamePort = gamePortOf(answer);
    if (answer.kind == ServerAnswer::Kind::Infostring)
        infostringFacts(answer.infostring, facts);
    else if (answer.kind == ServerAnswer::Kind::A2s)
        a2sFacts(answer.info, facts);
    else
        facts.fields = {{"State", answer.failure}};
    facts.fields.insert(facts.fields.begin() + std::min<size_t>(1, facts.fields.size()),
                        {"Address", address});
    if (facts.gamePort) facts.fields.push_back({"Game port", std::to_string(*facts.gamePort)});
    return facts;
}

std::string connectedTime(float seconds) {
    // NaN, negatives and the absurd read as no time at all.
    const int s = seconds > 0 && seconds < 1e9f ? static_cast<int>(seconds) : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string fakePlayersReason(const ServerFacts& facts, const std::vector<A2sPlayer>* listed) {
    if (facts.players > kMostPlayers)
        return "it claims " + std::to_string(facts.players) + " players, more than the game holds (" +
               std::to_string(kMostPlayers) + ")";
    if (!listed) return {};
    if (facts.players > static_cast<int>(listed->size()))
        return "it claims " + std::to_string(facts.players) + " players but lists " +
               std::to_string(listed->size());
    const auto sameTime = [&](const A2sPlayer& p) { return p.seconds == listed->front().seconds; };
    if (listed->size() >= 2 && std::all_of(listed->begin(), listed->end(), sameTime))
        return "all " + std::to_string(listed->size()) + " players have played the same time (" +
               connectedTime(listed->front().seconds) + ")";
    return {};
}

} // namespace qm
