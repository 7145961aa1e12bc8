#pragma once
#include "platform/DatagramSocket.h"
#include "query/ServerAnswer.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qm {

/// A server a search found, with what the list it came from tells of it: Steam's list
/// names, maps and counts at once; a master gives the address alone.
struct ListedServer {
    Endpoint address;
    bool described = false;
    ServerSummary summary;
    std::string gameDir;
    /// The port a game connects to, where the list names one (Steam's "gameport").
    std::optional<uint16_t> gamePort;
};

} // namespace qm
