#pragma once
#include <string>

namespace qm {

/// A URL taken apart the way the HTTP client needs it.
struct ParsedUrl {
    std::string protocol;
    std::string user;
    std::string password;
    std::string host;
    std::string port;
    std::string path;
    std::string document;
    std::string params;
    std::string bookmark;

    /// path + document + params: what a direct request asks for.
    std::string requestTarget() const { return path + document + params; }
    /// protocol://host:port + requestTarget(): what a request through a proxy asks for.
    std::string absoluteTarget() const { return protocol + "://" + host + ":" + port + requestTarget(); }
    /// The Host header: the host, with ":port" unless the port is 80.
    std::string hostHeader() const { return port == "80" ? host : host + ":" + port; }
};

/// Parses a URL with "://". An empty protocol is http; a missing port is 80 for http and
/// 443 for https; any other protocol without a port fails with an empty message.
ParsedUrl parseUrl(std::string url);

} // namespace qm
