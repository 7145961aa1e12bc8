#pragma once
#include "serverlist/ServerList.h"

#include <deque>

namespace qm {

/// The list as it stood before each of the last list commands, for Undo.
class ListHistory {
  public:
    /// Enough for a slip of the hand or two; each level is a copy of the whole list.
    static constexpr size_t kLevels = 10;

    /// Keeps the list as it is now, before a command changes it.
    void record(const ServerList& list);
    /// Puts the list back as it was before the last recorded command; false when there is
    /// nothing to undo.
    bool undo(ServerList& list);
    bool empty() const { return m_levels.empty(); }

  private:
    std::deque<ServerList::Snapshot> m_levels;
};

} // namespace qm
