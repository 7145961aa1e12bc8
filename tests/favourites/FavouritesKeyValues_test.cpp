// The favourites files' rewrites through the KeyValues reader: a byte-order mark, escaped
// names, the files' own spelling of keys, entry numbers and list texts written escaped.
#include "favourites/RevFavourites.h"
#include "favourites/SteamFavouritesText.h"
#include "keyvalues/KeyValues.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::string steamFile(const std::string& favourites, const std::string& history = "") {
    return "\"Filters\"\n{\n\t\"favorites\"\n\t{\n" + favourites + "\t}\n\t\"history\"\n\t{\n" + history +
           "\t}\n}\n";
}

std::string steamEntry(const std::string& number, const std::string& address,
                       const std::string& accountKey = "accountid") {
    return "\t\t\"" + number + "\"\n\t\t{\n\t\t\t\"name\"\t\t\"" + address + "\"\n\t\t\t\"address\"\t\t\"" +
           address + "\"\n\t\t\t\"LastPlayed\"\t\t\"5\"\n\t\t\t\"appid\"\t\t\"0\"\n\t\t\t\"" + accountKey +
           "\"\t\t\"0\"\n\t\t}\n";
}

std::string revEntry(const std::string& number, const std::string& name, const std::string& address,
                     const std::string& lastPlayed) {
    return "\t\t\"" + number + "\"\n\t\t{\n\t\t\t\"name\"\t\t\"" + name + "\"\n\t\t\t\"address\"\t\"" +
           address + "\"\n\t\t\t\"lastplayed\"\t\"" + lastPlayed +
           "\"\n\t\t\t\"appID\"\t\t\"10\"\n\t\t\t\"gamedir\"\t\t\"cstrike\"\n\t\t}\n\n";
}

std::string revFile(const std::string& favourites, const std::string& history) {
    return "\"filters\"\n{\n\t\"favorites\"\n\t{\n" + favourites + "\t}\n\n\t\"history\"\n\t{\n" + history +
           "\t}\n\n}\n";
}

} // namespace

TEST(FavouritesKeyValues, AByteOrderMarkIsReadAndKept) {
    const std::string text = kBom + steamFile(steamEntry("1", "1.1.1.1:1"));
    const std::vector<std::string> entries = steamFavouriteEntries(text, "cstrike");
    EXPECT_EQ(entries, std::vector<std::string>{"1.1.1.1:1 cstrike"});
    EXPECT_EQ(rewriteSteamFavourites(text, selectFavourites(entries)), text);
    const std::string more = rewriteSteamFavourites(text, selectFavourites({"1.1.1.1:1 x", "2.2.2.2:2 x"}));
    EXPECT_EQ(more.rfind(kBom + "\"Filters\"\n", 0), 0u);
}

TEST(FavouritesKeyValues, RevOverwriteWithWhatImportReadKeepsEscapedNames) {
    const std::string text = revFile(revEntry("0", R"(ASia \"TOP\" Server)", "1.2.3.4:27015", "77"), "");
    EXPECT_EQ(rewriteRevFavourites(text, selectFavourites(revFavouriteEntries(text))), text);
}

TEST(FavouritesKeyValues, RevHistoryServerBecomingAFavouriteKeepsItsNameAndTime) {
    const std::string text = revFile("", revEntry("0", "Old place", "5.6.7.8:27015", "1700000000"));
    const std::string out = rewriteRevFavourites(text, selectFavourites({"5.6.7.8:27015 cstrike"}));
    const std::string written = revEntry("0", "Old place", "5.6.7.8:27015", "1700000000");
    EXPECT_NE(out.find("\t\"favorites\"\n\t{\n" + written + "\t}\n"), std::string::npos) << out;
}

TEST(FavouritesKeyValues, NewSteamEntriesFollowTheFilesSpellingOfEachKey) {
    const std::string text = steamFile(steamEntry("1", "1.1.1.1:1", "AccountID"));
    const std::string out = rewriteSteamFavourites(text, selectFavourites({"1.1.1.1:1 x", "2.2.2.2:2 x"}));
    EXPECT_NE(out.find(steamEntry("2", "2.2.2.2:2", "AccountID").substr(0, 60)), std::string::npos) << out;
    EXPECT_EQ(out.find("\"accountid\""), std::string::npos) << out;
    const std::string plain = rewriteSteamFavourites(steamFile(""), selectFavourites({"2.2.2.2:2 x"}));
    EXPECT_NE(plain.find("\"accountid\""), std::string::npos) << plain;
}

// Numbers past 18 digits were not counted when the next one was chosen, so a new entry
// could take the number of one already there.
TEST(FavouritesKeyValues, EntryNumbersOutOfReachRefuseTheRewrite) {
    const std::string longKey = "1000000000000000000";
    const std::string nearEnd = "999999999999999999";
    for (const std::string& text :
         {steamFile(steamEntry("999999999999999999", "1.1.1.1:1"), steamEntry(longKey, "3.3.3.3:3")),
          steamFile(steamEntry(nearEnd, "1.1.1.1:1"))}) {
        try {
            rewriteSteamFavourites(text, selectFavourites({"1.1.1.1:1 x", "2.2.2.2:2 x"}));
            ADD_FAILURE() << "a rewrite that could repeat a number must be refused";
        } catch (const KeyValuesError& e) {
            EXPECT_NE(std::string(e.what()).find("18 digits"), std::string::npos) << e.what();
        }
    }
    // Kept entries alone need no new number.
    const std::string full = steamFile(steamEntry(nearEnd, "1.1.1.1:1"));
    EXPECT_EQ(rewriteSteamFavourites(full, selectFavourites({"1.1.1.1:1 x"})), full);
}

// A game directory of the list with a quote or a backslash once broke the file it was
// written into; it is written escaped and reads back as it was.
TEST(FavouritesKeyValues, ListTextsWithQuotesAndBackslashesAreWrittenEscaped) {
    const std::string text = revFile("", "");
    for (const std::string gameDir : {"a\"b", "end\\", "\\\"both\\\""}) {
        const std::string entry = "1.2.3.4:27015 " + gameDir;
        const std::string out = rewriteRevFavourites(text, selectFavourites({entry}));
        EXPECT_EQ(revFavouriteEntries(out), std::vector<std::string>{entry}) << out;
        EXPECT_EQ(rewriteRevFavourites(out, selectFavourites(revFavouriteEntries(out))), out);
    }
}
