#include "query/MasterSearch.h"

#include "platform/SocketError.h"
#include "query/FailureState.h"
#include "query/NameLookups.h"
#include "query/QueryTarget.h"

#include <algorithm>

namespace qm {

namespace {

// The longest wait between two looks at Cancel.
constexpr int64_t kSliceMicros = 20000;

} // namespace

MasterSearch::MasterSearch(MasterSearchOptions options, HostLookup lookup, const Clock& clock)
    : m_options(std::move(options)), m_lookup(std::move(lookup)), m_clock(clock) {
    m_options.limit = std::min(m_options.limit, kMaxListedServers);
}

std::optional<Endpoint> MasterSearch::addressOf(const std::string& master, std::string& problem) {
    std::optional<QueryTarget> target = parseQueryTarget(master);
    // A master named without its port is asked on the masters' own.
    if (target && master.find(':') == std::string::npos) target->port = kMasterPort;
    if (!target) {
        problem = "not a master address";
        return std::nullopt;
    }
    NameLookups names(m_lookup, 1, NameLookups::kDeadline, m_clock);
    names.ask(target->host);
    std::optional<HostLookupResult> address;
    while (!(address = names.answer(target->host)) && !m_cancelled)
        names.waitMicroseconds(kSliceMicros);
    if (!address) return std::nullopt;
    if (address->errorCode != 0) {
        problem = socketFailureState(address->errorCode);
        return std::nullopt;
    }
    return Endpoint::fromDotted(address->address, static_cast<uint16_t>(target->port));
}

std::optional<std::string> MasterSearch::awaitPage(DatagramSocket& socket, const Endpoint& master,
                                                   int& closedCode) {
    const int64_t deadline = m_clock.microseconds() + int64_t{m_options.pageWaitMs} * 1000;
    for (;;) {
        while (auto d = socket.receive()) {
            // Anyone may send to the port; only the master asked is listened to.
            if (d->from == master && !d->truncated) return std::move(d->data);
        }
        for (const DatagramSocket::Unreachable& u : socket.takeUnreachable())
            if (u.peer == master) closedCode = u.code;
        const int64_t now = m_clock.microseconds();
        if (closedCode != 0 || m_cancelled || now >= deadline) return std::nullopt;
        socket.waitMicroseconds(std::min(deadline - now, kSliceMicros));
    }
}

MasterOutcome MasterSearch::walkOne(const std::string& master, const Found& found) {
    MasterOutcome outcome;
    outcome.master = master;
    const std::optional<Endpoint> address = addressOf(master, outcome.problem);
    if (!address) return outcome;
    DatagramSocket socket;
    MasterWalk walk(m_options.region, m_options.filter, m_options.limit - m_seen.size());
    const int tries = std::max(0, m_options.retries) + 1;
    while (!walk.done() && !m_cancelled) {
        std::optional<std::string> reply;
        int closedCode = 0;
        for (int t = 0; t < tries && !reply && closedCode == 0 && !m_cancelled; ++t) {
            if (const int code = socket.sendTo(*address, walk.request())) {
                outcome.problem = socketFailureState(code);
                return outcome;
            }
            reply = awaitPage(socket, *address, closedCode);
        }
        if (m_cancelled) break;
        if (!reply) {
            outcome.problem =
                closedCode != 0 ? socketFailureState(closedCode) : noReplyState(tries, m_options.pageWaitMs);
            if (walk.pages() > 0) outcome.problem += " after " + std::to_string(walk.pages()) + " pages";
            return outcome;
        }
        MasterWalk::Step step = walk.take(*reply);
        if (!step.fault.empty()) {
            outcome.problem = step.fault;
            return outcome;
        }
        ++outcome.pages;
        // What an earlier master gave already is told once.
        std::erase_if(step.fresh, [&](const Endpoint& e) { return !m_seen.insert(e).second; });
        outcome.servers += step.fresh.size();
        if (!step.fresh.empty()) found(step.fresh);
    }
    return outcome;
}

void MasterSearch::run(const std::vector<std::string>& masters, const Found& found, const Told& told) {
    for (const std::string& master : masters) {
        if (m_cancelled || m_seen.size() >= m_options.limit) break;
        const MasterOutcome outcome = walkOne(master, found);
        if (m_cancelled) break;
        told(outcome);
        if (outcome.whole() && !m_options.everyMaster) break;
    }
}

} // namespace qm
