// The overwrite and import against favourites files taken from real game folders.
#include "favourites/FavouritesFormat.h"
#include "favourites/FavouritesImport.h"
#include "tests/favourites/FavouritesTestText.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qm;
using namespace qm::test;

namespace {

// The lines outside every block that starts at a Favorites line (through its closing line).
std::vector<std::string> withoutFavorites(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == kFavoritesLine) {
            while (i < lines.size() && lines[i] != kFirstLevelClose)
                ++i;
            continue;
        }
        kept.push_back(lines[i]);
    }
    return kept;
}

const std::vector<std::string> kList = {"10.0.0.1:27015 cstrike", "127.0.0.1:27016 valve",
                                        "192.168.0.9:27015 "};

} // namespace

TEST(RealFavourites, FixturesAreThere) {
    EXPECT_EQ(vdfFixtures().size(), 6u);
}

TEST(RealFavourites, OverwriteKeepsEveryOtherLineAndWritesTheExactBlock) {
    for (const std::string& path : vdfFixtures()) {
        SCOPED_TRACE(path);
        const std::string source = readAll(path);
        const std::string out = rewritten(source, kList);
        // Every line ends with CR LF now, and nothing but the line ends changed.
        EXPECT_EQ(out.find("\r\n\n"), std::string::npos);
        std::vector<std::string> before = withoutFavorites(linesOf(source));
        std::vector<std::string> after = withoutFavorites(linesOf(out));
        // Most files end with "}" and a NUL line. Where "}" is the very last line and the
        // block goes in before it, the read past it adds one empty line at the end.
        if (source.back() != '\0' && before.back() == "}") before.push_back("");
        EXPECT_EQ(after, before);
        // The new block appears exactly once, in its written form.
        const std::vector<std::string> block = favoritesBlockLines(kList);
        const std::vector<std::string> outLines = linesOf(out);
        const auto at = std::search(outLines.begin(), outLines.end(), block.begin(), block.end());
        ASSERT_NE(at, outLines.end());
        EXPECT_EQ(std::search(at + 1, outLines.end(), block.begin(), block.end()), outLines.end());
    }
}

TEST(RealFavourites, ATrailingNulLineSurvives) {
    const std::string out = rewritten(readAll(fixturePath("vdf/favorites-17-entries.vdf")), {});
    EXPECT_EQ(out.substr(out.size() - 6), std::string("}\r\n\0\r\n", 6));
}

TEST(RealFavourites, ImportReadsTheRealEntries) {
    std::string text = readAll(fixturePath("vdf/favorites-17-entries.vdf"));
    LineCursor in(text);
    const auto entries = readFavoriteEntries(in);
    ASSERT_EQ(entries.size(), 17u);
    for (const std::string& e : entries) {
        EXPECT_NE(e.find(':'), std::string::npos) << e;
        EXPECT_NE(e.find(' '), std::string::npos) << e;
    }
}

TEST(RealFavourites, HistoryIsNotImported) {
    std::string text = readAll(fixturePath("vdf/history-only.vdf"));
    LineCursor in(text);
    EXPECT_TRUE(readFavoriteEntries(in).empty());
    std::string mixed = readAll(fixturePath("vdf/favorites-and-history-utf8.vdf"));
    LineCursor in2(mixed);
    EXPECT_EQ(readFavoriteEntries(in2).size(), 8u);
}

TEST(RealFavourites, OverwriteThenImportGivesTheListBack) {
    for (const std::string& path : vdfFixtures()) {
        SCOPED_TRACE(path);
        const std::string out = rewritten(readAll(path), kList);
        LineCursor in(out);
        EXPECT_EQ(readFavoriteEntries(in), kList);
    }
}
