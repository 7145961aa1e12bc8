// One server asked for its details, the whole exchange as a separate program: quillmark-query
// beside quakestat, against the demo server answering after 0, 20 or 50 ms. The counter
// ping_error_ms is the ping each shows minus the server's true delay.
#include "bench/ProcessRun.h"
#include "bench/TableRow.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TcpTestServer.h"

#include <unistd.h>

namespace {

struct Protocol {
    const char* label;
    const char* demoMode;
    const char* quakestatType;
};

/// The ping a program printed: quillmark-query's "Ping: N" line, or the seventh field of
/// quakestat's raw line.
double shownPing(const std::string& output, bool quakestat) {
    if (!quakestat) {
        const size_t at = output.find("Ping: ");
        return at == std::string::npos ? -1 : std::stod(output.substr(at + 6));
    }
    size_t at = 0;
    for (int field = 0; field < 6 && at != std::string::npos; ++field)
        at = output.find(',', at + 1);
    return at == std::string::npos ? -1 : std::stod(output.substr(at + 1));
}

void askOnce(benchmark::State& state, const Protocol& protocol, int delayMs, bool quakestat) {
    const uint16_t port = qm::test::freeLoopbackPort();
    qm::test::ChildProcess server({QM_DEMO_SERVER, "--port", std::to_string(port), "--protocol",
                                   protocol.demoMode, "--delay-ms", std::to_string(delayMs)});
    server.readLine();
    const std::string address = "127.0.0.1:" + std::to_string(port);
    const std::vector<std::string> argv =
        quakestat ? std::vector<std::string>{"quakestat", "-raw", ",",
                                             std::string("-") + protocol.quakestatType, address}
                  : std::vector<std::string>{QM_QUERY_TOOL, address};
    double error = 0;
    for (auto _ : state) {
        const qm::bench::ProcessRun run = qm::bench::runProcess(argv);
        const double ping = shownPing(run.output, quakestat);
        if (ping < 0) state.SkipWithError(("no answer: " + run.output).c_str());
        state.SetIterationTime(run.seconds);
        error += ping - delayMs;
    }
    state.counters["ping_error_ms"] = error / static_cast<double>(state.iterations());
}

const qm::bench::TableRows rows([] {
    if (::access("/usr/bin/quakestat", X_OK) != 0) return;
    static const Protocol kProtocols[] = {{"infostring", "legacy", "hlqs"}, {"A2S", "a2s", "a2s"}};
    for (const Protocol& protocol : kProtocols)
        for (const int delay : {0, 20, 50}) {
            const std::string operation =
                std::string("info query, ") + protocol.label + ", server delay (ms)";
            qm::bench::tableRow(
                operation, qm::bench::kOurs, delay,
                [&protocol, delay](benchmark::State& s) { askOnce(s, protocol, delay, false); },
                qm::bench::Timing::Manual)

                ->Iterations(15);
            qm::bench::tableRow(
                operation, "quakestat", delay,
                [&protocol, delay](benchmark::State& s) { askOnce(s, protocol, delay, true); },
                qm::bench::Timing::Manual)

                ->Iterations(15);
        }
});

} // namespace
