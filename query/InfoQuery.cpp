#include "query/InfoQuery.h"

#include "platform/Failure.h"
#include "platform/TextTools.h"
#include "platform/WaitSlicing.h"
#include "query/TIdUDPClient.h"

#include <algorithm>
#include <cmath>

namespace qm {

std::string pingText(int64_t start, int64_t stop, int64_t countsPerMs) {
    if (countsPerMs <= 0) return "---";
    const double ms = static_cast<double>(stop - start) / static_cast<double>(countsPerMs);
    return std::to_string(static_cast<long long>(std::nearbyint(ms)));
}

namespace {

void sendFirstRequests(TIdUDPClient& client, const std::string& host, int32_t port) {
    client.Host = host;
    client.Port = port;
    bool first = true;
    for (const std::string& request : InfoExchangeRules::firstRequests()) {
        client.SendDatagram(request, first);
        first = false;
    }
}

} // namespace

ServerAnswer awaitServerAnswer(TIdUDPClient& client, int32_t waitMs, const Clock& clock,
                               int64_t& answeredSend) {
    InfoExchangeRules rules;
    const int64_t deadline = steadyMicroseconds() + int64_t{waitMs} * 1000;
    int32_t wait = waitMs;
    for (;;) {
        const std::string datagram = wait > 0 ? client.ReceiveDatagram(wait) : std::string();
        if (datagram.empty()) return ServerAnswer::failed("No data!");
        InfoExchangeRules::Step step = rules.take(datagram);
        if (step.done) return step.answer;
        // The ping counts from the request that gets answered, so a challenge does not
        // double it. The resend keeps what is queued: it may be this server's other answer.
        answeredSend = clock.counter();
        client.SendDatagram(step.resend, false);
        // The rest of the same wait, in whole milliseconds rounded up.
        wait = static_cast<int32_t>(std::max<int64_t>(0, (deadline - steadyMicroseconds() + 999) / 1000));
    }
}

InfoExchange runInfoExchange(TIdUDPClient& client, const std::string& host, int32_t port, const Clock& clock,
                             int64_t countsPerMs) {
    InfoExchange result;
    int64_t start = clock.counter();
    sendFirstRequests(client, host, port);
    try {
        result.answer = awaitServerAnswer(client, kRefreshWaitMs, clock, start);
    } catch (const Failure& e) {
        result.answer = ServerAnswer::failed(e.what());
    }
    result.answered = result.answer.answered();
    if (!result.answered) result.memoLines = {shownValue(result.answer.failure)};
    result.pingText = pingText(start, clock.counter(), countsPerMs);
    if (result.answered) result.memoLines = result.answer.lines(host, port);
    return result;
}

std::string detectGameDir(TIdUDPClient& client, const std::string& host, int32_t port) {
    sendFirstRequests(client, host, port);
    SteadyClock clock;
    int64_t sent = 0;
    return awaitServerAnswer(client, kDetectWaitMs, clock, sent).gameDir();
}

} // namespace qm
