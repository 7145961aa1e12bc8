// The HTTPS seam on Windows: the system's WinHTTP, with the system's certificate store.
#include "platform/HttpsGet.h"

#include "platform/TextFile.h"
#include "platform/WideText_win.h"

#include <wincrypt.h>
#include <winhttp.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qm {

namespace {

struct HandleCloser {
    void operator()(void* h) const {
        if (h) ::WinHttpCloseHandle(h);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

using F = HttpsGetResult::Failure;

F failureOf(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        return F::Certificate;
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return F::Unreachable;
    case ERROR_WINHTTP_TIMEOUT:
        return F::TimedOut;
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        return F::CutShort;
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
        return F::Refused;
    default:
        return F::Other;
    }
}

HttpsGetResult failed(F failure, DWORD error) {
    HttpsGetResult r;
    r.failure = failure;
    r.detail = "WinHTTP error " + std::to_string(error);
    return r;
}

HttpsGetResult lastFailure() {
    const DWORD error = ::GetLastError();
    return failed(failureOf(error), error);
}

// The authority of a PEM file, for tests that trust one of their own.
struct CertificateFree {
    void operator()(PCCERT_CONTEXT c) const {
        if (c) ::CertFreeCertificateContext(c);
    }
};
using Certificate = std::unique_ptr<const CERT_CONTEXT, CertificateFree>;

Certificate authorityOf(const std::string& pemFile) {
    std::string pem;
    try {
        const TextFileReader reader(pemFile);
        for (LineCursor lines = reader.cursor(); !lines.atEnd();)
            pem.append(lines.readLineView()).push_back('\n');
    } catch (...) {
        return nullptr;
    }
    DWORD size = 0;
    if (!::CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return nullptr;
    std::vector<BYTE> der(size);
    if (!::CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                                nullptr))
        return nullptr;
    return Certificate(::CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), size));
}

// The server's certificate signed by the test authority: the check the system's store
// would make, made against the one authority the test trusts.
bool signedBy(HINTERNET request, const Certificate& authority) {
    PCCERT_CONTEXT server = nullptr;
    DWORD size = sizeof server;
    if (!authority || !::WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &server, &size))
        return false;
    const Certificate held(server);
    return ::CryptVerifyCertificateSignatureEx(
               0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CERT, const_cast<PCERT_CONTEXT>(server),
               CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT, const_cast<PCERT_CONTEXT>(authority.get()), 0,
               nullptr) != FALSE;
}

std::wstring headerOf(HINTERNET request, DWORD which) {
    DWORD size = 0;
    ::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                          WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (!::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                               WINHTTP_NO_HEADER_INDEX))
        return {};
    value.resize(size / sizeof(wchar_t));
    return value;
}

bool cancelled(const HttpsGetRequest& r) {
    return r.cancel && r.cancel->load();
}

// WinHTTP's timeouts bound each step, not the request: a peer that sends a byte now and
// then keeps a request going for ever. The watchdog closes the request at the deadline, or
// at Cancel, which ends whatever call is under way with a failure.
class Watchdog {
  public:
    Watchdog(Handle& request, int timeoutMs, const std::atomic<bool>* cancel) : m_request(request) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        m_thread = std::thread([this, deadline, cancel] {
            std::unique_lock<std::mutex> lock(m_lock);
            while (!m_done) {
                const bool over = std::chrono::steady_clock::now() >= deadline || (cancel && cancel->load());
                if (over) {
                    m_fired = true;
                    ::WinHttpCloseHandle(m_request.get());
                    return;
                }
                m_wake.wait_for(lock, std::chrono::milliseconds(20));
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
        // Closed here already: the handle must not be closed twice.
        if (m_fired) m_request.release();
    }
    bool fired() const { return m_fired; }

  private:
    Handle& m_request;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

} // namespace

HttpsGetResult httpsGet(const HttpsGetRequest& r) {
    std::wstring url = wideOf(r.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return lastFailure();
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (!secure && !r.testPlainHttp) return failed(F::Refused, ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);

    const std::wstring proxy =
        r.proxyHost.empty() ? std::wstring() : wideOf(r.proxyHost + ":" + std::to_string(r.proxyPort));
    const Handle session(
        ::WinHttpOpen(wideOf(r.userAgent).c_str(),
                      proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY,
                      proxy.empty() ? WINHTTP_NO_PROXY_NAME : proxy.c_str(), WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return lastFailure();
    ::WinHttpSetTimeouts(session.get(), r.timeoutMs, r.timeoutMs, r.timeoutMs, r.timeoutMs);
    const Handle connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return lastFailure();
    Handle request(::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return lastFailure();
    if (!r.proxyUser.empty()) {
        const std::wstring user = wideOf(r.proxyUser), password = wideOf(r.proxyPassword);
        ::WinHttpSetCredentials(request.get(), WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_BASIC,
                                user.c_str(), password.c_str(), nullptr);
    }
    Certificate authority;
    if (secure && !r.testAuthorityFile.empty()) {
        // The test's authority is checked below by hand; every other check stays.
        authority = authorityOf(r.testAuthorityFile);
        DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        ::WinHttpSetOption(request.get(), WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
    }
    const Watchdog watchdog(request, r.timeoutMs, r.cancel);
    // A call the watchdog ended failed for the deadline or for Cancel, whatever it says.
    const auto failure = [&] {
        if (!watchdog.fired()) return lastFailure();
        return cancelled(r) ? failed(F::Cancelled, ERROR_WINHTTP_OPERATION_CANCELLED)
                            : failed(F::TimedOut, ERROR_WINHTTP_TIMEOUT);
    };
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                              0)) {
        HttpsGetResult sent = failure();
        // Through a proxy the only connection made is the proxy's, and an HTTPS request is
        // sent only once the proxy opened the way (CONNECT).
        if (sent.failure == F::Unreachable && !proxy.empty())
            sent.failure = F::ProxyUnreachable;
        else if (!proxy.empty() && secure && sent.failure != F::TimedOut && sent.failure != F::Certificate &&
                 sent.failure != F::Cancelled)
            sent.failure = F::ProxyFailed;
        return sent;
    }
    if (secure && !r.testAuthorityFile.empty() && !signedBy(request.get(), authority))
        return failed(F::Certificate, ERROR_WINHTTP_SECURE_INVALID_CA);
    if (cancelled(r)) return failed(F::Cancelled, ERROR_WINHTTP_OPERATION_CANCELLED);
    if (!::WinHttpReceiveResponse(request.get(), nullptr)) return failure();

    HttpsGetResult result;
    DWORD status = 0, size = sizeof status;
    ::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    result.status = static_cast<int>(status);
    result.retryAfter = utf8Of(headerOf(request.get(), WINHTTP_QUERY_RETRY_AFTER));
    for (;;) {
        if (cancelled(r)) return failed(F::Cancelled, ERROR_WINHTTP_OPERATION_CANCELLED);
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available)) {
            HttpsGetResult cut = failure();
            cut.status = result.status;
            return cut;
        }
        if (available == 0) break;
        if (result.body.size() + available > r.maxBytes) {
            result.failure = F::TooLarge;
            return result;
        }
        const size_t at = result.body.size();
        result.body.resize(at + available);
        DWORD read = 0;
        if (!::WinHttpReadData(request.get(), result.body.data() + at, available, &read)) return failure();
        result.body.resize(at + read);
    }
    return result;
}

} // namespace qm
