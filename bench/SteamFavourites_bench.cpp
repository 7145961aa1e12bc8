// Steam's favourites file at the size of a long-lived account: 60,000 history entries
// (about 10 MB) and 100 favourites, read (Import) and rewritten (Overwrite) on disk.
#include "favourites/SteamFavouritesFile.h"
#include "favourites/SteamFavouritesText.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

namespace {

std::string entryText(int number, const std::string& address) {
    return "\t\t\"" + std::to_string(number) + "\"\n\t\t{\n\t\t\t\"name\"\t\t\"" + address +
           "\"\n\t\t\t\"address\"\t\t\"" + address +
           "\"\n\t\t\t\"LastPlayed\"\t\t\"1654965489\"\n\t\t\t\"appid\"\t\t\"0\"\n\t\t\t\"accountid\"\t\t\"49"
           "25204\"\n\t\t}\n";
}

std::string addressOf(int i) {
    return "10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." +
           std::to_string(i % 256) + ":27015";
}

std::string largeSteamFile(int favourites, int history) {
    std::string text = "\"Filters\"\n{\n\t\"favorites\"\n\t{\n";
    for (int i = 1; i <= favourites; ++i)
        text += entryText(i, addressOf(i));
    text += "\t}\n\t\"history\"\n\t{\n";
    for (int i = 1; i <= history; ++i)
        text += entryText(i, addressOf(i));
    return text + "\t}\n\t\"lastupdate\"\t\t\"1536553333\"\n}\n";
}

void BM_SteamImport10MB(benchmark::State& state) {
    qm::test::TempDir dir;
    const std::string file = dir.file("serverbrowser_hist.vdf");
    qm::test::writeAll(file, largeSteamFile(100, 60000));
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::importSteamFavourites(file, "cstrike"));
    state.counters["bytes"] = static_cast<double>(qm::test::readAll(file).size());
}
BENCHMARK(BM_SteamImport10MB)->Unit(benchmark::kMillisecond);

void BM_SteamOverwrite10MB(benchmark::State& state) {
    qm::test::TempDir dir;
    const std::string file = dir.file("serverbrowser_hist.vdf");
    qm::test::writeAll(file, largeSteamFile(100, 60000));
    std::vector<std::string> list = qm::importSteamFavourites(file, "cstrike").entries;
    for (int i = 0; i < 20; ++i)
        list.push_back("127.0.0." + std::to_string(i + 1) + ":27015 cstrike");
    for (auto _ : state) {
        const qm::Outcome o = qm::overwriteSteamFavourites(file, list, false);
        if (!o.ok) state.SkipWithError(o.message.c_str());
    }
}
BENCHMARK(BM_SteamOverwrite10MB)->Unit(benchmark::kMillisecond);

} // namespace
