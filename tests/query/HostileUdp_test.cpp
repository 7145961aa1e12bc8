// Game servers and strangers that misbehave on purpose: floods, giant datagrams and
// replies from elsewhere never take the place of the real answer, nor hang a query.
#include "platform/SocketError.h"
#include "query/BatchQuery.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "query/TIdUDPClient.h"
#include "tests/query/ReplyNamed.h"
#include "tests/support/TestSystem.h"
#include "tests/support/UdpResponder.h"
#include "tools/QueryCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
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
    QM_SKIP_UNLESS_SYSTEM_HAS(DatagramFloods);
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

// A server that puts line ends or terminal escapes into its name or map must not be able
// to forge a line of its own: in the memo, the command line's output or the table.
TEST(HostileUdp, ControlBytesInAServersTextsAreShownEscaped) {
    const std::string forged = "evil\n127.0.0.9:27015\tanswered\t1\x1B[31m\x7F";
    const std::string shown = "evil\\x0A127.0.0.9:27015\\x09answered\\x091\\x1B[31m\\x7F";
    A2sInfo a2s;
    a2s.name = forged;
    a2s.map = forged;
    const std::string replies[] = {replyNamed(forged), buildA2sInfoReply(a2s)};
    for (const std::string& reply : replies) {
        const UdpResponder server([&](const std::string& r) {
            return r == kInfoRequest || r.rfind(kA2sInfoRequest, 0) == 0 ? reply : std::string();
        });
        TIdUDPClient client;
        SteadyClock clock;
        const InfoExchange memo = runInfoExchange(client, "127.0.0.1", server.port(), clock, 1000);
        ASSERT_EQ(memo.memoLines.size(), 10u);
        EXPECT_EQ(memo.memoLines[7], "Server: " + shown);
        for (const std::string& line : memo.memoLines)
            EXPECT_EQ(line.find_first_of("\n\r\t\x1B\x7F"), std::string::npos) << line;

        const std::string target = "127.0.0.1:" + std::to_string(server.port());
        std::ostringstream out, err;
        runQueryCommand({target, target}, out, err);
        const std::string text = out.str();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
        EXPECT_EQ(text.find('\x1B'), std::string::npos) << text;
        EXPECT_NE(text.find(shown + "\n"), std::string::npos) << text;
    }
    // A datagram without the marker is shown in its failure, escaped the same way.
    EXPECT_EQ(InfoExchangeRules().take("abcdx\nfake\x1B").answer.failure, "Invalid message: x\\x0Afake\\x1B");
}
