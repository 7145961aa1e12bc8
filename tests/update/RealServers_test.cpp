// The HTTP client against nginx and tinyproxy from Debian, started on the loopback.
#include "tests/support/ChildProcess.h"
#include "tests/support/TcpTestServer.h"
#include "tests/support/TempDir.h"
#include "update/TIdHTTP.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace qm;
using namespace qm::test;

namespace {

HostLookupResult noNames(const std::string&) { return {"", 11001}; }

/// A server program in the foreground, up once its port takes connections.
class Daemon {
public:
    Daemon(const std::vector<std::string>& argv, uint16_t port) : m_process(argv), m_up(waitUntilAccepting(port)) {}
    bool up() const { return m_up; }

private:
    ChildProcess m_process;
    bool m_up;
};

class Nginx {
public:
    Nginx() : m_port(freeLoopbackPort()) {
        writeAll(m_dir.file("update.html"), "Quillmark\n3.51\nQMbld\n100\n");
        writeAll(m_dir.file("big.bin"), std::string(1 << 20, 'q'));
        writeAll(m_dir.file("nginx.conf"),
                 "daemon off;\nmaster_process off;\nerror_log " + m_dir.file("error.log") + ";\npid " +
                     m_dir.file("nginx.pid") + ";\nevents {}\nhttp {\n access_log off;\n client_body_temp_path " +
                     m_dir.path() + ";\n proxy_temp_path " + m_dir.path() + ";\n fastcgi_temp_path " + m_dir.path() +
                     ";\n uwsgi_temp_path " + m_dir.path() + ";\n scgi_temp_path " + m_dir.path() +
                     ";\n server {\n  listen 127.0.0.1:" + std::to_string(m_port) + ";\n  root " + m_dir.path() +
                     ";\n  keepalive_requests 100;\n }\n}\n");
        m_daemon = std::make_unique<Daemon>(
            std::vector<std::string>{"/usr/sbin/nginx", "-p", m_dir.path(), "-c", m_dir.file("nginx.conf")}, m_port);
    }
    bool up() const { return m_daemon->up(); }
    uint16_t port() const { return m_port; }
    std::string url(const std::string& doc) const { return "http://127.0.0.1:" + std::to_string(m_port) + "/" + doc; }

private:
    TempDir m_dir;
    uint16_t m_port;
    std::unique_ptr<Daemon> m_daemon;
};

/// tinyproxy on a free loopback port, with extra lines for its configuration.
class Tinyproxy {
public:
    explicit Tinyproxy(const std::string& extraConfig) : m_port(freeLoopbackPort()) {
        writeAll(m_dir.file("tinyproxy.conf"), "Port " + std::to_string(m_port) +
                                                   "\nListen 127.0.0.1\nTimeout 60\nAllow 127.0.0.1\nMaxClients 10\n"
                                                   "User nobody\nGroup nogroup\nLogLevel Critical\n" + extraConfig);
        m_daemon = std::make_unique<Daemon>(
            std::vector<std::string>{"/usr/bin/tinyproxy", "-d", "-c", m_dir.file("tinyproxy.conf")}, m_port);
    }
    bool up() const { return m_daemon->up(); }
    uint16_t port() const { return m_port; }

private:
    TempDir m_dir;
    uint16_t m_port;
    std::unique_ptr<Daemon> m_daemon;
};

} // namespace

TEST(RealServers, NginxServesThePageAndKeepsTheConnection) {
    if (access("/usr/sbin/nginx", X_OK) != 0)
        GTEST_SKIP() << "nginx is not installed";
    Nginx nginx;
    ASSERT_TRUE(nginx.up());
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
    Tinyproxy proxy("");
    ASSERT_TRUE(proxy.up());
    TIdHTTP http(noNames);
    http.ProxyParams.ProxyServer = "127.0.0.1";
    http.ProxyParams.ProxyPort = proxy.port();
    EXPECT_EQ(http.Get(nginx.url("update.html")), "Quillmark\n3.51\nQMbld\n100\n");
    http.ProxyParams.ProxyPort = 0;
    EXPECT_EQ([&] {
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
    TempDir dir;
    const uint16_t proxyPort = freeLoopbackPort();
    writeAll(dir.file("tinyproxy.conf"), "Port " + std::to_string(proxyPort) +
                                             "\nListen 127.0.0.1\nTimeout 60\nAllow 127.0.0.1\nMaxClients 10\n"
                                             "User nobody\nGroup nogroup\nLogLevel Critical\nBasicAuth me secret\n");
    Daemon proxy({"/usr/bin/tinyproxy", "-d", "-c", dir.file("tinyproxy.conf")}, proxyPort);
    ASSERT_TRUE(proxy.up());
    TIdHTTP http(noNames);
    http.ProxyParams.ProxyServer = "127.0.0.1";
    http.ProxyParams.ProxyPort = proxyPort;
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
