#include "find/MasterSearch.h"

#include "find/ListedAddress.h"

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
                                                   int64_t deadline, int& closedCode) {
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

bool MasterSearch::askPage(DatagramSocket& socket, const Endpoint& master, MasterWalk& walk,
                           MasterOutcome& outcome, const Found& found) {
    const int tries = std::max(0, m_options.retries) + 1;
    int closedCode = 0;
    bool onlyRepeats = false;
    for (int t = 0; t < tries && closedCode == 0 && !m_cancelled; ++t) {
        if (const int code = socket.sendTo(master, walk.request())) {
            outcome.problem = socketFailureState(code);
            return false;
        }
        const int64_t deadline = m_clock.microseconds() + int64_t{m_options.pageWaitMs} * 1000;
        while (auto reply = awaitPage(socket, master, deadline, closedCode)) {
            MasterWalk::Step step = walk.take(*reply);
            if (step.repeat) {
                onlyRepeats = true;
                continue;
            }
            if (!step.fault.empty()) {
                outcome.problem = std::move(step.fault);
                return false;
            }
            ++outcome.pages;
            const size_t before = step.fresh.size();
            std::erase_if(step.fresh,
                          [&](const Endpoint& e) { return unaskableReason(e, isLoopback(master)); });
            outcome.unaskable += before - step.fresh.size();
            outcome.listed += step.fresh.size();
            // What an earlier master gave already is told once.
            std::erase_if(step.fresh, [&](const Endpoint& e) { return !m_seen.insert(e).second; });
            outcome.servers += step.fresh.size();
            if (!step.fresh.empty()) found(step.fresh);
            return true;
        }
    }
    if (m_cancelled) return false;
    // Asked again and answered only with pages taken before: the master's list goes round.
    if (onlyRepeats && closedCode == 0) {
        walk.endRepeated();
        return true;
    }
    outcome.problem =
        closedCode != 0 ? socketFailureState(closedCode) : noReplyState(tries, m_options.pageWaitMs);
    if (walk.pages() > 0) outcome.problem += " after " + std::to_string(walk.pages()) + " pages";
    return false;
}

namespace {

// Why a whole walk ended before the list's end, for the user; empty when it did not.
std::string earlyEnd(MasterWalk::Ended ended, bool atCap) {
    using E = MasterWalk::Ended;
    switch (ended) {
    case E::Limit:
        return atCap ? "the cap" : "";
    case E::RepeatedList:
        return "a repeated list";
    case E::LedBack:
        return "a page that led back";
    case E::EmptyFirstPage:
        return "the master listed none";
    case E::EmptyPage:
        return "an empty page";
    default:
        return "";
    }
}

} // namespace

MasterOutcome MasterSearch::walkOne(const std::string& master, const Found& found) {
    MasterOutcome outcome;
    outcome.master = master;
    // A master named without its port is told with the port it is asked on.
    if (master.find(':') == std::string::npos && parseQueryTarget(master))
        outcome.master += ":" + std::to_string(kMasterPort);
    const std::optional<Endpoint> address = addressOf(master, outcome.problem);
    if (!address) return outcome;
    DatagramSocket socket;
    MasterWalk walk(m_options.region, m_options.filter, m_options.limit - m_seen.size());
    while (!walk.done() && !m_cancelled) {
        if (!askPage(socket, *address, walk, outcome, found)) return outcome;
    }
    outcome.endedEarly = earlyEnd(walk.endedBy(), m_seen.size() >= kMaxListedServers);
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
