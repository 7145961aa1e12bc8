#include "query/PlayersQuery.h"

#include "platform/DatagramSocket.h"
#include "query/Exchange.h"
#include "query/NameLookups.h"

#include <algorithm>

namespace qm {

namespace {

// How often a wait looks at `stopped`.
constexpr int64_t kSliceMicros = 25000;

PlayersAnswer gaveUp(const char* why) {
    PlayersAnswer answer;
    answer.failure = why;
    return answer;
}

// The name is looked up aside, so that a stop never waits for the resolver.
std::optional<HostLookupResult> lookUp(const std::string& host, const HostLookup& lookup,
                                       const std::function<bool()>& stopped) {
    NameLookups names(lookup, 1);
    names.ask(host);
    for (;;) {
        if (auto found = names.answer(host)) return found;
        if (stopped && stopped()) return std::nullopt;
        names.waitMicroseconds(5000);
    }
}

} // namespace

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
    const std::optional<HostLookupResult> host = lookUp(target.host, lookup, stopped);
    if (!host) return gaveUp(PlayersAnswer::kStopped);
    if (host->errorCode != 0) return gaveUp(PlayersAnswer::kNameNotFound);
    const Endpoint server = Endpoint::fromDotted(host->address, static_cast<uint16_t>(target.port));
    DatagramSocket socket;
    Exchange<PlayersExchangeRules> exchange({int64_t{waitMs} * 1000, 2, false});
    const auto sendAll = [&](const std::vector<std::string>& datagrams) {
        return std::all_of(datagrams.begin(), datagrams.end(),
                           [&](const std::string& d) { return socket.sendTo(server, d) == 0; });
    };
    if (!sendAll(exchange.start(clock.microseconds()))) return gaveUp(PlayersAnswer::kSendFailed);
    for (;;) {
        if (stopped && stopped()) return gaveUp(PlayersAnswer::kStopped);
        const int64_t left = exchange.nextWakeup() - clock.microseconds();
        if (left > 0 && !socket.waitMicroseconds(std::min(left, kSliceMicros))) continue;
        for (const DatagramSocket::Unreachable& u : socket.takeUnreachable())
            if (u.peer == server) return gaveUp(PlayersAnswer::kPortClosed);
        auto progress = exchange.expire(clock.microseconds());
        while (!progress.ended() && progress.sends.empty()) {
            const auto d = socket.receive();
            if (!d) break;
            if (d->from == server) progress = exchange.take(d->data, clock.microseconds());
        }
        if (progress.answer) return std::move(*progress.answer);
        if (progress.silent) return gaveUp(PlayersAnswer::kNoReply);
        if (!sendAll(progress.sends)) return gaveUp(PlayersAnswer::kSendFailed);
    }
}

} // namespace qm
