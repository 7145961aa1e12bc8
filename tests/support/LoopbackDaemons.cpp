#include "tests/support/LoopbackDaemons.h"

#include "tests/support/TcpTestServer.h"
#include "tests/support/TestSystem.h"

namespace qm::test {

Daemon::Daemon(const std::vector<std::string>& argv, uint16_t port)
    : m_process(argv), m_up(waitUntilAccepting(port)) {}

Nginx::Nginx() : m_port(freeLoopbackPort()) {
    // nginx runs on the host, also beside a test under Wine: it knows the folder by the
    // host's name for it.
    const std::string dir = hostPathOf(m_dir.path());
    writeAll(m_dir.file("nginx.conf"),
             "daemon off;\nmaster_process off;\nerror_log " + dir + "error.log;\npid " + dir + "nginx.pid" +
                 ";\nevents {}\nhttp {\n access_log off;\n client_body_temp_path " + dir +
                 ";\n proxy_temp_path " + dir + ";\n fastcgi_temp_path " + dir + ";\n uwsgi_temp_path " +
                 dir + ";\n scgi_temp_path " + dir + ";\n server {\n  listen 127.0.0.1:" +
                 std::to_string(m_port) + ";\n  root " + dir + ";\n  keepalive_requests 100000;\n }\n}\n");
    m_daemon = std::make_unique<Daemon>(
        std::vector<std::string>{kProgram, "-p", dir, "-c", dir + "nginx.conf"}, m_port);
}

void Nginx::put(const std::string& name, const std::string& bytes) const {
    writeAll(m_dir.file(name), bytes);
}

std::string Nginx::url(const std::string& doc) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/" + doc;
}

Tinyproxy::Tinyproxy(const std::string& extraConfig) : m_port(freeLoopbackPort()) {
    writeAll(m_dir.file("tinyproxy.conf"),
             "Port " + std::to_string(m_port) +
                 "\nListen 127.0.0.1\nTimeout 60\nAllow 127.0.0.1\nMaxClients 10\n"
                 "User nobody\nGroup nogroup\nLogLevel Critical\n" +
                 extraConfig);
    m_daemon = std::make_unique<Daemon>(
        std::vector<std::string>{kProgram, "-d", "-c", hostPathOf(m_dir.file("tinyproxy.conf"))}, m_port);
}

} // namespace qm::test
