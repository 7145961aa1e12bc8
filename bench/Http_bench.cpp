// HTTP GET of 1 KiB, 1 MiB and 15 MiB from nginx on the loopback, on a kept connection, a
// new connection each time, and through tinyproxy: our client beside curl fetching the same
// URLs in one run (curl's own time of each transfer). For ours, peak_MiB is how far the
// process's peak memory rose above where it stood (one copy of a 15 MiB body is 15); for
// curl, which writes the body out as it comes, its whole peak.
#include "bench/BenchSupport.h"
#include "bench/ProcessRun.h"
#include "bench/TableRow.h"
#include "tests/support/LoopbackDaemons.h"
#include "update/TIdHTTP.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <malloc.h>
#include <sstream>
#include <unistd.h>

namespace {

using qm::test::Nginx;
using qm::test::Tinyproxy;

qm::HostLookupResult noNames(const std::string&) {
    return {"", 11001};
}

struct Servers {
    Nginx nginx;
    Tinyproxy proxy;
    Servers() {
        for (const int kib : {1, 1024, 15 * 1024})
            nginx.put(std::to_string(kib) + "k.bin", std::string(static_cast<size_t>(kib) * 1024, 'q'));
    }
};

Servers& servers() {
    static Servers running;
    return running;
}

enum class Way { Kept, New, Proxy };

void ours(benchmark::State& state, int kib, Way way) {
    Servers& s = servers();
    const std::string url = s.nginx.url(std::to_string(kib) + "k.bin");
    // Memory freed by one fetch serves the next, so the peak is taken over the whole row
    // against where the process stood before its first fetch.
    qm::bench::resetPeakMemory();
    const double before = qm::bench::memoryKib("VmRSS:");
    auto http = std::make_unique<qm::TIdHTTP>(noNames);
    if (way == Way::Proxy) {
        http->ProxyParams.ProxyServer = "127.0.0.1";
        http->ProxyParams.ProxyPort = s.proxy.port();
    }
    if (way != Way::New) http->Get(url);
    for (auto _ : state) {
        if (way == Way::New) {
            state.PauseTiming();
            http = std::make_unique<qm::TIdHTTP>(noNames);
            state.ResumeTiming();
        }
        if (http->Get(url).size() != static_cast<size_t>(kib) * 1024) state.SkipWithError("short body");
    }
    state.counters["peak_MiB"] = (qm::bench::memoryKib("VmHWM:") - before) / 1024.0;
}

// curl fetches the URL as many times as the row has iterations, in one run; each
// iteration takes the time curl gives for one transfer.
void curl(benchmark::State& state, int kib, Way way, int iterations) {
    Servers& s = servers();
    const std::string url = s.nginx.url(std::to_string(kib) + "k.bin");
    std::vector<std::string> argv = {"curl", "-s", "-w", "%{time_total}\\n"};
    if (way == Way::New) argv.insert(argv.end(), {"-H", "Connection: close"});
    if (way == Way::Proxy)
        argv.insert(argv.end(), {"-x", "http://127.0.0.1:" + std::to_string(s.proxy.port())});
    const int transfers = iterations + (way == Way::New ? 0 : 1); // the first opens the kept connection
    for (int i = 0; i < transfers; ++i)
        argv.insert(argv.end(), {"-o", "/dev/null", url});
    const qm::bench::ProcessRun run = qm::bench::runProcess(argv);
    std::istringstream times(run.output);
    std::vector<double> seconds;
    for (double t; times >> t;)
        seconds.push_back(t);
    if (way != Way::New && !seconds.empty()) seconds.erase(seconds.begin());
    size_t next = 0;
    for (auto _ : state) {
        if (next >= seconds.size()) {
            state.SkipWithError("curl gave fewer times than transfers");
            break;
        }
        state.SetIterationTime(seconds[next++]);
    }
    state.counters["peak_MiB"] = run.peakMiB;
}

const qm::bench::TableRows rows([] {
    if (::access(Nginx::kProgram, X_OK) != 0 || ::access(Tinyproxy::kProgram, X_OK) != 0 ||
        ::access("/usr/bin/curl", X_OK) != 0)
        return;
    struct Case {
        const char* label;
        Way way;
    };
    for (const Case c : {Case{"kept connection", Way::Kept}, Case{"new connection", Way::New},
                         Case{"through tinyproxy", Way::Proxy}})
        for (const int kib : {1, 1024, 15 * 1024}) {
            const int iterations = kib == 1 ? 200 : kib == 1024 ? 50 : 10;
            const std::string operation = std::string("HTTP GET, ") + c.label + " (KiB)";
            qm::bench::tableRow(operation, qm::bench::kOurs, kib, [=](benchmark::State& s) {
                ours(s, kib, c.way);
            })->Iterations(iterations);
            qm::bench::tableRow(
                operation, "curl", kib, [=](benchmark::State& s) { curl(s, kib, c.way, iterations); },
                qm::bench::Timing::Manual)

                ->Iterations(iterations);
        }
});

} // namespace
