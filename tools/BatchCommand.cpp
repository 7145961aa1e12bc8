#include "tools/BatchCommand.h"

#include "tools/ServerJson.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <ostream>
#include <thread>

namespace qm {

namespace {

// How many answering servers are asked for their players and rules at once.
constexpr size_t kExtrasAtOnce = 8;

void printLine(std::ostream& out, const ServerReport& r) {
    const ServerSummary s = r.answer.summary();
    out << r.server << '\t' << r.state << '\t' << (r.pingMs >= 0 ? std::to_string(r.pingMs) : "-") << '\t'
        << s.players << '/' << s.maxPlayers << '\t' << s.map << '\t' << s.name;
    if (r.country) out << '\t' << countryText(r);
    out << '\n' << extrasText(r);
}

ServerReport reportOf(const std::string& entry, const QueryTarget& target, const BatchResult& r,
                      const AskedExtras& extras) {
    ServerReport report{entry, r.answer, r.state, r.pingMs, target.host, target.port, {}, {}, {}};
    if (extras.countryOf) report.country = extras.countryOf(target.host);
    return report;
}

// Every answering server's extras, a few servers at a time.
void askAllExtras(std::vector<ServerReport>& reports, const std::vector<QueryTarget>& targets,
                  AskedExtras extras, int waitMs, const HostLookup& lookup) {
    std::atomic<size_t> next{0};
    std::vector<std::thread> askers;
    for (size_t t = 0; t < std::min(kExtrasAtOnce, reports.size()); ++t)
        askers.emplace_back([&] {
            for (size_t i; (i = next++) < reports.size();)
                if (reports[i].answer.answered()) askExtras(reports[i], targets[i], extras, waitMs, lookup);
        });
    for (std::thread& t : askers)
        t.join();
}

int runWithExtras(const std::vector<std::string>& given, const std::vector<QueryTarget>& targets,
                  const BatchOptions& options, QueryOutput output, std::ostream& out,
                  const HostLookup& lookup, const AskedExtras& extras,
                  const std::function<void(const ServerReport&)>& each) {
    std::vector<ServerReport> reports(targets.size());
    bool all = true;
    BatchQuery batch(options, lookup);
    batch.run(targets, [&](const BatchResult& r) {
        all = all && r.answer.answered();
        reports[r.index] = reportOf(given[r.index], targets[r.index], r, extras);
    });
    askAllExtras(reports, targets, extras, options.silenceMs, lookup);
    if (output == QueryOutput::Json) out << '[';
    for (size_t i = 0; i < reports.size(); ++i) {
        if (each) each(reports[i]);
        if (output == QueryOutput::Plain)
            printLine(out, reports[i]);
        else
            out << (output == QueryOutput::Json ? (i ? ",\n" : "\n") : "") << serverJson(reports[i])
                << (output == QueryOutput::JsonLines ? "\n" : "");
    }
    if (output == QueryOutput::Json) out << (reports.empty() ? "]\n" : "\n]\n");
    return all ? 0 : 1;
}

} // namespace

void askExtras(ServerReport& report, const QueryTarget& target, AskedExtras extras, int waitMs,
               const HostLookup& lookup) {
    if (extras.players) report.players = queryPlayers(target, waitMs, lookup);
    if (extras.rules) report.rules = queryRules(target, waitMs, lookup);
}

int runBatchCommand(const std::vector<std::string>& given, const std::vector<QueryTarget>& targets,
                    const BatchOptions& options, QueryOutput output, std::ostream& out, HostLookup lookup,
                    AskedExtras extras, const std::function<void(const ServerReport&)>& each) {
    // With extras every answer waits for its server's players and rules: printed after.
    if (extras.any()) return runWithExtras(given, targets, options, output, out, lookup, extras, each);
    std::vector<std::optional<BatchResult>> results(targets.size());
    size_t printed = 0;
    bool all = true;
    if (output == QueryOutput::Json) out << '[';
    BatchQuery batch(options, std::move(lookup));
    batch.run(targets, [&](const BatchResult& r) {
        all = all && r.answer.answered();
        if (output == QueryOutput::JsonLines) {
            const ServerReport report = reportOf(given[r.index], targets[r.index], r, extras);
            if (each) each(report);
            out << serverJson(report) << '\n';
            out.flush();
            return;
        }
        results[r.index] = r;
        // In the order given: each server as soon as every one before it is out.
        for (; printed < results.size() && results[printed]; ++printed) {
            const ServerReport report = reportOf(given[printed], targets[printed], *results[printed], extras);
            if (each) each(report);
            if (output == QueryOutput::Json)
                out << (printed ? ",\n" : "\n") << serverJson(report);
            else
                printLine(out, report);
            results[printed].reset();
        }
        out.flush();
    });
    if (output == QueryOutput::Json) out << (printed ? "\n]\n" : "]\n");
    return all ? 0 : 1;
}

} // namespace qm
