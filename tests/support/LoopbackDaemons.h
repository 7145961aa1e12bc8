#pragma once
// Real servers from Debian started on the loopback for the time of a test or benchmark:
// nginx serving files from a folder of its own, tinyproxy in front of anything.
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qm::test {

/// A server program in the foreground, up once its port takes connections.
class Daemon {
  public:
    Daemon(const std::vector<std::string>& argv, uint16_t port);
    bool up() const { return m_up; }

  private:
    ChildProcess m_process;
    bool m_up;
};

class Nginx {
  public:
    static constexpr const char* kProgram = "/usr/sbin/nginx";
    Nginx();
    bool up() const { return m_daemon->up(); }
    uint16_t port() const { return m_port; }
    /// Serves `bytes` as /name from now on.
    void put(const std::string& name, const std::string& bytes) const;
    std::string url(const std::string& doc) const;

  private:
    TempDir m_dir;
    uint16_t m_port;
    std::unique_ptr<Daemon> m_daemon;
};

/// nginx over HTTPS with certificates made for the test: one port whose certificate a test
/// authority signed for 127.0.0.1, one whose certificate nobody signed. Each folder name
/// in a path answers the way it says: /ok/... serves ok.json (any name.json alike), and
/// /401/, /403/, /429/ answer with that status (429 with "Retry-After: 1").
class HttpsNginx {
  public:
    HttpsNginx();
    bool up() const { return m_daemon && m_daemon->up(); }
    /// The PEM file of the authority that signed the good port's certificate.
    std::string authorityFile() const { return m_dir.file("authority.pem"); }
    std::string base(const std::string& folder) const;
    /// The same folder on the port with the certificate nobody signed.
    std::string strangerBase(const std::string& folder) const;
    /// The same folder over plain HTTP.
    std::string plainBase(const std::string& folder) const;
    void put(const std::string& name, const std::string& bytes) const;
    /// Where a client of this system can be made to trust the test authority: HTTPS, and
    /// under Wine (whose TLS will not talk to it) plain HTTP through the tests' own option.
    bool trusted() const;
    std::string reachableBase(const std::string& folder) const {
        return trusted() ? base(folder) : plainBase(folder);
    }

  private:
    TempDir m_dir;
    uint16_t m_port, m_strangerPort, m_plainPort;
    std::unique_ptr<Daemon> m_daemon;
};

/// tinyproxy on a free loopback port, with extra lines for its configuration.
class Tinyproxy {
  public:
    static constexpr const char* kProgram = "/usr/bin/tinyproxy";
    explicit Tinyproxy(const std::string& extraConfig = "");
    bool up() const { return m_daemon->up(); }
    uint16_t port() const { return m_port; }

  private:
    TempDir m_dir;
    uint16_t m_port;
    std::unique_ptr<Daemon> m_daemon;
};

} // namespace qm::test
