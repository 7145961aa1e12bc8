// The batch query against responders on loopback: matching by sender, retries, limits,
// Cancel, and the players query.
#include "query/BatchQuery.h"
#include "query/FailureState.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "query/NameLookups.h"
#include "query/PlayersQuery.h"
#include "tests/query/ReplyNamed.h"
#include "tests/support/TestSystem.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <thread>

using namespace qm;
using namespace qm::test;
using namespace std::chrono_literals;

namespace {

// Answers the infostring request only, as an old server does.
UdpResponder::Reply legacyServer(const std::string& name) {
    return [name](const std::string& request) { return request == kInfoRequest ? replyNamed(name) : ""; };
}

UdpResponder::Reply silentServer() {
    return [](const std::string&) { return std::string(); };
}

QueryTarget loopback(uint16_t port) {
    return {"127.0.0.1", port};
}

std::vector<BatchResult> runAll(BatchQuery& batch, const std::vector<QueryTarget>& targets) {
    std::vector<BatchResult> results;
    batch.run(targets, [&](const BatchResult& r) { results.push_back(r); });
    return results;
}

std::string nameOf(const BatchResult& r) {
    return infoValue(r.answer.infostring, "hostname");
}

} // namespace

TEST(BatchQuery, RepliesAreMatchedBySenderWhateverTheirOrderAndRepeats) {
    // The first asked answers last; the delays lie far enough apart that a busy machine
    // (Wine) does not swap them.
    const auto delayOf = [](size_t i) { return std::chrono::milliseconds(30 * (8 - static_cast<int>(i))); };
    std::vector<std::unique_ptr<UdpResponder>> servers;
    std::vector<QueryTarget> targets;
    for (size_t i = 0; i < 8; ++i) {
        servers.push_back(
            std::make_unique<UdpResponder>(legacyServer("server " + std::to_string(i)), delayOf(i)));
        servers.back()->copies = 3;
        targets.push_back(loopback(servers.back()->port()));
    }
    BatchQuery batch;
    const std::vector<BatchResult> results = runAll(batch, targets);
    ASSERT_EQ(results.size(), 8u);
    std::vector<bool> seen(8, false);
    for (const BatchResult& r : results) {
        ASSERT_LT(r.index, 8u);
        EXPECT_FALSE(seen[r.index]) << "reported twice: " << r.index;
        seen[r.index] = true;
        EXPECT_EQ(r.state, kAnsweredState);
        EXPECT_EQ(nameOf(r), "server " + std::to_string(r.index));
        EXPECT_EQ(r.answer.protocolName(), "infostring");
        EXPECT_GE(r.pingMs, delayOf(r.index).count() - 2);
    }
    EXPECT_EQ(results.front().index, 7u) << "results come as they end";
}

TEST(BatchQuery, CancelStopsEverySendAtOnce) {
    std::vector<std::unique_ptr<UdpResponder>> servers;
    std::vector<QueryTarget> targets;
    for (int i = 0; i < 40; ++i) {
        servers.push_back(std::make_unique<UdpResponder>(silentServer()));
        targets.push_back(loopback(servers.back()->port()));
    }
    BatchOptions options;
    options.maxInFlight = 8;
    options.silenceMs = 100;
    BatchQuery batch(options);
    std::promise<void> eightUnderWay;
    size_t started = 0, reported = 0;
    std::thread runner([&] {
        batch.run(
            targets, [&](const BatchResult&) { ++reported; },
            [&](size_t) {
                if (++started == 8) eightUnderWay.set_value();
            });
    });
    ASSERT_EQ(eightUnderWay.get_future().wait_for(10s), std::future_status::ready);
    batch.cancel();
    const size_t sentAtCancel = batch.datagramsSent();
    const auto cancelledAt = std::chrono::steady_clock::now();
    runner.join();
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, 100ms);
    EXPECT_EQ(batch.datagramsSent(), sentAtCancel) << "sent after Cancel returned";
    EXPECT_GE(sentAtCancel, 16u);
    EXPECT_LT(reported, 40u);
}

TEST(BatchQuery, AnEmptyListEndsAtOnce) {
    BatchQuery batch;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(runAll(batch, {}).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);
}

TEST(BatchQuery, ChallengesClosedPortsRepeatsAndNamesLookedUpOnce) {
    QM_SKIP_UNLESS_SYSTEM_HAS(PortUnreachable);
    ServerInfo info;
    info.hostname = "today";
    const DemoServer demo(info, DemoProtocol::A2s);
    UdpResponder modern([&](const std::string& request) { return demo.answer(request, 0, 0); });
    const uint16_t closed = closedLoopbackUdpPort();
    std::atomic<int> lookups = 0;
    BatchQuery batch({}, [&](const std::string& name) {
        ++lookups;
        return name == "game.test" ? HostLookupResult{"127.0.0.1", 0} : HostLookupResult{"", 11001};
    });
    const std::vector<BatchResult> results = runAll(
        batch,
        {{"game.test", modern.port()}, loopback(closed), {"game.test", modern.port()}, {"nowhere.test", 1}});
    ASSERT_EQ(results.size(), 4u);
    std::vector<const BatchResult*> byIndex(4);
    for (const BatchResult& r : results)
        byIndex[r.index] = &r;
    for (size_t i : {0u, 2u}) {
        EXPECT_EQ(byIndex[i]->state, kAnsweredState);
        EXPECT_EQ(byIndex[i]->answer.protocolName(), "A2S");
        EXPECT_EQ(byIndex[i]->answer.info.name, "today");
    }
    EXPECT_EQ(byIndex[1]->state, "port closed (Socket Error # 10054)");
    EXPECT_EQ(byIndex[3]->state, "name not found (Socket Error # 11001)");
    EXPECT_EQ(lookups, 2);
    // One exchange for the server named twice: both requests, then the challenged one.
    EXPECT_EQ(modern.requests().size(), 3u);
}

TEST(PlayersQuery, PlayersAfterTheChallengeOrNotOffered) {
    QM_SKIP_UNLESS_SYSTEM_HAS(PortUnreachable);
    const DemoServer demo(ServerInfo{}, DemoProtocol::All);
    UdpResponder modern([&](const std::string& request) { return demo.answer(request, 0, 0); });
    const PlayersAnswer players = queryPlayers(loopback(modern.port()), 500);
    EXPECT_TRUE(players.offered);
    EXPECT_EQ(players.players.size(), static_cast<size_t>(ServerInfo{}.players));
    ASSERT_EQ(modern.requests().size(), 2u);
    EXPECT_EQ(modern.requests()[1].substr(0, 5), kA2sPlayerRequest.substr(0, 5));
    EXPECT_NE(modern.requests()[1], kA2sPlayerRequest);

    UdpResponder old(legacyServer("old"));
    const struct {
        PlayersAnswer answer;
        const char* why;
    } refused[] = {
        {queryPlayers(loopback(old.port()), 100), PlayersAnswer::kNoReply},
        {queryPlayers(loopback(closedLoopbackUdpPort()), 100), PlayersAnswer::kPortClosed},
        {queryPlayers({"nowhere.test", 1}, 100,
                      [](const std::string&) {
                          return HostLookupResult{"", 11001};
                      }),
         PlayersAnswer::kNameNotFound},
        {queryPlayers(loopback(old.port()), 100, systemHostLookup, [] { return true; }),
         PlayersAnswer::kStopped},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(r.answer.offered);
        EXPECT_EQ(r.answer.failure, r.why);
    }
}

namespace {

// A lookup that hangs until released, as a name whose server does not answer does. It
// holds what it shares by value: a lookup can outlive the batch that asked it.
struct HangingName {
    std::shared_ptr<std::promise<void>> release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    HostLookup lookup() const {
        return [released = released](const std::string& name) {
            if (name == "slow.test") released.wait_for(30s);
            return HostLookupResult{"127.0.0.1", 0};
        };
    }
};

} // namespace

TEST(BatchQuery, ASlowNameHoldsUpItsOwnRowsAloneAndCancelDoesNotWaitForIt) {
    const UdpResponder server(legacyServer("quick"));
    std::vector<QueryTarget> targets{{"slow.test", server.port()}};
    for (int i = 0; i < 20; ++i)
        targets.push_back({i % 2 ? "127.0.0.1" : "quick.test", server.port()});
    {
        HangingName name;
        BatchQuery batch({}, name.lookup());
        std::promise<void> othersDone;
        size_t reported = 0;
        auto run = std::async(std::launch::async, [&] {
            batch.run(targets, [&](const BatchResult& r) {
                EXPECT_EQ(r.state, kAnsweredState);
                if (++reported == targets.size() - 1) othersDone.set_value();
            });
        });
        // Every other row is in while the slow name is still being looked up.
        ASSERT_EQ(othersDone.get_future().wait_for(10s), std::future_status::ready);
        name.release->set_value();
        ASSERT_EQ(run.wait_for(10s), std::future_status::ready);
        EXPECT_EQ(reported, targets.size());
    }
    {
        HangingName name;
        BatchQuery batch({}, name.lookup());
        std::promise<void> quickRowsIn;
        size_t reported = 0;
        auto run = std::async(std::launch::async, [&] {
            batch.run(targets, [&](const BatchResult&) {
                if (++reported == 5) quickRowsIn.set_value();
            });
        });
        // The quick rows are under way; the slow name hangs.
        ASSERT_EQ(quickRowsIn.get_future().wait_for(10s), std::future_status::ready);
        batch.cancel();
        // Without a release the lookup hangs for 30 s: the run must end regardless.
        EXPECT_EQ(run.wait_for(5s), std::future_status::ready);
        name.release->set_value();
    }
}

TEST(NameLookups, ANameOverItsDeadlineIsGivenUpAndDottedOnesNeedNoHelper) {
    HangingName name;
    ManualClock clock;
    NameLookups lookups(name.lookup(), 1, 20ms, clock);
    lookups.ask("slow.test");
    lookups.ask("10.1.2.3");
    lookups.ask("LocalHost");
    EXPECT_EQ(lookups.answer("10.1.2.3")->address, "10.1.2.3");
    EXPECT_EQ(lookups.answer("LocalHost")->address, "127.0.0.1");
    EXPECT_FALSE(lookups.answer("never.asked"));
    clock.advanceMilliseconds(19);
    EXPECT_FALSE(lookups.answer("slow.test"));
    clock.advanceMilliseconds(1);
    const std::optional<HostLookupResult> slow = lookups.answer("slow.test");
    ASSERT_TRUE(slow);
    EXPECT_EQ(slow->errorCode, NameLookups::kTimedOutCode);
    name.release->set_value();
}

TEST(FailureState, SilentServersReadInWordsBesideTheCode) {
    const std::pair<int, const char*> codes[] = {
        {10054, "port closed (Socket Error # 10054)"},
        {11001, "name not found (Socket Error # 11001)"},
        {10040, "reply too long (Socket Error # 10040)"},
        {10061, "connection refused (Socket Error # 10061)"},
        // A code without words of its own: the socket error's text on one line.
        {10048, "Socket Error # 10048 Address already in use."},
    };
    for (const auto& [code, state] : codes)
        EXPECT_EQ(socketFailureState(code), state);
    EXPECT_EQ(noReplyState(2, 1000), "no reply (2 tries, 1 s each)");
    EXPECT_EQ(noReplyState(1, 250), "no reply (1 try, 250 ms each)");
}
