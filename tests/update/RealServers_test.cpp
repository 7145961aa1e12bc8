// The HTTP client against nginx and tinyproxy from Debian, started on the loopback.
#include "tests/support/ChildProcess.h"
#include "tests/support/LoopbackDaemons.h"
#include "tests/support/TcpTestServer.h"
#include "tests/support/TempDir.h"
#include "update/TIdHTTP.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

HostLookupResult noNames(const std::string&) {
    return {"", 11001};
}

void serveUpdatePages(const Nginx& nginx) {
    nginx.put("update.html", "Quillmark\n3.51\nQMbld\n100\n");
    nginx.put("big.bin", std::string(1 << 20, 'q'));
}

} // namespace

TEST(RealServers, NginxServesThePageAndKeepsTheConnection) {
    if (access("/usr/sbin/nginx", X_OK) != 0) GTEST_SKIP() << "nginx is not installed";
    Nginx nginx;
    ASSERT_TRUE(nginx.up());
    serveUpdatePages(nginx);
    TIdHTTP http(noNames);
    EXPECT_EQ(http.Get(nginx.url("update.html")), "Quillmark\n3.51\nQMbld\n100\n");
    EXPECT_EQ(http.Get(nginx.url("big.bin")), std::string(1 << 20, 'q'));
    try {
        http.Get(nginx.url("missing.html"));
        FAIL();
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_STREQ(e.what(), "HTTP/1.1 404 Not Found");
        EXPECT_NE(e.ErrorMessage().find("404"), std::string::npos);
    }
    EXPECT_EQ(http.Get(nginx.url("update.html")), "Quillmark\n3.51\nQMbld\n100\n");
}

TEST(RealServers, TinyproxyCarriesTheFetch) {
    if (access("/usr/sbin/nginx", X_OK) != 0 || access("/usr/bin/tinyproxy", X_OK) != 0)
        GTEST_SKIP() << "nginx or tinyproxy is not installed";
    Nginx nginx;
    ASSERT_TRUE(nginx.up());
    serveUpdatePages(nginx);
    Tinyproxy proxy("");
    ASSERT_TRUE(proxy.up());
    TIdHTTP http(noNames);
    http.ProxyParams.ProxyServer = "127.0.0.1";
    http.ProxyParams.ProxyPort = proxy.port();
    EXPECT_EQ(http.Get(nginx.url("update.html")), "Quillmark\n3.51\nQMbld\n100\n");
    http.ProxyParams.ProxyPort = 0;
    EXPECT_EQ(
        [&] {
            try {
                http.Get(nginx.url("update.html"));
            } catch (const std::exception& e) {
                return std::string(e.what());
            }
            return std::string();
        }(),
        "Socket Error # 10061\r\nConnection refused.");
}

TEST(RealServers, TinyproxyWithALoginGetsTheOneTyped) {
    if (access("/usr/sbin/nginx", X_OK) != 0 || access("/usr/bin/tinyproxy", X_OK) != 0)
        GTEST_SKIP() << "nginx or tinyproxy is not installed";
    Nginx nginx;
    ASSERT_TRUE(nginx.up());
    serveUpdatePages(nginx);
    Tinyproxy proxy("BasicAuth me secret\n");
    ASSERT_TRUE(proxy.up());
    TIdHTTP http(noNames);
    http.ProxyParams.ProxyServer = "127.0.0.1";
    http.ProxyParams.ProxyPort = proxy.port();
    try {
        http.Get(nginx.url("update.html"));
        FAIL() << "the proxy let an anonymous request through";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_EQ(e.ErrorCode(), 407);
    }
    http.ProxyParams.ProxyUsername = "me";
    http.ProxyParams.ProxyPassword = "secret";
    EXPECT_EQ(http.Get(nginx.url("update.html")), "Quillmark\n3.51\nQMbld\n100\n");
}
