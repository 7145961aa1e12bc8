#include "query/SplitReply.h"

#include "query/A2sInfo.h"

#include <vector>

namespace qm {

namespace {

constexpr std::string_view kWhole("\xFF\xFF\xFF\xFF", 4);
constexpr std::string_view kPiece("\xFE\xFF\xFF\xFF", 4);
constexpr size_t kGoldSrcHead = 9; // marker, id, number << 4 | total
constexpr size_t kSourceHead = 12; // marker, id, total, number, size
constexpr int kMostReplies = 8;    // ids held at once: a peer cannot make us hold more

uint8_t byteAt(std::string_view d, size_t i) {
    return static_cast<uint8_t>(d[i]);
}

uint32_t idOf(std::string_view d) {
    return byteAt(d, 4) | byteAt(d, 5) << 8 | byteAt(d, 6) << 16 | static_cast<uint32_t>(byteAt(d, 7)) << 24;
}

struct Reading {
    int number = -1, total = 0;
    std::string_view payload;
};

Reading read(std::string_view d, bool goldSrc) {
    Reading r;
    if (goldSrc) {
        if (d.size() < kGoldSrcHead) return r;
        r.total = byteAt(d, 8) & 0x0F;
        r.number = byteAt(d, 8) >> 4;
        r.payload = d.substr(kGoldSrcHead);
    } else {
        if (d.size() < kSourceHead) return r;
        r.total = byteAt(d, 8);
        r.number = byteAt(d, 9);
        r.payload = d.substr(kSourceHead);
    }
    if (r.total < 2 || r.number >= r.total) r.number = -1;
    return r;
}

} // namespace

SplitReply::Taken SplitReply::take(std::string_view datagram) {
    Taken t;
    if (datagram.substr(0, 4) == kWhole) {
        t.whole = std::string(datagram);
        return t;
    }
    if (datagram.substr(0, 4) != kPiece || datagram.size() < kGoldSrcHead) return t;
    const uint32_t id = idOf(datagram);
    if (id & 0x80000000u) {
        t.fault = "the reply is compressed";
        return t;
    }
    if (!m_replies.count(id) && m_replies.size() >= kMostReplies) return t;
    Pieces& p = m_replies[id];
    // Piece 0 tells the layout: its payload is the start of the reply.
    if (p.layout == Layout::Unknown) {
        if (datagram.substr(kGoldSrcHead, 4) == kWhole && (byteAt(datagram, 8) >> 4) == 0)
            p.layout = Layout::GoldSrc;
        else if (datagram.size() >= kSourceHead + 4 && datagram.substr(kSourceHead, 4) == kWhole &&
                 byteAt(datagram, 9) == 0)
            p.layout = Layout::Source;
    }
    // Held as they came until the layout says how they number: a repeat is the same
    // datagram again.
    bool repeated = false;
    for (const std::string& bytes : p.raw)
        repeated = repeated || bytes == datagram;
    if (!repeated) {
        p.bytes += datagram.size();
        if (p.bytes > kMaxA2sRulesReply + 16 * kSourceHead) {
            m_replies.erase(id);
            t.fault = "the reply is larger than " + std::to_string(kMaxA2sRulesReply >> 10) + " KiB";
            return t;
        }
        p.raw.emplace_back(datagram);
    }
    return tryToJoin(id, p);
}

SplitReply::Taken SplitReply::tryToJoin(uint32_t id, Pieces& p) {
    Taken t;
    if (p.layout == Layout::Unknown) return t;
    std::vector<std::string_view> parts;
    int total = 0;
    for (const std::string& bytes : p.raw) {
        const Reading r = read(bytes, p.layout == Layout::GoldSrc);
        if (r.number < 0) continue; // not a piece of this layout: never part of the reply
        if (total == 0) total = r.total;
        if (r.total != total) continue; // a piece that lies about the total
        if (parts.size() < static_cast<size_t>(total)) parts.resize(static_cast<size_t>(total));
        if (parts[static_cast<size_t>(r.number)].data() == nullptr)
            parts[static_cast<size_t>(r.number)] = r.payload;
    }
    if (total == 0) return t;
    for (const std::string_view part : parts)
        if (part.data() == nullptr) return t;
    std::string whole;
    for (const std::string_view part : parts)
        whole.append(part);
    m_replies.erase(id);
    if (whole.size() > kMaxA2sRulesReply) {
        t.fault = "the reply is larger than " + std::to_string(kMaxA2sRulesReply >> 10) + " KiB";
        return t;
    }
    t.whole = std::move(whole);
    return t;
}

} // namespace qm
