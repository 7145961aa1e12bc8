#pragma once
#include "platform/HostResolver.h"
#include "query/BatchQuery.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace qm {

/// quillmark-query with many servers: asks them all at once and prints one line per
/// server in the order given (entry, state, ping, players/max, map, name, tab-separated)
/// or one JSON object each, each as soon as those before it are printed. Returns 0 when
/// every server answered, 1 otherwise.
int runBatchCommand(const std::vector<std::string>& given, const std::vector<QueryTarget>& targets,
                    const BatchOptions& options, bool json, std::ostream& out, HostLookup lookup);

} // namespace qm
