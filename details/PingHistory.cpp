#include "details/PingHistory.h"

#include <algorithm>

namespace qm {

void PingHistory::add(PingSample sample) {
    if (m_capacity == 0) return;
    if (m_samples.size() == m_capacity) m_samples.pop_front();
    m_samples.push_back(sample);
}

std::optional<int> PingHistory::current() const {
    if (m_samples.empty() || m_samples.back().pingMs < 0) return std::nullopt;
    return m_samples.back().pingMs;
}

std::optional<int> PingHistory::lowest() const {
    std::optional<int> low;
    for (const PingSample& s : m_samples)
        if (s.pingMs >= 0 && (!low || s.pingMs < *low)) low = s.pingMs;
    return low;
}

std::optional<int> PingHistory::highest() const {
    std::optional<int> high;
    for (const PingSample& s : m_samples)
        if (s.pingMs >= 0 && (!high || s.pingMs > *high)) high = s.pingMs;
    return high;
}

int PingHistory::playersScale() const {
    int most = 0;
    for (const PingSample& s : m_samples)
        most = std::max({most, s.players, s.maxPlayers});
    return most;
}

} // namespace qm
