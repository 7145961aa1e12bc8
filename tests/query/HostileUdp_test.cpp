// Game servers and strangers that misbehave on purpose: floods, giant datagrams and
// replies from elsewhere never take the place of the real answer, nor hang a query.
#include "platform/SocketError.h"
#include "query/BatchQuery.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "query/TIdUDPClient.h"
#include "tests/query/ReplyNamed.h"
#include "tests/support/UdpResponder.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace qm;
using namespace qm::test;
using namespace std::chrono_literals;

namespace {

// Sends `count` datagrams that look like real replies to `port`, in bursts the client
// can drain, from a socket that was never asked.
void flood(const UdpResponder& from, uint16_t port, int count) {
    const std::string fake = replyNamed("impostor");
    for (int i = 0; i < count; ++i) {
        from.sendTo(port, fake);
        if (i % 200 == 199) std::this_thread::sleep_for(1ms);
    }
}

} // namespace

TEST(HostileUdp, TenThousandStrangersDatagramsDoNotHideTheAnswer) {
    UdpResponder stranger([](const std::string&) { return std::string(); });
    std::unique_ptr<UdpResponder> server;
    server = std::make_unique<UdpResponder>([&](const std::string& request) {
        if (request != kInfoRequest) return std::string();
        flood(stranger, server->lastClientPort(), 10000);
        // The client drains the flood while the reply is on its way, as a real one would
        // come after a round trip; a full receive queue would drop any datagram at all.
        std::this_thread::sleep_for(100ms);
        return replyNamed("real");
    });
    TIdUDPClient client;
    SteadyClock clock;
    const auto start = std::chrono::steady_clock::now();
    const InfoExchange shown =
        runInfoExchange(client, "127.0.0.1", server->port(), clock, clock.frequency() / 1000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    ASSERT_TRUE(shown.answered) << (shown.memoLines.empty() ? "" : shown.memoLines[0]);
    EXPECT_EQ(shown.memoLines[7], "Server: real");

    // The batch's own socket sorts them the same way.
    BatchQuery batch;
    std::vector<BatchResult> results;
    batch.run({{"127.0.0.1", server->port()}}, [&](const BatchResult& r) { results.push_back(r); });
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(infoValue(results[0].answer.infostring, "hostname"), "real");
}

TEST(HostileUdp, AGiantReplyIsOneServersFaultAndNoOtherOnes) {
    UdpResponder giant([](const std::string& r) {
        return r == kInfoRequest ? std::string("\xFF\xFF\xFF\xFF", 4) + std::string(65000, 'x')
                                 : std::string();
    });
    UdpResponder normal(
        [](const std::string& r) { return r == kInfoRequest ? replyNamed("normal") : std::string(); });

    TIdUDPClient client;
    client.Host = "127.0.0.1";
    client.Port = giant.port();
    client.SendDatagram(kInfoRequest);
    try {
        client.ReceiveDatagram(1000);
        ADD_FAILURE() << "a datagram longer than the buffer must fail";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.code(), 10040);
    }

    BatchQuery batch;
    std::vector<BatchResult> results;
    batch.run({{"127.0.0.1", giant.port()}, {"127.0.0.1", normal.port()}},
              [&](const BatchResult& r) { results.push_back(r); });
    ASSERT_EQ(results.size(), 2u);
    for (const BatchResult& r : results) {
        if (r.index == 1)
            EXPECT_EQ(infoValue(r.answer.infostring, "hostname"), "normal");
        else
            EXPECT_EQ(r.answer.infostring.size(), 65004u);
    }
}
