#include "query/BatchQuery.h"

#include "platform/DatagramSocket.h"
#include "query/BatchEngine.h"
#include "query/NameLookups.h"

#include <algorithm>

namespace qm {

namespace {

// The longest wait between two looks at Cancel.
constexpr int64_t kSliceMicros = 20000;

} // namespace

BatchQuery::BatchQuery(BatchOptions options, HostLookup lookup, const Clock& clock)
    : m_options(options), m_lookup(std::move(lookup)), m_clock(clock) {}

void BatchQuery::cancel() {
    std::lock_guard<std::mutex> lock(m_sending);
    m_cancelled = true;
}

bool BatchQuery::sendAll(DatagramSocket& socket, BatchEngine& engine, BatchStep& step) {
    // A failed send ends its exchange, which may report; it sends nothing more.
    std::vector<std::pair<Endpoint, int>> failed;
    {
        std::lock_guard<std::mutex> lock(m_sending);
        if (m_cancelled) return false;
        for (const auto& [to, datagram] : step.sends) {
            if (const int code = socket.sendTo(to, datagram)) failed.emplace_back(to, code);
            ++m_sent;
        }
    }
    step.sends.clear();
    for (const auto& [to, code] : failed)
        engine.fail(to, code, step);
    return true;
}

bool BatchQuery::deliver(DatagramSocket& socket, BatchEngine& engine, BatchStep& step,
                         const Callbacks& callbacks) {
    if (!sendAll(socket, engine, step)) return false;
    for (size_t index : step.started)
        if (callbacks.started) callbacks.started(index);
    for (const BatchResult& r : step.reports) {
        if (m_cancelled) return false;
        callbacks.report(r);
    }
    step.started.clear();
    step.reports.clear();
    return true;
}

void BatchQuery::run(const std::vector<QueryTarget>& targets,
                     const std::function<void(const BatchResult&)>& report,
                     const std::function<void(size_t index)>& started) {
    runFed(targets, {}, report, started);
}

void BatchQuery::run(std::vector<QueryTarget>& targets, const TargetFeed& more,
                     const std::function<void(const BatchResult&)>& report,
                     const std::function<void(size_t index)>& started) {
    runFed(
        targets, [&] { return more(targets); }, report, started);
}

void BatchQuery::runFed(const std::vector<QueryTarget>& targets, const std::function<bool()>& more,
                        const std::function<void(const BatchResult&)>& report,
                        const std::function<void(size_t)>& started) {
    const Callbacks callbacks{report, started};
    // The engine reads the targets by index, so the feed may grow them between steps.
    bool feeding = static_cast<bool>(more);
    DatagramSocket socket;
    // Names are looked up beside the sending: a slow one holds up its own rows alone.
    NameLookups names(m_lookup, 4, NameLookups::kDeadline, m_clock);
    BatchEngine engine(targets, m_options, names);
    m_peak = 0;
    m_sent = 0;
    BatchStep step;
    while (!m_cancelled && (feeding || !engine.done())) {
        if (feeding) feeding = more();
        engine.start(m_clock.microseconds(), step);
        if (!deliver(socket, engine, step, callbacks)) break;
        // Every reply queued now, each matched to its server by the sender.
        while (auto d = socket.receive()) {
            engine.take(d->from, d->data, d->truncated, m_clock.microseconds(), step);
            if (!deliver(socket, engine, step, callbacks)) break;
        }
        for (const DatagramSocket::Unreachable& u : socket.takeUnreachable())
            engine.fail(u.peer, u.code, step);
        const int64_t now = m_clock.microseconds();
        engine.expire(now, step);
        if (!deliver(socket, engine, step, callbacks)) break;
        m_peak = engine.peakInFlight();
        // Wait for the next reply, start or deadline; short slices keep Cancel prompt.
        if (!m_cancelled && !engine.done())
            socket.waitMicroseconds(std::clamp<int64_t>(engine.nextWakeup(now) - now, 0, kSliceMicros));
        else if (!m_cancelled && feeding)
            socket.waitMicroseconds(kSliceMicros);
    }
    m_peak = engine.peakInFlight();
}

} // namespace qm
