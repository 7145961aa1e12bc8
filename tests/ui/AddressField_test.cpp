#include "ui/IpAddressRules.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(AddressText, AcceptsStrictDottedAddresses) {
    EXPECT_EQ(parseAddressText("10.0.0.1"), (std::array<int, 4>{10, 0, 0, 1}));
    EXPECT_EQ(parseAddressText("255.255.255.255"), (std::array<int, 4>{255, 255, 255, 255}));
}

TEST(AddressText, RejectsEverythingElse) {
    for (const char* bad : {"192.168.001.1", "256.0.0.1", "1.2.3", "1.2.3.4.5", "1..2.3", "a.b.c.d", "2", " 1.2.3.4",
                            "1.2.3.4 ", "1234.1.1.1"})
        EXPECT_FALSE(parseAddressText(bad)) << bad;
}

TEST(AddressText, FromPartsFillsEmptyPartsWithZero) {
    EXPECT_EQ(addressTextFromParts({"", "", "", ""}), "");
    EXPECT_EQ(addressTextFromParts({"192", "", "", ""}), "192.0.0.0");
    EXPECT_EQ(addressTextFromParts({"010", "0", "07", "1"}), "10.0.7.1");
}
