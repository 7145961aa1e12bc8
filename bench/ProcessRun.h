#pragma once
// Runs another program to its end, as a peer of ours in the speed table: its wall time,
// its peak resident memory and what it printed.
#include <string>
#include <vector>

namespace qm::bench {

struct ProcessRun {
    double seconds = 0;
    double peakMiB = 0;
    int exitCode = -1;
    std::string output;
};

/// Starts argv[0] (looked up in PATH) with extra environment entries "NAME=value", its
/// error output to /dev/null, and waits for it. The time and memory are the program's
/// own, taken by bench/measure_run.
ProcessRun runProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {});

} // namespace qm::bench
