#include "query/PlayersRun.h"

#include <utility>

namespace qm {

PlayersRun::PlayersRun(QueryTarget target, int waitMs, HostLookup lookup) {
    m_worker = std::thread([this, target = std::move(target), waitMs, lookup = std::move(lookup)] {
        PlayersAnswer answer = queryPlayers(target, waitMs, lookup, [this] { return m_stop.load(); });
        std::lock_guard<std::mutex> lock(m_lock);
        m_answer = std::move(answer);
    });
}

PlayersRun::~PlayersRun() {
    m_stop = true;
    m_worker.join();
}

std::optional<PlayersAnswer> PlayersRun::take() {
    std::lock_guard<std::mutex> lock(m_lock);
    return std::exchange(m_answer, std::nullopt);
}

} // namespace qm
