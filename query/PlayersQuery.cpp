#include "query/PlayersQuery.h"

#include "query/OneServerQuery.h"

namespace qm {

PlayersExchangeRules::Step PlayersExchangeRules::take(const std::string& datagram) {
    Step step;
    step.done = true;
    if (const auto challenge = parseA2sChallenge(datagram)) {
        if (++m_challenges > kMaxChallenges) {
            step.answer.failure = PlayersAnswer::kEndlessChallenges;
            return step;
        }
        // FF FF FF FF 'U' and the challenge the server gave.
        step.done = false;
        step.resend = kA2sPlayerRequest.substr(0, 5) + *challenge;
        return step;
    }
    if (auto players = parseA2sPlayers(datagram)) {
        step.answer.offered = true;
        step.answer.players = std::move(*players);
        return step;
    }
    step.answer.failure = PlayersAnswer::kNotAPlayersReply;
    return step;
}

PlayersAnswer queryPlayers(const QueryTarget& target, int waitMs, const HostLookup& lookup,
                           const std::function<bool()>& stopped, const Clock& clock) {
    return askOneServer<PlayersExchangeRules>(target, waitMs, lookup, stopped, clock);
}

} // namespace qm
