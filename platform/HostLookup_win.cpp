#include "platform/HostResolver.h"

#include "platform/SocketAddress.h"
#include "platform/SocketError.h"
#include "platform/SocketSystem.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace qm {

HostLookupResult systemHostLookup(const std::string& name) {
    startSockets();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    // Windows gives the Windows Sockets code of the failure itself (WSAHOST_NOT_FOUND, ...).
    const int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (rc != 0 || found == nullptr) return {{}, rc != 0 ? rc : SocketErrorCode::kHostNotFound};
    const std::string text = dottedTextOf(*found);
    ::freeaddrinfo(found);
    return {text, 0};
}

} // namespace qm
