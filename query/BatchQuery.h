#pragma once
#include "platform/Clock.h"
#include "platform/HostResolver.h"
#include "query/QueryTarget.h"
#include "query/ServerAnswer.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace qm {

class BatchEngine;
class DatagramSocket;
struct BatchStep;

struct BatchOptions {
    /// Exchanges running at once.
    size_t maxInFlight = 32;
    /// The pause between the starts of two exchanges; a challenge's resend does not wait.
    int intervalMs = 1;
    /// The silence after which a server is asked again, and after the last try given up.
    int silenceMs = 1000;
    /// Tries after the first.
    int retries = 1;
    /// How long a server is waited for when its players are asked (each of two tries).
    int playersWaitMs = 1000;
};

inline constexpr const char* kAnsweredState = "answered";
/// How the state of a server that stayed silent begins; FailureState.h has the rest.
inline constexpr const char* kNoReplyState = "no reply";

/// What one server of the batch made of its exchange.
struct BatchResult {
    size_t index = 0; // into the targets
    ServerAnswer answer;
    /// "answered", "no reply (2 tries, 1 s each)", "port closed (Socket Error # 10054)", ...
    std::string state;
    /// Milliseconds from the request that was answered to its answer; -1 without one.
    int pingMs = -1;
};

/// Asks many servers at once, each with the info exchange of the Monitoring page
/// (infostring and A2S_INFO, challenges answered), over a socket of its own. Replies are
/// matched to their server by sender address and port; a server named twice is asked
/// once. Host names are looked up once per run, on helper threads beside the sending.
class BatchQuery {
  public:
    explicit BatchQuery(BatchOptions options = {}, HostLookup lookup = systemHostLookup,
                        const Clock& clock = steadyClock());

    /// Runs the whole batch on the calling thread and calls `report` for each target as
    /// its exchange ends, in that order. Returns when every target is reported, or as
    /// soon as cancel() was called.
    /// `started`, when given, is told each target whose server is being asked now.
    void run(const std::vector<QueryTarget>& targets, const std::function<void(const BatchResult&)>& report,
             const std::function<void(size_t index)>& started = {});

    /// Servers that come while the batch runs: appends what came since the last call to
    /// `targets` and returns false once nothing more will come.
    using TargetFeed = std::function<bool(std::vector<QueryTarget>& targets)>;
    /// The same run over targets that keep coming: it ends once the feed has closed and
    /// every target it gave is reported.
    void run(std::vector<QueryTarget>& targets, const TargetFeed& more,
             const std::function<void(const BatchResult&)>& report,
             const std::function<void(size_t index)>& started = {});

    /// Stops the run from any thread: once this returns, no further datagram is sent.
    void cancel();
    bool cancelled() const { return m_cancelled.load(); }

    /// Datagrams sent so far in the last run.
    size_t datagramsSent() const { return m_sent.load(); }
    /// The most exchanges that ran at once in the last run.
    size_t peakInFlight() const { return m_peak; }

  private:
    void runFed(const std::vector<QueryTarget>& targets, const std::function<bool()>& more,
                const std::function<void(const BatchResult&)>& report,
                const std::function<void(size_t)>& started);
    struct Callbacks {
        const std::function<void(const BatchResult&)>& report;
        const std::function<void(size_t)>& started;
    };
    /// Sends what the step holds, unless cancelled; false when the run is to stop.
    bool sendAll(DatagramSocket& socket, BatchEngine& engine, BatchStep& step);
    /// Sends, then tells the step's starts and results.
    bool deliver(DatagramSocket& socket, BatchEngine& engine, BatchStep& step, const Callbacks& callbacks);

    BatchOptions m_options;
    HostLookup m_lookup;
    const Clock& m_clock;
    std::atomic<bool> m_cancelled{false};
    std::mutex m_sending;
    size_t m_peak = 0;
    std::atomic<size_t> m_sent{0};
};

} // namespace qm
