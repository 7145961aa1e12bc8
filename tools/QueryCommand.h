#pragma once
#include "platform/HostResolver.h"
#include "query/QueryTarget.h"
#include "tools/JsonText.h"
#include "tools/SearchCommand.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace qm {

/// quillmark-query: asks one server with the Monitoring page's exchange and prints its
/// ten lines and ping, or many at once a line each, or JSON. `in` (standard input when
/// null) is what "-f -" reads. Returns the exit status: 0 when every server answered,
/// 1 when some did not, 2 for bad arguments or list lines (with the reason on `err`).
int runQueryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    HostLookup lookup = systemHostLookup, std::istream* in = nullptr);
/// The same with every outside source given, for the searches too.
int runQueryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const SearchSeams& seams, std::istream* in = nullptr);

} // namespace qm
