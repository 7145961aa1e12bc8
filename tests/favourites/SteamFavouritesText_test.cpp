// Steam's favourites and the rev_ builds' favourites, read and rewritten over the real
// files of both dialects.
#include "favourites/RevFavourites.h"
#include "favourites/SteamFavouritesText.h"
#include "tests/favourites/ServerBrowserText.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace qm;
using namespace qm::test;

namespace {

std::vector<std::string> steamFixtures() {
    return vdfFixturesIn("steamvdf");
}
const std::string kRevFixture = "vdf/rev-dialect-17-entries.vdf";

std::vector<std::string> addressesOf(const std::vector<std::string>& entries) {
    std::vector<std::string> addresses;
    for (const std::string& e : entries)
        addresses.push_back(e.substr(0, e.find(' ')));
    return addresses;
}

struct NumberedEntry {
    long long number;
    std::string address;
};

// Every entry of a text with its number, read line by line: the last "\t\t"N"" line
// before each address line numbers it.
std::vector<NumberedEntry> numberedEntries(const std::string& text) {
    std::vector<NumberedEntry> entries;
    long long number = -1;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t nl = std::min(text.find('\n', pos), text.size());
        const std::string line = text.substr(pos, nl - pos);
        if (line.size() > 4 && line.rfind("\t\t\"", 0) == 0 && line[3] != 'a' && line.back() == '"' &&
            line.find_first_not_of("0123456789", 3) == line.size() - 1)
            number = std::stoll(line.substr(3, line.size() - 4));
        if (line.find("\"address\"") != std::string::npos)
            entries.push_back({number, valuesOfKey(line, "address").front()});
        pos = nl + 1;
    }
    return entries;
}

std::map<std::string, long long> firstNumberByAddress(const std::string& text) {
    std::map<std::string, long long> numbers;
    for (const NumberedEntry& e : numberedEntries(text))
        numbers.emplace(e.address, e.number);
    return numbers;
}

std::vector<std::string> newServers(size_t n) {
    std::vector<std::string> entries;
    for (size_t i = 0; i < n; ++i)
        entries.push_back("127.0.0." + std::to_string(i + 1) + ":270" + std::to_string(10 + i) + " cstrike");
    return entries;
}

} // namespace

TEST(SteamFavouritesText, ImportGivesExactlyTheFavouritesAndOverwritingThemChangesNoByte) {
    for (const std::string& path : steamFixtures()) {
        SCOPED_TRACE(path);
        const std::string text = readAll(path);
        const std::vector<std::string> entries = steamFavouriteEntries(text, "cstrike");
        EXPECT_EQ(addressesOf(entries), favouriteAddresses(text));
        // Every real entry has app id 0, so the fallback names the game of all of them.
        for (const std::string& e : entries)
            EXPECT_EQ(e.substr(e.find(' ')), " cstrike");
        // The list holds them sorted by text, not in file order.
        std::vector<std::string> listed = entries;
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(rewriteSteamFavourites(text, selectFavourites(listed)), text);
    }
}

TEST(SteamFavouritesText, RewrittenListsReadBackAndLeaveEverythingElseAsItWas) {
    for (const std::string& path : steamFixtures()) {
        const std::string text = readAll(path);
        const std::vector<std::string> favourites = steamFavouriteEntries(text, "cstrike");
        std::vector<std::string> historyOnly;
        const std::vector<std::string> favouriteList = favouriteAddresses(text);
        const std::set<std::string> favouriteSet(favouriteList.begin(), favouriteList.end());
        for (const NumberedEntry& e : numberedEntries(text))
            if (!favouriteSet.count(e.address)) historyOnly.push_back(e.address + " valve");
        const std::vector<std::string> twenty = newServers(20);

        const struct {
            const char* what;
            std::vector<std::string> list;
        } cases[] = {
            {"half", {favourites.begin(), favourites.begin() + favourites.size() / 2}},
            {"with 20 new",
             [&] {
                 std::vector<std::string> l = twenty;
                 l.insert(l.end(), favourites.begin(), favourites.end());
                 return l;
             }()},
            {"empty", {}},
            {"from history", historyOnly},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(path + ": " + c.what);
            const std::string out = rewriteSteamFavourites(text, selectFavourites(c.list));
            EXPECT_EQ(splitAtFavourites(out).before, splitAtFavourites(text).before);
            EXPECT_EQ(splitAtFavourites(out).after, splitAtFavourites(text).after);

            const std::vector<std::string> back = addressesOf(steamFavouriteEntries(out, "cstrike"));
            const std::set<std::string> backSet(back.begin(), back.end());
            const std::vector<std::string> wanted = addressesOf(c.list);
            EXPECT_EQ(backSet, std::set<std::string>(wanted.begin(), wanted.end()));
            EXPECT_EQ(back.size(), backSet.size());

            // Known servers keep their numbers; new ones count on from the highest.
            const std::map<std::string, long long> before = firstNumberByAddress(text);
            long long highest = 0;
            for (const auto& [address, number] : before)
                highest = std::max(highest, number);
            std::set<long long> newNumbers;
            long long previous = -1;
            for (const NumberedEntry& e : numberedEntries(splitAtFavourites(out).block)) {
                EXPECT_GT(e.number, previous) << "ascending";
                previous = e.number;
                const auto known = before.find(e.address);
                if (known != before.end())
                    EXPECT_EQ(e.number, known->second) << e.address;
                else
                    EXPECT_GT(e.number, highest) << e.address;
            }
        }
    }
}

TEST(SteamFavouritesText, NewEntriesTakeSteamsFormAndTheAppIdNamesTheGame) {
    const std::string text = std::string(emptySteamFavouritesText());
    const std::string out = rewriteSteamFavourites(text, selectFavourites({"10.0.0.1:27015 cstrike"}));
    EXPECT_EQ(out, "\"Filters\"\n{\n\t\"favorites\"\n\t{\n\t\t\"1\"\n\t\t{\n"
                   "\t\t\t\"name\"\t\t\"10.0.0.1:27015\"\n\t\t\t\"address\"\t\t\"10.0.0.1:27015\"\n"
                   "\t\t\t\"LastPlayed\"\t\t\"0\"\n\t\t\t\"appid\"\t\t\"0\"\n\t\t\t\"accountid\"\t\t\"0\"\n"
                   "\t\t}\n\t}\n\t\"history\"\n\t{\n\t}\n}\n");

    const std::string games =
        "\"Filters\"\n{\n\t\"favorites\"\n\t{\n"
        "\t\t\"1\"\n\t\t{\n\t\t\t\"address\"\t\t\"1.1.1.1:1\"\n\t\t\t\"appid\"\t\t\"70\"\n\t\t}\n"
        "\t\t\"2\"\n\t\t{\n\t\t\t\"address\"\t\t\"1.1.1.2:1\"\n\t\t\t\"appid\"\t\t\"130\"\n\t\t}\n"
        "\t\t\"3\"\n\t\t{\n\t\t\t\"address\"\t\t\"1.1.1.3:1\"\n\t\t\t\"appid\"\t\t\"240\"\n\t\t}\n"
        "\t}\n}\n";
    EXPECT_EQ(steamFavouriteEntries(games, "dod"),
              (std::vector<std::string>{"1.1.1.1:1 valve", "1.1.1.2:1 bshift", "1.1.1.3:1 dod"}));
}

TEST(SteamFavouritesText, AFileWithoutFavouritesGetsThemAsTheFirstBlock) {
    const std::string text = "\"Filters\"\n{\n\t\"history\"\n\t{\n\t}\n\t\"lastupdate\"\t\t\"1\"\n}\n";
    const std::string out = rewriteSteamFavourites(text, selectFavourites({"10.0.0.1:27015 x"}));
    EXPECT_EQ(out.rfind("\"Filters\"\n{\n\t\"favorites\"\n\t{\n\t\t\"1\"\n", 0), 0u) << out;
    EXPECT_NE(out.find("\t}\n\t\"history\"\n\t{\n\t}\n\t\"lastupdate\"\t\t\"1\"\n}\n"), std::string::npos);
    EXPECT_EQ(favouriteAddresses(out), std::vector<std::string>{"10.0.0.1:27015"});
}

TEST(FavouriteSelection, OnePerAddressAndOnlyDottedIpv4WithAPort) {
    const FavouriteSelection s =
        selectFavourites({"10.0.0.1:27015 cstrike", "10.0.0.1:27015 valve", "host.example:27015 cstrike",
                          "10.0.0.256:1 x", "10.0.0.2 x", "10.0.0.3:0 x", "10.0.0.3:65536 x",
                          "010.0.0.3:65535 x", "1.2.3.4:5:6 x", "1.2.3.4:27015"});
    ASSERT_EQ(s.servers.size(), 3u);
    EXPECT_EQ(s.servers[0].gameDir, "cstrike");
    EXPECT_EQ(s.servers[1].address, "010.0.0.3:65535");
    EXPECT_EQ(s.servers[2].address, "1.2.3.4:27015");
    EXPECT_EQ(s.servers[2].gameDir, "");
    EXPECT_EQ(s.duplicates, 1u);
    EXPECT_EQ(s.invalid, 6u);
    EXPECT_EQ(selectionSummary(s), "3 written, 1 repeated left out, 6 without an IPv4 address left out");
}

TEST(RevFavourites, ImportAndOverwriteOfTheRealFile) {
    const std::string text = readAll(fixturePath(kRevFixture));
    const std::vector<std::string> entries = revFavouriteEntries(text);
    ASSERT_EQ(entries.size(), 17u);
    EXPECT_EQ(addressesOf(entries), favouriteAddresses(text));
    EXPECT_EQ(entries.front(), "5.63.10.195:27015 cstrike");
    std::vector<std::string> listed = entries;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(rewriteRevFavourites(text, selectFavourites(listed)), text);

    // Half of them kept and three new: renumbered from 0, names and times kept, the new
    // ones after them in the dialect's own form, the history as it was.
    std::vector<std::string> list(entries.begin() + 8, entries.end());
    list[0] = list[0].substr(0, list[0].find(' ')) + " czero";
    for (const std::string& e : newServers(3))
        list.push_back(e);
    const std::string out = rewriteRevFavourites(text, selectFavourites(list));
    EXPECT_EQ(splitAtFavourites(out).before, splitAtFavourites(text).before);
    EXPECT_EQ(splitAtFavourites(out).after, splitAtFavourites(text).after);
    const std::string block = splitAtFavourites(out).block;
    const std::vector<NumberedEntry> numbered = numberedEntries(block);
    ASSERT_EQ(numbered.size(), 12u);
    for (size_t i = 0; i < numbered.size(); ++i)
        EXPECT_EQ(numbered[i].number, static_cast<long long>(i));
    EXPECT_EQ(valuesOfKey(block, "name")[0], valuesOfKey(splitAtFavourites(text).block, "name")[8]);
    EXPECT_EQ(valuesOfKey(block, "gamedir")[0], "czero");
    EXPECT_NE(block.find("\t\t\"11\"\n\t\t{\n\t\t\t\"name\"\t\t\"127.0.0.3:27012\"\n\t\t\t\"address\"\t\"127."
                         "0.0.3:27012\"\n"
                         "\t\t\t\"lastplayed\"\t\"0\"\n\t\t\t\"appID\"\t\t\"0\"\n\t\t\t\"gamedir\"\t\t\"cstri"
                         "ke\"\n\t\t}\n\n"),
              std::string::npos);
    EXPECT_EQ(addressesOf(revFavouriteEntries(out)), addressesOf(list));
}

// Found by fuzzing: keys on the brace's own line. The new entries start on a line of their
// own, and every byte before and after the old keys stays.
TEST(SteamFavouritesText, KeysOnTheBracesLineAreReplacedAndTheRestStays) {
    const std::string text = "\"Filters\"\n{\n\t\"favorites\"\n\t{ \"1\" { \"address\" \"1.1.1.1:1\" } "
                             "}\n\t\"history\"\n\t{\n\t}\n}\n";
    const std::string out = rewriteSteamFavourites(text, selectFavourites({"2.2.2.2:2 x"}));
    EXPECT_EQ(out.rfind("\"Filters\"\n{\n\t\"favorites\"\n\t{\n\t\t\"2\"\n", 0), 0u) << out;
    EXPECT_NE(out.find("\t\t}\n}\n\t\"history\"\n\t{\n\t}\n}\n"), std::string::npos) << out;
    EXPECT_EQ(addressesOf(steamFavouriteEntries(out, "x")), std::vector<std::string>{"2.2.2.2:2"});

    // Emptied, keys on the brace's line and the closing brace on its own (found by
    // fuzzing): the braces keep their lines, and Overwrite of that changes no byte.
    const std::string braced = "\"Filters\"\n{\n\t\"favorites\"\n\t{\t\t\"0\"\n\t\t{\n\t\t\t\"address\"\t\t"
                               "\"1.2.3.4:27015\"\n\t\t}\n\t}\n}\n";
    const std::string emptied = rewriteSteamFavourites(braced, selectFavourites({}));
    EXPECT_EQ(emptied, "\"Filters\"\n{\n\t\"favorites\"\n\t{\n\t}\n}\n");
    EXPECT_EQ(rewriteSteamFavourites(emptied, selectFavourites({})), emptied);
}
