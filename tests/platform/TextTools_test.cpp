// The byte-text helpers: ASCII rules only, whatever the locale or the code page.
#include "platform/TextTools.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(TextTools, CaseRulesTouchAsciiLettersAlone) {
    EXPECT_EQ(asciiLowered("Filters FAVORITES \xC4\xD6 \xE4 @[`{"), "filters favorites \xC4\xD6 \xE4 @[`{");
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {{"AccountID", "accountid", true},
                 {"appID", "APPID", true},
                 {"\xC4", "\xE4", false},
                 {"@", "`", false},
                 {"[", "{", false},
                 {"abc", "ab", false}};
    for (const auto& c : cases)
        EXPECT_EQ(equalsIgnoringCase(c.a, c.b), c.equal) << c.a << " " << c.b;
}

TEST(TextTools, TrimSplitAndEscape) {
    EXPECT_EQ(trimmed(" \t a b \t"), "a b");
    EXPECT_EQ(trimmed("\r\n a \r\n", true), "a");
    EXPECT_EQ(trimmed("\r\n a \r\n"), "\r\n a \r\n");
    EXPECT_EQ(splitLines("a\r\nb\n\nc\rd"), (std::vector<std::string_view>{"a", "b", "", "c\rd"}));
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(escapedControls(std::string("a\0b\n\x1F\x20\x7E\x7F\x80\xFF", 10)),
              "a\\x00b\\x0A\\x1F ~\\x7F\x80\xFF");
}
