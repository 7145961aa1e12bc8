#pragma once
#include "query/PlayersQuery.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

namespace qm {

/// One server's players asked on a thread of its own, for a window to poll with take().
/// Destruction stops the query and returns within one slice of its wait.
class PlayersRun {
  public:
    PlayersRun(QueryTarget target, int waitMs, HostLookup lookup);
    ~PlayersRun();
    PlayersRun(const PlayersRun&) = delete;
    PlayersRun& operator=(const PlayersRun&) = delete;

    /// The answer, once, when it has come.
    std::optional<PlayersAnswer> take();

  private:
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::optional<PlayersAnswer> m_answer;
    std::thread m_worker;
};

} // namespace qm
