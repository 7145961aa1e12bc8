#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace qm {

/// A host-name lookup: the first IPv4 address of the name in dotted form, or a failure
/// code (a Windows Sockets code) when the name is not known.
struct HostLookupResult {
    std::string address;
    int errorCode = 0;
};
using HostLookup = std::function<HostLookupResult(const std::string& name)>;

/// The system's resolver, asked for IPv4 addresses only.
HostLookupResult systemHostLookup(const std::string& name);

/// True when the text cut at its first three dots gives four whole numbers from 0 to 255.
bool isDottedAddress(const std::string& host);

/// The dotted address a host text stands for: "LOCALHOST" in any case is 127.0.0.1, a
/// dotted address is itself, anything else goes to the lookup. A failed lookup raises
/// the socket error of its code.
std::string resolveHost(const std::string& host, const HostLookup& lookup);

/// The four bytes of a dotted address, in order.
std::array<uint8_t, 4> addressBytes(const std::string& dotted);

} // namespace qm
