#include "serverlist/ListHistory.h"

namespace qm {

void ListHistory::record(const ServerList& list) {
    m_levels.push_back(list.snapshot());
    if (m_levels.size() > kLevels) m_levels.pop_front();
}

bool ListHistory::undo(ServerList& list) {
    if (m_levels.empty()) return false;
    list.restore(std::move(m_levels.back()));
    m_levels.pop_back();
    return true;
}

} // namespace qm
