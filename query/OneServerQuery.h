#pragma once
// One server asked one question on a socket of its own, as the players and the rules are:
// the name looked up aside, the exchange driven by the clock, every wait cut into slices
// that look at `stopped`. `Rules` is an exchange's rules (Exchange.h) whose answer has a
// `failure` text and the kStopped ... kNoReply texts.
#include "platform/Clock.h"
#include "platform/DatagramSocket.h"
#include "platform/HostResolver.h"
#include "query/Exchange.h"
#include "query/NameLookups.h"
#include "query/QueryTarget.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace qm {

namespace oneserver {

// How often a wait looks at `stopped`.
inline constexpr int64_t kSliceMicros = 25000;

/// The name is looked up aside, so that a stop never waits for the resolver.
inline std::optional<HostLookupResult> lookUp(const std::string& host, const HostLookup& lookup,
                                              const std::function<bool()>& stopped) {
    NameLookups names(lookup, 1);
    names.ask(host);
    for (;;) {
        if (auto found = names.answer(host)) return found;
        if (stopped && stopped()) return std::nullopt;
        names.waitMicroseconds(5000);
    }
}

} // namespace oneserver

template <class Rules>
typename Exchange<Rules>::Answer askOneServer(const QueryTarget& target, int waitMs, const HostLookup& lookup,
                                              const std::function<bool()>& stopped, const Clock& clock) {
    using Answer = typename Exchange<Rules>::Answer;
    const auto gaveUp = [](const char* why) {
        Answer answer;
        answer.failure = why;
        return answer;
    };
    const std::optional<HostLookupResult> host = oneserver::lookUp(target.host, lookup, stopped);
    if (!host) return gaveUp(Answer::kStopped);
    if (host->errorCode != 0) return gaveUp(Answer::kNameNotFound);
    const Endpoint server = Endpoint::fromDotted(host->address, static_cast<uint16_t>(target.port));
    DatagramSocket socket;
    Exchange<Rules> exchange({int64_t{waitMs} * 1000, 2, false});
    const auto sendAll = [&](const std::vector<std::string>& datagrams) {
        return std::all_of(datagrams.begin(), datagrams.end(),
                           [&](const std::string& d) { return socket.sendTo(server, d) == 0; });
    };
    if (!sendAll(exchange.start(clock.microseconds()))) return gaveUp(Answer::kSendFailed);
    for (;;) {
        if (stopped && stopped()) return gaveUp(Answer::kStopped);
        const int64_t left = exchange.nextWakeup() - clock.microseconds();
        if (left > 0 && !socket.waitMicroseconds(std::min(left, oneserver::kSliceMicros))) continue;
        for (const DatagramSocket::Unreachable& u : socket.takeUnreachable())
            if (u.peer == server) return gaveUp(Answer::kPortClosed);
        auto progress = exchange.expire(clock.microseconds());
        while (!progress.ended() && progress.sends.empty()) {
            const auto d = socket.receive();
            if (!d) break;
            if (d->from == server) progress = exchange.take(d->data, clock.microseconds());
        }
        if (progress.answer) return std::move(*progress.answer);
        if (progress.silent) return gaveUp(Answer::kNoReply);
        if (!sendAll(progress.sends)) return gaveUp(Answer::kSendFailed);
    }
}

} // namespace qm
