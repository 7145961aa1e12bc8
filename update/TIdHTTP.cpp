#include "update/TIdHTTP.h"

#include "platform/SocketError.h"
#include "platform/TextTools.h"
#include "update/Base64.h"
#include "update/HttpResponse.h"

#include <algorithm>
#include <cctype>

namespace qm {

namespace {

bool saysClose(const std::optional<std::string>& value) {
    return value && equalsIgnoringCase(*value, "close");
}

} // namespace

TIdHTTP::TIdHTTP(HostLookup lookup)
    : m_lookup(std::move(lookup)), m_connection(std::make_unique<TcpConnection>(MessagePump())) {}

void TIdHTTP::setMessagePump(MessagePump pump) {
    m_pump = std::move(pump);
    m_connection = std::make_unique<TcpConnection>(m_pump);
    m_connectedPort = -1;
}

int TIdHTTP::readWait() const {
    return ReadTimeout > 0 ? std::min(ReadTimeout, m_readLimitMs) : m_readLimitMs;
}

std::string TIdHTTP::request(const ParsedUrl& url, bool viaProxy, bool withProxyLogin) const {
    std::string r = "GET " + (viaProxy ? url.absoluteTarget() : url.requestTarget()) + " HTTP/1.1\r\n";
    auto header = [&](const char* name, const std::string& value) {
        if (!value.empty()) r.append(name).append(": ").append(value).append("\r\n");
    };
    header("Content-Type", ContentType);
    header("Host", url.hostHeader());
    header("Accept", Accept);
    header("User-Agent", UserAgent);
    if (withProxyLogin)
        header("Proxy-Authorization",
               "Basic " + base64(ProxyParams.ProxyUsername + ":" + ProxyParams.ProxyPassword));
    const auto jar = m_cookies.find(asciiLowered(url.host));
    if (jar != m_cookies.end() && !jar->second.empty()) {
        std::string cookie;
        for (const auto& [name, value] : jar->second)
            cookie += (cookie.empty() ? "" : "; ") + name + "=" + value;
        header("Cookie", cookie);
    }
    r.append("\r\n");
    return r;
}

bool TIdHTTP::connectTo(const std::string& host, int32_t port) {
    if (m_connection->isOpen() &&
        (asciiLowered(host) != asciiLowered(m_connectedHost) || port != m_connectedPort))
        m_connection->close();
    // A kept connection the server has closed meanwhile is dropped and made again.
    if (m_connection->isOpen() && m_connection->closedByPeer()) m_connection->close();
    if (m_connection->isOpen()) return true;
    const std::string address = resolveHost(host, m_lookup);
    m_connection->open(address, static_cast<uint16_t>(port & 0xFFFF), ConnectTimeout);
    m_connectedHost = host;
    m_connectedPort = port;
    return false;
}

void TIdHTTP::rememberCookies(const std::string& host, const HttpResponseHead& head) {
    std::vector<std::string> values = head.headerValues("Set-cookie");
    for (const std::string& v : head.headerValues("Set-cookie2"))
        values.push_back(v);
    for (const std::string& v : values) {
        const std::string pair = v.substr(0, v.find(';'));
        const size_t eq = pair.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        std::string name = pair.substr(0, eq);
        std::string value = pair.substr(eq + 1);
        name.erase(name.find_last_not_of(" \t") + 1);
        const std::string attrs = asciiLowered(v);
        auto& jar = m_cookies[asciiLowered(host)];
        if (attrs.find("max-age=0") != std::string::npos)
            jar.erase(name);
        else
            jar[name] = value;
    }
}

std::string TIdHTTP::Get(const std::string& urlText) {
    const ParsedUrl url = parseUrl(urlText);
    const bool viaProxy = !ProxyParams.ProxyServer.empty();
    if (asciiLowered(url.protocol) == "https") throw Failure("IOHandler value is not valid");
    bool withProxyLogin = viaProxy && ProxyParams.BasicAuthentication;
    bool askedAgain = false;
    for (;;) {
        const bool kept = viaProxy ? connectTo(ProxyParams.ProxyServer, ProxyParams.ProxyPort)
                                   : connectTo(url.host, std::stoi(url.port));
        m_lastRequest = request(url, viaProxy, withProxyLogin);
        HttpResponseHead head;
        std::string body;
        bool headRead = false;
        try {
            m_connection->sendAll(m_lastRequest);
            HttpReader reader(*m_connection, readWait(), kMaxBody);
            head = reader.readHead();
            headRead = true;
            rememberCookies(url.host, head);
            const bool success = head.code >= 200 && head.code < 300;
            const bool redirect =
                (head.code >= 300 && head.code < 400 && !(head.code == 304 && !head.header("Location"))) ||
                head.header("Location").has_value();
            if (success && !redirect) {
                if (head.closedInHead) throw Failure("Undefined situation");
                body = reader.readBody(head);
            } else {
                reader.setWait(std::min(kErrorBodyWaitMs, readWait()));
                body = reader.readBody(head);
            }
            const bool keep = !reader.peerClosed() && !head.closedInHead &&
                              !saysClose(head.header("Connection")) &&
                              !saysClose(head.header("Proxy-Connection"));
            if (!keep) m_connection->close();
            if (success && !redirect) return body;
        } catch (const Failure& e) {
            // A fetch that broke off leaves the connection out of step: never reuse it.
            m_connection->close();
            // A kept connection the server closed or reset as the request went out: it has
            // not answered, so a GET may be asked again, once, on a new connection.
            const bool closed = dynamic_cast<const EIdSocketError*>(&e) != nullptr ||
                                std::string_view(e.what()) == HttpReader::kClosedGracefully;
            if (kept && closed && !headRead && !askedAgain) {
                askedAgain = true;
                continue;
            }
            throw;
        } catch (...) {
            m_connection->close();
            throw;
        }
        // A proxy that asks for a login gets the one the user typed, once.
        if (head.code == 407 && viaProxy && !withProxyLogin && !ProxyParams.ProxyUsername.empty()) {
            withProxyLogin = true;
            m_connection->close();
            continue;
        }
        throw EIdHTTPProtocolException(head.statusLine, head.code, body);
    }
}

} // namespace qm
