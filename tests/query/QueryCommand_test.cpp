#include "query/QueryCommand.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(QueryCommand, TargetsTakeAHostAndAnOptionalPort) {
    const std::pair<const char*, const char*> good[] = {
        {"127.0.0.1:27016", "127.0.0.1:27016"}, {"game.example", "game.example:27015"}, {"h:1", "h:1"}};
    for (const auto& [text, target] : good) {
        const auto t = parseQueryTarget(text);
        ASSERT_TRUE(t) << text;
        EXPECT_EQ(t->text(), target);
    }
    for (const char* bad : {"", ":27015", "h:", "h:0", "h:65536", "h:12a", "h:123456"})
        EXPECT_FALSE(parseQueryTarget(bad)) << bad;
}

TEST(QueryCommand, JsonStringsEscapeAndNeverBreakUtf8) {
    EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonString(std::string("\r\n\0", 3)), "\"\\u000d\\u000a\\u0000\"");
    EXPECT_EQ(jsonString("Kr\xC3\xA4mer"), "\"Kr\xC3\xA4mer\"");
    // A name in an 8-bit code page comes out as its Latin-1 letters.
    EXPECT_EQ(jsonString("Kr\xE4mer"), "\"Kr\xC3\xA4mer\"");
}
