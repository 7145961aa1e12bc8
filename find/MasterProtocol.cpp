#include "find/MasterProtocol.h"

#include <algorithm>

namespace qm {

namespace {

constexpr std::string_view kPageHeader = "\xFF\xFF\xFF\xFF\x66\x0A";
constexpr size_t kEntryBytes = 6;

void appendKey(std::string& text, std::string_view key, std::string_view value) {
    text.append("\\").append(key).append("\\").append(value);
}

Endpoint entryAt(std::string_view bytes) {
    const auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])); };
    Endpoint e;
    e.address = b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
    e.port = static_cast<uint16_t>(b(4) << 8 | b(5));
    return e;
}

} // namespace

std::string ServerFilter::text() const {
    std::string t;
    if (!gameDir.empty()) appendKey(t, "gamedir", gameDir);
    if (!map.empty()) appendKey(t, "map", map);
    if (notEmpty) appendKey(t, "empty", "1");
    if (notFull) appendKey(t, "full", "1");
    if (noPlayers) appendKey(t, "noplayers", "1");
    if (secure) appendKey(t, "secure", "1");
    if (!nameMatch.empty()) appendKey(t, "name_match", nameMatch);
    if (noPassword) appendKey(t, "password", "0");
    return t;
}

std::string masterRequest(uint8_t region, const Endpoint& seed, std::string_view filter) {
    std::string r;
    r.reserve(filter.size() + 32);
    r.push_back('\x31');
    r.push_back(static_cast<char>(region));
    r.append(seed.text()).push_back('\0');
    r.append(filter).push_back('\0');
    return r;
}

MasterPage readMasterPage(std::string_view datagram) {
    MasterPage page;
    if (datagram.substr(0, kPageHeader.size()) != kPageHeader) {
        page.fault = "the reply is no server list";
        return page;
    }
    std::string_view entries = datagram.substr(kPageHeader.size());
    if (entries.size() % kEntryBytes != 0) {
        page.fault = "the reply ends inside a server's address";
        return page;
    }
    page.servers.reserve(entries.size() / kEntryBytes);
    for (; !entries.empty(); entries.remove_prefix(kEntryBytes)) {
        const Endpoint e = entryAt(entries);
        if (e == Endpoint{}) {
            page.last = true;
            break;
        }
        page.servers.push_back(e);
    }
    return page;
}

MasterWalk::MasterWalk(uint8_t region, std::string filter, size_t limit)
    : m_region(region), m_filter(std::move(filter)), m_limit(std::min(limit, kMaxListedServers)) {
    m_seeds.insert(m_seed);
    if (m_limit == 0) end(Ended::Limit);
}

void MasterWalk::end(Ended why) {
    if (m_done) return;
    m_done = true;
    m_endedBy = why;
}

MasterWalk::Step MasterWalk::take(std::string_view datagram) {
    Step step;
    if (m_done) return step;
    MasterPage page = readMasterPage(datagram);
    if (!page.fault.empty()) {
        step.fault = std::move(page.fault);
        end(Ended::Fault);
        return step;
    }
    if (!page.servers.empty() && !m_pageStarts.insert(page.servers.front()).second) {
        step.repeat = true;
        return step;
    }
    ++m_pages;
    for (const Endpoint& e : page.servers) {
        if (m_seen.size() >= m_limit) break;
        if (m_seen.insert(e).second) step.fresh.push_back(e);
    }
    if (m_seen.empty() && page.servers.empty()) {
        end(Ended::EmptyFirstPage);
    } else if (page.last) {
        end(Ended::ListEnd);
    } else if (m_seen.size() >= m_limit) {
        end(Ended::Limit);
    } else if (page.servers.empty()) {
        end(Ended::EmptyPage);
    } else if (step.fresh.empty()) {
        end(Ended::RepeatedList);
    } else if (!m_seeds.insert(page.servers.back()).second) {
        end(Ended::LedBack);
    } else {
        m_seed = page.servers.back();
    }
    return step;
}

} // namespace qm
