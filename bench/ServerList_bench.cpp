// The list at 10,000 and 100,000 entries, each operation beside its floor: copying the same
// texts and sorting them in the list's order.
#include "bench/TableRow.h"
#include "serverlist/Collation.h"
#include "serverlist/ServerList.h"

#include <algorithm>
#include <memory>

namespace {

using qm::bench::kOurs;
using qm::bench::tableRow;

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

constexpr const char* kFloor = "copy + std::sort";

void copyAndSort(benchmark::State& state, const std::vector<std::string>& texts) {
    for (auto _ : state) {
        std::vector<std::string> copy = texts;
        std::sort(copy.begin(), copy.end(),
                  [](const std::string& a, const std::string& b) { return qm::foldedLess(a, b); });
        benchmark::DoNotOptimize(copy.data());
    }
}

/// A list filled with `texts`, half of them marked; made outside the timed part.
void withFilledList(benchmark::State& state, const std::vector<std::string>& texts,
                    const std::function<void(qm::ServerList&)>& timed) {
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<qm::ServerList>();
        list->addAndCheckAll(texts);
        for (size_t r = 0; r < list->count(); r += 2)
            list->setChecked(r, false);
        state.ResumeTiming();
        timed(*list);
        benchmark::DoNotOptimize(list->count());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}

const qm::bench::TableRows rows([] {
    for (const int64_t n : {10000, 100000}) {
        const auto texts = std::make_shared<std::vector<std::string>>(entries(static_cast<size_t>(n), 1));
        tableRow("list: bulk add into an empty list", kOurs, n, [texts](benchmark::State& state) {
            for (auto _ : state) {
                qm::ServerList list;
                list.addAndCheckAll(*texts);
                benchmark::DoNotOptimize(list.count());
            }
        });
        tableRow("list: bulk add into an empty list", kFloor, n,
                 [texts](benchmark::State& state) { copyAndSort(state, *texts); });
        tableRow("list: bulk add of entries already there", kOurs, n, [texts](benchmark::State& state) {
            withFilledList(state, *texts, [&](qm::ServerList& list) { list.addAndCheckAll(*texts); });
        })->Iterations(20);
        tableRow("list: bulk add of entries already there", kFloor, n,
                 [texts](benchmark::State& state) { copyAndSort(state, *texts); });
        tableRow("list: Delete of half the entries", kOurs, n, [texts](benchmark::State& state) {
            withFilledList(state, *texts, [](qm::ServerList& list) { list.removeMarked(); });
        })->Iterations(20);
        tableRow("list: Delete of half the entries", kFloor, n,
                 [texts](benchmark::State& state) { copyAndSort(state, *texts); });
        tableRow("list: Invert", kOurs, n, [texts](benchmark::State& state) {
            qm::ServerList list;
            list.addAndCheckAll(*texts);
            for (auto _ : state)
                list.invertMarks();
        });
        tableRow("list: Invert", kFloor, n, [texts](benchmark::State& state) { copyAndSort(state, *texts); });
        tableRow("list: every entry's text, for Overwrite and Export", kOurs, n, [texts](benchmark::State& state) {
            qm::ServerList list;
            list.addAndCheckAll(*texts);
            for (auto _ : state)
                benchmark::DoNotOptimize(list.texts());
        });
        tableRow("list: every entry's text, for Overwrite and Export", kFloor, n,
                 [texts](benchmark::State& state) { copyAndSort(state, *texts); });
    }
    // One entry typed in by hand, into a list of 100,000.
    tableRow("list: add one entry by hand", kOurs, 100000, [](benchmark::State& state) {
        qm::ServerList list;
        list.addAndCheckAll(entries(100000, 2));
        const auto extra = entries(1000, 3);
        size_t i = 0;
        for (auto _ : state) {
            list.addIfAbsent(extra[i++ % extra.size()]);
            list.checkEntry(extra[i % extra.size()]);
        }
    })->Unit(benchmark::kMicrosecond);
});

} // namespace
