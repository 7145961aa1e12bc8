#include "platform/HostResolver.h"

#include "platform/SocketAddress.h"
#include "platform/SocketError.h"

#include <arpa/inet.h>
#include <netdb.h>

namespace qm {

namespace {

int lookupErrorCode(int gaiError) {
    switch (gaiError) {
    case EAI_AGAIN:
        return SocketErrorCode::kTryAgain;
    case EAI_FAIL:
        return SocketErrorCode::kNoRecovery;
    case EAI_NODATA:
        return SocketErrorCode::kNoData;
    default:
        return SocketErrorCode::kHostNotFound;
    }
}
} // namespace

HostLookupResult systemHostLookup(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (rc != 0 || found == nullptr) return {{}, lookupErrorCode(rc)};
    const std::string text = dottedTextOf(*found);
    ::freeaddrinfo(found);
    return {text, 0};
}

} // namespace qm
