#pragma once
#include "platform/DatagramSocket.h"
#include "query/ServerAnswer.h"

#include <string>

namespace qm {

/// A server a search found, with what the list it came from tells of it: Steam's list
/// names, maps and counts at once; a master gives the address alone.
struct ListedServer {
    Endpoint address;
    bool described = false;
    ServerSummary summary;
    std::string gameDir;
};

} // namespace qm
