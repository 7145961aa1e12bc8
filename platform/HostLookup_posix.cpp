#include "platform/HostResolver.h"

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
    char text[INET_ADDRSTRLEN] = {};
    auto* in = reinterpret_cast<sockaddr_in*>(found->ai_addr);
    ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
    ::freeaddrinfo(found);
    return {text, 0};
}

} // namespace qm
