#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {
const std::string kMarker = "\xFF\xFF\xFF\xFF";
std::string reply(const std::string& pairs) {
    return kMarker + std::string("infostringresponse\0", 19) + pairs;
}
} // namespace

TEST(InfoRequest, IsFifteenBytesWithItsNul) {
    EXPECT_EQ(kInfoRequest.size(), 15u);
    EXPECT_EQ(kInfoRequest, std::string("\xFF\xFF\xFF\xFFinfostring\0", 15));
}

TEST(InfoValidation, NeedsTheMarker) {
    EXPECT_TRUE(isValidInfoReply(kMarker));
    EXPECT_FALSE(isValidInfoReply(""));
    EXPECT_FALSE(isValidInfoReply("\xFF\xFF\xFFxinfo"));
}

TEST(InfoValue, RealReplyGivesTheTenLines) {
    const std::string real =
        qm::test::readAll(qm::test::fixturePath("infostring/halflife-infostring-reply.bin"));
    ASSERT_EQ(real.size(), 276u);
    EXPECT_EQ(infoLines(real), (std::vector<std::string>{
                                   "Protocol: 47",
                                   "Address: 202.12.147.111:27045",
                                   "Players: 11/24",
                                   "Max. players: 24",
                                   "Bots: 0",
                                   "Mod: ns",
                                   "Mod description: NS v3.0 beta 5",
                                   "Server: GameArena - NatSel #4 - Classic Only",
                                   "Map: ns_tanith",
                                   "Use of password: 0",
                               }));
}

TEST(InfoValue, MarkerAloneIsValidWithDashesEverywhere) {
    for (const std::string& line : infoLines(kMarker))
        EXPECT_EQ(line.substr(line.size() - 1), "-") << line;
    EXPECT_EQ(infoLines(kMarker)[2], "Players: -/-");
}

TEST(InfoValue, MissingKeysGiveADash) {
    const std::string r = reply("\\max\\16\\password\\0");
    EXPECT_EQ(infoLines(r)[2], "Players: -/16");
    EXPECT_EQ(infoLines(r)[3], "Max. players: 16");
    EXPECT_EQ(infoLines(r)[4], "Bots: -");
}

TEST(InfoValue, FinalNulNeverShows) {
    const std::string r = reply(std::string("\\map\\de_dust\\password\\0\0", 25));
    EXPECT_EQ(infoLines(r)[9], "Use of password: 0");
}

TEST(InfoValue, MatchesOnlyKeyPositions) {
    const std::string r =
        reply("\\hostname\\best map ever\\password\\1\\map\\cs_italy\\description\\password game");
    EXPECT_EQ(infoValue(r, "map"), "cs_italy");
    EXPECT_EQ(infoValue(r, "password"), "1");
    EXPECT_EQ(infoValue(r, "host"), "-");
}

TEST(InfoValue, KeyAtTheEndOrFollowedByTwoBackslashesIsEmpty) {
    EXPECT_EQ(infoValue(reply("\\a\\1\\map"), "map"), "");
    EXPECT_EQ(infoValue(reply("\\map\\\\gamedir\\valve"), "map"), "");
    EXPECT_EQ(infoValue(reply("\\map\\\\gamedir\\valve"), "gamedir"), "valve");
}

TEST(InfoReplyBuilder, GivesBackItsFields) {
    ServerInfo info;
    info.hostname = "Loopback";
    info.map = "cs_office";
    info.players = 3;
    const std::string r = buildInfoReply(info);
    EXPECT_EQ(r.back(), '\0');
    EXPECT_EQ(shownValue(infoValue(r, "hostname")), "Loopback");
    EXPECT_EQ(shownValue(infoValue(r, "map")), "cs_office");
    EXPECT_EQ(shownValue(infoValue(r, "players")), "3");
    EXPECT_EQ(shownValue(infoValue(r, "secure")), "0");
}

TEST(PingText, RoundsHalvesToEven) {
    EXPECT_EQ(pingText(0, 2500, 1000), "2");
    EXPECT_EQ(pingText(0, 3500, 1000), "4");
    EXPECT_EQ(pingText(0, 3501, 1000), "4");
    EXPECT_EQ(pingText(100, 50100, 1000), "50");
    EXPECT_EQ(pingText(0, 5, 0), "---");
}
