#pragma once
#include "find/MasterProtocol.h"
#include "query/BatchQuery.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace qm {

/// How quillmark-query prints what it found.
enum class QueryOutput { Plain, Json, JsonLines };

/// Where quillmark-query looks for servers instead of being given them.
struct ServerSearchArguments {
    std::vector<std::string> masters; // --master, as given
    std::string mastersOf;            // --masters-of: a game folder
    bool steamList = false;
    std::string keyFile;
    std::string filter;
    uint8_t region = kAllRegions;
    size_t limit = kMaxListedServers;
    bool limitGiven = false; // Steam's list asks for the window's number unless told
    bool everyMaster = false;
    bool query = false; // ask what was found, as -f does
    std::string db2;    // --db2: a server database of what was found (answering, with --query)
    std::string build;  // --build: its build line (today's date unless given)
    bool wanted() const { return !masters.empty() || !mastersOf.empty() || steamList; }
};

/// What quillmark-query was asked to do.
struct QueryArguments {
    enum class Action { Query, Help, Version, Refused };
    Action action = Action::Query;
    QueryOutput output = QueryOutput::Plain;
    /// --players, --rules: each answering server's players and rules with its answer.
    bool withPlayers = false;
    bool withRules = false;
    /// --country: each server's country; --country-db names another database than the shipped one.
    bool withCountry = false;
    std::string countryDb;
    BatchOptions options;
    bool fromFile = false;
    /// Lines of a list that are no server: reported, skipped, and an exit status of 2.
    bool badLines = false;
    std::vector<std::string> given; // each server as given, for the output
    std::vector<QueryTarget> targets;
    ServerSearchArguments search;
};

/// A list file holds at most this many lines; past that it is refused whole.
inline constexpr size_t kMaxListLines = 1'000'000;
/// A longer line is reported as no server and never held whole.
inline constexpr size_t kMaxListLineBytes = 1024;

/// Reads the arguments and the list files they name ("-" is standard input), telling
/// `err` what is wrong with them.
QueryArguments readQueryArguments(const std::vector<std::string>& args, std::istream& in, std::ostream& err);

} // namespace qm
