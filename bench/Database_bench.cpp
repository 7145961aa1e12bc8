// Reading and writing large server databases.
#include "database/DatabaseBrowser.h"
#include "database/Db2File.h"
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

namespace {

// A database of 100 countries and 100,000 entries, loaded as the Import page loads it,
// beside reading the same bytes and nothing else.
class LargeDatabase : public benchmark::Fixture {
  public:
    void SetUp(const benchmark::State&) override {
        if (!path.empty()) return;
        static qm::test::TempDir dir;
        path = dir.file("large.db2");
        qm::Db2Writer out(path);
        for (const char* header : {"Quillmark", "Large", "01/01/26", "100000"})
            out.writeLine(header);
        for (int c = 0; c < 100; ++c) {
            out.writeLine("/Country " + std::to_string(c));
            for (int i = 0; i < 1000; ++i)
                out.writeLine("10." + std::to_string(c) + "." + std::to_string(i / 250) + "." +
                              std::to_string(i % 250) + ":27015 cstrike");
        }
        out.commit();
    }
    std::string path;
};

BENCHMARK_DEFINE_F(LargeDatabase, Load100k)(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::loadDatabase(path)->countries.size());
}
BENCHMARK_REGISTER_F(LargeDatabase, Load100k)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(LargeDatabase, AddOneCountryOf100k)(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::countryEntries(path, "Country 99").size());
}
BENCHMARK_REGISTER_F(LargeDatabase, AddOneCountryOf100k)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(LargeDatabase, ReadTheSameBytes)(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::readFileBytes(path).size());
}
BENCHMARK_REGISTER_F(LargeDatabase, ReadTheSameBytes)->Unit(benchmark::kMillisecond);

} // namespace
