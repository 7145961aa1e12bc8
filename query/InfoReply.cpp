#include "query/InfoReply.h"

#include <utility>
#include <vector>

namespace qm {

std::string buildInfoReply(const ServerInfo& info) {
    const std::vector<std::pair<const char*, std::string>> pairs = {
        {"protocol", std::to_string(info.protocol)},
        {"address", info.address},
        {"players", std::to_string(info.players)},
        {"proxytarget", "0"},
        {"lan", "0"},
        {"max", std::to_string(info.maxPlayers)},
        {"bots", std::to_string(info.bots)},
        {"gamedir", info.gameDir},
        {"description", info.description},
        {"hostname", info.hostname},
        {"map", info.map},
        {"type", "d"},
        {"password", info.password ? "1" : "0"},
        {"os", "l"},
        {"secure", "0"},
    };
    std::string reply("\xFF\xFF\xFF\xFFinfostringresponse", 22);
    reply.push_back('\0');
    for (const auto& [key, value] : pairs) {
        if (value.empty()) continue;
        reply.append("\\").append(key).append("\\").append(value);
    }
    reply.push_back('\0');
    return reply;
}

} // namespace qm
