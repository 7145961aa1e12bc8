// The KeyValues reader over texts the game, Steam and players' editors really write:
// escaped quotes, one long line, deep blocks.
#include "keyvalues/KeyValues.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(KeyValues, QuotedTextsReadEscapesAsSteamWritesThem) {
    const struct {
        const char* text;
        const char* raw;
        const char* shown;
    } cases[] = {
        {R"("k" "ASia \"TOP\" Server")", R"(ASia \"TOP\" Server)", R"(ASia "TOP" Server)"},
        {R"("k" "Mr \"Q\"")", R"(Mr \"Q\")", R"(Mr "Q")"},
        {R"("k" "C:\\Games\\")", R"(C:\\Games\\)", R"(C:\Games\)"},
        {R"("k" "a\b")", R"(a\b)", R"(a\b)"},
        {R"("k" "")", "", ""},
    };
    for (const auto& c : cases) {
        const KeyValuesTree tree = parseKeyValues(c.text);
        ASSERT_FALSE(tree.roots().empty()) << c.text;
        EXPECT_EQ(tree.roots().begin()->value(), c.raw);
        EXPECT_EQ(unescapedKeyValuesText(tree.roots().begin()->value()), c.shown);
    }
    EXPECT_THROW(parseKeyValues("\"k\" \"open \\\"\n\"x\""), KeyValuesError);
}

TEST(KeyValues, OneLongLineAndDeepBlocksReadWhole) {
    std::string line = "\"Filters\" { \"favorites\" { ";
    for (int i = 1; i <= 20000; ++i)
        line += "\"" + std::to_string(i) +
                "\" { \"address\" \"127.0.0.1:" + std::to_string(1000 + i % 60000) +
                "\" \"name\" \"x \\\"y\\\"\" } ";
    line += "} }";
    const KeyValuesTree tree = parseKeyValues(line);
    const KeyValuesNode& top = *tree.roots().begin();
    const KeyValuesNode* favourites = top.child("FAVORITES");
    ASSERT_NE(favourites, nullptr);
    size_t count = 0;
    for (const KeyValuesNode& entry : favourites->children()) {
        ++count;
        EXPECT_EQ(entry.valueOf("name"), "x \\\"y\\\"");
    }
    EXPECT_EQ(count, 20000u);
    EXPECT_EQ(line[favourites->closeBrace(line)], '}');
    EXPECT_EQ(line[favourites->openBrace(line)], '{');
}

// The tree costs up to about 11 bytes a byte of text: a text past the cap is refused
// before any of it is held, so the worst case stays under 1 GB.
TEST(KeyValues, ATextPastTheCapIsRefusedWithItsReason) {
    std::string text(kMaxKeyValuesBytes + 1, ' ');
    text.replace(0, 7, "\"a\" \"b\"");
    try {
        parseKeyValues(text);
        ADD_FAILURE() << "a text past the cap must be refused";
    } catch (const KeyValuesError& e) {
        EXPECT_STREQ(e.what(),
                     "the file is larger than 64 MB, more than any favourites or master list holds");
    }
    text.resize(kMaxKeyValuesBytes);
    EXPECT_EQ(parseKeyValues(text).roots().begin()->value(), "b");
}
