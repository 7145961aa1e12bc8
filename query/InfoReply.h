#pragma once
#include <string>

namespace qm {

/// What a game server tells about itself in its info reply.
struct ServerInfo {
    std::string address = "127.0.0.1:27015";
    std::string hostname = "Quillmark demo server";
    std::string map = "de_dust2";
    std::string gameDir = "cstrike";
    std::string description = "Counter-Strike";
    int players = 5;
    int maxPlayers = 16;
    int bots = 0;
    int protocol = 47;
    bool password = false;
};

/// The reply as a Half-Life server sends it: FF FF FF FF "infostringresponse" 00, the
/// \key\value pairs in the game's own order, a final 00. Empty values are left out, as
/// real servers do.
std::string buildInfoReply(const ServerInfo& info);

} // namespace qm
