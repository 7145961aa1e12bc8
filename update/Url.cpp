#include "update/Url.h"

#include "platform/Failure.h"
#include "platform/TextTools.h"

#include <algorithm>

namespace qm {

namespace {} // namespace

ParsedUrl parseUrl(std::string url) {
    std::replace(url.begin(), url.end(), '\\', '/');
    ParsedUrl u;
    size_t rest = 0;
    const size_t scheme = url.find("://");
    if (scheme != std::string::npos) {
        u.protocol = url.substr(0, scheme);
        rest = scheme + 3;
    }
    const size_t slash = url.find('/', rest);
    std::string authority = url.substr(rest, slash == std::string::npos ? std::string::npos : slash - rest);
    const std::string remainder = slash == std::string::npos ? std::string() : url.substr(slash + 1);

    if (const size_t at = authority.find('@'); at != std::string::npos) {
        const std::string credentials = authority.substr(0, at);
        const size_t colon = credentials.find(':');
        u.user = credentials.substr(0, colon);
        u.password =
            colon == std::string::npos || u.user.empty() ? std::string() : credentials.substr(colon + 1);
        authority = authority.substr(at + 1);
    }
    const size_t colon = authority.find(':');
    u.host = authority.substr(0, colon);
    u.port = colon == std::string::npos ? std::string() : authority.substr(colon + 1);

    size_t paramsAt = remainder.find('?');
    if (paramsAt == std::string::npos) paramsAt = remainder.find('=');
    const std::string beforeParams = remainder.substr(0, paramsAt);
    u.params = paramsAt == std::string::npos ? std::string() : remainder.substr(paramsAt);
    const size_t lastSlash = beforeParams.rfind('/');
    u.path = "/" + (lastSlash == std::string::npos ? std::string() : beforeParams.substr(0, lastSlash + 1));
    u.document = lastSlash == std::string::npos ? beforeParams : beforeParams.substr(lastSlash + 1);
    if (const size_t hash = u.document.find('#'); hash != std::string::npos) {
        u.bookmark = u.document.substr(hash + 1);
        u.document.erase(hash);
    } else if (const size_t phash = u.params.find('#'); phash != std::string::npos) {
        u.bookmark = u.params.substr(phash + 1);
        u.params.erase(phash);
    }

    if (u.protocol.empty()) u.protocol = "http";
    if (u.port.empty()) {
        if (equalsIgnoringCase(u.protocol, "http"))
            u.port = "80";
        else if (equalsIgnoringCase(u.protocol, "https"))
            u.port = "443";
        else
            throw Failure("");
    }
    return u;
}

} // namespace qm
