#include "tools/DemoMaster.h"

#include "platform/HostResolver.h"
#include "platform/TextTools.h"

#include <algorithm>
#include <cstdlib>

namespace qm {

namespace {

void appendEntry(std::string& page, const Endpoint& e) {
    for (int shift : {24, 16, 8, 0})
        page.push_back(static_cast<char>((e.address >> shift) & 0xFF));
    page.push_back(static_cast<char>(e.port >> 8));
    page.push_back(static_cast<char>(e.port & 0xFF));
}

// The value of `key` in a "\key\value\..." filter; nothing when it is not there.
std::optional<std::string_view> filterValue(std::string_view filter, std::string_view key) {
    size_t at = 0;
    while (at < filter.size() && filter[at] == '\\') {
        const size_t keyEnd = filter.find('\\', at + 1);
        if (keyEnd == std::string_view::npos) return std::nullopt;
        const size_t valueEnd = std::min(filter.find('\\', keyEnd + 1), filter.size());
        if (filter.substr(at + 1, keyEnd - at - 1) == key)
            return filter.substr(keyEnd + 1, valueEnd - keyEnd - 1);
        at = valueEnd;
    }
    return std::nullopt;
}

} // namespace

DemoMaster::DemoMaster(std::vector<Endpoint> servers, ServerInfo info)
    : m_servers(std::move(servers)), m_info(std::move(info)) {}

bool DemoMaster::matches(std::string_view filter) const {
    if (const auto dir = filterValue(filter, "gamedir");
        dir && asciiLowered(*dir) != asciiLowered(m_info.gameDir))
        return false;
    if (const auto map = filterValue(filter, "map"); map && asciiLowered(*map) != asciiLowered(m_info.map))
        return false;
    if (const auto empty = filterValue(filter, "empty"); empty && *empty == "1" && m_info.players == 0)
        return false;
    return true;
}

std::string DemoMaster::answer(std::string_view request) const {
    if (request.size() < 4 || request[0] != '\x31') return {};
    const size_t seedEnd = request.find('\0', 2);
    if (seedEnd == std::string_view::npos) return {};
    const std::string seedText(request.substr(2, seedEnd - 2));
    const size_t filterEnd = request.find('\0', seedEnd + 1);
    const std::string_view filter = request.substr(seedEnd + 1, filterEnd - seedEnd - 1);
    const size_t colon = seedText.rfind(':');
    if (colon == std::string::npos || !isDottedAddress(seedText.substr(0, colon))) return {};
    const int seedPort = std::atoi(seedText.c_str() + colon + 1);

    std::string page = "\xFF\xFF\xFF\xFF\x66\x0A";
    const Endpoint from = Endpoint::fromDotted(seedText.substr(0, colon), static_cast<uint16_t>(seedPort));
    size_t next = 0;
    if (from != Endpoint{}) {
        const auto it = std::find(m_servers.begin(), m_servers.end(), from);
        next = it == m_servers.end() ? m_servers.size() : static_cast<size_t>(it - m_servers.begin()) + 1;
    }
    const bool shown = matches(filter);
    size_t entries = 0;
    for (; shown && next < m_servers.size() && entries < kEntriesPerPage; ++next, ++entries)
        appendEntry(page, m_servers[next]);
    if (!shown || next >= m_servers.size()) appendEntry(page, Endpoint{});
    return page;
}

} // namespace qm
