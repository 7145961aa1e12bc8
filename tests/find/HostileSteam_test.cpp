// Steam's list asked of peers that misbehave on purpose: every request ends at its
// deadline or its cap, whatever the peer does. The peers speak plain HTTP through the
// tests' own option: what is tried here is the transfer, not the TLS under it.
#include "find/SteamServerList.h"
#include "tests/support/TcpTestServer.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace qm;
using namespace qm::test;
using WallClock = std::chrono::steady_clock;

namespace {

SteamListRequest plainRequestTo(const TcpTestServer& server) {
    SteamListRequest r;
    r.key = "0123456789ABCDEF0123456789ABCDEF";
    r.apiBase = "http://127.0.0.1:" + std::to_string(server.port());
    r.testPlainHttp = true;
    r.timeoutMs = 1000;
    r.maxBytes = 1u << 20;
    return r;
}

struct Fetched {
    SteamListAnswer answer;
    double seconds;
};

Fetched fetchFrom(const SteamListRequest& r) {
    const auto start = WallClock::now();
    SteamListAnswer a = fetchSteamList(r, nullptr, [](const std::string&) {});
    return {std::move(a), std::chrono::duration<double>(WallClock::now() - start).count()};
}

// Sends `piece` until the server stops, the peer goes, or `most` bytes went, pausing
// `pause` between pieces: the peer's own pace, not a test waiting.
size_t keepSending(TcpTestServer::Connection& c, const std::string& piece, size_t most,
                   std::chrono::milliseconds pause) {
    size_t sent = 0;
    while (c.running() && sent < most && c.send(piece)) {
        sent += piece.size();
        if (pause.count() > 0) std::this_thread::sleep_for(pause);
    }
    return sent;
}

} // namespace

TEST(HostileSteam, EveryMisbehavingPeerEndsAtTheDeadlineOrTheCap) {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";
    std::atomic<size_t> sent{0};
    const struct {
        const char* what;
        TcpTestServer::Script script;
        const char* problem; // how the answer begins
    } cases[] = {
        {"headers one byte at a time",
         [&](TcpTestServer::Connection& c) {
             c.readRequest();
             for (char b : head + "Content-Length: 2\r\n\r\n[]")
                 if (!c.running() || !c.send(std::string(1, b)))
                     return;
                 else
                     std::this_thread::sleep_for(std::chrono::milliseconds(250));
         },
         "Steam did not answer in time."},
        {"a body that never ends, slowly",
         [&](TcpTestServer::Connection& c) {
             c.readRequest();
             c.send(head + "\r\n{\"response\":{\"servers\":[");
             keepSending(c, "{\"addr\":\"1.2.3.4:1\"},", SIZE_MAX, std::chrono::milliseconds(20));
         },
         "Steam did not answer in time."},
        {"a body that never ends, fast",
         [&](TcpTestServer::Connection& c) {
             c.readRequest();
             c.send(head + "\r\n{\"response\":{\"servers\":[");
             sent = keepSending(c, std::string(64 << 10, ' '), SIZE_MAX, std::chrono::milliseconds(0));
         },
         "Steam's answer was too large to take; ask for fewer servers."},
        {"2 GB announced and sent",
         [&](TcpTestServer::Connection& c) {
             c.readRequest();
             c.send(head + "Content-Length: 2147483648\r\n\r\n");
             sent = keepSending(c, std::string(64 << 10, ' '), size_t{2} << 30, std::chrono::milliseconds(0));
         },
         "Steam's answer was too large to take; ask for fewer servers."},
    };
    for (const auto& c : cases) {
        sent = 0;
        TcpTestServer server(c.script);
        const Fetched f = fetchFrom(plainRequestTo(server));
        EXPECT_EQ(f.answer.problem.rfind(c.problem, 0), 0u) << c.what << ": " << f.answer.problem;
        // The deadline is 1 s: the request never outlives it by much. (Wine's WinHTTP lets
        // no other thread end a call that waits for headers, as Windows' does: there the
        // request ends when the last header byte comes, still as out of time.)
        const bool wineWaitsForHeaders = onWindows() && std::string(c.what) == "headers one byte at a time";
        if (!wineWaitsForHeaders) {
            EXPECT_LT(f.seconds, 3.0) << c.what;
        }
        EXPECT_TRUE(f.answer.servers.empty()) << c.what;
        // Refused at the cap: the peer was left long before its 2 GB.
        EXPECT_LT(sent.load(), size_t{256} << 20) << c.what;
    }
}

TEST(HostileSteam, AProxyThatAnswersConnectWithGarbageIsNamed) {
    // Wine's WinHTTP talks no TLS to a local peer (it fails as a certificate error), so
    // what a tunnel's failure looks like cannot be told there.
    if (onWindows()) GTEST_SKIP() << "Wine's WinHTTP reports any local TLS peer as a certificate failure";
    TcpTestServer proxy([](TcpTestServer::Connection& c) {
        c.readRequest();
        c.send("garbage that is no HTTP at all\r\n\r\n");
    });
    TcpTestServer steam([](TcpTestServer::Connection& c) { c.readRequest(); });
    SteamListRequest r = plainRequestTo(steam);
    r.apiBase = "https://127.0.0.1:" + std::to_string(steam.port());
    r.testPlainHttp = false;
    r.proxyHost = "127.0.0.1";
    r.proxyPort = proxy.port();
    const Fetched f = fetchFrom(r);
    const std::string start = "The proxy at 127.0.0.1:" + std::to_string(proxy.port());
    EXPECT_EQ(f.answer.problem.rfind(start, 0), 0u) << f.answer.problem;
    EXPECT_LT(f.seconds, 3.0);
}
