#include "serverlist/Collation.h"
#include "serverlist/ServerList.h"

#include <gtest/gtest.h>

#include <random>

using namespace qm;

namespace {

// The order spelled out one byte at a time, as the list defines it.
int referenceCompare(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const unsigned char ca = foldCase(static_cast<unsigned char>(a[i]));
        const unsigned char cb = foldCase(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Bytes at the edges of the letters, high bytes and the zero byte, in texts that differ
// anywhere in their first or later words.
std::string randomText(std::mt19937& random) {
    static const std::string alphabet = [] {
        std::string bytes = "@AZ[`az{09.: \x80\xC1\xDA\xE1\xFA\xFF";
        bytes.push_back('\0');
        return bytes;
    }();
    std::string text(random() % 20, 'a');
    for (char& c : text)
        c = alphabet[random() % alphabet.size()];
    return text;
}

} // namespace

TEST(Collation, WordAtATimeComparisonAgreesWithTheBytewiseOrder) {
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) {
        std::string a = randomText(random);
        // Half the pairs share a long prefix, so that later words decide.
        std::string b =
            i % 2 ? a.substr(0, random() % (a.size() + 1)) + randomText(random) : randomText(random);
        if (i % 5 == 0 && !b.empty()) b[random() % b.size()] ^= 0x20; // a case variant
        ASSERT_EQ(compareFolded(a, b), referenceCompare(a, b)) << '"' << a << "\" \"" << b << '"';
        const uint64_t ka = foldedPrefixKey(a), kb = foldedPrefixKey(b);
        if (ka != kb) {
            ASSERT_EQ(ka < kb, referenceCompare(a, b) < 0) << '"' << a << "\" \"" << b << '"';
        }
    }
}

// Bulk adds of many texts with repeats and case variants, into lists that already hold
// some of them with marks and a highlight, end exactly as adding them one by one would.
TEST(ServerListBulkAdd, RandomTextsEndAsOneByOne) {
    std::mt19937 random(11);
    for (int round = 0; round < 30; ++round) {
        std::vector<std::string> present, delivered;
        for (int i = 0; i < 40; ++i)
            present.push_back(randomText(random));
        for (int i = 0; i < 300; ++i)
            delivered.push_back(i % 4 == 0 ? present[random() % present.size()] : randomText(random));
        ServerList bulk, single;
        for (ServerList* list : {&bulk, &single}) {
            for (const std::string& t : present)
                list->addIfAbsent(t);
            for (size_t r = 0; r < list->count(); r += 3)
                list->setChecked(r, true);
            list->setHighlighted(static_cast<size_t>(round) % list->count());
        }
        bulk.addAndCheckAll(delivered);
        for (const std::string& t : delivered) {
            single.addIfAbsent(t);
            single.checkEntry(t);
        }
        ASSERT_EQ(bulk.texts(), single.texts()) << round;
        for (size_t r = 0; r < bulk.count(); ++r)
            ASSERT_EQ(bulk.isChecked(r), single.isChecked(r)) << round << " row " << r;
        EXPECT_EQ(bulk.highlighted(), single.highlighted());
    }
}
