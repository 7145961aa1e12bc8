// The KeyValues reader on the files that once made it slow or large: 1 MiB on one line
// (a file an editor joined), and a 50 MB Steam favourites file. "tree bytes per input
// byte" is the resident memory the parsed tree adds, over the text's own size.
#include "bench/BenchSupport.h"
#include "keyvalues/KeyValues.h"

#include <benchmark/benchmark.h>

namespace {

std::string entryText(int number, const std::string& separator) {
    const std::string address = "10." + std::to_string(number / 65536 % 256) + "." +
                                std::to_string(number / 256 % 256) + "." + std::to_string(number % 256) +
                                ":27015";
    return "\t\t\"" + std::to_string(number) + "\"" + separator + "\t\t{" + separator +
           "\t\t\t\"name\"\t\t\"" + address + "\"" + separator + "\t\t\t\"address\"\t\t\"" + address + "\"" +
           separator + "\t\t\t\"LastPlayed\"\t\t\"1654965489\"" + separator + "\t\t\t\"appid\"\t\t\"0\"" +
           separator + "\t\t\t\"accountid\"\t\t\"4925204\"" + separator + "\t\t}" + separator;
}

std::string steamText(size_t bytes, const std::string& separator) {
    std::string text =
        "\"Filters\"" + separator + "{" + separator + "\t\"history\"" + separator + "\t{" + separator;
    for (int i = 1; text.size() < bytes; ++i)
        text += entryText(i, separator);
    return text + "\t}" + separator + "}" + separator;
}

void parseWithMemory(benchmark::State& state, const std::string& text) {
    double grown = 0;
    for (auto _ : state) {
        const double before = qm::bench::residentMb();
        const qm::KeyValuesTree tree = qm::parseKeyValues(text);
        benchmark::DoNotOptimize(tree.roots().begin());
        grown = std::max(grown, qm::bench::residentMb() - before);
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["tree bytes per input byte"] = grown * 1024 * 1024 / static_cast<double>(text.size());
}

void BM_KeyValuesOneLine1MiB(benchmark::State& state) {
    parseWithMemory(state, steamText(1 << 20, " "));
}
BENCHMARK(BM_KeyValuesOneLine1MiB)->Unit(benchmark::kMillisecond);

void BM_KeyValuesSteamFile50MB(benchmark::State& state) {
    parseWithMemory(state, steamText(50'000'000, "\n"));
}
BENCHMARK(BM_KeyValuesSteamFile50MB)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
