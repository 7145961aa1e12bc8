// Start-up to the window shown, as separate programs on Qt's offscreen platform: Quillmark
// beside Qt's smallest window. peak_MiB is the program's peak resident memory.
#include "bench/ProcessRun.h"
#include "bench/TableRow.h"

namespace {

void startUp(benchmark::State& state, const std::vector<std::string>& program) {
    double peak = 0;
    for (auto _ : state) {
        const qm::bench::ProcessRun run = qm::bench::runProcess(program, {"QT_QPA_PLATFORM=offscreen"});
        if (run.exitCode != 0) state.SkipWithError("the probe did not end cleanly");
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMiB);
    }
    state.counters["peak_MiB"] = peak;
}

const qm::bench::TableRows rows([] {
    using qm::bench::Timing;
    qm::bench::tableRow(
        "start-up to the window shown", qm::bench::kOurs, 1,
        [](benchmark::State& state) { startUp(state, {QM_STARTUP_PROBE}); }, Timing::Manual)
        ->Iterations(10);
    qm::bench::tableRow(
        "start-up to the window shown", "Qt's smallest window", 1,
        [](benchmark::State& state) { startUp(state, {QM_SMALLEST_PROBE}); }, Timing::Manual)
        ->Iterations(10);
    qm::bench::tableRow(
        "start-up to the window shown", "Qt's smallest window with a line of text", 1,
        [](benchmark::State& state) {
            startUp(state, {QM_SMALLEST_PROBE, "--label"});
        },
        Timing::Manual)
        ->Iterations(10);
});

} // namespace
