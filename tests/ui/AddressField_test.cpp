#include "ui/IpAddressRules.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(AddressText, AcceptsStrictDottedAddresses) {
    EXPECT_EQ(parseAddressText("10.0.0.1"), (std::array<int, 4>{10, 0, 0, 1}));
    EXPECT_EQ(parseAddressText("255.255.255.255"), (std::array<int, 4>{255, 255, 255, 255}));
}

TEST(AddressText, RejectsEverythingElse) {
    for (const char* bad : {"192.168.001.1", "256.0.0.1", "1.2.3", "1.2.3.4.5", "1..2.3", "a.b.c.d", "2",
                            " 1.2.3.4", "1.2.3.4 ", "1234.1.1.1"})
        EXPECT_FALSE(parseAddressText(bad)) << bad;
}

TEST(AddressText, FromPartsFillsEmptyPartsWithZero) {
    EXPECT_EQ(addressTextFromParts({"", "", "", ""}), "");
    EXPECT_EQ(addressTextFromParts({"192", "", "", ""}), "192.0.0.0");
    EXPECT_EQ(addressTextFromParts({"010", "0", "07", "1"}), "10.0.7.1");
}

TEST(AddressText, PartsOfAnyLengthCannotOverflow) {
    EXPECT_EQ(addressTextFromParts({"1234567890123", "4294967296", "999", "256"}), "255.255.255.255");
}

TEST(AddressText, PartIsCompleteWhenNoFurtherDigitFits) {
    const std::pair<const char*, bool> cases[] = {{"", false},  {"2", false},  {"25", false}, {"26", true},
                                                  {"0", false}, {"100", true}, {"99", true},  {"9", false}};
    for (const auto& [part, complete] : cases)
        EXPECT_EQ(partIsComplete(part), complete) << part;
}

TEST(AddressText, PastedAddressNeedsFourPiecesUpTo255) {
    using Parts = std::array<std::string, 4>;
    EXPECT_EQ(partsOfPastedAddress(" 10.0.0.1\r\n"), (Parts{"10", "0", "0", "1"}));
    EXPECT_EQ(partsOfPastedAddress("010.0.0.001"), (Parts{"10", "0", "0", "1"}));
    for (const char* bad : {"", "10.0.0", "10.0.0.1.2", "10.0.0.256", "10.0.0.x", "1000.0.0.1", "10..0.1"})
        EXPECT_FALSE(partsOfPastedAddress(bad)) << bad;
}
