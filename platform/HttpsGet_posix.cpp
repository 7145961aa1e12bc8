// The HTTPS seam on Linux: libcurl over OpenSSL, with the system's certificates.
#include "platform/HttpsGet.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <mutex>

namespace qm {

namespace {

// The slice after which the cancel flag is looked at again.
constexpr int kSliceMs = 20;

struct Transfer {
    const HttpsGetRequest& request;
    HttpsGetResult& result;
    bool tooLarge = false;
};

size_t takeBody(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t.result.body.size() + n > t.request.maxBytes) {
        t.tooLarge = true;
        return 0; // ends the transfer
    }
    t.result.body.append(data, n);
    return n;
}

size_t takeHeader(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    constexpr std::string_view kRetryAfter = "retry-after:";
    if (n > kRetryAfter.size() && strncasecmp(data, kRetryAfter.data(), kRetryAfter.size()) == 0) {
        std::string value(data + kRetryAfter.size(), n - kRetryAfter.size());
        const size_t first = value.find_first_not_of(" \t");
        const size_t last = value.find_last_not_of(" \t\r\n");
        t.result.retryAfter =
            first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
    }
    return n;
}

HttpsGetResult::Failure failureOf(CURLcode code) {
    using F = HttpsGetResult::Failure;
    switch (code) {
    case CURLE_OK:
        return F::None;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return F::Certificate;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return F::CutShort;
    case CURLE_COULDNT_RESOLVE_PROXY:
        return F::ProxyUnreachable;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        return F::Unreachable;
    case CURLE_OPERATION_TIMEDOUT:
        return F::TimedOut;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return F::Refused;
    default:
        return F::Other;
    }
}

void startLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

HttpsGetResult httpsGet(const HttpsGetRequest& request) {
    startLibrary();
    HttpsGetResult result;
    Transfer transfer{request, result};
    const std::unique_ptr<CURL, void (*)(CURL*)> easy(curl_easy_init(), curl_easy_cleanup);
    const std::unique_ptr<CURLM, CURLMcode (*)(CURLM*)> multi(curl_multi_init(), curl_multi_cleanup);
    if (!easy || !multi) {
        result.failure = HttpsGetResult::Failure::Other;
        result.detail = "the HTTPS library would not start";
        return result;
    }
    char errors[CURL_ERROR_SIZE] = {};
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, request.testPlainHttp ? "http,https" : "https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeoutMs));
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errors);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, takeBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, takeHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, ""); // whatever curl can unpack
    curl_easy_setopt(e, CURLOPT_USERAGENT, request.userAgent.c_str());
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!request.testAuthorityFile.empty())
        curl_easy_setopt(e, CURLOPT_CAINFO, request.testAuthorityFile.c_str());
    // The proxy is only ever the one given: no variable of the environment picks another.
    curl_easy_setopt(e, CURLOPT_PROXY,
                     request.proxyHost.empty()
                         ? ""
                         : ("http://" + request.proxyHost + ":" + std::to_string(request.proxyPort)).c_str());
    if (!request.proxyUser.empty()) {
        curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, request.proxyUser.c_str());
        curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, request.proxyPassword.c_str());
    }
    curl_multi_add_handle(multi.get(), e);
    int running = 1;
    CURLcode code = CURLE_OK;
    while (running) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (!running) break;
        if (request.cancel && request.cancel->load()) {
            result.failure = HttpsGetResult::Failure::Cancelled;
            curl_multi_remove_handle(multi.get(), e);
            return result;
        }
        curl_multi_poll(multi.get(), nullptr, 0, kSliceMs, nullptr);
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &left))
        if (message->msg == CURLMSG_DONE) code = message->data.result;
    curl_multi_remove_handle(multi.get(), e);
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    result.status = static_cast<int>(status);
    if (transfer.tooLarge) {
        result.failure = HttpsGetResult::Failure::TooLarge;
    } else if (code != CURLE_OK) {
        result.failure = failureOf(code);
        // Through a proxy the only connection made is the proxy's; and an HTTPS request
        // that failed before the proxy said 200 to its CONNECT never reached the server.
        long tunnel = 0;
        curl_easy_getinfo(e, CURLINFO_HTTP_CONNECTCODE, &tunnel);
        if (code == CURLE_COULDNT_CONNECT && !request.proxyHost.empty())
            result.failure = HttpsGetResult::Failure::ProxyUnreachable;
        else if (!request.proxyHost.empty() && request.url.rfind("https://", 0) == 0 && tunnel != 200 &&
                 result.failure != HttpsGetResult::Failure::ProxyUnreachable &&
                 code != CURLE_OPERATION_TIMEDOUT)
            result.failure = HttpsGetResult::Failure::ProxyFailed;
        result.detail = errors[0] ? errors : curl_easy_strerror(code);
    }
    return result;
}

} // namespace qm
