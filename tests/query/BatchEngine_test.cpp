// The batch's rules on a clock moved by hand: starts, limits, retries, matching and
// challenges, with no socket and no waiting.
#include "query/A2sInfo.h"
#include "query/BatchEngine.h"
#include "query/Infostring.h"
#include "query/PlayersQuery.h"
#include "tests/query/ReplyNamed.h"
#include "tools/DemoServer.h"

#include "OsSockets.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace qm;
using namespace qm::test;

namespace {

constexpr int64_t kMs = 1000;

// Names answered from a table; a name left out stays pending until given.
struct TableNames : NameSource {
    std::map<std::string, HostLookupResult> known;
    void ask(const std::string&) override {}
    std::optional<HostLookupResult> answer(const std::string& host) override {
        if (host.rfind("127.", 0) == 0) return HostLookupResult{host, 0};
        const auto it = known.find(host);
        return it == known.end() ? std::nullopt : std::optional(it->second);
    }
};

Endpoint loopbackAt(uint16_t port) {
    return Endpoint::fromDotted("127.0.0.1", port);
}

std::vector<QueryTarget> loopbackTargets(int count, uint16_t firstPort = 27015) {
    std::vector<QueryTarget> targets;
    for (int i = 0; i < count; ++i)
        targets.push_back({"127.0.0.1", static_cast<uint16_t>(firstPort + i)});
    return targets;
}

// Every server that a step sends to, once each.
std::set<uint16_t> portsSentTo(const BatchStep& step) {
    std::set<uint16_t> ports;
    for (const auto& [to, datagram] : step.sends)
        ports.insert(to.port);
    return ports;
}

BatchOptions optionsOf(int silenceMs, int retries, int intervalMs) {
    BatchOptions options;
    options.silenceMs = silenceMs;
    options.retries = retries;
    options.intervalMs = intervalMs;
    return options;
}

// An engine over loopback servers with names of its own, started at time 0.
struct StartedEngine {
    StartedEngine(int servers, const BatchOptions& options)
        : targets(loopbackTargets(servers)), engine(targets, options, names) {
        engine.start(0, first);
    }
    TableNames names;
    std::vector<QueryTarget> targets;
    BatchEngine engine;
    BatchStep first; // what the start sent
};

} // namespace

TEST(BatchEngine, StartsNoMoreThanTheLimitAndOnePerInterval) {
    TableNames names;
    const auto targets = loopbackTargets(12);
    BatchOptions options;
    options.maxInFlight = 4;
    options.intervalMs = 0;
    options.silenceMs = 300;
    options.retries = 0;
    BatchEngine engine(targets, options, names);
    BatchStep step;
    int64_t now = 0;
    engine.start(now, step);
    EXPECT_EQ(portsSentTo(step).size(), 4u);
    EXPECT_EQ(step.sends.size(), 8u) << "the infostring request and A2S_INFO to each";
    EXPECT_EQ(step.started, (std::vector<size_t>{0, 1, 2, 3}));
    step = {};
    engine.start(now += 299 * kMs, step);
    engine.expire(now, step);
    EXPECT_TRUE(step.empty()) << "no room and no silence over yet";
    EXPECT_EQ(engine.nextWakeup(now), 300 * kMs);
    engine.expire(now += kMs, step);
    ASSERT_EQ(step.reports.size(), 4u);
    EXPECT_EQ(step.reports[0].state, "no reply (1 try, 300 ms each)");
    step = {};
    engine.start(now, step);
    EXPECT_EQ(portsSentTo(step), (std::set<uint16_t>{27019, 27020, 27021, 27022}));
    EXPECT_EQ(engine.peakInFlight(), 4u);

    // With a pause between starts, one server starts at a time.
    options.intervalMs = 5;
    options.maxInFlight = 32;
    BatchEngine paced(targets, options, names);
    step = {};
    paced.start(0, step);
    EXPECT_EQ(step.started.size(), 1u);
    EXPECT_EQ(paced.nextWakeup(0), 5 * kMs);
    paced.start(4 * kMs, step);
    EXPECT_EQ(step.started.size(), 1u);
    paced.start(5 * kMs, step);
    EXPECT_EQ(step.started.size(), 2u);
}

TEST(BatchEngine, SilentServersAreAskedAgainThenGivenUpAndALateFirstReplyCountsOnce) {
    StartedEngine started(2, optionsOf(100, 1, 0));
    BatchEngine& engine = started.engine;
    BatchStep step;
    engine.expire(100 * kMs, step);
    EXPECT_EQ(step.sends.size(), 4u) << "both asked again, both requests each";
    step = {};
    // The first try's reply of the second server comes after the retry: it is its answer,
    // with the ping counted from the retry; a stranger's datagram changes nothing.
    engine.take(loopbackAt(4242), replyNamed("impostor"), false, 120 * kMs, step);
    EXPECT_TRUE(step.empty());
    engine.take(loopbackAt(27016), replyNamed("late"), false, 150 * kMs, step);
    engine.take(loopbackAt(27016), replyNamed("late"), false, 151 * kMs, step);
    ASSERT_EQ(step.reports.size(), 1u);
    EXPECT_EQ(step.reports[0].index, 1u);
    EXPECT_EQ(step.reports[0].pingMs, 50);
    EXPECT_EQ(infoValue(step.reports[0].answer.infostring, "hostname"), "late");
    step = {};
    engine.expire(199 * kMs, step);
    EXPECT_TRUE(step.empty());
    engine.expire(200 * kMs, step);
    ASSERT_EQ(step.reports.size(), 1u);
    EXPECT_EQ(step.reports[0].index, 0u);
    EXPECT_EQ(step.reports[0].state, "no reply (2 tries, 100 ms each)");
    EXPECT_EQ(step.reports[0].answer.failure, "No data!");
    EXPECT_TRUE(engine.done());
}

TEST(BatchEngine, AChallengeIsAnsweredAndItsResendStartsTheSilenceAgain) {
    StartedEngine started(1, optionsOf(100, 0, 1));
    BatchEngine& engine = started.engine;
    BatchStep step;
    const DemoServer demo(ServerInfo{}, DemoProtocol::A2s);
    const std::string challenge = demo.answer(kA2sInfoRequest, 0, 0);
    engine.take(loopbackAt(27015), challenge, false, 90 * kMs, step);
    ASSERT_EQ(step.sends.size(), 1u);
    EXPECT_EQ(step.sends[0].second, kA2sInfoRequest + challenge.substr(5));
    engine.expire(150 * kMs, step);
    EXPECT_TRUE(step.reports.empty()) << "the resend has a silence of its own";
    engine.take(loopbackAt(27015), demo.answer(step.sends[0].second, 0, 0), false, 100 * kMs, step);
    ASSERT_EQ(step.reports.size(), 1u);
    EXPECT_EQ(step.reports[0].state, "answered");
    EXPECT_EQ(step.reports[0].pingMs, 10);
    // A third challenge in one exchange is a fault, not another resend.
    StartedEngine stubborn(1, optionsOf(100, 0, 1));
    step = stubborn.first;
    for (int i = 0; i < 3; ++i)
        stubborn.engine.take(loopbackAt(27015), challenge, false, i * kMs, step);
    EXPECT_EQ(step.sends.size(), 4u);
    ASSERT_EQ(step.reports.size(), 1u);
    EXPECT_NE(step.reports[0].state, "answered");
}

TEST(BatchEngine, NamesRepeatsTruncationAndFailuresEachEndTheirOwnRows) {
    TableNames names;
    names.known["nowhere.test"] = {"", 11001};
    const std::vector<QueryTarget> targets{{"game.test", 27015},
                                           {"127.0.0.1", 27015},
                                           {"nowhere.test", 1},
                                           {"127.0.0.1", 27016},
                                           {"127.0.0.1", 27017}};
    BatchOptions options;
    options.intervalMs = 0;
    BatchEngine engine(targets, options, names);
    BatchStep step;
    engine.start(0, step);
    EXPECT_EQ(step.started, (std::vector<size_t>{1, 3, 4})) << "game.test waits for its name";
    ASSERT_EQ(step.reports.size(), 1u);
    EXPECT_EQ(step.reports[0].state, "name not found (Socket Error # 11001)");
    EXPECT_EQ(engine.nextWakeup(0), 5 * kMs) << "pending names are looked at again soon";
    step = {};
    names.known["game.test"] = {"127.0.0.1", 0};
    engine.start(kMs, step);
    EXPECT_EQ(step.started, (std::vector<size_t>{0}));
    EXPECT_TRUE(step.sends.empty()) << "the same server is under way: it is asked once";
    engine.take(loopbackAt(27015), replyNamed("twice"), false, 2 * kMs, step);
    engine.take(loopbackAt(27015), replyNamed("twice"), false, 2 * kMs, step);
    engine.take(loopbackAt(27016), std::string(1400, 'x'), true, 2 * kMs, step);
    // A closed port as this system's socket reports it, through the socket's own mapping.
    engine.fail(loopbackAt(27017), DatagramSocket::unreachableCode(os::kClosedPortError), step);
    ASSERT_EQ(step.reports.size(), 4u);
    EXPECT_EQ(step.reports[0].index, 1u);
    EXPECT_EQ(step.reports[1].index, 0u);
    EXPECT_EQ(step.reports[2].state, "reply too long (Socket Error # 10040)");
    EXPECT_EQ(step.reports[3].state, "port closed (Socket Error # 10054)");
    EXPECT_TRUE(engine.done());
}

TEST(Exchange, TheSingleWaitKeepsItsDeadlineThroughAChallenge) {
    Exchange<InfoExchangeRules> exchange({1000 * kMs, 1, false});
    EXPECT_EQ(exchange.start(0).size(), 2u);
    const std::string challenge = std::string("\xFF\xFF\xFF\xFF"
                                              "A\x05\x06\x07\x08",
                                              9);
    const auto resent = exchange.take(challenge, 600 * kMs);
    ASSERT_EQ(resent.sends.size(), 1u);
    EXPECT_EQ(exchange.nextWakeup(), 1000 * kMs);
    EXPECT_EQ(exchange.sentAt(), 600 * kMs);
    EXPECT_FALSE(exchange.expire(999 * kMs).ended());
    EXPECT_TRUE(exchange.expire(1000 * kMs).silent);
    EXPECT_TRUE(exchange.ended());
    EXPECT_FALSE(exchange.take(replyNamed("too late"), 1001 * kMs).ended());
}

TEST(Exchange, PlayersRulesReadChallengeListAndOtherReplies) {
    const DemoServer demo(ServerInfo{}, DemoProtocol::All);
    Exchange<PlayersExchangeRules> exchange({100 * kMs, 2, false});
    const std::vector<std::string> first = exchange.start(0);
    ASSERT_EQ(first, std::vector<std::string>{kA2sPlayerRequest});
    auto step = exchange.take(demo.answer(first[0], 0, 0), kMs);
    ASSERT_EQ(step.sends.size(), 1u);
    step = exchange.take(demo.answer(step.sends[0], 0, 0), 2 * kMs);
    ASSERT_TRUE(step.answer);
    EXPECT_TRUE(step.answer->offered);
    EXPECT_EQ(step.answer->players.size(), static_cast<size_t>(ServerInfo{}.players));

    Exchange<PlayersExchangeRules> old({100 * kMs, 2, false});
    old.start(0);
    EXPECT_EQ(old.take(replyNamed("old"), kMs).answer->failure, PlayersAnswer::kNotAPlayersReply);
    Exchange<PlayersExchangeRules> silent({100 * kMs, 2, false});
    silent.start(0);
    EXPECT_EQ(silent.expire(100 * kMs).sends, std::vector<std::string>{kA2sPlayerRequest});
    EXPECT_TRUE(silent.expire(200 * kMs).silent);
}
