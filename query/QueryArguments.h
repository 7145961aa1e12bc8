#pragma once
#include "query/BatchQuery.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace qm {

/// How quillmark-query prints what it found.
enum class QueryOutput { Plain, Json, JsonLines };

/// What quillmark-query was asked to do.
struct QueryArguments {
    enum class Action { Query, Help, Version, Refused };
    Action action = Action::Query;
    QueryOutput output = QueryOutput::Plain;
    BatchOptions options;
    bool fromFile = false;
    /// Lines of a list that are no server: reported, skipped, and an exit status of 2.
    bool badLines = false;
    std::vector<std::string> given; // each server as given, for the output
    std::vector<QueryTarget> targets;
};

/// A list file holds at most this many lines; past that it is refused whole.
inline constexpr size_t kMaxListLines = 1'000'000;

/// Reads the arguments and the list files they name ("-" is standard input), telling
/// `err` what is wrong with them.
QueryArguments readQueryArguments(const std::vector<std::string>& args, std::istream& in, std::ostream& err);

} // namespace qm
