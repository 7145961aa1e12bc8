// Steam's favourites file and the rev_ builds' file: a text that reads gives a rewrite
// that reads again, with exactly the chosen servers and every byte outside the block
// kept, and that Import then Overwrite leaves byte for byte as it is.
#include "favourites/FavouriteSelection.h"
#include "favourites/RevFavourites.h"
#include "favourites/ServerBrowserLists.h"
#include "favourites/SteamFavouritesText.h"
#include "fuzz/FuzzCheck.h"
#include "keyvalues/KeyValues.h"

#include <algorithm>
#include <set>

using namespace qm;

namespace {

std::set<std::string> addressesOf(const std::vector<std::string>& entries) {
    std::set<std::string> a;
    for (const std::string& e : entries)
        a.insert(e.substr(0, e.find(' ')));
    return a;
}

std::set<std::string> addressesOf(const FavouriteSelection& s) {
    std::set<std::string> a;
    for (const SelectedServer& server : s.servers)
        a.insert(server.address);
    return a;
}

// The bytes before and after the favourites block's keys.
std::pair<std::string, std::string> outside(std::string_view text) {
    const ServerBrowserLists lists = findServerBrowserLists(text);
    if (!lists.favorites) return {};
    return {std::string(text.substr(0, blockContentBegin(text, *lists.favorites))),
            std::string(text.substr(blockContentEnd(text, *lists.favorites)))};
}

template <class Read, class Rewrite>
void checkDialect(std::string_view text, const std::vector<std::string>& list, Read read, Rewrite rewrite) {
    std::vector<std::string> entries;
    try {
        entries = read(text);
    } catch (const KeyValuesError&) {
        // What does not read is refused by the writer too, and the file stays.
        bool refused = false;
        try {
            rewrite(text, selectFavourites(list));
        } catch (const KeyValuesError&) {
            refused = true;
        }
        QM_FUZZ_CHECK(refused);
        return;
    }
    const std::vector<std::string>& readBack = entries;
    for (const std::vector<std::string>* chosen : {&readBack, &list}) {
        const FavouriteSelection selection = selectFavourites(*chosen);
        std::string out;
        try {
            out = rewrite(text, selection);
        } catch (const KeyValuesError& e) {
            // Only entry numbers past reach refuse a text that reads; it is left as it was.
            QM_FUZZ_CHECK(std::string(e.what()).find("18 digits") != std::string::npos);
            continue;
        }
        QM_FUZZ_CHECK(addressesOf(read(out)) == addressesOf(selection));
        // Every byte before and after the old block's keys is still there around the new
        // ones (a line end may come between a brace and the first new key).
        const auto [head, tail] = outside(text);
        QM_FUZZ_CHECK(out.compare(0, head.size(), head) == 0);
        QM_FUZZ_CHECK(out.size() >= tail.size() &&
                      out.compare(out.size() - tail.size(), tail.size(), tail) == 0);
        // A file Overwrite wrote is one whose Import, overwritten again, changes no byte
        // (real files are too: the tests hold them to it).
        QM_FUZZ_CHECK(rewrite(out, selectFavourites(read(out))) == out);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [text, listText] =
        fuzz::splitOnce(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<std::string> list = fuzz::linesOf(listText);
    checkDialect(
        text, list, [](std::string_view t) { return steamFavouriteEntries(t, "cstrike"); },
        [](std::string_view t, const FavouriteSelection& s) { return rewriteSteamFavourites(t, s); });
    checkDialect(
        text, list, [](std::string_view t) { return revFavouriteEntries(t); },
        [](std::string_view t, const FavouriteSelection& s) { return rewriteRevFavourites(t, s); });
    return 0;
}
