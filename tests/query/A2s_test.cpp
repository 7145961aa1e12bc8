#include "query/A2sInfo.h"
#include "query/InfoQuery.h"
#include "query/ServerAnswer.h"
#include "query/TIdUDPClient.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoServer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace qm;
using namespace qm::test;
using namespace std::chrono_literals;

namespace {

std::string fixture(const std::string& name) {
    return readAll(fixturePath("a2s/" + name));
}

ServerAnswer a2sAnswer(const A2sInfo& info) {
    ServerAnswer a;
    a.kind = ServerAnswer::Kind::A2s;
    a.info = info;
    return a;
}

HostLookupResult noLookup(const std::string&) {
    return {"", 11001};
}

ServerInfo demoFacts(uint16_t port) {
    ServerInfo info;
    info.address = "127.0.0.1:" + std::to_string(port);
    info.protocol = 48;
    info.hostname = "Facts";
    info.map = "cs_italy";
    info.players = 7;
    info.maxPlayers = 20;
    info.bots = 2;
    return info;
}

// A demo server of one kind on a loopback port; replies carry the port the test got.
class DemoResponder {
  public:
    DemoResponder(DemoProtocol protocol, std::chrono::milliseconds delay = 0ms)
        : m_udp([this](const std::string& r) { return m_server ? m_server->answer(r, 0, 0) : std::string(); },
                delay) {
        m_server = std::make_unique<DemoServer>(demoFacts(m_udp.port()), protocol);
    }
    uint16_t port() const { return m_udp.port(); }

  private:
    std::unique_ptr<DemoServer> m_server;
    UdpResponder m_udp;
};

InfoExchange refresh(TIdUDPClient& client, uint16_t port) {
    SteadyClock clock;
    return runInfoExchange(client, "127.0.0.1", port, clock, clock.frequency() / 1000);
}

} // namespace

TEST(A2sReplies, RealSteamInfoReply) {
    const auto info = parseA2sInfo(fixture("cs16-steam-I-info.bin"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->layout, 'I');
    EXPECT_EQ(info->protocol, 48);
    EXPECT_EQ(info->map, "de_inferno");
    EXPECT_EQ(info->folder, "cstrike");
    EXPECT_EQ(info->appId, 10);
    EXPECT_EQ(info->version, "1.1.2.7/Stdio");
    EXPECT_EQ(info->gamePort, 27015);
    EXPECT_EQ(info->name.rfind("|SgK| CLASSIC 1000 FPS", 0), 0u);
}

TEST(A2sReplies, RealGoldSrcInfoReplies) {
    const auto hl = parseA2sInfo(fixture("hl1-m-info.bin"));
    ASSERT_TRUE(hl);
    EXPECT_EQ(hl->layout, 'm');
    EXPECT_EQ(hl->address, "127.0.0.1:27222");
    EXPECT_EQ(hl->map, "bounce");
    EXPECT_EQ(hl->folder, "valve");
    EXPECT_EQ(hl->players, 26);
    EXPECT_EQ(hl->maxPlayers, 32);
    EXPECT_EQ(hl->protocol, 47);
    EXPECT_TRUE(hl->bots);
    // The HLTV proxy's reply stops after VAC: no bots byte.
    const auto tv = parseA2sInfo(fixture("hltv-m-info.bin"));
    ASSERT_TRUE(tv);
    EXPECT_EQ(tv->serverType, 'p');
    EXPECT_EQ(tv->folder, "gearbox");
    EXPECT_FALSE(tv->bots);
    EXPECT_EQ(a2sAnswer(*tv).lines("x", 1)[4], "Bots: -");
}

TEST(A2sReplies, RealPlayersReply) {
    const auto players = parseA2sPlayers(fixture("cs16-steam-D-players.bin"));
    ASSERT_TRUE(players);
    EXPECT_EQ(players->size(), 23u);
    EXPECT_EQ(players->front().name, "|SgK| Vicking **PT**");
}

TEST(A2sReplies, EveryCutShortReplyIsAFailureWithoutLibraryText) {
    for (const char* name : {"cs16-steam-I-info.bin", "hl1-m-info.bin", "hltv-m-info.bin"}) {
        const std::string whole = fixture(name);
        // Cutting before the optional tail may still parse; anything shorter must not.
        for (size_t n = 5; n < whole.size(); ++n) {
            const std::string cut = whole.substr(0, n);
            InfoExchangeRules rules;
            const InfoExchangeRules::Step step = rules.take(cut);
            ASSERT_TRUE(step.done) << name << " " << n;
            if (!step.answer.answered()) {
                EXPECT_EQ(step.answer.failure.rfind("Invalid message: ", 0), 0u) << name << " " << n;
                EXPECT_EQ(step.answer.failure.find("basic_string"), std::string::npos);
            }
        }
        // A cut inside a string or a fixed field always fails: half the reply is never enough.
        InfoExchangeRules rules;
        EXPECT_FALSE(rules.take(whole.substr(0, whole.size() / 2)).answer.answered()) << name;
    }
}

TEST(A2sReplies, BadRepliesEachGiveTheirMessage) {
    const std::string marker = "\xFF\xFF\xFF\xFF";
    struct Case {
        std::string datagram;
        std::string failure;
    };
    const Case cases[] = {
        {marker + std::string("I\x30no terminator", 15), "Invalid message: I0no terminator"},
        {marker + std::string("D\x01\x00name\0", 8), "Invalid message: D\\x01\\x00name\\x00"},
        {marker + std::string("A\x01\x02", 3), "Invalid message: A\\x01\\x02"},
        {std::string("\xFE\xFF\xFF\xFF\x01\x02\x03\x04\x02", 9),
         "Invalid message: \\x01\\x02\\x03\\x04\\x02"},
        {marker + "I" + std::string(1500, 'x'), "Invalid message: I" + std::string(95, 'x') + "..."},
    };
    for (const Case& c : cases) {
        InfoExchangeRules rules;
        const InfoExchangeRules::Step step = rules.take(c.datagram);
        EXPECT_TRUE(step.done);
        EXPECT_EQ(step.answer.failure, c.failure);
    }
}

TEST(A2sReplies, AtMostTwoChallengesPerExchange) {
    InfoExchangeRules rules;
    const std::string challenge = buildA2sChallenge("\x01\x02\x03\x04");
    for (int round = 0; round < InfoExchangeRules::kMaxChallenges; ++round) {
        const InfoExchangeRules::Step step = rules.take(challenge);
        ASSERT_FALSE(step.done);
        EXPECT_EQ(step.resend, kA2sInfoRequest + "\x01\x02\x03\x04");
    }
    const InfoExchangeRules::Step third = rules.take(challenge);
    EXPECT_TRUE(third.done);
    EXPECT_EQ(third.answer.failure, "Invalid message: A\\x01\\x02\\x03\\x04");
}

TEST(A2sExchange, EveryKindOfServerShowsTheSameTenLines) {
    std::vector<std::string> expected;
    for (const DemoProtocol kind : {DemoProtocol::Legacy, DemoProtocol::A2s, DemoProtocol::A2sOpen,
                                    DemoProtocol::GoldSrc, DemoProtocol::All}) {
        DemoResponder server(kind);
        TIdUDPClient client(noLookup);
        const InfoExchange shown = refresh(client, server.port());
        ASSERT_TRUE(shown.answered) << static_cast<int>(kind) << " " << shown.memoLines.at(0);
        EXPECT_EQ(shown.memoLines.at(0), "Protocol: 48");
        EXPECT_EQ(shown.memoLines.at(1), "Address: 127.0.0.1:" + std::to_string(server.port()));
        auto lines = shown.memoLines;
        lines[1] = "";
        if (expected.empty()) expected = lines;
        EXPECT_EQ(lines, expected) << static_cast<int>(kind);
        EXPECT_EQ(detectGameDir(client, "127.0.0.1", server.port()), "cstrike") << static_cast<int>(kind);
    }
    EXPECT_EQ(expected[8], "Map: cs_italy");
    EXPECT_EQ(expected[2], "Players: 7/20");
    EXPECT_EQ(expected[4], "Bots: 2");
}

TEST(A2sExchange, AServerThatAnswersBothIsShownOnceAndNeverForTheNext) {
    DemoResponder both(DemoProtocol::All);
    DemoResponder legacy(DemoProtocol::Legacy);
    TIdUDPClient client(noLookup);
    EXPECT_TRUE(refresh(client, both.port()).answered);
    // The other answer of the first server is still on its way or queued: the next
    // server's lines must be its own.
    const InfoExchange next = refresh(client, legacy.port());
    ASSERT_TRUE(next.answered);
    EXPECT_EQ(next.memoLines[1], "Address: 127.0.0.1:" + std::to_string(legacy.port()));
}

TEST(A2sExchange, PingAfterAChallengeCountsFromTheAnsweredRequest) {
    DemoResponder server(DemoProtocol::A2s, 50ms);
    TIdUDPClient client(noLookup);
    const InfoExchange shown = refresh(client, server.port());
    ASSERT_TRUE(shown.answered);
    const int ping = std::stoi(shown.pingText);
    EXPECT_GE(ping, 50);
    EXPECT_LT(ping, 90);
}

TEST(A2sExchange, AChallengeThatNeverEndsFailsWithinTheWait) {
    UdpResponder server([](const std::string& r) {
        return r.rfind(kA2sInfoRequest, 0) == 0 ? buildA2sChallenge("abcd") : std::string();
    });
    TIdUDPClient client(noLookup);
    const auto start = std::chrono::steady_clock::now();
    const InfoExchange shown = refresh(client, server.port());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1100ms);
    EXPECT_EQ(shown.memoLines, std::vector<std::string>{"Invalid message: Aabcd"});
}

// The Ship (app ids 2400-2412) puts three bytes of its own before the version; other
// games do not. The datagrams are written out byte by byte, apart from the builder.
TEST(A2sInfo, TheShipsThreeExtraBytesAreSkippedForItsAppIdsAlone) {
    const auto reply = [](int appId, bool shipBytes) {
        std::string d("\xFF\xFF\xFF\xFFI\x30"
                      "Ship\0m\0f\0g\0",
                      17);
        d.push_back(static_cast<char>(appId & 0xFF));
        d.push_back(static_cast<char>(appId >> 8));
        d += std::string("\x03\x09\x01"
                         "dl\x00\x01",
                         7);
        if (shipBytes) d += std::string("\x02\x03\x3C", 3);
        return d + std::string("1.0.0.2\0", 8);
    };
    for (const int appId : {2400, 2412, 10, 70}) {
        const bool ship = appId >= 2400 && appId <= 2412;
        const auto info = parseA2sInfo(reply(appId, ship));
        ASSERT_TRUE(info) << appId;
        EXPECT_EQ(info->appId, appId);
        EXPECT_EQ(info->version, "1.0.0.2") << appId;
        EXPECT_EQ(info->players, 3);
        EXPECT_EQ(info->maxPlayers, 9);
    }
    // Without its three bytes a Ship reply is cut short; with them another game's is not
    // its version.
    const auto cut = parseA2sInfo(reply(2400, false));
    EXPECT_TRUE(!cut || cut->version != "1.0.0.2");
}
