#include "tools/DemoServer.h"

#include <algorithm>
#include <iterator>

namespace qm {

namespace {
constexpr std::string_view kMarker = "\xFF\xFF\xFF\xFF";
constexpr int kSteamProtocol = 48;
constexpr int kCounterStrikeApp = 10;

bool startsWith(const std::string& s, std::string_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}
} // namespace

std::optional<DemoProtocol> demoProtocolNamed(const std::string& name) {
    if (name == "legacy") return DemoProtocol::Legacy;
    if (name == "a2s") return DemoProtocol::A2s;
    if (name == "a2s-open") return DemoProtocol::A2sOpen;
    if (name == "goldsrc") return DemoProtocol::GoldSrc;
    if (name == "all") return DemoProtocol::All;
    return std::nullopt;
}

DemoServer::DemoServer(ServerInfo info, DemoProtocol protocol, uint32_t secret)
    : m_info(std::move(info)), m_protocol(protocol), m_secret(secret) {}

std::string DemoServer::challengeFor(uint32_t clientAddress, uint16_t clientPort) const {
    // Any mix of the secret and the client will do: it only has to come back unchanged.
    uint32_t h = m_secret ^ (clientAddress * 2654435761u) ^ (static_cast<uint32_t>(clientPort) << 7);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    std::string c(4, '\0');
    for (size_t i = 0; i < 4; ++i)
        c[i] = static_cast<char>((h >> (8 * i)) & 0xFF);
    return c;
}

A2sInfo DemoServer::a2sInfo(char layout) const {
    A2sInfo a;
    a.layout = layout;
    a.protocol = layout == 'm' ? m_info.protocol : kSteamProtocol;
    a.address = m_info.address;
    a.name = m_info.hostname;
    a.map = m_info.map;
    a.folder = m_info.gameDir;
    a.game = m_info.description;
    a.appId = kCounterStrikeApp;
    a.players = m_info.players;
    a.maxPlayers = m_info.maxPlayers;
    a.bots = m_info.bots;
    a.visibility = m_info.password ? 1 : 0;
    a.version = "1.1.2.7/Stdio";
    const size_t colon = m_info.address.rfind(':');
    if (layout == 'I' && colon != std::string::npos) a.gamePort = std::stoi(m_info.address.substr(colon + 1));
    return a;
}

std::string DemoServer::players() const {
    std::vector<A2sPlayer> list;
    for (int i = 0; i < m_info.players; ++i)
        list.push_back({"Player " + std::to_string(i + 1), 10 * (m_info.players - i),
                        60.0f * static_cast<float>(i + 1)});
    return buildA2sPlayersReply(list);
}

void DemoServer::setRules(int count) {
    static const A2sRule kCounterStrike[] = {
        {"mp_timelimit", "20"},   {"mp_friendlyfire", "0"}, {"mp_roundtime", "3"},  {"sv_gravity", "800"},
        {"mp_c4timer", "35"},     {"sv_maxspeed", "320"},   {"mp_freezetime", "6"}, {"mp_buytime", "1.5"},
        {"mp_startmoney", "800"}, {"sv_password", "0"}};
    m_rules.clear();
    for (int i = 0; i < count; ++i) {
        if (static_cast<size_t>(i) < std::size(kCounterStrike))
            m_rules.push_back(kCounterStrike[i]);
        else
            m_rules.push_back({"qm_demo_rule_" + std::to_string(i), "value of rule " + std::to_string(i)});
    }
    if (m_info.password && count > 9) m_rules[9].value = "1";
}

std::vector<std::string> DemoServer::rulesReply() const {
    const std::string whole = buildA2sRulesReply(m_rules);
    if (whole.size() <= kMaxA2sReply) return {whole};
    // GoldSrc's split layout: FE FF FF FF, the id, number << 4 | total, the piece.
    constexpr size_t kPiece = kMaxA2sReply - 9;
    const size_t total = (whole.size() + kPiece - 1) / kPiece;
    std::vector<std::string> pieces;
    for (size_t n = 0; n < total; ++n) {
        std::string p("\xFE\xFF\xFF\xFF\x2A\x00\x00\x00", 8);
        p.push_back(static_cast<char>(n << 4 | total));
        p += whole.substr(n * kPiece, kPiece);
        pieces.push_back(std::move(p));
    }
    return pieces;
}

std::vector<std::string> DemoServer::answers(const std::string& request, uint32_t clientAddress,
                                             uint16_t clientPort) const {
    // A2S_RULES wants the challenge, as A2S_PLAYER does.
    const std::string command = request.substr(std::min<size_t>(4, request.size()));
    if (m_protocol != DemoProtocol::Legacy && startsWith(request, kMarker) && command.size() == 5 &&
        command[0] == 'V') {
        const std::string challenge = challengeFor(clientAddress, clientPort);
        if (command.substr(1) != challenge) return {buildA2sChallenge(challenge)};
        return rulesReply();
    }
    std::string one = answer(request, clientAddress, clientPort);
    if (one.empty()) return {};
    return {std::move(one)};
}

std::string DemoServer::answer(const std::string& request, uint32_t clientAddress,
                               uint16_t clientPort) const {
    if (!startsWith(request, kMarker)) return {};
    const std::string command = request.substr(4);
    const bool legacy = m_protocol == DemoProtocol::Legacy || m_protocol == DemoProtocol::All;
    // "infostring" is this program's request; "info" and "details" are the older queries
    // other clients send first.
    if (legacy &&
        (startsWith(command, "infostring") || startsWith(command, "info") || startsWith(command, "details")))
        return buildInfoReply(m_info);
    if (m_protocol == DemoProtocol::Legacy) return {};
    const std::string challenge = challengeFor(clientAddress, clientPort);
    if (startsWith(request, kA2sInfoRequest)) {
        const std::string given = request.substr(kA2sInfoRequest.size());
        const bool challenged = m_protocol == DemoProtocol::A2s || m_protocol == DemoProtocol::All;
        if (challenged && given != challenge) return buildA2sChallenge(challenge);
        return buildA2sInfoReply(a2sInfo(m_protocol == DemoProtocol::GoldSrc ? 'm' : 'I'));
    }
    // A2S_PLAYER always wants the challenge.
    if (command.size() == 5 && command[0] == 'U')
        return command.substr(1) == challenge ? players() : buildA2sChallenge(challenge);
    return {};
}

} // namespace qm
