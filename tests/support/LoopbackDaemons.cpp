#include "tests/support/LoopbackDaemons.h"

#include "tests/support/TcpTestServer.h"
#include "tests/support/TestSystem.h"

#include <chrono>
#include <filesystem>
#include <thread>

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

namespace {

// Runs a program of the host until the file it makes is there. Under Wine no pipe follows
// a host program, so its end is known by the file alone.
void runToEnd(const std::vector<std::string>& argv, const std::string& made) {
    ChildProcess p(argv);
    while (!p.readLine().empty()) {
    }
    for (int i = 0; i < 500 && !(std::filesystem::exists(made) && std::filesystem::file_size(made) > 0); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(onWindows() ? 100 : 0));
}

// A key and a certificate for 127.0.0.1, signed by the authority or by themselves.
void makeCertificate(const TempDir& own, const std::string& dir, const std::string& name, bool byAuthority) {
    const std::string openssl = "/usr/bin/openssl";
    const std::vector<std::string> key = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                          "-nodes"};
    std::vector<std::string> argv = {openssl, "req"};
    if (!byAuthority) argv.push_back("-x509");
    argv.insert(argv.end(), key.begin(), key.end());
    const std::vector<std::string> rest = {
        "-keyout", dir + name + ".key", "-out",    dir + name + (byAuthority ? ".csr" : ".pem"), "-days", "2",
        "-subj",   "/CN=127.0.0.1",     "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"};
    argv.insert(argv.end(), rest.begin(), rest.end());
    runToEnd(argv, own.file(name + (byAuthority ? ".csr" : ".pem")));
    if (!byAuthority) return;
    writeAll(own.file("san.cnf"), "subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    runToEnd({openssl, "x509", "-req", "-in", dir + name + ".csr", "-CA", dir + "authority.pem", "-CAkey",
              dir + "authority.key", "-CAcreateserial", "-out", dir + name + ".pem", "-days", "2", "-extfile",
              dir + "san.cnf"},
             own.file(name + ".pem"));
}

} // namespace

HttpsNginx::HttpsNginx()
    : m_port(freeLoopbackPort()), m_strangerPort(freeLoopbackPort()), m_plainPort(freeLoopbackPort()) {
    const std::string dir = hostPathOf(m_dir.path());
    runToEnd({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
              "-nodes", "-keyout", dir + "authority.key", "-out", dir + "authority.pem", "-days", "2",
              "-subj", "/CN=Quillmark test authority"},
             m_dir.file("authority.pem"));
    makeCertificate(m_dir, dir, "server", true);
    makeCertificate(m_dir, dir, "stranger", false);
    const std::string locations =
        "  root " + dir +
        ";\n  default_type application/json;\n"
        "  location ^~ /401/ { return 401; }\n  location ^~ /403/ { return 403; }\n"
        "  location ^~ /429/ { add_header Retry-After 1 always; return 429; }\n"
        // What the request carried: the limit as the port, the filter as
        // the map, the User-Agent as the name.
        "  location ^~ /echo/ { return 200 '{\"response\":{\"servers\":[{\"addr\":"
        "\"127.0.0.1:$arg_limit\",\"name\":\"$http_user_agent\",\"map\":\"$arg_filter\""
        "}]}}'; }\n"
        "  location ~ ^/(\\w+)/ { try_files /$1.json =404; }\n";
    const auto server = [&](uint16_t port, const std::string& tls) {
        return " server {\n  listen 127.0.0.1:" + std::to_string(port) + (tls.empty() ? "" : " ssl") + ";\n" +
               (tls.empty() ? ""
                            : "  ssl_certificate " + dir + tls + ".pem;\n  ssl_certificate_key " + dir + tls +
                                  ".key;\n") +
               locations + " }\n";
    };
    writeAll(m_dir.file("nginx.conf"),
             "daemon off;\nmaster_process off;\nerror_log " + dir + "error.log;\npid " + dir + "nginx.pid" +
                 ";\nevents {}\nhttp {\n access_log off;\n client_body_temp_path " + dir +
                 ";\n proxy_temp_path " + dir + ";\n fastcgi_temp_path " + dir + ";\n uwsgi_temp_path " +
                 dir + ";\n scgi_temp_path " + dir + ";\n" + server(m_port, "server") +
                 server(m_strangerPort, "stranger") + server(m_plainPort, "") + "}\n");
    m_daemon = std::make_unique<Daemon>(
        std::vector<std::string>{Nginx::kProgram, "-p", dir, "-c", dir + "nginx.conf"}, m_port);
}

std::string HttpsNginx::base(const std::string& folder) const {
    return "https://127.0.0.1:" + std::to_string(m_port) + "/" + folder;
}
std::string HttpsNginx::strangerBase(const std::string& folder) const {
    return "https://127.0.0.1:" + std::to_string(m_strangerPort) + "/" + folder;
}
std::string HttpsNginx::plainBase(const std::string& folder) const {
    return "http://127.0.0.1:" + std::to_string(m_plainPort) + "/" + folder;
}
bool HttpsNginx::trusted() const {
    return !onWindows();
}

void HttpsNginx::put(const std::string& name, const std::string& bytes) const {
    writeAll(m_dir.file(name), bytes);
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
