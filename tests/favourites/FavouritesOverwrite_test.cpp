#include "favourites/FavouritesFormat.h"
#include "favourites/FavouritesImport.h"
#include "tests/favourites/FavouritesTestText.h"
#include "tests/favourites/ServerBrowserText.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::test;

namespace {

const std::string kEmptyBlock = "\t\"Favorites\"\r\n\t{\r\n\t}\r\n";

std::string entryBlock(int k, const std::string& address, const std::string& gameDir) {
    return "\t\t\"" + std::to_string(k) + "\"\r\n\t\t{\r\n" + "\t\t\t\"name\"\t\t\"\"\r\n" +
           "\t\t\t\"gamedir\"\t\t\"" + gameDir + "\"\r\n" + "\t\t\t\"Players\"\t\t\"\"\r\n" +
           "\t\t\t\"maxplayers\"\t\t\"\"\r\n" + "\t\t\t\"map\"\t\t\"\"\r\n" + "\t\t\t\"address\"\t\t\"" +
           address + "\"\r\n" + "\t\t\t\"lastplayed\"\t\t\"\"\r\n" + "\t\t}\r\n";
}

} // namespace

TEST(FavouritesBlock, WritesEveryEntryNumberedFromOne) {
    const std::string out =
        rewritten("\t\"Favorites\"\n\t{\n\t}\n}\n", {"10.0.0.1:27015 cstrike", "10.0.0.2:27016 valve"});
    EXPECT_EQ(out, "\t\"Favorites\"\r\n\t{\r\n" + entryBlock(1, "10.0.0.1:27015", "cstrike") +
                       entryBlock(2, "10.0.0.2:27016", "valve") + "\t}\r\n}\r\n");
}

TEST(FavouritesBlock, EmptyListWritesTheEmptyBlock) {
    EXPECT_EQ(rewritten("\"Filters\"\n{\n\t\"Favorites\"\n\t{\n\t\t\"1\"\n\t}\n}\n", {}),
              "\"Filters\"\r\n{\r\n" + kEmptyBlock + "}\r\n");
}

TEST(FavouritesBlock, KeepsBlanksInTheGameDirAndWritesNothingEscaped) {
    const auto lines = favoritesBlockLines({"1.2.3.4:5 my \"mod\" dir", "1.2.3.4:6 "});
    EXPECT_EQ(lines[5], "\t\t\t\"gamedir\"\t\t\"my \"mod\" dir\"");
    EXPECT_EQ(lines[15], "\t\t\t\"gamedir\"\t\t\"\"");
}

TEST(FavouritesBlock, EntryWithoutABlankIsAllGameDir) {
    const auto lines = favoritesBlockLines({"1.2.3.4:5"});
    EXPECT_EQ(lines[5], "\t\t\t\"gamedir\"\t\t\"1.2.3.4:5\"");
    EXPECT_EQ(lines[9], "\t\t\t\"address\"\t\t\"\"");
}

TEST(FavouritesRewrite, LastLineIsTheClosingLineGivesOneExtraEmptyLine) {
    EXPECT_EQ(rewritten("x\n\t\"Favorites\"\n\t{\n\t}", {}), "x\r\n" + kEmptyBlock + "\r\n");
}

TEST(FavouritesRewrite, BlockLastInTheTopLevelBlockKeepsTheShape) {
    EXPECT_EQ(rewritten("\"F\"\n{\n\t\"Favorites\"\n\t{\n\t}\n}\nafter\n", {}),
              "\"F\"\r\n{\r\n" + kEmptyBlock + "}\r\nafter\r\n");
}

TEST(FavouritesRewrite, WithoutFavoritesInsertsBeforeEachExaminedTopLevelClose) {
    EXPECT_EQ(rewritten("a\n}\nb\n}\nc\n", {}),
              "a\r\n" + kEmptyBlock + "}\r\nb\r\n" + kEmptyBlock + "}\r\nc\r\n");
    // A second "}" right after the first is the unexamined line and only copied.
    EXPECT_EQ(rewritten("a\n}\n}\nc\n", {}), "a\r\n" + kEmptyBlock + "}\r\n}\r\nc\r\n");
}

TEST(FavouritesRewrite, TopLevelCloseAsLastLineGivesOneExtraEmptyLine) {
    EXPECT_EQ(rewritten("a\n}", {}), "a\r\n" + kEmptyBlock + "}\r\n\r\n");
}

TEST(FavouritesRewrite, ReplacesEachOfTwoBlocks) {
    const std::string out = rewritten(
        "\t\"Favorites\"\n\t{\n\t}\nmid\n\t\"Favorites\"\n\t{\n\t\t\"9\"\n\t}\nend\n", {"1.1.1.1:1 a"});
    const std::string block = "\t\"Favorites\"\r\n\t{\r\n" + entryBlock(1, "1.1.1.1:1", "a") + "\t}\r\n";
    EXPECT_EQ(out, block + "mid\r\n" + block + "end\r\n");
}

TEST(FavouritesRewrite, FavoritesLineRightAfterAReplacedBlockIsCopied) {
    const std::string out =
        rewritten("\t\"Favorites\"\n\t{\n\t}\n\t\"Favorites\"\n\t{\n\t\t\"9\"\n\t}\n}\n", {});
    EXPECT_EQ(out, kEmptyBlock + "\t\"Favorites\"\r\n\t{\r\n\t\t\"9\"\r\n\t}\r\n}\r\n");
}

TEST(FavouritesRewrite, LinesWithOtherIndentationOrTrailingBlanksAreCopied) {
    const std::string src = "\t\"Favorites\" \n\t{\n\t}\n  }\n\"Favorites\"\n";
    EXPECT_EQ(rewritten(src, {}), "\t\"Favorites\" \r\n\t{\r\n\t}\r\n  }\r\n\"Favorites\"\r\n");
}

TEST(FavouritesRewrite, FileCutShortInsideTheBlockStillEnds) {
    EXPECT_EQ(rewritten("head\n\t\"Favorites\"\n\t{\n\t\t\"1\"\n", {}), "head\r\n" + kEmptyBlock + "\r\n");
}

TEST(FavouritesImportReader, PairsEachAddressWithTheGameDirBeforeIt) {
    LineCursor in(
        "\t\"Favorites\"\n\t{\n\t\t\t\"address\"\t\t\"1.1.1.1:1\"\n\t\t\t\"gamedir\"\t\t\"cstrike\"\n"
        "\t\t\t\"address\"\t\t\"2.2.2.2:2\"\n\t\t\t\"address\"\t\t\"3.3.3.3:3\"\n\t}\n");
    EXPECT_EQ(readFavoriteEntries(in),
              (std::vector<std::string>{"1.1.1.1:1 ", "2.2.2.2:2 cstrike", "3.3.3.3:3 cstrike"}));
}

TEST(FavouritesImportReader, CutsValuesByPosition) {
    LineCursor in(
        "\t\"Favorites\"\n\t{\n\t\t\t\"gamedir\"\t\t\"valve\"  \n\t\t\t\"address\"\t\t\"1.1.1.1:1\"\n"
        "\t\t\t\"address\"\t\"9.9.9.9:9\"\n\t\t\t\"Address\"\t\t\"8.8.8.8:8\"\n\t\t\t\"address\"\t\t\"\n\t}"
        "\n");
    EXPECT_EQ(readFavoriteEntries(in), (std::vector<std::string>{"1.1.1.1:1 valve\" ", " valve\" "}));
}

TEST(FavouritesImportReader, ReadsEveryBlockAndKeepsTheGameDirAcrossBlocks) {
    LineCursor in("\t\"Favorites\"\n\t{\n\t\t\t\"gamedir\"\t\t\"dod\"\n\t}\n"
                  "\t\"History\"\n\t{\n\t\t\t\"address\"\t\t\"7.7.7.7:7\"\n\t}\n"
                  "\t\"Favorites\"\n\t{\n\t\t\t\"address\"\t\t\"1.1.1.1:1\"\n\t}\n");
    EXPECT_EQ(readFavoriteEntries(in), std::vector<std::string>{"1.1.1.1:1 dod"});
}

TEST(FavouritesImportReader, FileCutShortInsideTheBlockStops) {
    LineCursor in("\t\"Favorites\"\n\t{\n\t\t\t\"address\"\t\t\"1.1.1.1:1\"\n");
    EXPECT_EQ(readFavoriteEntries(in), std::vector<std::string>{"1.1.1.1:1 "});
}

TEST(FavouritesImportReader, NeedsTheExactFavoritesLine) {
    LineCursor in("  \"Favorites\"\n\t{\n\t\t\t\"address\"\t\t\"1.1.1.1:1\"\n\t}\n");
    EXPECT_TRUE(readFavoriteEntries(in).empty());
}

TEST(FavouritesRoundTrip, OverwriteThenImportGivesTheListBack) {
    const std::vector<std::string> entries = {"10.0.0.1:27015 cstrike", "10.0.0.2:27015 ",
                                              "10.0.0.3:27015 a b", "bare"};
    const std::string out = rewritten("\"Filters\"\n{\n}\n", entries);
    LineCursor in(out);
    EXPECT_EQ(readFavoriteEntries(in), (std::vector<std::string>{"10.0.0.1:27015 cstrike", "10.0.0.2:27015 ",
                                                                 "10.0.0.3:27015 a b", " bare"}));
}

class FavouritesFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() + "platform/config");
        writeAll(dir.file("hl.exe"), "");
    }
    std::string location() const { return dir.path() + "hl.exe"; }
    std::string favourites() const { return dir.path() + "platform/config/ServerBrowser.vdf"; }
    TempDir dir;
};

TEST_F(FavouritesFiles, OverwriteReplacesTheFileAndLeavesNoTemporary) {
    writeAll(favourites(), "\"Filters\"\n{\n}\n");
    const Outcome r = overwriteFavourites(location(), {});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.status, "Favourites were overwritten. You can start CS now.");
    // The top-level "}" was the last line, so the unexamined read past it adds one empty line.
    EXPECT_EQ(readAll(favourites()), "\"Filters\"\r\n{\r\n" + kEmptyBlock + "}\r\n\r\n");
    EXPECT_EQ(filesIn(dir.path() + "platform/config"), std::vector<std::string>{"ServerBrowser.vdf"});
}

TEST_F(FavouritesFiles, MissingFavouritesFileTouchesNothing) {
    writeAll(dir.path() + "platform/config/NewServerBrowser.vdf", "keep");
    const Outcome r = overwriteFavourites(location(), {"1.1.1.1:1 a"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Cannot find file. May be path to CS is incorrect.");
    EXPECT_EQ(r.status, "Favourites were not overwritten.");
    EXPECT_EQ(readAll(dir.path() + "platform/config/NewServerBrowser.vdf"), "keep");
    EXPECT_EQ(filesIn(dir.path() + "platform/config"), std::vector<std::string>{"NewServerBrowser.vdf"});
}

TEST_F(FavouritesFiles, FailedReplacementKeepsTheOldFileAndSaysSo) {
    writeAll(favourites(), "\"Filters\"\n{\n}\n");
    setReadOnly(favourites(), true);
    const Outcome r = overwriteFavourites(location(), {"1.1.1.1:1 a"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, "Favourites were not overwritten.");
    EXPECT_EQ(readAll(favourites()), "\"Filters\"\n{\n}\n");
    // The failed attempt leaves no temporary file behind.
    EXPECT_EQ(filesIn(dir.path() + "platform/config"), std::vector<std::string>{"ServerBrowser.vdf"});
}

TEST_F(FavouritesFiles, ReadOnlyFolderKeepsTheOldFile) {
    QM_SKIP_UNLESS_SYSTEM_HAS(UnixFileModes);
    writeAll(favourites(), "\"Filters\"\n{\n}\n");
    setReadOnly(dir.path() + "platform/config", true);
    const Outcome r = overwriteFavourites(location(), {"1.1.1.1:1 a"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(readAll(favourites()), "\"Filters\"\n{\n}\n");
}

TEST_F(FavouritesFiles, ImportRefusedWithoutTheGame) {
    const FavouritesImport r = importFavourites(location(), false);
    EXPECT_EQ(r.outcome.status, "Error: can't find 'hl.exe'");
    EXPECT_TRUE(r.outcome.message.empty());
    EXPECT_FALSE(r.counted);
}

TEST_F(FavouritesFiles, ImportOfAMissingFileFails) {
    const FavouritesImport r = importFavourites(location(), true);
    EXPECT_EQ(r.outcome.message, "Error 1304A");
    EXPECT_EQ(r.outcome.status, "Favourites were not imported");
    EXPECT_FALSE(r.counted);
}

TEST_F(FavouritesFiles, TheRevFileBesideTheGameIsReadAndWrittenToo) {
    writeAll(favourites(), "\"Filters\"\n{\n}\n");
    std::filesystem::create_directories(dir.path() + "config");
    const std::string rev = dir.path() + "config/rev_ServerBrowser.vdf";
    const std::string real = readAll(fixturePath("vdf/rev-dialect-17-entries.vdf"));
    writeAll(rev, real);

    const FavouritesImport imported = importFavourites(location(), true);
    EXPECT_TRUE(imported.outcome.message.empty());
    ASSERT_EQ(imported.entries.size(), 17u);
    EXPECT_EQ(imported.entries[0], "5.63.10.195:27015 cstrike");

    const Outcome r = overwriteFavourites(location(), {"10.0.0.1:27015 valve", "not an address"});
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(favouriteAddresses(readAll(rev)), std::vector<std::string>{"10.0.0.1:27015"});
    EXPECT_EQ(splitAtFavourites(readAll(rev)).after, splitAtFavourites(real).after);

    // A rev_ file that cannot be read says so and stays; the game's own file is written.
    writeAll(rev, "\"filters\"\n{\n");
    const Outcome broken = overwriteFavourites(location(), {"10.0.0.2:27015 valve"});
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.status, "Favourites were overwritten, but not in config\\rev_ServerBrowser.vdf.");
    EXPECT_NE(broken.message.find("the text ends inside the block \"filters\""), std::string::npos);
    EXPECT_EQ(readAll(rev), "\"filters\"\n{\n");
    EXPECT_NE(readAll(favourites()).find("10.0.0.2:27015"), std::string::npos);
    EXPECT_NE(importFavourites(location(), true).outcome.message.find("Its favourites were not imported"),
              std::string::npos);
}
