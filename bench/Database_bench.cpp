// Databases of 10,000 and 100,000 entries, and db2tool on 5 and 50 MB, each beside the
// floor: reading or writing the same bytes, memcpy, cp.
#include "bench/FileFloors.h"
#include "bench/ProcessRun.h"
#include "bench/TableRow.h"
#include "database/DatabaseBrowser.h"
#include "database/Db2File.h"
#include "database/Db2Format.h"
#include "database/ListExport.h"
#include "serverlist/ServerList.h"
#include "tests/support/TempDir.h"

#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

using qm::bench::kOurs;
using qm::bench::tableRow;

qm::test::TempDir& folder() {
    static qm::test::TempDir dir;
    return dir;
}

std::string entry(size_t i) {
    return "10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." +
           std::to_string(i % 256) + ":27015 cstrike";
}

/// A database of `entries` entries under `countries` markers, made once.
const std::string& database(size_t entries, size_t countries) {
    static std::map<std::pair<size_t, size_t>, std::string> made;
    std::string& path = made[{entries, countries}];
    if (!path.empty()) return path;
    path = folder().file("db-" + std::to_string(entries) + "-" + std::to_string(countries) + ".db2");
    qm::Db2Writer out(path);
    for (const char* header : {"Quillmark", "Large", "01/01/26", "100000"})
        out.writeLine(header);
    for (size_t c = 0, i = 0; c < countries; ++c) {
        out.writeLine("/Country " + std::to_string(c));
        for (size_t k = 0; k < entries / countries; ++k)
            out.writeLine(entry(i++));
    }
    out.commit();
    return path;
}

using qm::bench::readTheBytes;
using qm::bench::writeTheBytes;

constexpr const char* kReadFloor = "reading the same bytes";

void readFloor(benchmark::State& state, const std::string& path) {
    for (auto _ : state)
        benchmark::DoNotOptimize(readTheBytes(path));
}

/// A process's time and peak memory as the row's time and counter.
void timeProcess(benchmark::State& state, const std::vector<std::string>& argv) {
    double peak = 0;
    for (auto _ : state) {
        const qm::bench::ProcessRun run = qm::bench::runProcess(argv);
        if (run.exitCode != 0) state.SkipWithError((argv[0] + " failed").c_str());
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMiB);
    }
    state.counters["peak_MiB"] = peak;
}

const qm::bench::TableRows rows([] {
    for (const int64_t n : {10000, 100000}) {
        const size_t entries = static_cast<size_t>(n);
        tableRow("database: load (100 countries)", kOurs, n, [entries](benchmark::State& state) {
            const std::string& path = database(entries, 100);
            for (auto _ : state)
                benchmark::DoNotOptimize(qm::loadDatabase(path)->countries.size());
        });
        tableRow("database: load (100 countries)", kReadFloor, n,
                 [entries](benchmark::State& state) { readFloor(state, database(entries, 100)); });
        // The whole Add: the country's entries read and put into the Import page's list.
        tableRow("database: Add of the last of 100 countries", kOurs, n, [entries](benchmark::State& state) {
            const std::string& path = database(entries, 100);
            for (auto _ : state) {
                qm::ServerList added;
                added.addAndCheckAll(qm::countryEntries(path, "Country 99"));
                benchmark::DoNotOptimize(added.count());
            }
        });
        tableRow("database: Add of the last of 100 countries", kReadFloor, n,
                 [entries](benchmark::State& state) { readFloor(state, database(entries, 100)); });
        tableRow("database: Add of one country of every entry", kOurs, n, [entries](benchmark::State& state) {
            const std::string& path = database(entries, 1);
            for (auto _ : state) {
                qm::ServerList added;
                added.addAndCheckAll(qm::countryEntries(path, "Country 0"));
                benchmark::DoNotOptimize(added.count());
            }
        });
        tableRow("database: Add of one country of every entry", kReadFloor, n,
                 [entries](benchmark::State& state) { readFloor(state, database(entries, 1)); });

        auto list = std::make_shared<std::vector<std::string>>();
        for (size_t i = 0; i < entries; ++i)
            list->push_back(entry(i));
        tableRow("database: Export List", kOurs, n, [list](benchmark::State& state) {
            const std::string path = folder().file("export.db2");
            for (auto _ : state)
                qm::exportList({path, "b", "d"}, std::to_string(list->size()) + " server(s)", *list);
        });
        tableRow("database: Export List", "write + fsync of the same bytes", n,
                 [list](benchmark::State& state) {
                     const std::string path = folder().file("export.db2");
                     qm::exportList({path, "b", "d"}, std::to_string(list->size()) + " server(s)", *list);
                     const std::string bytes = qm::test::readAll(path);
                     const std::string copy = folder().file("copy.db2");
                     for (auto _ : state)
                         writeTheBytes(copy, bytes);
                 });
    }

    // Scrambling as the writer does it: 10,000 database lines of about 28 bytes, each with
    // its own key, into a buffer that is already there; beside copying the same lines.
    constexpr int64_t kLines = 10000;
    const auto lines = std::make_shared<std::vector<std::string>>();
    const auto keys = std::make_shared<std::vector<std::string>>();
    qm::Db2LineKeys lineKeys;
    for (size_t i = 0; i < kLines; ++i, lineKeys.next()) {
        lines->push_back(entry(i));
        keys->emplace_back(lineKeys.key());
    }
    tableRow("scrambling database lines in memory (lines)", kOurs, kLines,
             [lines, keys](benchmark::State& state) {
                 std::string out;
                 out.reserve(64);
                 int64_t bytes = 0;
                 for (auto _ : state)
                     for (size_t i = 0; i < lines->size(); ++i) {
                         out.clear();
                         qm::appendScrambled(out, (*lines)[i], (*keys)[i]);
                         benchmark::DoNotOptimize(out.data());
                         bytes += static_cast<int64_t>(out.size());
                     }
                 state.SetBytesProcessed(bytes);
             })
        ->Unit(benchmark::kMicrosecond);
    tableRow("scrambling database lines in memory (lines)", "memcpy into a buffer", kLines,
             [lines](benchmark::State& state) {
                 std::string out(64, '\0');
                 int64_t bytes = 0;
                 for (auto _ : state)
                     for (const std::string& line : *lines) {
                         std::memcpy(out.data(), line.data(), line.size());
                         benchmark::DoNotOptimize(out.data());
                         bytes += static_cast<int64_t>(line.size());
                     }
                 state.SetBytesProcessed(bytes);
             })
        ->Unit(benchmark::kMicrosecond);

    // db2tool both ways on databases of about 5 and 50 MB, as separate programs, beside cp.
    for (const int64_t megabytes : {5, 50}) {
        const size_t entries = static_cast<size_t>(megabytes) * 1000 * 1000 / 27;
        auto plainText = [entries, megabytes] {
            const std::string text = folder().file("plain-" + std::to_string(megabytes) + ".txt");
            if (::access(text.c_str(), F_OK) != 0)
                qm::bench::runProcess({QM_DB2TOOL, "decode", database(entries, 100), text});
            return text;
        };
        tableRow(
            "db2tool decode (MB)", kOurs, megabytes,
            [=](benchmark::State& state) {
                timeProcess(state,
                            {QM_DB2TOOL, "decode", database(entries, 100), folder().file("decoded.txt")});
            },
            qm::bench::Timing::Manual)
            ->Iterations(3);
        tableRow(
            "db2tool decode (MB)", "cp", megabytes,
            [=](benchmark::State& state) {
                timeProcess(state, {"cp", database(entries, 100), folder().file("copied")});
            },
            qm::bench::Timing::Manual)
            ->Iterations(3);
        // db2tool flushes what it wrote to disk before it puts it in place; dd does too.
        tableRow(
            "db2tool decode (MB)", "dd conv=fsync", megabytes,
            [=](benchmark::State& state) {
                timeProcess(state, {"dd", "if=" + database(entries, 100), "of=" + folder().file("copied"),
                                    "bs=1M", "conv=fsync", "status=none"});
            },
            qm::bench::Timing::Manual)
            ->Iterations(3);
        tableRow(
            "db2tool encode (MB)", kOurs, megabytes,
            [=](benchmark::State& state) {
                timeProcess(state, {QM_DB2TOOL, "encode", plainText(), folder().file("encoded.db2")});
            },
            qm::bench::Timing::Manual)
            ->Iterations(3);
        tableRow(
            "db2tool encode (MB)", "cp", megabytes,
            [=](benchmark::State& state) {
                timeProcess(state, {"cp", plainText(), folder().file("copied")});
            },
            qm::bench::Timing::Manual)
            ->Iterations(3);
        tableRow(
            "db2tool encode (MB)", "dd conv=fsync", megabytes,
            [=](benchmark::State& state) {
                timeProcess(state, {"dd", "if=" + plainText(), "of=" + folder().file("copied"), "bs=1M",
                                    "conv=fsync", "status=none"});
            },
            qm::bench::Timing::Manual)
            ->Iterations(3);
    }
});

} // namespace
