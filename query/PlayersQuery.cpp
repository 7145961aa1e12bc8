#include "query/PlayersQuery.h"

#include "platform/DatagramSocket.h"
#include "query/NameLookups.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace qm {

PlayersAnswer queryPlayers(const QueryTarget& target, int waitMs, const HostLookup& lookup,
                           const std::function<bool()>& stopped) {
    PlayersAnswer answer;
    const auto gaveUp = [&](const char* why) {
        answer.failure = why;
        return answer;
    };
    using Clock = std::chrono::steady_clock;
    // The name is looked up aside, so that a stop never waits for the resolver.
    NameLookups names(lookup, 1);
    names.ask(target.host);
    std::optional<HostLookupResult> host;
    while (!(host = names.answer(target.host))) {
        if (stopped && stopped()) return gaveUp(PlayersAnswer::kStopped);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (host->errorCode != 0) return gaveUp(PlayersAnswer::kNameNotFound);
    const Endpoint server = Endpoint::fromDotted(host->address, static_cast<uint16_t>(target.port));
    DatagramSocket socket;
    constexpr int kTries = 2;
    constexpr int kMaxChallenges = 2;
    int challenges = 0;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (socket.sendTo(server, kA2sPlayerRequest) != 0) return gaveUp(PlayersAnswer::kSendFailed);
        const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            if (stopped && stopped()) return gaveUp(PlayersAnswer::kStopped);
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            constexpr long kSliceMs = 25;
            if (!socket.wait(static_cast<int>(std::min<long>(left, kSliceMs)))) continue;
            if (!socket.takeUnreachable().empty()) return gaveUp(PlayersAnswer::kPortClosed);
            const auto d = socket.receive();
            if (!d || !(d->from == server)) continue;
            if (const auto challenge = parseA2sChallenge(d->data)) {
                if (++challenges > kMaxChallenges) return gaveUp(PlayersAnswer::kEndlessChallenges);
                // FF FF FF FF 'U' and the challenge the server gave.
                if (socket.sendTo(server, kA2sPlayerRequest.substr(0, 5) + *challenge) != 0)
                    return gaveUp(PlayersAnswer::kSendFailed);
                continue;
            }
            if (auto players = parseA2sPlayers(d->data)) {
                answer.offered = true;
                answer.players = std::move(*players);
                return answer;
            }
            return gaveUp(PlayersAnswer::kNotAPlayersReply);
        }
    }
    return gaveUp(PlayersAnswer::kNoReply);
}

} // namespace qm
