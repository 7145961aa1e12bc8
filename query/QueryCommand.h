#pragma once
#include "platform/HostResolver.h"
#include "query/QueryTarget.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace qm {

/// A text as a JSON string: valid UTF-8 as it is, any other byte as its Latin-1 letter.
std::string jsonString(const std::string& bytes);

/// quillmark-query: asks each server with the Monitoring page's exchange and prints its
/// ten lines and ping, or the failure, or one JSON object per server with --json.
/// Returns the exit status: 0 when every server answered, 1 when some did not, 2 for bad
/// arguments (with the usage on `err`).
int runQueryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    HostLookup lookup = systemHostLookup);

} // namespace qm
