// The game's favourites file of 10,000 and 100,000 servers: Import into the list and
// Overwrite on disk, each beside its floor.
#include "bench/FileFloors.h"
#include "bench/TableRow.h"
#include "favourites/FavouritesImport.h"
#include "favourites/FavouritesOverwrite.h"
#include "serverlist/ServerList.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <memory>

namespace {

using qm::bench::kOurs;
using qm::bench::tableRow;

std::vector<std::string> list(size_t n) {
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i)
        out.push_back("10." + std::to_string(i / 65536) + "." + std::to_string((i / 256) % 256) + "." +
                      std::to_string(i % 256) + ":27015 cstrike");
    return out;
}

// A game folder whose favourites file holds `entries`, written by Overwrite itself.
struct GameFolder {
    qm::test::TempDir dir;
    std::string location = dir.file("hl.exe");
    std::string favourites = dir.file("platform/config/ServerBrowser.vdf");
    explicit GameFolder(const std::vector<std::string>& entries) {
        std::filesystem::create_directories(dir.file("platform/config"));
        qm::test::writeAll(location, "");
        qm::test::writeAll(favourites, "\"Filters\"\r\n{\r\n}\r\n");
        qm::overwriteFavourites(location, entries);
    }
};

void sizeRows(int64_t n) {
    const auto entries = std::make_shared<std::vector<std::string>>(list(static_cast<size_t>(n)));
    const auto folder = std::make_shared<GameFolder>(*entries);
    tableRow("favourites: Import into the list", kOurs, n, [folder](benchmark::State& state) {
        for (auto _ : state) {
            qm::ServerList servers;
            qm::FavouritesImport result = qm::importFavourites(folder->location, true);
            servers.addAndCheckAll(std::move(result.entries));
            benchmark::DoNotOptimize(servers.count());
        }
    });
    tableRow("favourites: Import into the list", "reading the bytes + filling the list", n,
             [folder, entries](benchmark::State& state) {
                 for (auto _ : state) {
                     state.PauseTiming();
                     std::vector<std::string> copy = *entries;
                     state.ResumeTiming();
                     qm::ServerList servers;
                     benchmark::DoNotOptimize(qm::bench::readTheBytes(folder->favourites));
                     servers.addAndCheckAll(std::move(copy));
                     benchmark::DoNotOptimize(servers.count());
                 }
             });
    tableRow("favourites: Overwrite", kOurs, n, [folder, entries](benchmark::State& state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(qm::overwriteFavourites(folder->location, *entries).ok);
    });
    tableRow("favourites: Overwrite", "write + fsync of the same bytes", n,
             [folder](benchmark::State& state) {
                 const std::string bytes = qm::test::readAll(folder->favourites);
                 const std::string copy = folder->dir.file("copy.vdf");
                 for (auto _ : state)
                     qm::bench::writeTheBytes(copy, bytes);
             });
}

const qm::bench::TableRows rows([] {
    for (const int64_t n : {10000, 100000})
        sizeRows(n);
});

} // namespace
