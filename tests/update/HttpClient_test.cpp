#include "platform/SocketError.h"
#include "tests/support/TcpTestServer.h"
#include "update/TIdHTTP.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace qm;
using namespace qm::test;

namespace {

using Connection = TcpTestServer::Connection;

HostLookupResult loopbackOnly(const std::string& name) {
    if (name == "updates.test") return {"127.0.0.1", 0};
    return {"", 11001};
}

std::string url(const TcpTestServer& s, const std::string& path = "/update.html") {
    return "http://127.0.0.1:" + std::to_string(s.port()) + path;
}

std::string failureOf(TIdHTTP& http, const std::string& target) {
    try {
        http.Get(target);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no failure)";
}

void answer(Connection& c, const std::string& response) {
    if (!c.readRequest().empty()) c.send(response);
}

} // namespace

TEST(HttpClient, DirectRequestIsExactlyAsListed) {
    TcpTestServer server(
        [](Connection& c) { answer(c, "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\npage"); });
    TIdHTTP http(loopbackOnly);
    EXPECT_EQ(http.Get(url(server)), "page");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /update.html HTTP/1.1\r\n"
                                    "Content-Type: text/html\r\n"
                                    "Host: 127.0.0.1:" +
                                        std::to_string(server.port()) +
                                        "\r\n"
                                        "Accept: text/html, */*\r\n"
                                        "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                        "\r\n");
}

TEST(HttpClient, ThroughAProxyTheTargetIsTheWholeUrlWithItsPort) {
    TcpTestServer proxy([](Connection& c) { answer(c, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"); });
    TIdHTTP http(loopbackOnly);
    http.ProxyParams.ProxyServer = "127.0.0.1";
    http.ProxyParams.ProxyPort = proxy.port();
    EXPECT_EQ(http.Get("http://updates.test/update.html"), "ok");
    EXPECT_EQ(proxy.requests().at(0), "GET http://updates.test:80/update.html HTTP/1.1\r\n"
                                      "Content-Type: text/html\r\n"
                                      "Host: updates.test\r\n"
                                      "Accept: text/html, */*\r\n"
                                      "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                      "\r\n");
}

TEST(HttpClient, ProxyPortZeroFailsWithASocketError) {
    TIdHTTP http(loopbackOnly);
    http.ProxyParams.ProxyServer = "127.0.0.1";
    EXPECT_EQ(failureOf(http, "http://updates.test/update.html"),
              "Socket Error # 10061\r\nConnection refused.");
}

TEST(HttpClient, RefusedPortAndUnknownHost) {
    const uint16_t port = freeLoopbackPort();
    TIdHTTP http(loopbackOnly);
    EXPECT_EQ(failureOf(http, "http://127.0.0.1:" + std::to_string(port) + "/"),
              "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(failureOf(http, "http://nowhere.test/"),
              std::string("Socket Error # 11001\r\n") + socketErrorText(11001));
}

TEST(HttpClient, RedirectIsNotFollowed) {
    TcpTestServer server([](Connection& c) {
        answer(c, "HTTP/1.1 301 Moved Permanently\r\nLocation: "
                  "http://127.0.0.1:1/elsewhere\r\nContent-Length: 0\r\n\r\n");
    });
    TIdHTTP http(loopbackOnly);
    try {
        http.Get(url(server));
        FAIL();
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_STREQ(e.what(), "HTTP/1.1 301 Moved Permanently");
        EXPECT_EQ(e.ErrorCode(), 301);
    }
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(HttpClient, ErrorAnswerCarriesItsBody) {
    TcpTestServer server(
        [](Connection& c) { answer(c, "HTTP/1.1 404 Not Here\r\nContent-Length: 7\r\n\r\nmissing"); });
    TIdHTTP http(loopbackOnly);
    try {
        http.Get(url(server));
        FAIL();
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_STREQ(e.what(), "HTTP/1.1 404 Not Here");
        EXPECT_EQ(e.ErrorCode(), 404);
        EXPECT_EQ(e.ErrorMessage(), "missing");
    }
}

TEST(HttpClient, ErrorBodyThatNeverComesIsAReadTimeout) {
    TcpTestServer server([](Connection& c) {
        answer(c, "HTTP/1.1 500 Oops\r\nContent-Length: 10\r\n\r\nab");
        c.waitForStop();
    });
    TIdHTTP http(loopbackOnly);
    http.setReadLimit(200);
    EXPECT_EQ(failureOf(http, url(server)), "Read Timeout");
}

TEST(HttpClient, SuccessAfterACloseInTheHeadIsUndefined) {
    TcpTestServer server([](Connection& c) { answer(c, "HTTP/1.1 200 OK\r\nServer: t\r\nDate: x"); });
    TIdHTTP http(loopbackOnly);
    EXPECT_EQ(failureOf(http, url(server)), "Undefined situation");
}

TEST(HttpClient, ShortBodyFailsAndTheClientStaysUsable) {
    int round = 0;
    TcpTestServer server([&](Connection& c) {
        answer(c, round++ == 0 ? "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(60, 'x')
                               : std::string("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nyes"));
    });
    TIdHTTP http(loopbackOnly);
    EXPECT_EQ(failureOf(http, url(server)), "Connection Closed Gracefully.");
    EXPECT_EQ(http.Get(url(server)), "yes");
}

TEST(HttpClient, SilentServerEndsInAReadTimeoutWhileThePumpRuns) {
    TcpTestServer server([](Connection& c) {
        c.readRequest();
        c.waitForStop();
    });
    TIdHTTP http(loopbackOnly);
    int pumps = 0;
    http.setMessagePump([&] { return ++pumps, true; });
    http.setReadLimit(600);
    EXPECT_EQ(failureOf(http, url(server)), "Read Timeout");
    EXPECT_GE(pumps, 2);
}

TEST(HttpClient, KeepsTheConnectionForTheNextFetch) {
    TcpTestServer server([](Connection& c) {
        while (!c.readRequest().empty())
            c.send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    });
    TIdHTTP http(loopbackOnly);
    EXPECT_EQ(http.Get(url(server)), "ok");
    EXPECT_EQ(http.Get(url(server)), "ok");
    EXPECT_EQ(server.connections(), 1);
}

TEST(HttpClient, ConnectionCloseMeansANewConnection) {
    TcpTestServer server([](Connection& c) {
        while (!c.readRequest().empty())
            c.send("HTTP/1.1 200 OK\r\nConnection: Close \r\nContent-Length: 2\r\n\r\nok");
    });
    TIdHTTP http(loopbackOnly);
    http.Get(url(server));
    http.Get(url(server));
    EXPECT_EQ(server.connections(), 2);
}

TEST(HttpClient, KeptConnectionClosedByTheServerIsMadeAgain) {
    TcpTestServer server([](Connection& c) { answer(c, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"); });
    TIdHTTP http(loopbackOnly);
    EXPECT_EQ(http.Get(url(server)), "ok");
    server.waitForClosed(1);
    EXPECT_EQ(http.Get(url(server)), "ok");
    EXPECT_EQ(server.connections(), 2);
}

// A server that closes each connection right after its answer: the close may reach the
// client only once the next request is on its way, which is then asked again on a new
// connection, once; a server that closes a new connection unanswered still fails the fetch.
TEST(HttpClient, AKeptConnectionClosedAsTheRequestGoesOutIsAskedAgainOnce) {
    TcpTestServer closing([](Connection& c) { answer(c, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"); });
    TIdHTTP http(loopbackOnly);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(http.Get(url(closing)), "ok") << i;
    EXPECT_EQ(closing.connections(), 100);

    std::atomic<bool> answered{false};
    TcpTestServer once([&](Connection& c) {
        if (!answered.exchange(true))
            answer(c, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
        else
            c.readRequest(); // and closes unanswered
    });
    TIdHTTP second(loopbackOnly);
    EXPECT_EQ(second.Get(url(once)), "ok");
    EXPECT_EQ(failureOf(second, url(once)), "Connection Closed Gracefully.");
    EXPECT_EQ(once.connections(), 2);
}

TEST(HttpClient, CookiesGoBackToTheirHost) {
    TcpTestServer server([](Connection& c) {
        while (!c.readRequest().empty())
            c.send("HTTP/1.1 200 OK\r\nSet-Cookie: visit=1; Path=/\r\nSet-cookie2: "
                   "lang=en\r\nContent-Length: 0\r\n\r\n");
    });
    TIdHTTP http(loopbackOnly);
    http.Get(url(server));
    http.Get(url(server));
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[0].find("Cookie:"), std::string::npos);
    EXPECT_NE(server.requests()[1].find("\r\nCookie: lang=en; visit=1\r\n"), std::string::npos)
        << server.requests()[1];
}

TEST(HttpClient, ProxyLoginIsOfferedOnceAfterA407) {
    TcpTestServer proxy([](Connection& c) {
        const std::string request = c.readRequest();
        if (request.find("Proxy-Authorization: Basic bWU6c2VjcmV0\r\n") != std::string::npos)
            c.send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nin");
        else
            c.send("HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 0\r\n\r\n");
    });
    TIdHTTP http(loopbackOnly);
    http.ProxyParams.ProxyServer = "127.0.0.1";
    http.ProxyParams.ProxyPort = proxy.port();
    http.ProxyParams.ProxyUsername = "me";
    http.ProxyParams.ProxyPassword = "secret";
    EXPECT_EQ(http.Get("http://updates.test/update.html"), "in");
    EXPECT_EQ(proxy.requests().size(), 2u);
}

TEST(HttpClient, ProxyWithoutLoginFailsWithIts407) {
    TcpTestServer proxy([](Connection& c) {
        answer(c, "HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 0\r\n\r\n");
    });
    TIdHTTP http(loopbackOnly);
    http.ProxyParams.ProxyServer = "127.0.0.1";
    http.ProxyParams.ProxyPort = proxy.port();
    EXPECT_EQ(failureOf(http, "http://updates.test/update.html"),
              "HTTP/1.1 407 Proxy Authentication Required");
    EXPECT_EQ(proxy.requests().at(0).find("Proxy-Authorization"), std::string::npos);
}

TEST(HttpClient, HttpsIsRefused) {
    TIdHTTP http(loopbackOnly);
    EXPECT_EQ(failureOf(http, "https://updates.test/update.html"), "IOHandler value is not valid");
}
