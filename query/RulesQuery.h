#pragma once
#include "platform/Clock.h"
#include "platform/HostResolver.h"
#include "query/A2sInfo.h"
#include "query/OneServerFailures.h"
#include "query/QueryTarget.h"
#include "query/SplitReply.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm {

/// What a server told of its rules (server variables).
struct RulesAnswer : OneServerFailures {
    bool offered = false;
    std::vector<A2sRule> rules; // sorted by name
    std::string failure;

    static constexpr const char* kNotARulesReply = "the reply is no list of rules";
    static constexpr const char* kIncomplete = "rules incomplete";
};

/// The rules exchange: A2S_RULES, sent again with the server's challenge (twice at most),
/// then the rules, whole or in pieces (SplitReply). Pieces still missing when the last
/// try's silence is over make "rules incomplete".
class RulesExchangeRules {
  public:
    static constexpr int kMaxChallenges = 2;
    static std::vector<std::string> firstRequests() { return {kA2sRulesRequest}; }

    struct Step {
        bool done = false;
        std::string resend; // empty with `done` false: a piece came, more is awaited
        RulesAnswer answer;
    };
    Step take(const std::string& datagram);
    std::optional<RulesAnswer> atSilence() const;

  private:
    int m_challenges = 0;
    SplitReply m_pieces;
};

/// Asks one server for its rules, as queryPlayers() asks for the players.
RulesAnswer queryRules(const QueryTarget& target, int waitMs = 1000,
                       const HostLookup& lookup = systemHostLookup, const std::function<bool()>& stopped = {},
                       const Clock& clock = steadyClock());

} // namespace qm
