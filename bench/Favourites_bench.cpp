// Overwrite and import of a large favourites file.
#include "favourites/FavouritesImport.h"
#include "favourites/FavouritesOverwrite.h"
#include "platform/TextFile.h"

#include <benchmark/benchmark.h>

namespace {

std::vector<std::string> list(size_t n) {
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i)
        out.push_back("10." + std::to_string(i / 65536) + "." + std::to_string((i / 256) % 256) + "." +
                      std::to_string(i % 256) + ":27015 cstrike");
    return out;
}

void BM_Overwrite10k(benchmark::State& state) {
    const auto entries = list(10000);
    const std::string source = "\"Filters\"\n{\n\t\"Favorites\"\n\t{\n\t}\n}\n";
    for (auto _ : state) {
        qm::LineCursor in(source);
        size_t bytes = 0;
        qm::rewriteFavourites(in, entries, [&](std::string_view l) { bytes += l.size() + 2; });
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_Overwrite10k)->Unit(benchmark::kMillisecond);

void BM_Import10k(benchmark::State& state) {
    const auto entries = list(10000);
    std::string text;
    qm::LineCursor empty("}\n");
    qm::rewriteFavourites(empty, entries, [&](std::string_view l) { text.append(l).append("\r\n"); });
    for (auto _ : state) {
        qm::LineCursor in(text);
        benchmark::DoNotOptimize(qm::readFavoriteEntries(in).size());
    }
}
BENCHMARK(BM_Import10k)->Unit(benchmark::kMillisecond);

} // namespace
