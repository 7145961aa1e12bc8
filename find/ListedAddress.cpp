#include "find/ListedAddress.h"

namespace qm {

namespace {

bool within(uint32_t address, uint32_t network, int prefix) {
    const uint32_t mask = prefix == 0 ? 0 : ~uint32_t{0} << (32 - prefix);
    return (address & mask) == network;
}

} // namespace

bool isLoopback(const Endpoint& e) {
    return within(e.address, 0x7F000000, 8);
}

const char* unaskableReason(const Endpoint& server, bool listFromLoopback) {
    const uint32_t a = server.address;
    if (server.port == 0) return "port 0";
    if (a == 0xFFFFFFFF) return "broadcast";
    if (within(a, 0x00000000, 8)) return "this network";
    if (within(a, 0xE0000000, 4)) return "multicast";
    if (within(a, 0xF0000000, 4)) return "reserved";
    if (within(a, 0xA9FE0000, 16)) return "link-local";
    if (isLoopback(server) && !listFromLoopback) return "loopback";
    return nullptr;
}

} // namespace qm
