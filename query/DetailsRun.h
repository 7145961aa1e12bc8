#pragma once
#include "query/BatchQuery.h"
#include "query/PlayersQuery.h"
#include "query/RulesQuery.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

namespace qm {

/// Everything one server tells when it is looked at closely.
struct ServerDetails {
    /// The info exchange, with its state and ping, as the batch gives it.
    BatchResult info;
    /// Asked only of a server that answered the info exchange.
    std::optional<PlayersAnswer> players;
    std::optional<RulesAnswer> rules;
    /// Every question has its answer; before that, what has come so far.
    bool complete = false;
};

/// One server's info, players and rules asked in turn on a thread of its own, the info
/// through the batch engine, for a window to poll with take(): it shows each answer as it
/// comes (an old server that never answers A2S_PLAYER makes no one wait for its info).
/// Destruction stops the exchanges and returns within one slice of their waits.
class DetailsRun {
  public:
    DetailsRun(QueryTarget target, BatchOptions options, HostLookup lookup);
    ~DetailsRun();
    DetailsRun(const DetailsRun&) = delete;
    DetailsRun& operator=(const DetailsRun&) = delete;

    /// What has come since the last take, all of it so far; nothing when nothing new came.
    std::optional<ServerDetails> take();

  private:
    std::atomic<bool> m_stop{false};
    BatchQuery m_batch;
    std::mutex m_lock;
    std::optional<ServerDetails> m_details;
    void publish(const ServerDetails& details);
    std::thread m_worker;
};

} // namespace qm
