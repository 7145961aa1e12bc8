// The game folder's favourites: Overwrite keeps every line outside the Favorites blocks,
// and Import reads back exactly what Overwrite wrote.
#include "favourites/FavouritesFormat.h"
#include "favourites/FavouritesImport.h"
#include "favourites/FavouritesOverwrite.h"
#include "fuzz/FuzzCheck.h"
#include "platform/TextFile.h"

using namespace qm;

namespace {

std::vector<std::string> linesOfText(std::string_view text) {
    LineCursor in(text);
    std::vector<std::string> lines;
    while (!in.atEnd())
        lines.push_back(in.readLine());
    return lines;
}

// Entries the file can carry whole: one line, no tab or key text of the file's own.
bool carriable(const std::string& e) {
    return e.find_first_of("\r\n\t\x1A") == std::string::npos && e.find("\"address\"") == std::string::npos &&
           e.find("\"gamedir\"") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [file, list] = fuzz::splitOnce(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> entries;
    for (const std::string& e : fuzz::linesOf(list))
        if (carriable(e)) entries.push_back(e);

    LineCursor in(file);
    std::string out;
    rewriteFavourites(in, entries, [&](std::string_view bytes) { out.append(bytes); });

    // Every line outside an old block is in the new text, in order.
    const std::vector<std::string> before = linesOfText(file);
    const std::vector<std::string> after = linesOfText(out);
    size_t at = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] == kFavoritesLine) {
            while (i < before.size() && before[i] != kFirstLevelClose)
                ++i;
            continue;
        }
        while (at < after.size() && after[at] != before[i])
            ++at;
        QM_FUZZ_CHECK(at < after.size());
        ++at;
    }

    // With exactly one block written, Import gives back the list.
    size_t blocks = 0;
    for (const std::string& l : after)
        blocks += l == kFavoritesLine;
    if (blocks == 1) {
        LineCursor back(out);
        std::vector<std::string> expected;
        for (const std::string& e : entries)
            expected.push_back(e.find(' ') == std::string::npos ? " " + e : e);
        QM_FUZZ_CHECK(readFavoriteEntries(back) == expected);
    }
    return 0;
}
