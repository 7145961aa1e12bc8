#pragma once
#include "query/BatchQuery.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace qm {

/// A batch run on a thread of its own, for a window to poll: it starts at once, gathers
/// what the batch tells, and hands it over at each take(). Cancel and destruction return
/// as soon as the batch has stopped sending.
class BatchRun {
  public:
    BatchRun(std::vector<QueryTarget> targets, BatchOptions options, HostLookup lookup);
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    struct Progress {
        /// Targets whose servers are being asked now.
        std::vector<size_t> started;
        /// Targets whose exchange ended since the last take, in the order they ended.
        std::vector<BatchResult> results;
        /// True once the run has ended and everything it told has been taken.
        bool finished = false;
    };
    Progress take();
    /// Waits until the run tells something or ends, at most `milliseconds`: for a caller
    /// that keeps a window serviced between takes.
    void waitForProgress(int milliseconds);

    /// Stops the run and waits for its thread; what it told before stays to be taken.
    void cancel();

  private:
    BatchQuery m_batch;
    std::mutex m_lock;
    std::condition_variable m_told;
    Progress m_pending;
    std::atomic<bool> m_ended{false};
    std::thread m_worker;
};

} // namespace qm
