#pragma once
#include "find/MasterProtocol.h"
#include "platform/Clock.h"
#include "platform/DatagramSocket.h"
#include "platform/HostResolver.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace qm {

/// The port a master is asked on when its text names none.
inline constexpr int32_t kMasterPort = 27010;

struct MasterSearchOptions {
    uint8_t region = kAllRegions;
    std::string filter; // sent byte for byte, as ServerFilter::text() or as typed
    size_t limit = kMaxListedServers;
    /// How long a page is waited for, and how often it is asked again after that.
    int pageWaitMs = 2000;
    int retries = 1;
    /// Ask every master and merge their lists; otherwise the first whole list will do.
    bool everyMaster = false;
};

/// How one master's walk went.
struct MasterOutcome {
    std::string master;   // as asked: "host:port"
    size_t servers = 0;   // servers it gave that no master before it had given
    size_t listed = 0;    // servers it gave, new or not
    size_t unaskable = 0; // entries at addresses no game server has: never asked (ListedAddress.h)
    size_t pages = 0;
    std::string problem;    // "no reply (2 tries, 2 s each)", "the reply is no server list", ...
    std::string endedEarly; // why a whole walk ended before the list's end: "the cap", ...
    bool whole() const { return problem.empty(); }
};

/// Asks masters for their lists, one master at a time over a socket of its own, taking
/// replies only from the master being asked. A master that fails keeps what it gave and
/// the next one is asked; the servers of all of them are told once each.
class MasterSearch {
  public:
    explicit MasterSearch(MasterSearchOptions options, HostLookup lookup = systemHostLookup,
                          const Clock& clock = steadyClock());

    using Found = std::function<void(const std::vector<Endpoint>& servers)>;
    using Told = std::function<void(const MasterOutcome& outcome)>;
    /// Runs on the calling thread until the masters are done, the limit is reached or
    /// cancel() is called. `found` gets each page's new servers, `told` each master's end.
    void run(const std::vector<std::string>& masters, const Found& found, const Told& told);

    /// Stops the run from any thread within a slice of its wait (20 ms).
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }
    size_t found() const { return m_seen.size(); }

  private:
    /// The master's address, looked up without holding up Cancel; empty with `problem` set
    /// when it has none.
    std::optional<Endpoint> addressOf(const std::string& master, std::string& problem);
    MasterOutcome walkOne(const std::string& master, const Found& found);
    /// The next reply of `master` within the page's wait; nothing when it stays silent,
    /// with `closedCode` set when its port is closed.
    std::optional<std::string> awaitPage(DatagramSocket& socket, const Endpoint& master, int64_t deadline,
                                         int& closedCode);
    /// Sends the walk's request and takes the page that answers it, retrying in silence;
    /// false with `outcome.problem` set when none came.
    bool askPage(DatagramSocket& socket, const Endpoint& master, MasterWalk& walk, MasterOutcome& outcome,
                 const Found& found);

    MasterSearchOptions m_options;
    HostLookup m_lookup;
    const Clock& m_clock;
    std::atomic<bool> m_cancelled{false};
    std::unordered_set<Endpoint, EndpointHash> m_seen;
};

} // namespace qm
