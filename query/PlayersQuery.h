#pragma once
#include "platform/Clock.h"
#include "platform/HostResolver.h"
#include "query/A2sInfo.h"
#include "query/OneServerFailures.h"
#include "query/QueryTarget.h"

#include <functional>
#include <string>
#include <vector>

namespace qm {

/// What a server told of its players.
struct PlayersAnswer : OneServerFailures {
    /// False when the server did not answer A2S_PLAYER (old servers only speak the
    /// infostring query) or the name did not resolve.
    bool offered = false;
    std::vector<A2sPlayer> players;
    /// Why no players came, when none did: one of the texts below.
    std::string failure;

    static constexpr const char* kNotAPlayersReply = "the reply is no list of players";
};

/// The rules of the players exchange: A2S_PLAYER, sent again with the challenge the
/// server gives (twice at most), then the list of players.
class PlayersExchangeRules {
  public:
    static constexpr int kMaxChallenges = 2;
    static std::vector<std::string> firstRequests() { return {kA2sPlayerRequest}; }

    struct Step {
        bool done = false;
        std::string resend;
        PlayersAnswer answer;
    };
    Step take(const std::string& datagram);

  private:
    int m_challenges = 0;
};

/// Asks one server for its players with A2S_PLAYER, answering its challenge; each try
/// waits `waitMs`, and a silent server is asked once more.
/// `stopped`, when given, is asked every few milliseconds and ends the wait early.
PlayersAnswer queryPlayers(const QueryTarget& target, int waitMs = 1000,
                           const HostLookup& lookup = systemHostLookup,
                           const std::function<bool()>& stopped = {}, const Clock& clock = steadyClock());

} // namespace qm
