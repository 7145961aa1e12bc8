#pragma once
#include "find/SteamServerList.h"
#include "platform/HostResolver.h"
#include "tools/BatchCommand.h"
#include "tools/CountryColumn.h"
#include "tools/QueryArguments.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace qm {

/// What the search command reads from outside its arguments.
struct SearchSeams {
    HostLookup lookup = systemHostLookup;
    /// The environment's variables (QUILLMARK_STEAM_KEY).
    std::function<std::string(const char* name)> environment;
    /// Tests only: where Steam's list is asked and which authority is trusted.
    SteamListRequest steam;
    /// Where the shipped country database is looked for (beside the program, its share).
    std::vector<std::string> countryFolders;
};

/// Steam's request for the arguments: the key left to the caller, the filter Counter-Strike's
/// and the limit the window's unless given.
SteamListRequest steamListRequestOf(const ServerSearchArguments& search, SteamListRequest base);

/// quillmark-query --master / --masters-of / --steam-list: prints the servers found, one
/// address a line as they come, or with --query asks them as -f does. Tells how each
/// master or Steam went on `err`. Returns 0 when a list came whole, 1 when none did (or,
/// with --query, as the batch does), 2 for arguments that will not do.
/// With --db2 it also writes what was found (with --query, what answered) as a server
/// database grouped by `countries`.
int runSearchCommand(const QueryArguments& a, std::ostream& out, std::ostream& err, const SearchSeams& seams,
                     const AskedExtras& extras = {}, const CountryColumn* countries = nullptr);

} // namespace qm
