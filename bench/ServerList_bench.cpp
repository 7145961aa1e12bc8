// The list must stay fluid at 100,000 entries: bulk adds, single adds and Delete.
#include "serverlist/Collation.h"
#include "serverlist/ServerList.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

std::vector<std::string> entries(size_t n, unsigned seed) {
    std::vector<std::string> out;
    out.reserve(n);
    unsigned x = seed;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        out.push_back(std::to_string(x >> 24) + "." + std::to_string((x >> 16) & 255) + "." +
                      std::to_string((x >> 8) & 255) + "." + std::to_string(i & 255) + ":27015 cstrike");
    }
    return out;
}

void BM_BulkAdd100k(benchmark::State& state) {
    const auto texts = entries(100000, 1);
    for (auto _ : state) {
        qm::ServerList list;
        list.addAndCheckAll(texts);
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_BulkAdd100k)->Unit(benchmark::kMillisecond);

void BM_AddOneTo100k(benchmark::State& state) {
    qm::ServerList list;
    list.addAndCheckAll(entries(100000, 2));
    const auto extra = entries(1000, 3);
    size_t i = 0;
    for (auto _ : state) {
        list.addIfAbsent(extra[i++ % extra.size()]);
        list.checkEntry(extra[i % extra.size()]);
    }
}
BENCHMARK(BM_AddOneTo100k)->Unit(benchmark::kMicrosecond);

void BM_DeleteHalfOf100k(benchmark::State& state) {
    const auto texts = entries(100000, 4);
    for (auto _ : state) {
        state.PauseTiming();
        qm::ServerList list;
        list.addAndCheckAll(texts);
        for (size_t r = 0; r < list.count(); r += 2)
            list.setChecked(r, false);
        state.ResumeTiming();
        list.removeMarked();
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_DeleteHalfOf100k)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The floor of a bulk add: copying the same texts and sorting them with the list's order.
void BM_CopyAndSort100k(benchmark::State& state) {
    const auto texts = entries(100000, 1);
    for (auto _ : state) {
        std::vector<std::string> copy = texts;
        std::sort(copy.begin(), copy.end(), [](const std::string& a, const std::string& b) { return qm::foldedLess(a, b); });
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_CopyAndSort100k)->Unit(benchmark::kMillisecond);

} // namespace
