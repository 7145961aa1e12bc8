#include "query/BatchQuery.h"

#include "platform/DatagramSocket.h"
#include "platform/SocketError.h"
#include "query/FailureState.h"
#include "query/NameLookups.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <optional>
#include <unordered_map>

namespace qm {

namespace {

using Micros = int64_t;

Micros nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// An invalid reply's text, for one line of a table (it holds no line end of the server's).
std::string oneLineState(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

BatchResult failedResult(const std::string& failure, std::string state) {
    BatchResult r;
    r.answer = ServerAnswer::failed(failure);
    r.state = std::move(state);
    return r;
}

BatchResult socketFailure(int code) {
    return failedResult(EIdSocketError(code).what(), socketFailureState(code));
}

struct Exchange {
    InfoExchangeRules rules;
    std::vector<size_t> indices; // every target with this server's address
    Micros sentAt = 0;
    Micros deadline = 0;
    int tries = 1;
};

} // namespace

BatchQuery::BatchQuery(BatchOptions options, HostLookup lookup)
    : m_options(options), m_lookup(std::move(lookup)) {
    m_options.maxInFlight = std::max<size_t>(1, m_options.maxInFlight);
}

void BatchQuery::cancel() {
    std::lock_guard<std::mutex> lock(m_sending);
    m_cancelled = true;
}

void BatchQuery::run(const std::vector<QueryTarget>& targets, const std::function<void(const BatchResult&)>& report,
                     const std::function<void(size_t index)>& started) {
    m_peak = 0;
    DatagramSocket socket;
    // Names are looked up beside the sending: a slow one holds up its own rows alone.
    NameLookups names(m_lookup);
    std::unordered_map<std::string, std::vector<size_t>> waitingForName;
    std::deque<size_t> named; // targets whose name came back, started before new ones
    std::unordered_map<Endpoint, Exchange, EndpointHash> inFlight;
    std::unordered_map<Endpoint, BatchResult, EndpointHash> finished;
    const Micros silence = Micros(m_options.silenceMs) * 1000;
    const Micros interval = Micros(std::max(0, m_options.intervalMs)) * 1000;

    // Sends unless cancelled; false when the run is to stop.
    const auto send = [&](const Endpoint& to, const std::vector<std::string>& datagrams, int& failure) {
        std::lock_guard<std::mutex> lock(m_sending);
        if (m_cancelled) return false;
        for (const std::string& d : datagrams)
            if ((failure = socket.sendTo(to, d)) != 0) break;
        return true;
    };
    const auto finish = [&](const Endpoint& at, BatchResult result) {
        const auto it = inFlight.find(at);
        const std::vector<size_t> indices = std::move(it->second.indices);
        inFlight.erase(it);
        for (size_t index : indices) {
            if (m_cancelled) return;
            result.index = index;
            report(result);
        }
        finished.emplace(at, std::move(result));
    };
    const auto reportOne = [&](size_t index, BatchResult result) {
        result.index = index;
        report(result);
    };

    size_t next = 0;
    Micros nextStart = nowMicros();
    const auto moreToStart = [&] { return !named.empty() || next < targets.size(); };
    while (!m_cancelled && (moreToStart() || !inFlight.empty() || !waitingForName.empty())) {
        Micros now = nowMicros();
        for (auto it = waitingForName.begin(); it != waitingForName.end();) {
            if (!names.answer(it->first)) {
                ++it;
                continue;
            }
            named.insert(named.end(), it->second.begin(), it->second.end());
            it = waitingForName.erase(it);
        }
        // Start exchanges while there is room and the pause since the last start is over.
        while (!m_cancelled && moreToStart() && inFlight.size() < m_options.maxInFlight && now >= nextStart) {
            size_t index = next;
            if (!named.empty()) {
                index = named.front();
                named.pop_front();
            } else {
                ++next;
            }
            const QueryTarget& target = targets[index];
            names.ask(target.host);
            const std::optional<HostLookupResult> host = names.answer(target.host);
            if (!host) {
                waitingForName[target.host].push_back(index);
                continue;
            }
            if (host->errorCode != 0) {
                reportOne(index, socketFailure(host->errorCode));
                continue;
            }
            const Endpoint at = Endpoint::fromDotted(host->address, static_cast<uint16_t>(target.port));
            if (const auto done = finished.find(at); done != finished.end()) {
                reportOne(index, done->second);
                continue;
            }
            if (const auto running = inFlight.find(at); running != inFlight.end()) {
                running->second.indices.push_back(index);
                if (started) started(index);
                continue;
            }
            int failure = 0;
            if (!send(at, InfoExchangeRules::firstRequests(), failure)) break;
            now = nowMicros();
            Exchange& ex = inFlight[at];
            ex.indices.push_back(index);
            if (started) started(index);
            ex.sentAt = now;
            ex.deadline = now + silence;
            m_peak = std::max(m_peak, inFlight.size());
            nextStart = now + interval;
            if (failure != 0) finish(at, socketFailure(failure));
        }

        // Every reply queued now, each matched to its server by the sender.
        while (!m_cancelled) {
            std::optional<DatagramSocket::Datagram> d = socket.receive();
            if (!d) break;
            const auto it = inFlight.find(d->from);
            if (it == inFlight.end()) continue; // a stranger, or a late reply of a finished server
            if (d->truncated) {
                finish(d->from, socketFailure(SocketErrorCode::kMessageTooLong));
                continue;
            }
            InfoExchangeRules::Step step = it->second.rules.take(d->data);
            if (!step.done) {
                int failure = 0;
                if (!send(d->from, {step.resend}, failure)) break;
                it->second.sentAt = nowMicros();
                it->second.deadline = it->second.sentAt + silence;
                if (failure != 0) finish(d->from, socketFailure(failure));
                continue;
            }
            BatchResult r;
            r.pingMs = static_cast<int>((nowMicros() - it->second.sentAt + 500) / 1000);
            r.state = step.answer.answered() ? kAnsweredState : oneLineState(step.answer.failure);
            r.answer = std::move(step.answer);
            finish(d->from, std::move(r));
        }
        for (const DatagramSocket::Unreachable& u : socket.takeUnreachable())
            if (inFlight.count(u.peer)) finish(u.peer, socketFailure(u.code));

        // Silent servers: asked again, or given up after their last try.
        now = nowMicros();
        Micros wake = moreToStart() && inFlight.size() < m_options.maxInFlight ? nextStart : now + silence;
        if (!waitingForName.empty()) wake = std::min(wake, now + 5000); // a name may come back any time
        std::vector<Endpoint> silent;
        std::vector<std::pair<Endpoint, int>> failedSends;
        for (auto& [at, ex] : inFlight) {
            if (now < ex.deadline) {
                wake = std::min(wake, ex.deadline);
                continue;
            }
            if (ex.tries > m_options.retries) {
                silent.push_back(at);
                continue;
            }
            int failure = 0;
            if (!send(at, InfoExchangeRules::firstRequests(), failure)) break;
            ++ex.tries;
            ex.rules = InfoExchangeRules();
            ex.sentAt = nowMicros();
            ex.deadline = ex.sentAt + silence;
            wake = std::min(wake, ex.deadline);
            if (failure != 0) failedSends.emplace_back(at, failure);
        }
        for (const Endpoint& at : silent)
            finish(at, failedResult("No data!", noReplyState(m_options.retries + 1, m_options.silenceMs)));
        for (const auto& [at, code] : failedSends)
            finish(at, socketFailure(code));

        // Wait for the next reply, start or deadline; short slices keep Cancel prompt.
        const Micros waitMicros = std::clamp<Micros>(wake - nowMicros(), 0, 20000);
        if (!m_cancelled && (moreToStart() || !inFlight.empty() || !waitingForName.empty()))
            socket.waitMicroseconds(waitMicros);
    }
}

} // namespace qm
