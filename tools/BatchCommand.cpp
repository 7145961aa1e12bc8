#include "tools/BatchCommand.h"

#include "tools/ServerJson.h"

#include <optional>
#include <ostream>

namespace qm {

namespace {

void printLine(std::ostream& out, const std::string& entry, const BatchResult& r) {
    const ServerSummary s = r.answer.summary();
    out << entry << '\t' << r.state << '\t' << (r.pingMs >= 0 ? std::to_string(r.pingMs) : "-") << '\t'
        << s.players << '/' << s.maxPlayers << '\t' << s.map << '\t' << s.name << '\n';
}

std::string jsonOf(const std::string& entry, const QueryTarget& target, const BatchResult& r) {
    return serverJson({entry, r.answer, r.state, r.pingMs, target.host, target.port});
}

} // namespace

int runBatchCommand(const std::vector<std::string>& given, const std::vector<QueryTarget>& targets,
                    const BatchOptions& options, QueryOutput output, std::ostream& out, HostLookup lookup) {
    std::vector<std::optional<BatchResult>> results(targets.size());
    size_t printed = 0;
    bool all = true;
    if (output == QueryOutput::Json) out << '[';
    BatchQuery batch(options, std::move(lookup));
    batch.run(targets, [&](const BatchResult& r) {
        all = all && r.answer.answered();
        if (output == QueryOutput::JsonLines) {
            out << jsonOf(given[r.index], targets[r.index], r) << '\n';
            out.flush();
            return;
        }
        results[r.index] = r;
        // In the order given: each server as soon as every one before it is out.
        for (; printed < results.size() && results[printed]; ++printed) {
            if (output == QueryOutput::Json)
                out << (printed ? ",\n" : "\n")
                    << jsonOf(given[printed], targets[printed], *results[printed]);
            else
                printLine(out, given[printed], *results[printed]);
            results[printed].reset();
        }
        out.flush();
    });
    if (output == QueryOutput::Json) out << (printed ? "\n]\n" : "]\n");
    return all ? 0 : 1;
}

} // namespace qm
