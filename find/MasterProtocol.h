#pragma once
#include "platform/DatagramSocket.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qm {

/// Every region of the world, the region byte a master takes by default.
inline constexpr uint8_t kAllRegions = 0xFF;
/// The most servers one search gathers, however many the masters list.
inline constexpr size_t kMaxListedServers = 100'000;

/// The filters of a server search, as a player chooses them; masters and Steam's Web API
/// read the same text.
struct ServerFilter {
    std::string gameDir;
    std::string map;
    std::string nameMatch; // "*text*" wildcards as typed
    bool notEmpty = false;
    bool notFull = false;
    bool noPlayers = false;
    bool secure = false;
    bool noPassword = false;
    /// "\gamedir\cstrike\empty\1...", in that order, nothing for what is not chosen.
    std::string text() const;
};

/// The request for the page after `seed` (0.0.0.0:0 for the first page).
std::string masterRequest(uint8_t region, const Endpoint& seed, std::string_view filter);

/// One page of a master's list.
struct MasterPage {
    std::vector<Endpoint> servers; // in the master's order, the end marker left out
    bool last = false;             // the page ends in the end marker 0.0.0.0:0
    std::string fault;             // what is wrong with the reply; empty when it is good
};
MasterPage readMasterPage(std::string_view datagram);

/// One master's list walked page by page, apart from any socket: the request to send,
/// and what each reply means. A reply that begins as a page taken before is that page
/// again (a duplicated datagram, or a late answer to a request sent twice): it is dropped
/// and the walk waits on. A page that brings nothing new, or that leads back to a seed
/// asked before, ends the walk: a master that loops is not asked for ever.
class MasterWalk {
  public:
    MasterWalk(uint8_t region, std::string filter, size_t limit);

    std::string request() const { return masterRequest(m_region, m_seed, m_filter); }

    struct Step {
        std::vector<Endpoint> fresh; // servers of the page not seen before
        std::string fault;           // the reply is broken: the walk ends
        bool repeat = false;         // a page taken before, come again: dropped
    };
    Step take(std::string_view datagram);
    /// The master answered the request only with pages taken before: its list goes round.
    void endRepeated() { end(Ended::RepeatedList); }

    /// Why a walk ends.
    enum class Ended { NotYet, Fault, ListEnd, Limit, RepeatedList, LedBack, EmptyFirstPage, EmptyPage };
    bool done() const { return m_done; }
    Ended endedBy() const { return m_endedBy; }
    size_t pages() const { return m_pages; }
    size_t found() const { return m_seen.size(); }

  private:
    void end(Ended why);

    uint8_t m_region;
    std::string m_filter;
    size_t m_limit;
    Endpoint m_seed;
    std::unordered_set<Endpoint, EndpointHash> m_seen;
    std::unordered_set<Endpoint, EndpointHash> m_seeds;
    std::unordered_set<Endpoint, EndpointHash> m_pageStarts; // the first server of each page taken
    size_t m_pages = 0;
    bool m_done = false;
    Ended m_endedBy = Ended::NotYet;
};

} // namespace qm
