#include "query/BatchCommand.h"

#include "query/QueryCommand.h"

#include <optional>
#include <ostream>

namespace qm {

namespace {

void printLine(std::ostream& out, const std::string& entry, const BatchResult& r) {
    const ServerSummary s = r.answer.summary();
    out << entry << '\t' << r.state << '\t' << (r.pingMs >= 0 ? std::to_string(r.pingMs) : "-") << '\t'
        << s.players << '/' << s.maxPlayers << '\t' << s.map << '\t' << s.name << '\n';
}

void printJson(std::ostream& out, const std::string& entry, const BatchResult& r) {
    out << "{\"server\":" << jsonString(entry)
        << ",\"answered\":" << (r.answer.answered() ? "true" : "false");
    if (r.answer.answered()) {
        const ServerSummary s = r.answer.summary();
        out << ",\"protocol\":" << jsonString(r.answer.protocolName()) << ",\"name\":" << jsonString(s.name)
            << ",\"map\":" << jsonString(s.map) << ",\"players\":" << jsonString(s.players)
            << ",\"max\":" << jsonString(s.maxPlayers) << ",\"bots\":" << jsonString(s.bots);
    } else {
        out << ",\"error\":" << jsonString(r.state);
    }
    out << ",\"state\":" << jsonString(r.state)
        << ",\"ping\":" << (r.pingMs >= 0 ? std::to_string(r.pingMs) : "null") << "}\n";
}

} // namespace

int runBatchCommand(const std::vector<std::string>& given, const std::vector<QueryTarget>& targets,
                    const BatchOptions& options, bool json, std::ostream& out, HostLookup lookup) {
    std::vector<std::optional<BatchResult>> results(targets.size());
    size_t printed = 0;
    bool all = true;
    BatchQuery batch(options, std::move(lookup));
    batch.run(targets, [&](const BatchResult& r) {
        results[r.index] = r;
        // In the order given: each line as soon as every line before it is out.
        for (; printed < results.size() && results[printed]; ++printed) {
            const BatchResult& next = *results[printed];
            all = all && next.answer.answered();
            if (json)
                printJson(out, given[printed], next);
            else
                printLine(out, given[printed], next);
            results[printed].reset();
        }
        out.flush();
    });
    return all ? 0 : 1;
}

} // namespace qm
