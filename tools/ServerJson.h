#pragma once
#include "query/ServerAnswer.h"

#include <string>

namespace qm {

/// What quillmark-query tells of one server, whichever way it was asked.
struct ServerReport {
    std::string server; // the entry or HOST:PORT as given
    ServerAnswer answer;
    std::string state; // "answered", or why not, on one line
    int pingMs = -1;   // -1 without an answer
    std::string host;  // as queried, for the address an 'I' reply does not name
    int32_t port = 0;
};

/// The one JSON object of a server, the same keys for one server and for many:
/// server, answered, protocol, name, map, players, max, bots, ping (numbers or null),
/// state, error (null when answered), fields (the Monitoring page's ten lines, or null).
std::string serverJson(const ServerReport& report);

} // namespace qm
