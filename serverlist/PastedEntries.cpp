#include "serverlist/PastedEntries.h"

#include "platform/TextTools.h"
#include "serverlist/ServerEntry.h"

#include <algorithm>

namespace qm {

namespace {

// A dotted IPv4 address as the list writes it: four numbers from 0 to 255, no leading
// zeros kept.
std::string dottedAddress(std::string_view text) {
    std::string out;
    for (int part = 0; part < 4; ++part) {
        const size_t dot = part < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos || dot == 0 || dot > 3) return {};
        int value = 0;
        for (char c : text.substr(0, dot)) {
            if (c < '0' || c > '9') return {};
            value = value * 10 + (c - '0');
        }
        if (value > 255) return {};
        out += (part ? "." : "") + std::to_string(value);
        text.remove_prefix(part < 3 ? dot + 1 : dot);
    }
    return out;
}

} // namespace

std::string pastedAddress(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return {};
    const std::string ip = dottedAddress(text.substr(0, colon));
    const std::string_view port = text.substr(colon + 1);
    if (ip.empty() || port.empty() || port.size() > 5) return {};
    int value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return {};
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return {};
    return ip + ":" + std::to_string(value);
}

PastedEntries readPastedEntries(std::string_view text) {
    PastedEntries pasted;
    for (std::string_view line : splitLines(text)) {
        line = trimmed(line, true); // a CR of a Windows line end too
        if (line.empty() || line.front() == '#') continue;
        // A control byte left inside is no part of an address or a game directory.
        const bool controls = std::any_of(line.begin(), line.end(), [](char c) {
            return c != '\t' && (static_cast<unsigned char>(c) < 0x20 || c == 0x7F);
        });
        if (controls) {
            pasted.rejected.emplace_back(line);
            continue;
        }
        const size_t blank = line.find_first_of(" \t");
        const std::string address = pastedAddress(line.substr(0, blank));
        const std::string_view gameDir =
            blank == std::string_view::npos ? std::string_view() : trimmed(line.substr(blank));
        if (address.empty() || gameDir.find_first_of(" \t") != std::string_view::npos) {
            pasted.rejected.emplace_back(line);
        } else if (gameDir.empty()) {
            pasted.withoutGameDir.push_back(address);
        } else {
            pasted.entries.push_back(makeServerEntry(address.substr(0, address.find(':')),
                                                     address.substr(address.find(':') + 1), gameDir));
        }
    }
    return pasted;
}

} // namespace qm
