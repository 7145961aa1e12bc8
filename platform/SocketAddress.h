#pragma once
// The IPv4 socket addresses both systems spell alike, for the platform's socket halves
// alone; the build puts the system's own declarations (SystemSockets.h) on their path.
#include "platform/DatagramSocket.h"

#include "SystemSockets.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace qm {

inline sockaddr_in socketAddress(const Endpoint& e) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(e.address);
    a.sin_port = htons(e.port);
    return a;
}

inline sockaddr_in socketAddress(const std::array<uint8_t, 4>& address, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    std::memcpy(&a.sin_addr, address.data(), 4);
    a.sin_port = htons(port);
    return a;
}

/// Any local address and port: what a socket binds to before it connects or sends.
inline sockaddr_in anyLocalAddress() {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    return a;
}

inline Endpoint endpointOf(const sockaddr_in& a) {
    return {ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
}

/// The dotted text of the first IPv4 address a name lookup found.
inline std::string dottedTextOf(const addrinfo& found) {
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(found.ai_addr);
    ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
    return text;
}

} // namespace qm
