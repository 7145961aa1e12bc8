#pragma once
// Rows of the speed table (bench/table.py): each measurement is registered as
// "operation@side@n", where side is "ours" or the floor or real tool it is held against.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <string>

namespace qm::bench {

inline constexpr const char* kOurs = "ours";

/// Wall: the loop's wall-clock time, so that waits and other processes count. Manual: the
/// body gives each iteration's time (a process's run, a transfer's own time).
enum class Timing { Wall, Manual };

/// Registers one row; the body gets the benchmark state and runs its loop.
inline benchmark::internal::Benchmark* tableRow(const std::string& operation, const std::string& side,
                                                int64_t n, std::function<void(benchmark::State&)> body,
                                                Timing timing = Timing::Wall) {
    const std::string name = operation + "@" + side + "@" + std::to_string(n);
    auto* row = benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) { body(state); });
    if (timing == Timing::Manual)
        row->UseManualTime();
    else
        row->UseRealTime();
    return row->Unit(benchmark::kMillisecond);
}

/// Runs `registerRows` once at start-up, before main reads the benchmark list.
struct TableRows {
    explicit TableRows(const std::function<void()>& registerRows) { registerRows(); }
};

} // namespace qm::bench
