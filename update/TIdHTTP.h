#pragma once
#include "platform/Failure.h"
#include "platform/HostResolver.h"
#include "platform/MessagePump.h"
#include "update/TcpConnection.h"
#include "update/Url.h"

#include <map>
#include <memory>
#include <string>

namespace qm {

struct HttpResponseHead;

/// An answer other than 2xx, or a redirect: the status line as the message, the code,
/// and the answer's body as the error text.
class EIdHTTPProtocolException : public Failure {
  public:
    EIdHTTPProtocolException(const std::string& statusLine, int code, std::string body)
        : Failure(statusLine), m_code(code), m_body(std::move(body)) {}
    int ErrorCode() const { return m_code; }
    const std::string& ErrorMessage() const { return m_body; }

  private:
    int m_code;
    std::string m_body;
};

struct TIdProxyParams {
    std::string ProxyServer;
    int32_t ProxyPort = 0;
    std::string ProxyUsername;
    std::string ProxyPassword;
    bool BasicAuthentication = false;
};

/// The window's HTTP client: GET over HTTP/1.1, directly or through a proxy, keeping one
/// connection open between fetches when the server allows it.
class TIdHTTP {
  public:
    explicit TIdHTTP(HostLookup lookup = systemHostLookup);

    TIdProxyParams ProxyParams;
    std::string Accept = "text/html, */*";
    std::string UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
    std::string ContentType = "text/html";
    /// 0 waits without limit in the component; here a silent server still ends the fetch
    /// after kReadLimitMs, so one that never answers cannot hold the program.
    int ReadTimeout = 0;
    int ConnectTimeout = 120000;
    static constexpr int kReadLimitMs = 30000;
    static constexpr int kErrorBodyWaitMs = 2000;
    static constexpr size_t kMaxBody = 16u * 1024 * 1024;

    /// GET `url`; the body as bytes. Every failure is thrown with its message.
    std::string Get(const std::string& url);

    void setMessagePump(MessagePump pump);
    /// For tests: the limit a read may wait.
    void setReadLimit(int ms) { m_readLimitMs = ms; }
    /// The request bytes of the last fetch, as sent.
    const std::string& lastRequest() const { return m_lastRequest; }

  private:
    std::string request(const ParsedUrl& url, bool viaProxy, bool withProxyLogin) const;
    /// True when a kept connection serves; false when a new one was made.
    bool connectTo(const std::string& host, int32_t port);
    void rememberCookies(const std::string& host, const HttpResponseHead& head);
    int readWait() const;

    HostLookup m_lookup;
    MessagePump m_pump;
    std::unique_ptr<TcpConnection> m_connection;
    std::string m_connectedHost;
    int32_t m_connectedPort = -1;
    int m_readLimitMs = kReadLimitMs;
    std::string m_lastRequest;
    /// Cookies per host (lower case), by name, kept while the program runs.
    std::map<std::string, std::map<std::string, std::string>> m_cookies;
};

} // namespace qm
