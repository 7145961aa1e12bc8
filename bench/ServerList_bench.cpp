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

// The same entries as plain rows of text and mark, sorted as the list sorts: what the
// floors work on.
using PlainRows = std::vector<std::pair<std::string, bool>>;
PlainRows plainRows(const std::vector<std::string>& texts) {
    PlainRows rows;
    for (size_t i = 0; i < texts.size(); ++i)
        rows.emplace_back(texts[i], i % 2 == 0);
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return qm::foldedLess(a.first, b.first); });
    return rows;
}

// A new entry each time: no two iterations add the same one.
std::string newEntry(size_t i) {
    return "10." + std::to_string(i >> 16 & 255) + "." + std::to_string(i >> 8 & 255) + "." +
           std::to_string(i & 255) + ":27016 valve";
}

void sizeRows(int64_t n, const std::shared_ptr<std::vector<std::string>>& texts) {
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
    // The floor finds each text in the sorted rows.
    tableRow("list: bulk add of entries already there", "binary search of each", n,
             [texts](benchmark::State& state) {
                 const PlainRows rows = plainRows(*texts);
                 for (auto _ : state)
                     for (const std::string& t : *texts)
                         benchmark::DoNotOptimize(std::lower_bound(
                             rows.begin(), rows.end(), t,
                             [](const auto& r, const std::string& v) { return qm::foldedLess(r.first, v); }));
             })
        ->Iterations(20);
    tableRow("list: Delete of half the entries", kOurs, n, [texts](benchmark::State& state) {
        withFilledList(state, *texts, [](qm::ServerList& list) { list.removeMarked(); });
    })->Iterations(20);
    tableRow("list: Delete of half the entries", "erase_if", n, [texts](benchmark::State& state) {
        for (auto _ : state) {
            state.PauseTiming();
            PlainRows rows = plainRows(*texts);
            state.ResumeTiming();
            std::erase_if(rows, [](const auto& r) { return r.second; });
            benchmark::DoNotOptimize(rows.data());
        }
    })->Iterations(20);
    tableRow("list: Invert", kOurs, n, [texts](benchmark::State& state) {
        qm::ServerList list;
        list.addAndCheckAll(*texts);
        for (auto _ : state)
            list.invertMarks();
    });
    tableRow("list: Invert", "a byte flipped for each", n, [texts](benchmark::State& state) {
        std::vector<unsigned char> marks(texts->size(), 1);
        for (auto _ : state) {
            for (unsigned char& m : marks)
                m ^= 1;
            benchmark::DoNotOptimize(marks.data());
        }
    });
    tableRow("list: every entry's text, for Overwrite and Export", kOurs, n,
             [texts](benchmark::State& state) {
                 qm::ServerList list;
                 list.addAndCheckAll(*texts);
                 for (auto _ : state)
                     benchmark::DoNotOptimize(list.texts());
             });
    tableRow("list: every entry's text, for Overwrite and Export", "vector copy", n,
             [texts](benchmark::State& state) {
                 for (auto _ : state) {
                     std::vector<std::string> copy = *texts;
                     benchmark::DoNotOptimize(copy.data());
                 }
             });
}

const qm::bench::TableRows rows([] {
    for (const int64_t n : {10000, 100000})
        sizeRows(n, std::make_shared<std::vector<std::string>>(entries(static_cast<size_t>(n), 1)));
    // One entry typed in by hand, into a list of 100,000: a new one every time.
    tableRow("list: add one entry by hand", kOurs, 100000, [](benchmark::State& state) {
        qm::ServerList list;
        list.addAndCheckAll(entries(100000, 2));
        const size_t before = list.count();
        size_t i = 0;
        for (auto _ : state) {
            const std::string entry = newEntry(i++);
            list.addIfAbsent(entry);
            list.checkEntry(entry);
        }
        if (list.count() != before + i) state.SkipWithError("an entry was not added");
    })->Unit(benchmark::kMicrosecond);
    tableRow("list: add one entry by hand", "sorted vector insert", 100000, [](benchmark::State& state) {
        PlainRows rows = plainRows(entries(100000, 2));
        size_t i = 0;
        for (auto _ : state) {
            std::string entry = newEntry(i++);
            const auto at =
                std::lower_bound(rows.begin(), rows.end(), entry, [](const auto& r, const std::string& v) {
                    return qm::foldedLess(r.first, v);
                });
            rows.emplace(at, std::move(entry), true);
        }
    })->Unit(benchmark::kMicrosecond);
});

} // namespace
