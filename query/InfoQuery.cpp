#include "query/InfoQuery.h"

#include "platform/Failure.h"
#include "platform/TextTools.h"
#include "platform/WaitSlicing.h"
#include "query/TIdUDPClient.h"

#include <algorithm>
#include <cmath>

namespace qm {

const std::string kInfoRequest("\xFF\xFF\xFF\xFFinfostring\0", 15);

namespace {
constexpr std::string_view kMarker = "\xFF\xFF\xFF\xFF";
}

bool isValidInfoReply(const std::string& reply) {
    return reply.size() >= 4 && reply.compare(0, 4, kMarker) == 0;
}

std::string infoValue(const std::string& reply, std::string_view key) {
    // The pairs begin at the first backslash after the marker and the response name.
    size_t pos = reply.find('\\', isValidInfoReply(reply) ? 4 : 0);
    while (pos != std::string::npos) {
        const size_t keyStart = pos + 1;
        const size_t keyEnd = reply.find('\\', keyStart);
        const std::string_view name = std::string_view(reply).substr(
            keyStart, keyEnd == std::string::npos ? std::string::npos : keyEnd - keyStart);
        if (keyEnd == std::string::npos) return name == key ? std::string() : "-";
        const size_t valueEnd = reply.find('\\', keyEnd + 1);
        if (name == key)
            return reply.substr(keyEnd + 1,
                                valueEnd == std::string::npos ? std::string::npos : valueEnd - keyEnd - 1);
        pos = valueEnd;
    }
    return "-";
}

std::string shownValue(const std::string& value) {
    return value.substr(0, value.find('\0'));
}

std::vector<std::string> infoLines(const std::string& reply) {
    auto v = [&](std::string_view key) { return escapedControls(shownValue(infoValue(reply, key))); };
    return {"Protocol: " + v("protocol"),
            "Address: " + v("address"),
            "Players: " + v("players") + "/" + v("max"),
            "Max. players: " + v("max"),
            "Bots: " + v("bots"),
            "Mod: " + v("gamedir"),
            "Mod description: " + v("description"),
            "Server: " + v("hostname"),
            "Map: " + v("map"),
            "Use of password: " + v("password")};
}

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
