// Reading and writing large server databases.
#include "database/DatabaseBrowser.h"
#include "database/Db2Format.h"
#include "database/ListExport.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

#include <cstring>

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

// Scrambling a long line in memory, beside memcpy of the same bytes: bytes_per_second.
void BM_ScrambleLine(benchmark::State& state) {
    const std::string plain(static_cast<size_t>(state.range(0)), 'x');
    const std::string key = qm::db2LineKey(123456);
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::scrambleLine(plain, key));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ScrambleLine)->Arg(64)->Arg(1 << 20);

void BM_MemcpyOfTheSameBytes(benchmark::State& state) {
    const std::string plain(static_cast<size_t>(state.range(0)), 'x');
    for (auto _ : state) {
        std::string copy(plain.size(), '\0');
        std::memcpy(copy.data(), plain.data(), plain.size());
        benchmark::DoNotOptimize(copy);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_MemcpyOfTheSameBytes)->Arg(64)->Arg(1 << 20);
