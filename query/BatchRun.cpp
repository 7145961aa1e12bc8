#include "query/BatchRun.h"

namespace qm {

BatchRun::BatchRun(std::vector<QueryTarget> targets, BatchOptions options, HostLookup lookup)
    : m_batch(options, std::move(lookup)) {
    m_worker = std::thread([this, targets = std::move(targets)] {
        m_batch.run(
            targets,
            [this](const BatchResult& r) {
                std::lock_guard<std::mutex> lock(m_lock);
                m_pending.results.push_back(r);
                m_told.notify_all();
            },
            [this](size_t index) {
                std::lock_guard<std::mutex> lock(m_lock);
                m_pending.started.push_back(index);
                m_told.notify_all();
            });
        std::lock_guard<std::mutex> lock(m_lock);
        m_ended = true;
        m_told.notify_all();
    });
}

BatchRun::~BatchRun() {
    cancel();
}

void BatchRun::cancel() {
    m_batch.cancel();
    if (m_worker.joinable()) m_worker.join();
}

void BatchRun::waitForProgress(int milliseconds) {
    std::unique_lock<std::mutex> lock(m_lock);
    m_told.wait_for(lock, std::chrono::milliseconds(milliseconds),
                    [this] { return m_ended || !m_pending.results.empty() || !m_pending.started.empty(); });
}

BatchRun::Progress BatchRun::take() {
    // Read before the lock: whatever the run told before it ended is then in the queue.
    const bool ended = m_ended;
    Progress taken;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::swap(taken, m_pending);
    }
    taken.finished = ended;
    if (ended && m_worker.joinable()) m_worker.join();
    return taken;
}

} // namespace qm
