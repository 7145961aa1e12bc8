#pragma once
#include "query/PlayersQuery.h"
#include "query/RulesQuery.h"
#include "query/ServerAnswer.h"

#include <optional>
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
    std::optional<PlayersAnswer> players; // asked with --players
    std::optional<RulesAnswer> rules;     // asked with --rules
    std::optional<std::string> country;   // with --country: the two-letter code, empty when unknown
};

/// The one JSON object of a server, the same keys for one server and for many:
/// server, answered, protocol, name, map, players, max, bots, ping (numbers or null),
/// state, error (null when answered), fields (the Monitoring page's ten lines, or null),
/// gamedir (or null); with --players and --rules also player_list and rules, arrays of
/// {name, score, seconds} and {name, value} (null when the server gave none); with
/// --country also country and country_name (null when not known).
std::string serverJson(const ServerReport& report);

/// The players and rules as indented lines under a server's line of text output:
/// "  player<TAB>name<TAB>score<TAB>h:mm:ss", "  rule<TAB>name<TAB>value", or one
/// "  players: why not" line.

/// The country column of a text line: the code, or "-".
std::string countryText(const ServerReport& report);
std::string extrasText(const ServerReport& report);

} // namespace qm
