#include "platform/IntText.h"

#include <gtest/gtest.h>

using qm::parseInteger;

TEST(ParseInteger, ReadsDecimalWithSignAndLeadingBlanks) {
    EXPECT_EQ(parseInteger("3000"), 3000);
    EXPECT_EQ(parseInteger("  -5"), -5);
    EXPECT_EQ(parseInteger("+7"), 7);
}

TEST(ParseInteger, ReadsHexPrefixes) {
    EXPECT_EQ(parseInteger("0x1F4"), 500);
    EXPECT_EQ(parseInteger("0X1f4"), 500);
    EXPECT_EQ(parseInteger("$1F4"), 500);
}

TEST(ParseInteger, RejectsEverythingElse) {
    EXPECT_FALSE(parseInteger(""));
    EXPECT_FALSE(parseInteger("abc"));
    EXPECT_FALSE(parseInteger("12 "));
    EXPECT_FALSE(parseInteger("yes"));
    EXPECT_FALSE(parseInteger("2147483648"));
    EXPECT_EQ(parseInteger("-2147483648"), INT32_MIN);
}
