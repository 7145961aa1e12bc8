#include "query/RulesQuery.h"

#include "query/OneServerQuery.h"

#include <algorithm>

namespace qm {

RulesExchangeRules::Step RulesExchangeRules::take(const std::string& datagram) {
    Step step;
    step.done = true;
    if (const auto challenge = parseA2sChallenge(datagram)) {
        if (++m_challenges > kMaxChallenges) {
            step.answer.failure = RulesAnswer::kEndlessChallenges;
            return step;
        }
        // FF FF FF FF 'V' and the challenge the server gave.
        step.done = false;
        step.resend = kA2sRulesRequest.substr(0, 5) + *challenge;
        return step;
    }
    SplitReply::Taken taken = m_pieces.take(datagram);
    if (!taken.fault.empty()) {
        step.answer.failure = "rules refused: " + taken.fault;
        return step;
    }
    if (!taken.whole) {
        step.done = false; // a piece: the others are on their way
        return step;
    }
    if (auto rules = parseA2sRules(*taken.whole)) {
        std::stable_sort(rules->begin(), rules->end(),
                         [](const A2sRule& a, const A2sRule& b) { return a.name < b.name; });
        step.answer.offered = true;
        step.answer.rules = std::move(*rules);
        return step;
    }
    step.answer.failure = RulesAnswer::kNotARulesReply;
    return step;
}

std::optional<RulesAnswer> RulesExchangeRules::atSilence() const {
    if (!m_pieces.holdsPieces()) return std::nullopt;
    RulesAnswer answer;
    answer.failure = RulesAnswer::kIncomplete;
    return answer;
}

RulesAnswer queryRules(const QueryTarget& target, int waitMs, const HostLookup& lookup,
                       const std::function<bool()>& stopped, const Clock& clock) {
    return askOneServer<RulesExchangeRules>(target, waitMs, lookup, stopped, clock);
}

} // namespace qm
