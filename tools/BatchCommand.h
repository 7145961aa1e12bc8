#pragma once
#include "platform/HostResolver.h"
#include "query/BatchQuery.h"
#include "tools/QueryArguments.h"
#include "tools/ServerJson.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace qm {

/// quillmark-query with many servers: asks them all at once. Plain output is one line per
/// server in the order given (entry, state, ping, players/max, map, name, tab-separated),
/// each as soon as those before it are printed; JSON is one array in that order; JSON
/// lines are one object a line as each answer comes. Returns 0 when every server
/// answered, 1 otherwise.
/// What to ask an answering server besides its details (--players, --rules).
struct AskedExtras {
    bool players = false;
    bool rules = false;
    bool any() const { return players || rules; }
    /// --country: the country code of a host (no question to the server).
    std::function<std::string(const std::string& host)> countryOf;
};

/// `each`, when given, is told every server's report as it is printed.
int runBatchCommand(const std::vector<std::string>& given, const std::vector<QueryTarget>& targets,
                    const BatchOptions& options, QueryOutput output, std::ostream& out, HostLookup lookup,
                    AskedExtras extras = {}, const std::function<void(const ServerReport&)>& each = {});

/// Asks the server of `report` for what `extras` names, each wait `waitMs`.
void askExtras(ServerReport& report, const QueryTarget& target, AskedExtras extras, int waitMs,
               const HostLookup& lookup);

} // namespace qm
