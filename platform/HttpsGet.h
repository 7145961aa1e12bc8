#pragma once
#include <atomic>
#include <cstddef>
#include <string>

namespace qm {

/// One GET over HTTPS with the system's own TLS and certificates.
struct HttpsGetRequest {
    std::string url;
    /// An HTTP proxy to tunnel through; none when the host is empty.
    std::string proxyHost;
    int proxyPort = 0;
    std::string proxyUser, proxyPassword;
    /// The most bytes of body taken; a longer answer fails as TooLarge.
    size_t maxBytes = 32u << 20;
    int timeoutMs = 30000;
    /// Checked while the request runs: once true, it ends as Cancelled within 20 ms.
    const std::atomic<bool>* cancel = nullptr;
    /// Who asks: "Program/version".
    std::string userAgent = "Quillmark";
    /// Tests only: trust the authority in this PEM file instead of the system's.
    std::string testAuthorityFile;
    /// Tests only: allow http:// as well (for a system whose trust a test cannot reach).
    bool testPlainHttp = false;
};

struct HttpsGetResult {
    enum class Failure {
        None,
        Cancelled,
        TooLarge,
        CutShort,
        Certificate,
        Unreachable,
        ProxyUnreachable, // the proxy given could not be reached: the server was never asked
        ProxyFailed,      // the proxy did not open the way to the server (CONNECT refused or garbled)
        TimedOut,
        Refused,
        Other
    };
    Failure failure = Failure::None;
    int status = 0; // the HTTP status, 0 when no answer came
    std::string body;
    std::string retryAfter; // the Retry-After header as sent
    /// The library's own words for a failure; it never holds the URL.
    std::string detail;
};

HttpsGetResult httpsGet(const HttpsGetRequest& request);

} // namespace qm
