#include "platform/DatagramSocket.h"

#include "platform/HostResolver.h"

namespace qm {

std::string Endpoint::text() const {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "." +
           std::to_string((address >> 8) & 255) + "." + std::to_string(address & 255) + ":" +
           std::to_string(port);
}

Endpoint Endpoint::fromDotted(const std::string& dotted, uint16_t port) {
    const std::array<uint8_t, 4> b = addressBytes(dotted);
    return {uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3], port};
}

} // namespace qm
