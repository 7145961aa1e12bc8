#pragma once
#include "platform/DatagramSocket.h"
#include "query/BatchQuery.h"
#include "query/Exchange.h"
#include "query/NameLookups.h"

#include <deque>
#include <unordered_map>

namespace qm {

/// What one step of the batch asks of its owner: datagrams to send, targets whose server
/// is being asked now, and targets whose exchange ended.
struct BatchStep {
    std::vector<std::pair<Endpoint, std::string>> sends;
    std::vector<size_t> started;
    std::vector<BatchResult> reports;
    bool empty() const { return sends.empty() && started.empty() && reports.empty(); }
};

/// The rules of a batch, driven by time and not by waiting: which exchange starts when
/// (no more than maxInFlight at once, one start per interval, names that came back
/// first), which target a reply belongs to (matched by sender; a server named twice is
/// asked once), when a silent server is asked again or given up. It reads no clock and
/// touches no socket: the owner passes in the time with every call, sends what each step
/// holds, and calls again at nextWakeup().
class BatchEngine {
  public:
    BatchEngine(const std::vector<QueryTarget>& targets, const BatchOptions& options, NameSource& names);

    /// Starts every exchange that is due at `now`.
    void start(int64_t now, BatchStep& out);
    /// A datagram that came at `now`; anyone's but a server's in flight is dropped.
    void take(const Endpoint& from, const std::string& data, bool truncated, int64_t now, BatchStep& out);
    /// A send to `peer` that failed, or its port found closed: its exchange ends with `code`.
    void fail(const Endpoint& peer, int code, BatchStep& out);
    /// Silent servers whose silence is over at `now`: asked again, or given up.
    void expire(int64_t now, BatchStep& out);

    /// The next time start() or expire() has something to do.
    int64_t nextWakeup(int64_t now) const;
    bool done() const;
    size_t peakInFlight() const { return m_peak; }

  private:
    struct Running {
        Exchange<InfoExchangeRules> exchange;
        std::vector<size_t> indices; // every target with this server's address
    };

    bool moreToStart() const { return !m_named.empty() || m_next < m_targets.size(); }
    void takeNamesThatCameBack();
    void startOne(size_t index, int64_t now, BatchStep& out);
    void finish(const Endpoint& at, BatchResult result, BatchStep& out);
    void report(size_t index, BatchResult result, BatchStep& out) const;

    const std::vector<QueryTarget>& m_targets;
    BatchOptions m_options;
    ExchangeTiming m_timing;
    int64_t m_interval;
    NameSource& m_names;
    size_t m_next = 0;
    std::deque<size_t> m_named; // targets whose name came back, started before new ones
    std::unordered_map<std::string, std::vector<size_t>> m_waitingForName;
    std::unordered_map<Endpoint, Running, EndpointHash> m_inFlight;
    std::unordered_map<Endpoint, BatchResult, EndpointHash> m_finished;
    int64_t m_nextStart = 0;
    size_t m_peak = 0;
};

} // namespace qm
