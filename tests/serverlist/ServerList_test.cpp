#include "serverlist/Collation.h"
#include "serverlist/ServerEntry.h"
#include "serverlist/ServerList.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qm;

namespace {

std::vector<bool> marks(const ServerList& list) {
    std::vector<bool> m;
    for (size_t i = 0; i < list.count(); ++i)
        m.push_back(list.isChecked(i));
    return m;
}

} // namespace

TEST(ServerListOrder, ComparesTextNotNumbers) {
    ServerList list;
    list.addIfAbsent("9.0.0.1:27015 cstrike");
    list.addIfAbsent("10.0.0.5:27015 cstrike");
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"10.0.0.5:27015 cstrike", "9.0.0.1:27015 cstrike"}));
}

TEST(ServerListOrder, IgnoresLetterCase) {
    ServerList list;
    list.addIfAbsent("1.1.1.1:1 b");
    list.addIfAbsent("1.1.1.1:1 A");
    list.addIfAbsent("1.1.1.1:1 c");
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"1.1.1.1:1 A", "1.1.1.1:1 b", "1.1.1.1:1 c"}));
}

TEST(ServerListAdd, ExactDuplicateIsNotAdded) {
    ServerList list;
    list.addIfAbsent("10.0.0.5:27015 cstrike");
    list.addIfAbsent("10.0.0.5:27015 cstrike");
    EXPECT_EQ(list.count(), 1u);
}

TEST(ServerListAdd, DuplicateTestHonoursCaseButCheckEntryDoesNot) {
    ServerList list;
    list.addIfAbsent("10.0.0.5:27015 cstrike");
    list.addIfAbsent("10.0.0.5:27015 CStrike");
    list.checkEntry("10.0.0.5:27015 CStrike");
    ASSERT_EQ(list.count(), 2u);
    // The older entry comes first among case-equal ones and takes the mark.
    EXPECT_EQ(list.text(0), "10.0.0.5:27015 cstrike");
    EXPECT_EQ(marks(list), (std::vector<bool>{true, false}));
}

TEST(ServerListAdd, KeepsTheTrailingBlankOfAnEntryWithoutGameDir) {
    ServerList list;
    list.addIfAbsent("10.0.0.5:27015 ");
    EXPECT_EQ(list.text(0), "10.0.0.5:27015 ");
    list.addIfAbsent("10.0.0.5:27015");
    EXPECT_EQ(list.count(), 2u);
}

TEST(ServerListAdd, NewEntriesArriveUnmarked) {
    ServerList list;
    list.addIfAbsent("a");
    EXPECT_FALSE(list.isChecked(0));
}

// Copied in or moved in, in any order or in list order already, short texts (kept inside
// the string) and long ones, repeats and case-equal groups: the bulk add gives what adding
// one by one gives.
TEST(ServerListAdd, BulkAddMatchesOneByOne) {
    std::vector<std::string> shuffled;
    for (int i = 0; i < 500; ++i) {
        const std::string ip = std::to_string(i % 97) + ".0.0." + std::to_string(i % 13);
        shuffled.push_back(i % 5 == 0 ? ip : ip + ":27015 " + (i % 3 ? "cstrike" : "CStrike"));
    }
    std::vector<std::string> inListOrder = shuffled;
    std::stable_sort(inListOrder.begin(), inListOrder.end(), foldedLess);
    for (const bool moved : {false, true})
        for (const std::vector<std::string>* given : {&shuffled, &inListOrder}) {
            const std::vector<std::string>& texts = *given;
            ServerList bulk, single;
            for (ServerList* l : {&bulk, &single}) {
                l->addIfAbsent("5.0.0.5:27015 cstrike");
                l->addIfAbsent("0.0.0.0:27015 CSTRIKE");
                l->setHighlighted(1);
            }
            if (moved)
                bulk.addAndCheckAll(std::vector<std::string>(texts));
            else
                bulk.addAndCheckAll(texts);
            for (const std::string& t : texts) {
                single.addIfAbsent(t);
                single.checkEntry(t);
            }
            EXPECT_EQ(bulk.texts(), single.texts()) << moved;
            EXPECT_EQ(marks(bulk), marks(single)) << moved;
            EXPECT_EQ(bulk.highlighted(), single.highlighted()) << moved;
        }
}

TEST(ServerListMarks, InvertFlipsEveryMark) {
    ServerList list;
    for (const char* t : {"a", "b", "c", "d"})
        list.addIfAbsent(t);
    list.setChecked(0, true);
    list.setChecked(2, true);
    list.invertMarks();
    EXPECT_EQ(marks(list), (std::vector<bool>{false, true, false, true}));
}

TEST(ServerListMarks, InvertThenDeleteKeepsThePreviouslyMarked) {
    ServerList list;
    for (const char* t : {"a", "b", "c", "d"})
        list.addIfAbsent(t);
    list.setChecked(0, true);
    list.setChecked(2, true);
    list.invertMarks();
    list.removeMarked();
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(marks(list), (std::vector<bool>{false, false}));
}

TEST(ServerListRemove, RemovingTheHighlightedEntryLeavesNoHighlight) {
    ServerList list;
    for (const char* t : {"a", "b", "c"})
        list.addIfAbsent(t);
    list.setHighlighted(1);
    list.setChecked(1, true);
    list.removeMarked();
    EXPECT_EQ(list.highlighted(), ServerList::npos);
}

TEST(ServerListRemove, HighlightFollowsItsEntry) {
    ServerList list;
    for (const char* t : {"b", "c", "d"})
        list.addIfAbsent(t);
    list.setHighlighted(1); // c
    list.addIfAbsent("a");
    EXPECT_EQ(list.text(list.highlighted()), "c");
    list.setChecked(0, true);
    list.removeMarked();
    EXPECT_EQ(list.text(list.highlighted()), "c");
}

TEST(ServerListCount, CountText) {
    ServerList list;
    EXPECT_EQ(list.countText(), "0 server(s)");
    list.addIfAbsent("a");
    EXPECT_EQ(list.countText(), "1 server(s)");
}

TEST(ServerEntryParts, TakesAnEntryApart) {
    const std::string e = "10.0.0.5:27015 cstrike";
    EXPECT_EQ(ServerEntryParts::address(e), "10.0.0.5:27015");
    EXPECT_EQ(ServerEntryParts::gameDir(e), "cstrike");
    EXPECT_EQ(ServerEntryParts::ip(e), "10.0.0.5");
    EXPECT_EQ(ServerEntryParts::port(e), "27015");
    EXPECT_EQ(ServerEntryParts::gameDir("10.0.0.5:27015 "), "");
    EXPECT_EQ(ServerEntryParts::gameDir("1.2.3.4:5 a b"), "a b");
    EXPECT_EQ(ServerEntryParts::port("10.0.0.5:27015"), "");
    EXPECT_EQ(ServerEntryParts::ip("10.0.0.5"), "10.0.0.5");
}
