// Reading and writing large server databases.
#include "database/DatabaseBrowser.h"
#include "database/ListExport.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ExportAndLoad50k(benchmark::State& state) {
    qm::test::TempDir dir;
    std::vector<std::string> entries;
    for (int i = 0; i < 50000; ++i)
        entries.push_back("198.51." + std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) +
                          ":27015 cstrike");
    for (auto _ : state) {
        qm::exportList({dir.file("big.db2"), "b", "d"}, "50000 server(s)", entries);
        benchmark::DoNotOptimize(qm::countryEntries(dir.file("big.db2"), "Custom build").size());
    }
}
BENCHMARK(BM_ExportAndLoad50k)->Unit(benchmark::kMillisecond);

} // namespace
