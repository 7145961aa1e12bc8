#include "query/DetailsRun.h"

#include <utility>

namespace qm {

DetailsRun::DetailsRun(QueryTarget target, BatchOptions options, HostLookup lookup)
    : m_batch(options, lookup) {
    m_worker = std::thread(
        [this, target = std::move(target), waitMs = options.playersWaitMs, lookup = std::move(lookup)] {
            ServerDetails details;
            details.info.state = kNoReplyState;
            m_batch.run({target}, [&](const BatchResult& r) { details.info = r; });
            const auto stopped = [this] { return m_stop.load(); };
            if (stopped()) return;
            if (details.info.answer.answered()) {
                publish(details);
                details.players = queryPlayers(target, waitMs, lookup, stopped);
                if (stopped()) return;
                publish(details);
                details.rules = queryRules(target, waitMs, lookup, stopped);
                if (stopped()) return;
            }
            details.complete = true;
            publish(details);
        });
}

DetailsRun::~DetailsRun() {
    m_stop = true;
    m_batch.cancel();
    m_worker.join();
}

void DetailsRun::publish(const ServerDetails& details) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_details = details;
}

std::optional<ServerDetails> DetailsRun::take() {
    std::lock_guard<std::mutex> lock(m_lock);
    return std::exchange(m_details, std::nullopt);
}

} // namespace qm
