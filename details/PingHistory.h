#pragma once
#include <cstddef>
#include <deque>
#include <optional>

namespace qm {

/// One refresh of a server: its ping and players, or silence.
struct PingSample {
    int pingMs = -1; // -1: it did not answer
    int players = -1;
    int maxPlayers = -1;
};

/// The refreshes of one server while its details are open, at most `capacity` of them (the
/// oldest go first), with the current, lowest and highest ping of those that answered.
class PingHistory {
  public:
    explicit PingHistory(size_t capacity = 600) : m_capacity(capacity) {}

    void add(PingSample sample);
    const std::deque<PingSample>& samples() const { return m_samples; }

    /// The ping of the last refresh, when it answered.
    std::optional<int> current() const;
    std::optional<int> lowest() const;
    std::optional<int> highest() const;
    /// The height of the players' scale: the most slots or players seen; 0 when none were.
    int playersScale() const;

  private:
    size_t m_capacity;
    std::deque<PingSample> m_samples;
};

} // namespace qm
