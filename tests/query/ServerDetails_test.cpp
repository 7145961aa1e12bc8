// What the details of one server show: the facts of either kind of answer, the players
// that do not add up, and the run that asks a server its info, players and rules.
#include "query/DetailsRun.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "query/ServerDetails.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

using namespace qm;
using namespace qm::test;

namespace {

ServerAnswer answerOf(const std::string& fixture) {
    const std::string bytes = readAll(fixturePath(fixture));
    ServerAnswer a;
    if (fixture.rfind("infostring/", 0) == 0) {
        a.kind = ServerAnswer::Kind::Infostring;
        a.infostring = bytes;
    } else {
        a.kind = ServerAnswer::Kind::A2s;
        a.info = *parseA2sInfo(bytes);
    }
    return a;
}

std::string field(const ServerFacts& facts, const std::string& label) {
    for (const DetailField& f : facts.fields)
        if (f.label == label) return f.value;
    return "(none)";
}

std::vector<A2sPlayer> playersWithTimes(std::vector<float> seconds) {
    std::vector<A2sPlayer> players;
    for (float s : seconds)
        players.push_back({"p" + std::to_string(players.size()), 0, s});
    return players;
}

HostLookupResult noLookup(const std::string&) {
    return {"", 11001};
}

} // namespace

TEST(ServerFacts, RealAnswersOfEveryKind) {
    struct Case {
        const char* fixture;
        const char* name;
        const char* map;
        const char* players;
        const char* type;
        const char* os;
        const char* protocol;
        std::optional<uint16_t> gamePort;
    };
    const Case cases[] = {
        {"infostring/halflife-infostring-reply.bin", "GameArena - NatSel #4 - Classic Only", "ns_tanith",
         "11/24 (0 bots)", "dedicated", "Windows", "infostring, version 47", std::nullopt},
        {"a2s/cs16-steam-I-info.bin", nullptr, "de_inferno", nullptr, nullptr, nullptr, "A2S, version 48",
         27015},
        {"a2s/hltv-m-info.bin", nullptr, nullptr, nullptr, "HLTV proxy", nullptr, nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const ServerFacts facts = factsOf(answerOf(c.fixture), "1.2.3.4:27015");
        EXPECT_EQ(field(facts, "Address"), "1.2.3.4:27015");
        EXPECT_FALSE(facts.password);
        EXPECT_EQ(field(facts, "Password"), "no");
        if (c.name) {
            EXPECT_EQ(field(facts, "Name"), c.name);
        }
        if (c.map) {
            EXPECT_EQ(field(facts, "Map"), c.map);
        }
        if (c.players) {
            EXPECT_EQ(field(facts, "Players"), c.players);
        }
        if (c.type) {
            EXPECT_EQ(field(facts, "Server type"), c.type);
        }
        if (c.os) {
            EXPECT_EQ(field(facts, "OS"), c.os);
        }
        if (c.protocol) {
            EXPECT_EQ(field(facts, "Protocol"), c.protocol);
        }
        EXPECT_EQ(facts.gamePort, c.gamePort);
        EXPECT_GE(facts.players, 0);
        EXPECT_GT(facts.maxPlayers, 0);
    }
}

TEST(ServerFacts, PasswordAndGamePortFromEitherKind) {
    ServerAnswer infostring;
    infostring.kind = ServerAnswer::Kind::Infostring;
    infostring.infostring =
        std::string("\xFF\xFF\xFF\xFFinfostringresponse\0\\players\\3\\max\\8\\password\\1\0", 50);
    EXPECT_TRUE(factsOf(infostring, "a").password);
    EXPECT_EQ(factsOf(infostring, "a").players, 3);
    EXPECT_EQ(factsOf(infostring, "a").bots, -1); // not given, not zero

    ServerAnswer a2s;
    a2s.kind = ServerAnswer::Kind::A2s;
    a2s.info.visibility = 1;
    a2s.info.gamePort = 27016;
    const ServerFacts facts = factsOf(a2s, "a");
    EXPECT_TRUE(facts.password);
    EXPECT_EQ(facts.gamePort, 27016);
    EXPECT_EQ(field(facts, "Game port"), "27016");
    a2s.info.gamePort = 0; // no port to connect to at all
    EXPECT_FALSE(factsOf(a2s, "a").gamePort);

    const ServerFacts failed = factsOf(ServerAnswer::failed("No data!"), "5.6.7.8:27015");
    EXPECT_EQ(field(failed, "State"), "No data!");
    EXPECT_EQ(field(failed, "Address"), "5.6.7.8:27015");
    EXPECT_FALSE(failed.password);
}

TEST(ServerFacts, ControlBytesOfNamesAreEscaped) {
    ServerAnswer a2s;
    a2s.kind = ServerAnswer::Kind::A2s;
    a2s.info.name = "line\nbreak";
    EXPECT_EQ(field(factsOf(a2s, "a"), "Name").find('\n'), std::string::npos);
}

TEST(ConnectedTime, HoursMinutesSeconds) {
    const std::pair<float, const char*> cases[] = {
        {0, "0:00:00"},
        {59.9f, "0:00:59"},
        {61, "0:01:01"},
        {3600, "1:00:00"},
        {90061, "25:01:01"},
        {-5, "0:00:00"},
        {std::nanf(""), "0:00:00"},
        {std::numeric_limits<float>::infinity(), "0:00:00"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(connectedTime(seconds), text) << seconds;
}

TEST(FakePlayers, CountsThatDoNotAddUp) {
    struct Case {
        int claimed;
        std::optional<std::vector<float>> times; // nothing: no list given
        const char* reason;                      // empty: nothing wrong
    };
    const Case cases[] = {
        {3, std::vector<float>{10, 20, 30}, ""},
        {0, std::vector<float>{}, ""},
        {1, std::vector<float>{42}, ""}, // one player cannot share a time with anyone
        {5, std::vector<float>{10, 20}, "it claims 5 players but lists 2"},
        {2, std::vector<float>{10, 20, 30}, ""}, // connecting players may be listed early
        {3, std::vector<float>{600, 600, 600}, "all 3 players have played the same time (0:10:00)"},
        {65, std::nullopt, "it claims 65 players, more than the game holds (64)"},
        {64, std::nullopt, ""},
        {32, std::nullopt, ""}, // no list, nothing to hold the count against
    };
    for (const Case& c : cases) {
        ServerFacts facts;
        facts.players = c.claimed;
        std::vector<A2sPlayer> list;
        if (c.times) list = playersWithTimes(*c.times);
        EXPECT_EQ(fakePlayersReason(facts, c.times ? &list : nullptr), c.reason) << c.claimed;
    }
}

TEST(FakePlayers, RealPlayerListAddsUp) {
    const auto players = parseA2sPlayers(readAll(fixturePath("a2s/cs16-steam-D-players.bin")));
    ASSERT_TRUE(players);
    ServerFacts facts;
    facts.players = static_cast<int>(players->size());
    EXPECT_EQ(fakePlayersReason(facts, &*players), "");
    facts.players += 3;
    EXPECT_NE(fakePlayersReason(facts, &*players), "");
}

class DetailsRunTest : public ::testing::Test {
  protected:
    // The details once complete, and how many snapshots came before.
    ServerDetails waitFor(DetailsRun& run, int* partial = nullptr) {
        for (;;) {
            if (auto d = run.take()) {
                if (d->complete) return *d;
                if (partial) ++*partial;
                EXPECT_TRUE(d->info.answer.answered()); // only an answer is shown before the end
            }
            std::this_thread::yield();
        }
    }
    BatchOptions quick() {
        BatchOptions o;
        o.silenceMs = 200;
        o.retries = 0;
        o.playersWaitMs = 200;
        return o;
    }
};

TEST_F(DetailsRunTest, InfoPlayersAndRulesOfOneServer) {
    std::unique_ptr<DemoServer> demo;
    // A dozen rules fit in one datagram: the responder sends one per request.
    UdpResponder udp([&](const std::string& r) {
        const std::vector<std::string> replies = demo ? demo->answers(r, 0, 0) : std::vector<std::string>{};
        return replies.size() == 1 ? replies.front() : std::string();
    });
    ServerInfo info;
    info.address = "127.0.0.1:" + std::to_string(udp.port());
    info.players = 4;
    demo = std::make_unique<DemoServer>(info, DemoProtocol::A2s);
    demo->setRules(12);
    DetailsRun run({"127.0.0.1", udp.port()}, quick(), noLookup);
    const ServerDetails d = waitFor(run);
    ASSERT_TRUE(d.info.answer.answered()) << d.info.state;
    EXPECT_GE(d.info.pingMs, 0);
    ASSERT_TRUE(d.players && d.players->offered) << d.players->failure;
    EXPECT_EQ(d.players->players.size(), 4u);
    ASSERT_TRUE(d.rules && d.rules->offered) << d.rules->failure;
    EXPECT_EQ(d.rules->rules.size(), 12u);
    EXPECT_FALSE(run.take()); // given once
}

// An old server answers the infostring query and nothing else: its info is there to show
// while its players and rules are still waited for.
TEST_F(DetailsRunTest, TheInfoComesBeforeThePlayersAreWaitedFor) {
    UdpResponder old([](const std::string& request) {
        return request == kInfoRequest ? buildInfoReply(ServerInfo{}) : std::string();
    });
    DetailsRun run({"127.0.0.1", old.port()}, quick(), noLookup);
    std::optional<ServerDetails> first;
    while (!(first = run.take()))
        std::this_thread::yield();
    EXPECT_FALSE(first->complete);
    EXPECT_TRUE(first->info.answer.answered());
    EXPECT_FALSE(first->players);
    int partial = 0;
    const ServerDetails whole = waitFor(run, &partial);
    ASSERT_TRUE(whole.players && whole.rules);
    EXPECT_FALSE(whole.players->offered);
    EXPECT_FALSE(whole.rules->offered);
}

TEST_F(DetailsRunTest, SilentServerIsNotAskedForMore) {
    UdpResponder silent([](const std::string&) { return std::string(); });
    DetailsRun run({"127.0.0.1", silent.port()}, quick(), noLookup);
    const ServerDetails d = waitFor(run);
    EXPECT_FALSE(d.info.answer.answered());
    EXPECT_EQ(d.info.state.rfind("no reply", 0), 0u) << d.info.state;
    EXPECT_FALSE(d.players);
    EXPECT_FALSE(d.rules);
    EXPECT_EQ(silent.requestsSoFar().size(), 2u); // the infostring request and A2S_INFO
}

TEST_F(DetailsRunTest, DestructionStopsALongWait) {
    // A wait of ten minutes, which destruction must cut short.
    UdpResponder silent([](const std::string&) { return std::string(); });
    BatchOptions o = quick();
    o.silenceMs = 600000;
    auto run = std::make_unique<DetailsRun>(QueryTarget{"127.0.0.1", silent.port()}, o, noLookup);
    while (silent.requestsSoFar().size() < 2)
        std::this_thread::yield();
    EXPECT_FALSE(run->take());
    // Destruction joins the run's thread: it returns only if the wait is cut short.
    run.reset();
    EXPECT_EQ(silent.requestsSoFar().size(), 2u); // and nothing more was sent
}
