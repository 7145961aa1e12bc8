#pragma once
// The old infostring query of Half-Life servers from before Steam: its request, and how
// the \key\value pairs of a reply read.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// FF FF FF FF "infostring" 00: 15 bytes, the NUL sent too.
extern const std::string kInfoRequest;

/// A reply is valid when it is not empty and starts with FF FF FF FF.
bool isValidInfoReply(const std::string& reply);

/// The value of `key` among the reply's \key\value pairs; "-" when the key is not one of
/// them, empty for a key without a value. Only key positions are matched, so a server
/// name that holds the word "map" never stands in for the map.
std::string infoValue(const std::string& reply, std::string_view key);

/// A value as shown: up to its first NUL byte.
std::string shownValue(const std::string& value);

/// The ten lines the Monitoring page shows for a valid reply.
std::vector<std::string> infoLines(const std::string& reply);

} // namespace qm
