#pragma once
#include <string>
#include <string_view>

namespace qm {

/// The pieces of a server entry "ip:port gamedir", each counted from the start of the text.
struct ServerEntryParts {
    /// Text before the first blank: "ip:port".
    static std::string_view address(std::string_view entry);
    /// Text after the first blank, to the end (empty without a blank).
    static std::string_view gameDir(std::string_view entry);
    /// Text before the first colon.
    static std::string_view ip(std::string_view entry);
    /// Text between the first colon and the first blank; empty when no blank follows.
    static std::string_view port(std::string_view entry);
};

/// "ip:port gamedir", the one form an entry is built in.
std::string makeServerEntry(std::string_view ip, std::string_view port, std::string_view gameDir);

} // namespace qm
