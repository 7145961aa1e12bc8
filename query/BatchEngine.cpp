#include "query/BatchEngine.h"

#include "platform/SocketError.h"
#include "query/FailureState.h"

#include <algorithm>

namespace qm {

namespace {

// How often names still being looked up are looked at again.
constexpr int64_t kNamePollMicros = 5000;

// An invalid reply's text, for one line of a table (it holds no line end of the server's).
std::string oneLineState(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
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

void addSends(const Endpoint& to, std::vector<std::string> datagrams, BatchStep& out) {
    for (std::string& d : datagrams)
        out.sends.emplace_back(to, std::move(d));
}

} // namespace

BatchEngine::BatchEngine(const std::vector<QueryTarget>& targets, const BatchOptions& options,
                         NameSource& names)
    : m_targets(targets),
      m_options(options), m_timing{int64_t{options.silenceMs} * 1000, std::max(0, options.retries) + 1, true},
      m_interval(int64_t{std::max(0, options.intervalMs)} * 1000), m_names(names) {
    m_options.maxInFlight = std::max<size_t>(1, m_options.maxInFlight);
}

bool BatchEngine::done() const {
    return !moreToStart() && m_inFlight.empty() && m_waitingForName.empty();
}

void BatchEngine::takeNamesThatCameBack() {
    for (auto it = m_waitingForName.begin(); it != m_waitingForName.end();) {
        if (!m_names.answer(it->first)) {
            ++it;
            continue;
        }
        m_named.insert(m_named.end(), it->second.begin(), it->second.end());
        it = m_waitingForName.erase(it);
    }
}

void BatchEngine::start(int64_t now, BatchStep& out) {
    takeNamesThatCameBack();
    while (moreToStart() && m_inFlight.size() < m_options.maxInFlight && now >= m_nextStart) {
        size_t index = m_next;
        if (!m_named.empty()) {
            index = m_named.front();
            m_named.pop_front();
        } else {
            ++m_next;
        }
        startOne(index, now, out);
    }
}

void BatchEngine::startOne(size_t index, int64_t now, BatchStep& out) {
    const QueryTarget& target = m_targets[index];
    m_names.ask(target.host);
    const std::optional<HostLookupResult> host = m_names.answer(target.host);
    if (!host) {
        m_waitingForName[target.host].push_back(index);
        return;
    }
    if (host->errorCode != 0) return report(index, socketFailure(host->errorCode), out);
    const Endpoint at = Endpoint::fromDotted(host->address, static_cast<uint16_t>(target.port));
    if (const auto done = m_finished.find(at); done != m_finished.end())
        return report(index, done->second, out);
    out.started.push_back(index);
    if (const auto running = m_inFlight.find(at); running != m_inFlight.end()) {
        running->second.indices.push_back(index);
        return;
    }
    Running& r = m_inFlight.try_emplace(at, Running{Exchange<InfoExchangeRules>(m_timing), {}}).first->second;
    r.indices.push_back(index);
    addSends(at, r.exchange.start(now), out);
    m_peak = std::max(m_peak, m_inFlight.size());
    m_nextStart = now + m_interval;
}

void BatchEngine::take(const Endpoint& from, const std::string& data, bool truncated, int64_t now,
                       BatchStep& out) {
    const auto it = m_inFlight.find(from);
    if (it == m_inFlight.end()) return; // a stranger, or a late reply of a finished server
    if (truncated) return fail(from, SocketErrorCode::kMessageTooLong, out);
    auto progress = it->second.exchange.take(data, now);
    if (!progress.answer) return addSends(from, std::move(progress.sends), out);
    BatchResult r;
    r.pingMs = static_cast<int>((now - it->second.exchange.sentAt() + 500) / 1000);
    r.state = progress.answer->answered() ? kAnsweredState : oneLineState(progress.answer->failure);
    r.answer = std::move(*progress.answer);
    finish(from, std::move(r), out);
}

void BatchEngine::fail(const Endpoint& peer, int code, BatchStep& out) {
    if (m_inFlight.count(peer)) finish(peer, socketFailure(code), out);
}

void BatchEngine::expire(int64_t now, BatchStep& out) {
    std::vector<Endpoint> silent;
    for (auto& [at, running] : m_inFlight) {
        auto progress = running.exchange.expire(now);
        if (progress.silent) silent.push_back(at);
        addSends(at, std::move(progress.sends), out);
    }
    for (const Endpoint& at : silent)
        finish(at, failedResult("No data!", noReplyState(m_timing.tries, m_options.silenceMs)), out);
}

int64_t BatchEngine::nextWakeup(int64_t now) const {
    int64_t wake = moreToStart() && m_inFlight.size() < m_options.maxInFlight ? m_nextStart
                                                                              : now + m_timing.silenceMicros;
    if (!m_waitingForName.empty())
        wake = std::min(wake, now + kNamePollMicros); // a name may come back any time
    for (const auto& [at, running] : m_inFlight)
        wake = std::min(wake, running.exchange.nextWakeup());
    return wake;
}

void BatchEngine::finish(const Endpoint& at, BatchResult result, BatchStep& out) {
    const auto it = m_inFlight.find(at);
    for (size_t index : it->second.indices)
        report(index, result, out);
    m_inFlight.erase(it);
    m_finished.emplace(at, std::move(result));
}

void BatchEngine::report(size_t index, BatchResult result, BatchStep& out) const {
    result.index = index;
    out.reports.push_back(std::move(result));
}

} // namespace qm
