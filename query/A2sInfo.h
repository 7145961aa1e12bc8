#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// FF FF FF FF 'T' "Source Engine Query" 00, the A2S_INFO request; a challenge goes after.
extern const std::string kA2sInfoRequest;
/// FF FF FF FF 'U' FF FF FF FF, the A2S_PLAYER request that asks for a challenge.
extern const std::string kA2sPlayerRequest;
/// A2S_RULES asking for a challenge; the 4 bytes after 'V' are replaced by the one given.
extern const std::string kA2sRulesRequest;

/// Replies longer than a server ever sends in one piece are refused.
inline constexpr size_t kMaxA2sReply = 1400;
/// The most a rules reply may hold once its pieces are joined.
inline constexpr size_t kMaxA2sRulesReply = 64u << 10;

/// What an A2S_INFO reply tells, in either layout servers send.
struct A2sInfo {
    char layout = 'I'; // 'I' (Steam builds) or 'm' (old GoldSrc)
    int protocol = 0;
    std::string address; // the server's own "ip:port", 'm' only
    std::string name;
    std::string map;
    std::string folder;
    std::string game;
    int appId = 0;
    int players = 0;
    int maxPlayers = 0;
    std::optional<int> bots; // an HLTV proxy's 'm' reply ends before it
    char serverType = 'd';
    char environment = 'l';
    int visibility = 0;
    int vac = 0;
    std::string version;
    std::optional<int> gamePort; // extra data of 'I'
};

/// One player of an A2S_PLAYER reply.
struct A2sPlayer {
    std::string name;
    int32_t score = 0;
    float seconds = 0;
};

/// Parsers take the whole datagram, marker included, and give nothing for anything that
/// is not exactly their layout: a cut-short field, a string without its NUL, another type.
std::optional<A2sInfo> parseA2sInfo(std::string_view datagram);
std::optional<std::string> parseA2sChallenge(std::string_view datagram);
std::optional<std::vector<A2sPlayer>> parseA2sPlayers(std::string_view datagram);

/// One server variable of an 'E' reply ("mp_timelimit" "20").
struct A2sRule {
    std::string name, value;
};
/// The rules of a whole 'E' reply (joined from its pieces, at most kMaxA2sRulesReply).
std::optional<std::vector<A2sRule>> parseA2sRules(std::string_view reply);
std::string buildA2sRulesReply(const std::vector<A2sRule>& rules);

/// The replies as a server sends them (the demo server and tests).
std::string buildA2sInfoReply(const A2sInfo& info);
std::string buildA2sChallenge(std::string_view challenge);
std::string buildA2sPlayersReply(const std::vector<A2sPlayer>& players);

/// Bytes as a person can read them: printable ASCII as it is, everything else as \xNN,
/// at most `limit` bytes of the input.
std::string readableBytes(std::string_view bytes, size_t limit = 96);

} // namespace qm
