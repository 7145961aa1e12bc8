// The whole list asked at once, against demo servers on loopback: the batch query alone,
// quillmark-query beside quakestat on the same servers, and the status window's memory.
#include "app/ServerStatusModel.h"
#include "app/TfmMain.h"
#include "app/TfmServerStatus.h"
#include "bench/BenchSupport.h"
#include "query/BatchQuery.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

using qm::bench::DemoServers;

constexpr int kFirstPort = 20000; // below the ephemeral ports, so nothing else holds them

std::vector<qm::QueryTarget> targetsOf(const std::vector<std::string>& entries) {
    std::vector<qm::QueryTarget> targets;
    for (const std::string& e : entries)
        targets.push_back(*qm::targetOfEntry(e));
    return targets;
}

// Args: servers, silent every N (0: none), exchanges at once, pause between starts (ms).
void BM_BatchQuery(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const DemoServers servers(kFirstPort, count, static_cast<int>(state.range(1)));
    const std::vector<qm::QueryTarget> targets = targetsOf(servers.entries());
    qm::BatchOptions options;
    options.maxInFlight = static_cast<size_t>(state.range(2));
    options.intervalMs = static_cast<int>(state.range(3));
    size_t answered = 0;
    for (auto _ : state) {
        answered = 0;
        qm::BatchQuery batch(options);
        batch.run(targets, [&](const qm::BatchResult& r) { answered += r.answer.answered(); });
    }
    state.counters["answered"] = static_cast<double>(answered);
}
BENCHMARK(BM_BatchQuery)
    ->Args({1000, 0, 32, 1})
    ->Args({1000, 0, 32, 0})
    ->Args({10000, 10, 32, 1})
    ->Args({10000, 10, 160, 1})
    ->ArgNames({"servers", "silent_every", "maxsim", "interval_ms"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

struct CommandRun {
    double seconds = 0;
    size_t matching = 0;
};

// Runs a shell command and counts the lines of its output that hold `answered`.
CommandRun runCounting(const std::string& command, const std::string& answered, const std::string& silent) {
    const auto start = std::chrono::steady_clock::now();
    FILE* out = ::popen(command.c_str(), "r");
    CommandRun run;
    char line[4096];
    while (out && std::fgets(line, sizeof line, out)) {
        const std::string l(line);
        const bool hit = silent.empty()
                             ? l.find(answered) != std::string::npos
                             : l.find(silent) == std::string::npos && l.find(answered) != std::string::npos;
        run.matching += hit;
    }
    if (out) ::pclose(out);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

// Args: servers, silent every N, our pause between starts (ms). The counters hold both
// programs' times and answered servers; the benchmark's own time is ours.
void BM_QueryToolBesideQuakestat(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const DemoServers servers(kFirstPort, count, static_cast<int>(state.range(1)));
    qm::test::TempDir dir;
    std::string entries, plain;
    for (const std::string& e : servers.entries()) {
        entries += e + "\n";
        plain += e.substr(0, e.find(' ')) + "\n";
    }
    qm::test::writeAll(dir.file("list.txt"), entries);
    qm::test::writeAll(dir.file("plain.txt"), plain);
    const std::string ours = std::string(QM_QUERY_TOOL) + " --interval " + std::to_string(state.range(2)) +
                             " -f " + dir.file("list.txt");
    const std::string theirs = "quakestat -default a2s -nh -maxsim 32 -f " + dir.file("plain.txt");
    CommandRun a, b;
    for (auto _ : state) {
        a = runCounting(ours, "\tanswered\t", "");
        state.SetIterationTime(a.seconds);
        b = runCounting(theirs, "127.0.0.1:", "no response");
    }
    state.counters["ours_s"] = a.seconds;
    state.counters["ours_answered"] = static_cast<double>(a.matching);
    state.counters["quakestat_s"] = b.seconds;
    state.counters["quakestat_answered"] = static_cast<double>(b.matching);
}
BENCHMARK(BM_QueryToolBesideQuakestat)
    ->Args({1000, 0, 1})
    ->Args({1000, 0, 0})
    ->Args({1000, 10, 1})
    ->ArgNames({"servers", "silent_every", "interval_ms"})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The status window refreshing 10,000 entries: how far the resident memory grows above
// the idle window.
void BM_StatusWindowRefresh(benchmark::State& state) {
    qm::bench::application();
    const int count = static_cast<int>(state.range(0));
    const DemoServers servers(kFirstPort, count);
    qm::bench::BenchWindowEnvironment bench;
    qm::TfmMain window(bench.env);
    window.servers().addAndCheckAll(servers.entries());
    window.show();
    QApplication::processEvents();
    double grown = 0;
    size_t answered = 0;
    for (auto _ : state) {
        const double before = qm::bench::residentMb();
        QEventLoop untilDone;
        window.bbServerStatusClick();
        QObject::connect(window.fmServerStatus, &qm::TfmServerStatus::refreshed, &untilDone,
                         &QEventLoop::quit);
        if (window.fmServerStatus->refreshing()) untilDone.exec();
        grown = std::max(grown, qm::bench::residentMb() - before);
        answered = 0;
        for (size_t r = 0; r < window.fmServerStatus->model().size(); ++r)
            answered += window.fmServerStatus->model().row(r).answered;
    }
    state.counters["rss_mb"] = grown;
    state.counters["answered"] = static_cast<double>(answered);
}
BENCHMARK(BM_StatusWindowRefresh)->Arg(10000)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
