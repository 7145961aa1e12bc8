#include "query/A2sInfo.h"

#include <cstring>

namespace qm {

const std::string kA2sInfoRequest("\xFF\xFF\xFF\xFFTSource Engine Query\0", 25);
const std::string kA2sPlayerRequest("\xFF\xFF\xFF\xFFU\xFF\xFF\xFF\xFF", 9);
const std::string kA2sRulesRequest("\xFF\xFF\xFF\xFFV\xFF\xFF\xFF\xFF", 9);

namespace {

constexpr std::string_view kMarker = "\xFF\xFF\xFF\xFF";
// The Ship's app ids: its 'I' reply has three more bytes after VAC.
constexpr int kFirstShipApp = 2400;
constexpr int kLastShipApp = 2412;
constexpr uint8_t kEdfPort = 0x80, kEdfSteamId = 0x10, kEdfSourceTv = 0x40, kEdfKeywords = 0x20,
                  kEdfGameId = 0x01;

// Reads little-endian fields off a datagram; every read checks the end first, and the
// first failed read makes every later one fail too.
class FieldReader {
  public:
    explicit FieldReader(std::string_view data) : m_data(data) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    bool skip(size_t n) {
        if (!m_ok || m_data.size() - m_pos < n) return m_ok = false;
        m_pos += n;
        return true;
    }
    uint64_t number(size_t bytes) {
        const size_t at = m_pos;
        if (!skip(bytes)) return 0;
        uint64_t v = 0;
        for (size_t i = 0; i < bytes; ++i)
            v |= static_cast<uint64_t>(static_cast<uint8_t>(m_data[at + i])) << (8 * i);
        return v;
    }
    int byte() { return static_cast<int>(number(1)); }
    std::string text() {
        if (!m_ok) return {};
        const size_t nul = m_data.find('\0', m_pos);
        if (nul == std::string_view::npos) {
            m_ok = false;
            return {};
        }
        std::string s(m_data.substr(m_pos, nul - m_pos));
        m_pos = nul + 1;
        return s;
    }
    float real() {
        const uint32_t bits = static_cast<uint32_t>(number(4));
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

  private:
    std::string_view m_data;
    size_t m_pos = 0;
    bool m_ok = true;
};

// The payload after the marker when the datagram is one of `type`, within the size cap.
std::optional<FieldReader> payloadOf(std::string_view datagram, char type, size_t cap = kMaxA2sReply) {
    if (datagram.size() > cap || datagram.size() < 5 || datagram.substr(0, 4) != kMarker ||
        datagram[4] != type)
        return std::nullopt;
    return FieldReader(datagram.substr(5));
}

void sourceLayout(FieldReader& in, A2sInfo& info) {
    info.protocol = in.byte();
    info.name = in.text();
    info.map = in.text();
    info.folder = in.text();
    info.game = in.text();
    info.appId = static_cast<int>(in.number(2));
    info.players = in.byte();
    info.maxPlayers = in.byte();
    info.bots = in.byte();
    info.serverType = static_cast<char>(in.byte());
    info.environment = static_cast<char>(in.byte());
    info.visibility = in.byte();
    info.vac = in.byte();
    if (info.appId >= kFirstShipApp && info.appId <= kLastShipApp) in.skip(3);
    info.version = in.text();
    if (!in.ok() || in.atEnd()) return; // the extra data is optional
    const int edf = in.byte();
    if (edf & kEdfPort) info.gamePort = static_cast<int>(in.number(2));
    if (edf & kEdfSteamId) in.skip(8);
    if (edf & kEdfSourceTv) {
        in.skip(2);
        in.text();
    }
    if (edf & kEdfKeywords) in.text();
    if (edf & kEdfGameId) in.skip(8);
}

void goldSrcLayout(FieldReader& in, A2sInfo& info) {
    info.address = in.text();
    info.name = in.text();
    info.map = in.text();
    info.folder = in.text();
    info.game = in.text();
    info.players = in.byte();
    info.maxPlayers = in.byte();
    info.protocol = in.byte();
    info.serverType = static_cast<char>(in.byte());
    info.environment = static_cast<char>(in.byte());
    info.visibility = in.byte();
    if (in.byte() == 1) { // a mod: its links and sizes
        in.text();
        in.text();
        in.skip(1 + 4 + 4 + 1 + 1);
    }
    info.vac = in.byte();
    // An HLTV proxy stops after VAC.
    if (in.ok() && !in.atEnd()) info.bots = in.byte();
}

void putNumber(std::string& out, uint64_t v, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putText(std::string& out, const std::string& s) {
    out.append(s);
    out.push_back('\0');
}

} // namespace

std::optional<A2sInfo> parseA2sInfo(std::string_view datagram) {
    for (const char layout : {'I', 'm'}) {
        auto in = payloadOf(datagram, layout);
        if (!in) continue;
        A2sInfo info;
        info.layout = layout;
        if (layout == 'I')
            sourceLayout(*in, info);
        else
            goldSrcLayout(*in, info);
        if (!in->ok()) return std::nullopt;
        return info;
    }
    return std::nullopt;
}

std::optional<std::string> parseA2sChallenge(std::string_view datagram) {
    if (datagram.size() != 9 || datagram.substr(0, 4) != kMarker || datagram[4] != 'A') return std::nullopt;
    return std::string(datagram.substr(5));
}

std::optional<std::vector<A2sPlayer>> parseA2sPlayers(std::string_view datagram) {
    auto in = payloadOf(datagram, 'D');
    if (!in) return std::nullopt;
    const int count = in->byte();
    std::vector<A2sPlayer> players;
    for (int i = 0; i < count && in->ok(); ++i) {
        in->byte(); // index
        A2sPlayer p;
        p.name = in->text();
        p.score = static_cast<int32_t>(static_cast<uint32_t>(in->number(4)));
        p.seconds = in->real();
        players.push_back(std::move(p));
    }
    if (!in->ok()) return std::nullopt;
    return players;
}

std::optional<std::vector<A2sRule>> parseA2sRules(std::string_view reply) {
    auto in = payloadOf(reply, 'E', kMaxA2sRulesReply);
    if (!in) return std::nullopt;
    const int count = static_cast<int>(in->number(2));
    std::vector<A2sRule> rules;
    for (int i = 0; i < count && in->ok(); ++i) {
        A2sRule r;
        r.name = in->text();
        r.value = in->text();
        rules.push_back(std::move(r));
    }
    if (!in->ok()) return std::nullopt;
    return rules;
}

std::string buildA2sRulesReply(const std::vector<A2sRule>& rules) {
    std::string out(kMarker);
    out.push_back('E');
    putNumber(out, rules.size(), 2);
    for (const A2sRule& r : rules) {
        putText(out, r.name);
        putText(out, r.value);
    }
    return out;
}

std::string buildA2sInfoReply(const A2sInfo& info) {
    std::string out(kMarker);
    out.push_back(info.layout);
    if (info.layout == 'm') {
        putText(out, info.address);
        putText(out, info.name);
        putText(out, info.map);
        putText(out, info.folder);
        putText(out, info.game);
        for (const int b : {info.players, info.maxPlayers, info.protocol, static_cast<int>(info.serverType),
                            static_cast<int>(info.environment), info.visibility, 0, info.vac})
            putNumber(out, static_cast<uint64_t>(b), 1);
        if (info.bots) putNumber(out, static_cast<uint64_t>(*info.bots), 1);
        return out;
    }
    putNumber(out, static_cast<uint64_t>(info.protocol), 1);
    putText(out, info.name);
    putText(out, info.map);
    putText(out, info.folder);
    putText(out, info.game);
    putNumber(out, static_cast<uint64_t>(info.appId), 2);
    for (const int b :
         {info.players, info.maxPlayers, info.bots.value_or(0), static_cast<int>(info.serverType),
          static_cast<int>(info.environment), info.visibility, info.vac})
        putNumber(out, static_cast<uint64_t>(b), 1);
    // The Ship's servers put their mode, witnesses and duration here; readers skip them.
    if (info.appId >= kFirstShipApp && info.appId <= kLastShipApp) out.append(3, '\0');
    putText(out, info.version);
    if (info.gamePort) {
        putNumber(out, kEdfPort | kEdfGameId, 1);
        putNumber(out, static_cast<uint64_t>(*info.gamePort), 2);
        putNumber(out, static_cast<uint64_t>(info.appId), 8);
    }
    return out;
}

std::string buildA2sChallenge(std::string_view challenge) {
    std::string out(kMarker);
    out.push_back('A');
    out.append(challenge.substr(0, 4));
    return out;
}

std::string buildA2sPlayersReply(const std::vector<A2sPlayer>& players) {
    std::string out(kMarker);
    out.push_back('D');
    putNumber(out, players.size() & 0xFF, 1);
    uint8_t index = 0;
    for (const A2sPlayer& p : players) {
        putNumber(out, index++, 1);
        putText(out, p.name);
        putNumber(out, static_cast<uint32_t>(p.score), 4);
        uint32_t bits = 0;
        std::memcpy(&bits, &p.seconds, sizeof bits);
        putNumber(out, bits, 4);
    }
    return out;
}

std::string readableBytes(std::string_view bytes, size_t limit) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    if (bytes.size() > limit) out += "...";
    return out;
}

} // namespace qm
