#include "platform/SocketError.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "query/TIdUDPClient.h"
#include "tests/query/ReplyNamed.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScaledClock.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"
#include "tests/support/UdpResponder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace qm;
using namespace qm::test;
using namespace std::chrono_literals;

namespace {

// A lookup that must not be asked: names in these tests are dotted or "localhost".
HostLookupResult noLookup(const std::string& name) {
    ADD_FAILURE() << "unexpected host-name lookup of " << name;
    return {"", 11001};
}

} // namespace

TEST(UdpClient, RequestLeavesAsExactlyFifteenBytes) {
    UdpResponder server([](const std::string&) { return std::string(); });
    TIdUDPClient client(noLookup);
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.SendDatagram(kInfoRequest);
    const std::vector<std::string> got = server.requestsSoFar();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], std::string("\xFF\xFF\xFF\xFFinfostring\0", 15));
}

TEST(UdpClient, RealReplyIsShownAsTenLines) {
    const std::string real = readAll(fixturePath("infostring/halflife-infostring-reply.bin"));
    UdpResponder server([&](const std::string&) { return real; });
    TIdUDPClient client(noLookup);
    SteadyClock clock;
    const InfoExchange shown =
        runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
    ASSERT_TRUE(shown.answered);
    EXPECT_EQ(shown.memoLines, infoLines(real));
    EXPECT_EQ(shown.memoLines[8], "Map: ns_tanith");
}

TEST(UdpClient, OtherLeadingBytesGiveOnlyTheFailure) {
    UdpResponder server([](const std::string&) { return std::string("\xFE\xFF\xFE\xFFhello\\map\\x"); });
    TIdUDPClient client(noLookup);
    SteadyClock clock;
    const InfoExchange shown =
        runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
    EXPECT_EQ(shown.memoLines, std::vector<std::string>{"Invalid message: hello\\map\\x"});
}

TEST(UdpClient, NoAnswerGivesNoDataAfterTheWholeWait) {
    UdpResponder server([](const std::string&) { return std::string(); });
    // The client's second runs four times as fast: its whole wait is a quarter second.
    ScaledClock clock(4);
    TIdUDPClient client(noLookup, clock);
    int pumps = 0;
    client.setMessagePump([&] { return ++pumps, true; });
    const InfoExchange shown =
        runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
    EXPECT_EQ(shown.memoLines, std::vector<std::string>{"No data!"});
    EXPECT_GE(std::stoi(shown.pingText), 1000);
    EXPECT_LT(std::stoi(shown.pingText), 5000);
    EXPECT_GE(pumps, 1); // the window was serviced while it waited
}

TEST(UdpClient, PingCoversTheServersDelay) {
    UdpResponder server([](const std::string&) { return replyNamed("slow"); }, 50ms);
    TIdUDPClient client(noLookup);
    SteadyClock clock;
    const InfoExchange shown =
        runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
    ASSERT_TRUE(shown.answered);
    EXPECT_GE(std::stoi(shown.pingText), 50);
    EXPECT_LT(std::stoi(shown.pingText), 1000);
}

TEST(UdpClient, ALateReplyIsNeverShownForAnotherServer) {
    // The client's second runs four times as fast: the slow reply comes after a wait of
    // "1300 ms", the quick one after "200 ms".
    UdpResponder slow([](const std::string&) { return replyNamed("slow server"); }, 325ms);
    UdpResponder quick([](const std::string&) { return replyNamed("quick server"); }, 50ms);
    ScaledClock clock(4);
    TIdUDPClient client(noLookup, clock);
    const auto cpm = clock.frequency() / 1000;
    EXPECT_EQ(runInfoExchange(client, "127.0.0.1", slow.port(), clock, cpm).memoLines,
              std::vector<std::string>{"No data!"});
    // The slow reply lands while the quick server's answer is awaited.
    const InfoExchange shown = runInfoExchange(client, "127.0.0.1", quick.port(), clock, cpm);
    ASSERT_TRUE(shown.answered);
    EXPECT_EQ(shown.memoLines[7], "Server: quick server");
}

TEST(UdpClient, DatagramsFromOtherSendersAreDropped) {
    UdpResponder server([](const std::string&) { return replyNamed("real"); }, 150ms);
    UdpResponder intruder([](const std::string&) { return std::string(); });
    TIdUDPClient client(noLookup);
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.SendDatagram(kInfoRequest);
    intruder.sendTo(client.localPort(), replyNamed("forged"));
    const std::string got = client.ReceiveDatagram(1000);
    EXPECT_EQ(shownValue(infoValue(got, "hostname")), "real");
}

TEST(UdpClient, WholeBufferIsReceivedAndALongerDatagramFails) {
    const std::string exact(8192, 'x');
    const std::string tooLong(8193, 'y');
    bool sendLong = false;
    UdpResponder server([&](const std::string&) { return sendLong ? tooLong : exact; });
    TIdUDPClient client(noLookup);
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.SendDatagram("a");
    EXPECT_EQ(client.ReceiveDatagram(2000), exact);
    sendLong = true;
    client.SendDatagram("b");
    try {
        client.ReceiveDatagram(2000);
        FAIL() << "an oversized datagram was taken";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.code(), 10040);
        EXPECT_STREQ(e.what(), "Socket Error # 10040\r\nMessage too long.");
    }
    // The socket stays usable.
    sendLong = false;
    client.SendDatagram("c");
    EXPECT_EQ(client.ReceiveDatagram(2000), exact);
}

TEST(UdpClient, NothingWithinAZeroWaitIsEmpty) {
    UdpResponder server([](const std::string&) { return std::string(); });
    TIdUDPClient client(noLookup);
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.SendDatagram("x");
    EXPECT_EQ(client.ReceiveDatagram(0), "");
}

TEST(UdpClient, LocalhostInAnyCaseIsTheLoopback) {
    UdpResponder server([](const std::string&) { return std::string("pong"); });
    TIdUDPClient client(noLookup);
    client.Host = "LocalHost";
    client.Port = server.port();
    client.SendDatagram("ping");
    EXPECT_EQ(client.ReceiveDatagram(2000), "pong");
}

TEST(UdpClient, NonDottedHostsGoToTheLookup) {
    UdpResponder server([](const std::string&) { return std::string("pong"); });
    std::vector<std::string> asked;
    TIdUDPClient client([&](const std::string& name) {
        asked.push_back(name);
        return HostLookupResult{"127.0.0.1", 0};
    });
    client.Port = server.port();
    for (const char* host : {"127.0.1", "127.0.0.256", "game.example"}) {
        client.Host = host;
        client.SendDatagram("ping");
        EXPECT_EQ(client.ReceiveDatagram(2000), "pong") << host;
    }
    EXPECT_EQ(asked, (std::vector<std::string>{"127.0.1", "127.0.0.256", "game.example"}));
}

TEST(UdpClient, FailedLookupIsASocketError) {
    TIdUDPClient client([](const std::string&) { return HostLookupResult{"", 11001}; });
    client.Host = "nowhere.invalid";
    client.Port = 27015;
    try {
        client.SendDatagram(kInfoRequest);
        FAIL();
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.code(), 11001);
    }
}

TEST(UdpClient, PortKeepsItsLowSixteenBits) {
    UdpResponder server([](const std::string&) { return std::string("pong"); });
    TIdUDPClient client(noLookup);
    client.Host = "127.0.0.1";
    client.Port = server.port() + 65536;
    client.SendDatagram("ping");
    EXPECT_EQ(client.ReceiveDatagram(2000), "pong");
}

TEST(UdpClient, DetectReadsTheGameDir) {
    ServerInfo info;
    info.gameDir = "CStrike";
    UdpResponder server([&](const std::string&) { return buildInfoReply(info); });
    TIdUDPClient client(noLookup);
    EXPECT_EQ(detectGameDir(client, "127.0.0.1", server.port()), "CStrike");
}

TEST(UdpClient, RepliesTooShortForTheMarkerAreInvalidMessages) {
    for (const std::string reply : {"a", "ab", "abc", "\xFF\xFF\xFF"}) {
        UdpResponder server([&](const std::string&) { return reply; });
        TIdUDPClient client(noLookup);
        SteadyClock clock;
        const InfoExchange shown =
            runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
        EXPECT_EQ(shown.memoLines, std::vector<std::string>{"Invalid message: "}) << reply;
    }
}

TEST(UdpClient, ClosedPortIsReportedAtOnceAsAReset) {
    QM_SKIP_UNLESS_SYSTEM_HAS(PortUnreachable);
    // A port that was bound a moment ago and is closed now: the host answers with an ICMP
    // "port unreachable".
    uint16_t closedPort = 0;
    {
        UdpResponder gone([](const std::string&) { return std::string(); });
        closedPort = gone.port();
    }
    TIdUDPClient client(noLookup);
    SteadyClock clock;
    const auto start = std::chrono::steady_clock::now();
    const InfoExchange shown =
        runInfoExchange(client, "127.0.0.1", closedPort, clock, clock.frequency() / 1000);
    EXPECT_EQ(shown.memoLines, std::vector<std::string>{"Socket Error # 10054\r\nConnection reset by peer."});
    EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms);
    // The error is spent: the next server on the same client answers as usual.
    UdpResponder server([](const std::string&) { return replyNamed("after"); });
    const InfoExchange next =
        runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
    ASSERT_TRUE(next.answered);
}

// A server that answers twice ('m' then 'I', as some do) once had its second answer taken
// as the answer of the next exchange, when Detect and Refresh came back to back.
TEST(UdpClient, AnEarlierExchangesLateAnswerIsNeverTakenForTheNext) {
    std::atomic<int> asked{0};
    std::unique_ptr<UdpResponder> server;
    std::thread late;
    server = std::make_unique<UdpResponder>([&](const std::string& request) {
        if (request != kInfoRequest) return std::string();
        if (++asked == 1) {
            const uint16_t client = server->lastClientPort();
            late = std::thread([&, client] {
                std::this_thread::sleep_for(40ms);
                server->sendTo(client, replyNamed("stale"));
            });
            return replyNamed("first");
        }
        std::this_thread::sleep_for(120ms); // the stale answer comes first
        return replyNamed("second");
    });
    TIdUDPClient client;
    SteadyClock clock;
    const InfoExchange one = runInfoExchange(client, "127.0.0.1", server->port(), clock, 1000);
    const InfoExchange two = runInfoExchange(client, "127.0.0.1", server->port(), clock, 1000);
    late.join();
    ASSERT_EQ(one.memoLines.size(), 10u);
    ASSERT_EQ(two.memoLines.size(), 10u);
    EXPECT_EQ(one.memoLines[7], "Server: first");
    EXPECT_EQ(two.memoLines[7], "Server: second");
}
