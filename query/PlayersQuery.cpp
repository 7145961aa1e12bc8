#include "query/PlayersQuery.h"

#include "platform/DatagramSocket.h"

#include <algorithm>
#include <chrono>

namespace qm {

PlayersAnswer queryPlayers(const QueryTarget& target, int waitMs, const HostLookup& lookup,
                           const std::function<bool()>& stopped) {
    PlayersAnswer answer;
    Endpoint server;
    try {
        server = Endpoint::fromDotted(resolveHost(target.host, lookup), static_cast<uint16_t>(target.port));
    } catch (const std::exception&) {
        return answer;
    }
    DatagramSocket socket;
    using Clock = std::chrono::steady_clock;
    constexpr int kTries = 2;
    constexpr int kMaxChallenges = 2;
    int challenges = 0;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (socket.sendTo(server, kA2sPlayerRequest) != 0) return answer;
        const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            if (stopped && stopped()) return answer;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            constexpr long kSliceMs = 25;
            if (!socket.wait(static_cast<int>(std::min<long>(left, kSliceMs)))) continue;
            if (!socket.takeUnreachable().empty()) return answer;
            const auto d = socket.receive();
            if (!d || !(d->from == server)) continue;
            if (const auto challenge = parseA2sChallenge(d->data)) {
                if (++challenges > kMaxChallenges) return answer;
                // FF FF FF FF 'U' and the challenge the server gave.
                if (socket.sendTo(server, kA2sPlayerRequest.substr(0, 5) + *challenge) != 0) return answer;
                continue;
            }
            if (auto players = parseA2sPlayers(d->data)) {
                answer.offered = true;
                answer.players = std::move(*players);
            }
            return answer;
        }
    }
    return answer;
}

} // namespace qm
