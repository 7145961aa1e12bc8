// Web servers that misbehave on purpose: each fetch ends with the program's own message,
// in bounded time and memory, however the server streams or where it hangs up.
#include "tests/support/TcpTestServer.h"
#include "update/HttpResponse.h"
#include "update/TIdHTTP.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace qm;
using namespace qm::test;
using Connection = TcpTestServer::Connection;

namespace {

HostLookupResult noNames(const std::string&) {
    return {"", 11001};
}

// Sends `head` once, then `unit` again and again until the client hangs up.
TcpTestServer::Script endless(std::string head, std::string unit) {
    return [head, unit](Connection& c) {
        if (c.readRequest().empty() || !c.send(head)) return;
        while (c.running() && c.send(unit)) {
        }
    };
}

// Sends `bytes` and hangs up.
TcpTestServer::Script cutOff(std::string bytes) {
    return [bytes](Connection& c) {
        if (!c.readRequest().empty()) c.send(bytes);
    };
}

std::string fetchFailure(const TcpTestServer::Script& script) {
    TcpTestServer server(script);
    TIdHTTP http(noNames);
    try {
        http.Get("http://127.0.0.1:" + std::to_string(server.port()) + "/update.html");
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no failure)";
}

const std::string kCapMessage = "The answer is larger than 16 MiB; it was not read";

} // namespace

TEST(HostileServers, EndlessStreamsEndAtTheCaps) {
    const struct {
        const char* what;
        TcpTestServer::Script script;
        std::string failure;
    } cases[] = {
        {"a header line of 1 MiB", endless("HTTP/1.1 200 OK\r\nX-Long: ", std::string(1 << 20, 'a')),
         "Max line length exceeded."},
        {"header lines without end", endless("HTTP/1.1 200 OK\r\n", "X-More: yes\r\n"),
         HttpReader::kHeaderTooLarge},
        {"a fold without end", endless("HTTP/1.1 200 OK\r\nX-Fold: a\r\n", " more\r\n"),
         HttpReader::kHeaderTooLarge},
        {"100 Continue without end", endless("", "HTTP/1.1 100 Continue\r\n\r\n"),
         HttpReader::kTooManyContinues},
        {"a body to the close that never closes", endless("HTTP/1.1 200 OK\r\n\r\n", std::string(65536, 'b')),
         kCapMessage},
        {"chunks without end",
         endless("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                 "8000\r\n" + std::string(0x8000, 'c') + "\r\n"),
         kCapMessage},
        {"a length beyond the cap",
         endless("HTTP/1.1 200 OK\r\nContent-Length: 1000000000000\r\n\r\n", std::string(65536, 'd')),
         kCapMessage},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(fetchFailure(c.script), c.failure) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.what;
    }
}

TEST(HostileServers, AHangUpInTheMiddleOfEveryPartIsAFailure) {
    const struct {
        const char* what;
        std::string sent;
        std::string failure;
    } cases[] = {
        {"status line", "HTTP/1.1 20", "Connection Closed Gracefully."},
        {"first header line", "HTTP/1.1 200 OK\r\nContent-Le", "Connection Closed Gracefully."},
        {"sized body", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", "Connection Closed Gracefully."},
        {"chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1",
         "Connection Closed Gracefully."},
        {"chunk data", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab",
         "Connection Closed Gracefully."},
        {"after a chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab",
         "Connection Closed Gracefully."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fetchFailure(cutOff(c.sent)), c.failure) << c.what;
}
