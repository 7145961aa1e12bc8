#include "query/InfoQuery.h"

#include "platform/Failure.h"
#include "platform/TextTools.h"
#include "query/TIdUDPClient.h"

#include <cmath>

namespace qm {

std::string pingText(int64_t start, int64_t stop, int64_t countsPerMs) {
    if (countsPerMs <= 0) return "---";
    const double ms = static_cast<double>(stop - start) / static_cast<double>(countsPerMs);
    return std::to_string(static_cast<long long>(std::nearbyint(ms)));
}

InfoExchangeWait sendInfoRequests(TIdUDPClient& client, const std::string& host, int32_t port, int32_t waitMs,
                                  const Clock& clock) {
    client.Host = host;
    client.Port = port;
    // One try: the wait runs from the first request, and a challenge's resend keeps it.
    InfoExchangeWait wait{Exchange<InfoExchangeRules>({int64_t{waitMs} * 1000, 1, false}), clock.counter()};
    bool first = true;
    for (const std::string& request : wait.exchange.start(clock.microseconds())) {
        client.SendDatagram(request, first);
        first = false;
    }
    return wait;
}

ServerAnswer awaitServerAnswer(TIdUDPClient& client, InfoExchangeWait& wait, const Clock& clock) {
    for (;;) {
        // The rest of the wait, in whole milliseconds rounded up.
        const int64_t left = wait.exchange.nextWakeup() - clock.microseconds();
        const std::string datagram =
            left > 0 ? client.ReceiveDatagram(static_cast<int32_t>((left + 999) / 1000)) : std::string();
        if (datagram.empty()) return ServerAnswer::failed("No data!");
        auto progress = wait.exchange.take(datagram, clock.microseconds());
        if (progress.answer) return std::move(*progress.answer);
        // The ping counts from the request that gets answered, so a challenge does not
        // double it. The resend keeps what is queued: it may be this server's other answer.
        wait.answeredSend = clock.counter();
        for (const std::string& resend : progress.sends)
            client.SendDatagram(resend, false);
    }
}

InfoExchange runInfoExchange(TIdUDPClient& client, const std::string& host, int32_t port, const Clock& clock,
                             int64_t countsPerMs) {
    InfoExchange result;
    InfoExchangeWait wait = sendInfoRequests(client, host, port, kRefreshWaitMs, clock);
    try {
        result.answer = awaitServerAnswer(client, wait, clock);
    } catch (const Failure& e) {
        result.answer = ServerAnswer::failed(e.what());
    }
    result.answered = result.answer.answered();
    if (!result.answered) result.memoLines = {shownValue(result.answer.failure)};
    result.pingText = pingText(wait.answeredSend, clock.counter(), countsPerMs);
    if (result.answered) result.memoLines = result.answer.lines(host, port);
    return result;
}

std::string detectGameDir(TIdUDPClient& client, const std::string& host, int32_t port, const Clock& clock) {
    InfoExchangeWait wait = sendInfoRequests(client, host, port, kDetectWaitMs, clock);
    return awaitServerAnswer(client, wait, clock).gameDir();
}

} // namespace qm
