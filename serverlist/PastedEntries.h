#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// What a pasted text holds for the server list, line by line: whole entries
/// ("address:port gamedir"), servers whose game directory must be asked for
/// ("address:port"), and lines that are neither. Blank lines and "#" comments are skipped;
/// blanks and tabs both separate.
struct PastedEntries {
    std::vector<std::string> entries;
    std::vector<std::string> withoutGameDir; // "address:port"
    std::vector<std::string> rejected;       // the lines as they were, trimmed
};

PastedEntries readPastedEntries(std::string_view text);

/// "address:port" when the text is a dotted IPv4 address and a port from 1 to 65535, with
/// the port's leading zeros gone; empty otherwise.
std::string pastedAddress(std::string_view text);

} // namespace qm
