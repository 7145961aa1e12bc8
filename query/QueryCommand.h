#pragma once
#include "platform/HostResolver.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace qm {

/// One server named on the command line: HOST or HOST:PORT, the port 27015 when missing.
struct QueryTarget {
    std::string host;
    int32_t port = 27015;
    std::string text() const { return host + ":" + std::to_string(port); }
};
std::optional<QueryTarget> parseQueryTarget(const std::string& text);

/// A text as a JSON string: valid UTF-8 as it is, any other byte as its Latin-1 letter.
std::string jsonString(const std::string& bytes);

/// quillmark-query: asks each server with the Monitoring page's exchange and prints its
/// ten lines and ping, or the failure, or one JSON object per server with --json.
/// Returns the exit status: 0 when every server answered, 1 when some did not, 2 for bad
/// arguments (with the usage on `err`).
int runQueryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    HostLookup lookup = systemHostLookup);

} // namespace qm
